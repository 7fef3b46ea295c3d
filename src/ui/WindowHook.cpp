#include "ui/WindowHook.h"

#include <commctrl.h>

#include "ui/Application.h"

namespace ui {

bool WindowHook::install(HWND hwnd, Handler handler) {
    uninstall();
    handler_ = std::move(handler);
    if (!::SetWindowSubclass(hwnd, &WindowHook::procedure, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd_ = hwnd;
    return true;
}

void WindowHook::uninstall() noexcept {
    if (hwnd_) {
        ::RemoveWindowSubclass(hwnd_, &WindowHook::procedure, reinterpret_cast<UINT_PTR>(this));
        hwnd_ = nullptr;
    }
}

LRESULT CALLBACK WindowHook::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<WindowHook*>(data);
    const Call call{hwnd, msg, wp, lp};
    if (msg == WM_NCDESTROY) {
        // The window goes first: let go of it so the owner's uninstall has nothing left to do.
        LRESULT result = call.pass_on();
        ::RemoveWindowSubclass(hwnd, &WindowHook::procedure, reinterpret_cast<UINT_PTR>(self));
        self->hwnd_ = nullptr;
        return result;
    }
    try {
        return self->handler_ ? self->handler_(call) : call.pass_on();
    } catch (...) {
        Application::instance().handle_exception(std::current_exception());
        return 0;
    }
}

}  // namespace ui
