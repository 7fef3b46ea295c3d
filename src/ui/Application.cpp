#include "ui/Application.h"

#include "base/ValueText.h"
#include "ui/Exceptions.h"
#include "ui/Form.h"

namespace ui {

std::wstring exception_message(const std::exception& e) {
    if (auto* own = dynamic_cast<const Exception*>(&e)) return own->message();
    const char* text = e.what();
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length - 1), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    return wide;
}

std::wstring error_box_text(const std::wstring& message) { return WithFullStop(message); }

Application& Application::instance() {
    static Application application;
    return application;
}

int Application::run() {
    MSG msg;
    terminated_ = false;
    running_ = true;
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!preprocess(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    running_ = false;
    return 0;
}

void Application::terminate() {
    terminated_ = true;
    // Wakes the loop; outside it (forms made by tests) a quit message would end the next modal loop.
    if (running_) ::PostQuitMessage(0);
}

void Application::process_messages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        if (!preprocess(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool Application::preprocess(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    Form* form = WindowObject::of<Form>(root);
    return form && form->preprocess_message(msg);
}

void Application::show_error(const std::wstring& message) {
    const std::wstring text = error_box_text(message);
    if (error_sink_) {
        error_sink_(title_, text);
        return;
    }
    HWND owner = main_form_ ? main_form_->handle() : nullptr;
    ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void Application::handle_exception(std::exception_ptr error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        try {
            show_error(exception_message(e));
        } catch (...) {
        }
    } catch (...) {
        try {
            show_error(L"Unknown error");
        } catch (...) {
        }
    }
}

HCURSOR Application::cursor(int number) const {
    auto found = cursors_.find(number);
    if (found != cursors_.end() && found->second) return found->second;
    return ::LoadCursorW(nullptr, IDC_ARROW);
}

bool Application::show_cursor_override() const {
    if (!cursor_override_) return false;
    ::SetCursor(cursor(cursor_override_));
    return true;
}

void Application::set_cursor_override(int number) {
    cursor_override_ = number;
    POINT at;
    ::GetCursorPos(&at);
    // Show the new cursor at once instead of at the next mouse move: the override's own, or the arrow
    // until the window under the pointer sets its cursor again.
    ::SetCursor(cursor(number));
    if (!number) ::SetCursorPos(at.x, at.y);
}

}  // namespace ui
