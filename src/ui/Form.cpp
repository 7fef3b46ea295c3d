#include "ui/Form.h"

#include "ui/Application.h"

namespace ui {

Form::Form() = default;

Form::~Form() { Application::instance().forget_form(this); }

void Form::create_form(const Style& style) {
    const DWORD window_style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD ex_style = WS_EX_CONTROLPARENT | (style.context_help ? WS_EX_CONTEXTHELP : 0);
    RECT frame{0, 0, style.client_width, style.client_height};
    ::AdjustWindowRectEx(&frame, window_style, FALSE, ex_style);
    create_window(ex_style, style.caption.c_str(), window_style, CW_USEDEFAULT, CW_USEDEFAULT,
                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr);
    Application::instance().set_main_form(this);
    {
        released_dc screen(nullptr);
        const int height = -::MulDiv(style.font_points, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
        font_.reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, style.font_face));
    }
    ::SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void Form::set_client_width(int width) {
    RECT client{};
    ::GetClientRect(handle(), &client);
    if (client.right == width) return;
    RECT frame{0, 0, width, client.bottom};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(handle(), GWL_STYLE)),
                         ::GetMenu(handle()) != nullptr,
                         static_cast<DWORD>(::GetWindowLongW(handle(), GWL_EXSTYLE)));
    RECT window{};
    ::GetWindowRect(handle(), &window);
    ::SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, window.bottom - window.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps at the new width changes the client height: keep the client height.
    RECT now{};
    ::GetClientRect(handle(), &now);
    if (now.bottom != client.bottom)
        ::SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left,
                       window.bottom - window.top + (client.bottom - now.bottom),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Form::client_size() const {
    RECT client{};
    ::GetClientRect(handle(), &client);
    return {client.right, client.bottom};
}

HMENU Form::menu_bar() {
    if (!menu_) {
        menu_.reset(::CreateMenu());
        ::SetMenu(handle(), menu_.get());
    }
    return menu_.get();
}

HMENU Form::add_submenu(HMENU parent, const std::wstring& caption) {
    HMENU submenu = ::CreatePopupMenu();  // owned by its parent menu from here on
    ::AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
    if (parent == menu_.get()) ::DrawMenuBar(handle());
    return submenu;
}

int Form::next_command_id(std::function<void()> action) {
    const int id = ++last_command_;
    commands_[id] = std::move(action);
    return id;
}

void Form::add_menu_item(HMENU parent, const std::wstring& caption, std::function<void()> action) {
    ::AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(next_command_id(std::move(action))),
                  caption.c_str());
    if (parent == menu_.get()) ::DrawMenuBar(handle());
}

void Form::add_menu_separator(HMENU parent) { ::AppendMenuW(parent, MF_SEPARATOR, 0, nullptr); }

void Form::add_shortcut(BYTE modifiers, WORD key, std::function<void()> action) {
    ACCEL entry{static_cast<BYTE>(modifiers | FVIRTKEY), key,
                static_cast<WORD>(next_command_id(std::move(action)))};
    accelerator_entries_.push_back(entry);
    accelerators_.reset(::CreateAcceleratorTableW(accelerator_entries_.data(),
                                                  static_cast<int>(accelerator_entries_.size())));
}

bool Form::preprocess_message(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (on_key_down) on_key_down(msg.wParam);
    } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
        if (on_key_up) on_key_up(msg.wParam);
    }
    if (accelerators_ && ::TranslateAcceleratorW(handle(), accelerators_.get(), &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && cancel_button_) {
        cancel_button_->click();
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && default_button_) {
        default_button_->click();
        return true;
    }
    // Tab, arrow keys and mnemonics between the controls.
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.wParam != VK_ESCAPE &&
        msg.wParam != VK_RETURN)
        return ::IsDialogMessageW(handle(), &msg) != FALSE;
    return false;
}

LRESULT Form::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (lp == 0) {
                auto found = commands_.find(LOWORD(wp));
                if (found != commands_.end()) {
                    auto action = found->second;  // the action may change the command table
                    action();
                    return 0;
                }
            }
            break;
        case WM_SETCURSOR:
            // Standard controls and our panels ask their parent first, so the form decides for all.
            if (Application::instance().show_cursor_override()) return TRUE;
            break;
        case WM_CLOSE:
            if (on_close_request) on_close_request();
            ::DestroyWindow(handle());
            return 0;
        case WM_DESTROY:
            if (on_destroy) on_destroy();
            if (Application::instance().main_form() == this) Application::instance().terminate();
            return 0;
        default:
            break;
    }
    return Window::handle_message(msg, wp, lp);
}

}  // namespace ui
