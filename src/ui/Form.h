#pragma once
// A top-level form: caption, fixed border, client size, font, menu with shortcuts, key preview, the
// default and cancel buttons that Enter and Escape press, and modal showing. Sizes are layout pixels:
// the form and its controls are placed at the DPI of the display the form is on, and placed again
// when it moves to a display of another DPI.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Font.h"
#include "ui/Handles.h"
#include "ui/Window.h"

namespace ui {

class Form : public Window {
public:
    enum class Border { Single, Dialog };
    enum class WindowState { Normal, Minimized, Maximized };
    struct Style {
        std::wstring caption;
        int client_width;
        int client_height;
        bool context_help = false;  // the "?" button in the title bar
        const wchar_t* font_face = L"Tahoma";
        int font_points = 8;
        Border border = Border::Single;
        bool centered = false;  // on its screen's work area, whenever it is shown modally
        HWND owner = nullptr;   // a form above its owner, without a taskbar button
        std::optional<std::uint32_t> color =
            std::nullopt;  // a background of its own instead of the dialog color
    };

    Form();
    ~Form() override;

    // The form a window belongs to (the window itself or one of its controls); null for others.
    static Form* of_window(HWND window);

    // Key preview: the form sees key events before the focused control.
    std::function<void(WPARAM key)> on_key_down;
    std::function<void(WPARAM key)> on_key_up;
    std::function<void()> on_close_request;  // WM_CLOSE, before the form goes
    std::function<void()> on_destroy;

    // The form's font, which its controls show unless they have one of their own.
    HFONT font() const { return font_.get(); }
    const FontSpec& font_spec() const { return font_spec_; }
    void set_font(const FontSpec& font);
    // The desktop font, now and again whenever the system font changes.
    void set_desktop_font();
    bool desktop_font() const { return desktop_font_; }

    // The pixels per inch the form is laid out for.
    int dpi() const { return dpi_; }
    void set_client_width(int width);
    void set_client_size(int width, int height);
    SIZE client_size() const;
    // The whole window's size, frame included.
    void set_outer_size(int width, int height);

    void set_cancel_button(Button* button) { cancel_button_ = button; }
    void set_default_button(Button* button) { default_button_ = button; }

    // Menu items: a command id is assigned per item; shortcuts work whether or not the item is shown.
    HMENU menu_bar();
    HMENU add_submenu(HMENU parent, const std::wstring& caption);
    void add_menu_item(HMENU parent, const std::wstring& caption, std::function<void()> action);
    void add_menu_separator(HMENU parent);
    void add_shortcut(BYTE modifiers, WORD key,
                      std::function<void()> action);  // FALT, FCONTROL, FSHIFT | FVIRTKEY

    // The state the form takes when it is shown next (a restored position may ask for another).
    void set_window_state(WindowState state) { window_state_ = state; }
    WindowState window_state() const { return window_state_; }
    void show(int command = SW_SHOW);
    // Shows the form and handles messages until end_modal() or the close request; the program's other
    // windows take no input meanwhile. The form is hidden, not destroyed, when it returns the result.
    int show_modal();
    void end_modal(int result) { modal_result_ = result; }
    bool modal() const { return modal_; }
    bool preprocess_message(MSG& msg);

protected:
    void create_form(const Style& style);
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int next_command_id(std::function<void()> action);
    void apply_font();
    void rescale(int dpi, const RECT* suggested);
    void system_font_changed();
    void center_on_screen();
    unique_font font_;
    FontSpec font_spec_;
    bool desktop_font_ = false;
    int dpi_ = LayoutDpi;
    SIZE layout_client_{};
    std::optional<SIZE> layout_outer_;  // when the whole window's size was set instead
    bool centered_ = false;
    WindowState window_state_ = WindowState::Normal;
    HWND focus_ = nullptr;  // the control with the focus while the form is not active
    bool modal_ = false;
    int modal_result_ = 0;
    unique_menu menu_;
    unique_handle<HACCEL, handle_traits<HACCEL, ::DestroyAcceleratorTable>> accelerators_;
    std::vector<ACCEL> accelerator_entries_;
    std::map<int, std::function<void()>> commands_;
    int last_command_ = 40000;
    Button* cancel_button_ = nullptr;
    Button* default_button_ = nullptr;
};

}  // namespace ui
