#include "ui/WindowObject.h"

namespace ui {
namespace {

const wchar_t kObjectProperty[] = L"Scrutel.Object";

}  // namespace

void WindowObject::attach(HWND hwnd, WindowObject* object) noexcept {
    if (hwnd) ::SetPropW(hwnd, kObjectProperty, object);
}

void WindowObject::detach(HWND hwnd) noexcept {
    if (hwnd) ::RemovePropW(hwnd, kObjectProperty);
}

WindowObject* WindowObject::attached(HWND hwnd) noexcept {
    return hwnd ? static_cast<WindowObject*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

WindowObject* WindowObject::attached_in_this_process(HWND hwnd) noexcept {
    if (!hwnd) return nullptr;
    // Another program's window may carry a property of that name too; only ours point into us.
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    return process == ::GetCurrentProcessId() ? attached(hwnd) : nullptr;
}

}  // namespace ui
