#include "ui/Dialog.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

int Dialog::show_modal(HWND owner) {
    if (modal_) return 0;
    // A top-level window's owner can be changed at any time; the owned window stays above it.
    ::SetWindowLongPtrW(handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    centre_on(owner);
    const bool enable_owner = owner && ::IsWindowEnabled(owner);
    if (enable_owner) ::EnableWindow(owner, FALSE);
    modal_ = true;
    result_ = 0;
    show(SW_SHOW);
    shown();
    Application& app = Application::instance();
    MSG msg;
    while (result_ == 0 && handle() && ::IsWindowVisible(handle())) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The program ends: leave the quit message to the loop outside.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!app.preprocess(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the dialog goes, so that it is activated again.
    if (enable_owner) ::EnableWindow(owner, TRUE);
    if (handle()) show(SW_HIDE);
    modal_ = false;
    return result_ ? result_ : IDCANCEL;
}

void Dialog::close_modal(int result) { result_ = result ? result : IDCANCEL; }

LRESULT Dialog::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && modal_) {
        close_modal(IDCANCEL);
        return 0;
    }
    return Form::handle_message(msg, wp, lp);
}

void Dialog::centre_on(HWND owner) {
    RECT own{}, area{};
    ::GetWindowRect(handle(), &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    area = monitor.rcWork;
    RECT around = area;
    if (owner) ::GetWindowRect(owner, &around);
    const int width = own.right - own.left, height = own.bottom - own.top;
    int left = around.left + (around.right - around.left - width) / 2;
    int top = around.top + (around.bottom - around.top - height) / 2;
    // Kept on the owner's screen.
    left = std::max<int>(area.left, std::min<int>(left, area.right - width));
    top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
    ::SetWindowPos(handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
