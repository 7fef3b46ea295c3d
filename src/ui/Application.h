#pragma once
// The application object: title, standard error box, cursor list and override, message loop.
#include <windows.h>

#include <exception>
#include <map>
#include <string>

namespace ui {

class Form;

// The component library's number of the hand cursor in the cursor list.
inline constexpr int crHandPoint = -21;

class Application {
public:
    static Application& instance();

    void set_title(std::wstring title) { title_ = std::move(title); }
    const std::wstring& title() const { return title_; }

    // The first form created is the main form: destroying it ends the message loop.
    void set_main_form(Form* form) {
        if (!main_form_) main_form_ = form;
    }
    void forget_form(Form* form) {
        if (main_form_ == form) main_form_ = nullptr;
    }
    Form* main_form() const { return main_form_; }

    // Runs the message loop until terminate() or the main form is destroyed; returns the exit code.
    int run();
    // Ends the message loop at once (no close request to the forms).
    void terminate();
    bool terminated() const { return terminated_; }
    // Handles the messages already queued; for tests and modal waits.
    void process_messages();

    // The standard error box: error icon, the title as caption, the message with a full stop
    // appended when its last character sorts after the full stop.
    void show_error(const std::wstring& message);
    // Shows an exception that left an event handler; EAbort is silent.
    void handle_exception(std::exception_ptr error) noexcept;
    // Tests can watch error boxes instead of showing them modally.
    using ErrorSink = void (*)(const std::wstring& caption, const std::wstring& text);
    void set_error_sink(ErrorSink sink) { error_sink_ = sink; }

    // Cursor list by number, as forms refer to their cursors; 0 is the default arrow.
    void register_cursor(int number, HCURSOR cursor) { cursors_[number] = cursor; }
    HCURSOR cursor(int number) const;
    // While an override is set, every window of the program shows that cursor.
    void set_cursor_override(int number);
    int cursor_override() const { return cursor_override_; }
    // Shows the override's cursor when one is set (for WM_SETCURSOR); false when none is set.
    bool show_cursor_override() const;

    // Translates a message before dispatch: accelerators and dialog keys of the active form.
    bool preprocess(MSG& msg);

private:
    std::wstring title_;
    Form* main_form_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    ErrorSink error_sink_ = nullptr;
    std::map<int, HCURSOR> cursors_;
    int cursor_override_ = 0;
};

// The text shown by the error box for a message (full-stop rule).
std::wstring error_box_text(const std::wstring& message);

}  // namespace ui
