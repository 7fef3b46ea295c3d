#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/Dpi.h"

namespace ui {

namespace {

BOOL CALLBACK CollectControl(HWND child, LPARAM list) {
    if (Control* control = WindowObject::of<Control>(child))
        reinterpret_cast<std::vector<Control*>*>(list)->push_back(control);
    return TRUE;
}

// Every control of ours below a window, parents before their children.
void ForEachControl(HWND root, const std::function<void(Control&)>& action) {
    std::vector<Control*> controls;
    ::EnumChildWindows(root, CollectControl, reinterpret_cast<LPARAM>(&controls));
    for (Control* control : controls) action(*control);
}

struct DisabledWindows {
    HWND modal;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOther(HWND window, LPARAM data) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(data);
    if (window != disabled->modal && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

Form::Form() = default;

Form::~Form() { Application::instance().forget_form(this); }

Form* Form::of_window(HWND window) {
    if (!window) return nullptr;
    HWND root = ::GetAncestor(window, GA_ROOT);
    return WindowObject::of<Form>(root ? root : window);
}

void Form::create_form(const Style& style) {
    const bool dialog = style.border == Border::Dialog;
    // A dialog's group boxes leave their inside for the form to paint, so a dialog does not clip its
    // controls out of its own painting.
    const DWORD window_style = WS_CAPTION | WS_SYSMENU | (dialog ? WS_POPUP : WS_CLIPCHILDREN);
    const DWORD ex_style = WS_EX_CONTROLPARENT | (style.context_help ? WS_EX_CONTEXTHELP : 0) |
                           (dialog ? WS_EX_DLGMODALFRAME : 0);
    if (style.color) set_background(color_to_rgb(*style.color));
    // A first guess at the size; once the window exists, its display's DPI decides.
    dpi_ = style.owner ? window_dpi(style.owner) : system_dpi();
    RECT frame{0, 0, ScaleToDpi(style.client_width, dpi_), ScaleToDpi(style.client_height, dpi_)};
    ::AdjustWindowRectEx(&frame, window_style, FALSE, ex_style);
    create_window(ex_style, style.caption.c_str(), window_style, CW_USEDEFAULT, CW_USEDEFAULT,
                  frame.right - frame.left, frame.bottom - frame.top, style.owner, nullptr);
    Application::instance().set_main_form(this);
    dpi_ = window_dpi(handle());
    font_spec_ = FontSpec::of_size(style.font_face, style.font_points);
    apply_font();
    set_client_size(style.client_width, style.client_height);
    centered_ = style.centered;
    if (centered_) center_on_screen();
}

void Form::apply_font() {
    unique_font made = make_font(font_spec_, dpi_);
    ::SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), FALSE);
    HFONT shown = made.get();
    ForEachControl(handle(), [shown](Control& control) { control.parent_font_changed(shown); });
    font_ = std::move(made);
}

void Form::set_font(const FontSpec& font) {
    font_spec_ = font;
    desktop_font_ = false;
    apply_font();
}

void Form::set_desktop_font() {
    font_spec_ = ui::desktop_font();
    desktop_font_ = true;
    apply_font();
}

void Form::system_font_changed() {
    if (desktop_font_) {
        font_spec_ = ui::desktop_font();
        apply_font();
    }
    ForEachControl(handle(), [](Control& control) {
        ::SendMessageW(control.handle(), CM_SYSFONTCHANGED, 0, 0);
        if (control.desktop_font()) control.set_desktop_font();
    });
}

void Form::rescale(int dpi, const RECT* suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    if (suggested)
        ::SetWindowPos(handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame first: controls that place themselves along an edge find the new client area.
    if (layout_outer_)
        set_outer_size(layout_outer_->cx, layout_outer_->cy);
    else
        set_client_size(layout_client_.cx, layout_client_.cy);
    apply_font();
    ForEachControl(handle(), [dpi](Control& control) { control.rescale(dpi); });
    ::InvalidateRect(handle(), nullptr, TRUE);
}

void Form::set_client_width(int width) { set_client_size(width, client_size().cy); }

void Form::set_client_size(int width, int height) {
    layout_client_ = {width, height};
    layout_outer_.reset();
    const SIZE target{ScaleToDpi(width, dpi_), ScaleToDpi(height, dpi_)};
    // Measured, not computed: a menu bar that wraps at the new width takes more of the frame, so a
    // second step may be needed.
    for (int step = 0; step < 2; ++step) {
        RECT client{}, window{};
        ::GetClientRect(handle(), &client);
        ::GetWindowRect(handle(), &window);
        if (client.right == target.cx && client.bottom == target.cy) return;
        ::SetWindowPos(handle(), nullptr, 0, 0, window.right - window.left - client.right + target.cx,
                       window.bottom - window.top - client.bottom + target.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE Form::client_size() const {
    RECT client{};
    ::GetClientRect(handle(), &client);
    if (client.right == ScaleToDpi(layout_client_.cx, dpi_) &&
        client.bottom == ScaleToDpi(layout_client_.cy, dpi_))
        return layout_client_;
    return {UnscaleFromDpi(client.right, dpi_), UnscaleFromDpi(client.bottom, dpi_)};
}

void Form::set_outer_size(int width, int height) {
    ::SetWindowPos(handle(), nullptr, 0, 0, ScaleToDpi(width, dpi_), ScaleToDpi(height, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout_client_ = client_size();
    layout_outer_ = SIZE{width, height};
}

void Form::center_on_screen() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    RECT window{};
    ::GetWindowRect(handle(), &window);
    const RECT& work = monitor.rcWork;
    ::SetWindowPos(handle(), nullptr, work.left + (work.right - work.left - (window.right - window.left)) / 2,
                   work.top + (work.bottom - work.top - (window.bottom - window.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::show(int command) {
    if (window_state_ == WindowState::Maximized)
        command = SW_SHOWMAXIMIZED;
    else if (window_state_ == WindowState::Minimized)
        command = SW_SHOWMINIMIZED;
    ::ShowWindow(handle(), command);
}

int Form::show_modal() {
    DisabledWindows disabled{handle(), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(&disabled));
    if (centered_) center_on_screen();
    if (HWND focus = ::GetFocus(); focus && ::IsChild(handle(), focus)) focus_ = focus;
    modal_ = true;
    modal_result_ = 0;
    show(SW_SHOW);
    ::SetForegroundWindow(handle());
    Application& app = Application::instance();
    MSG msg;
    while (modal_result_ == 0) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program ends: the outer loop has to see the quit message too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!app.preprocess(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // Enabled before hiding, so that the system activates the window that was active before.
    for (HWND window : disabled.windows) ::EnableWindow(window, TRUE);
    if (handle()) ::ShowWindow(handle(), SW_HIDE);
    modal_ = false;
    return modal_result_ ? modal_result_ : IDCANCEL;
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
            if (modal_)
                end_modal(IDCANCEL);
            else
                ::DestroyWindow(handle());
            return 0;
        case DM_GETDEFID:
            // Answered as a dialog does, so that the dialog keys know the default button.
            if (default_button_) return MAKELRESULT(::GetDlgCtrlID(default_button_->handle()), DC_HASDEFID);
            return 0;
        case WM_ACTIVATE:
            // The control that had the focus gets it back when the form is active again.
            if (LOWORD(wp) == WA_INACTIVE) {
                if (HWND focus = ::GetFocus(); focus && ::IsChild(handle(), focus)) focus_ = focus;
            } else if (focus_ && ::IsChild(handle(), focus_) && !HIWORD(wp)) {
                ::SetFocus(focus_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            rescale(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETICONTITLELOGFONT || wp == SPI_SETNONCLIENTMETRICS || (wp == 0 && lp == 0))
                system_font_changed();
            break;
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
