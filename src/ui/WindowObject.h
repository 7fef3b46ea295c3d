#pragma once
// The one map from a window to the object that owns it: a window property holding a pointer to the
// object's WindowObject base, for our own window class and the system's controls alike.
#include <windows.h>

namespace ui {

class WindowObject {
public:
    WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    virtual ~WindowObject() = default;

    // The object attached to a window, when it is of type T; null for windows of other programs and
    // for windows that no object of that type owns.
    template <class T>
    static T* of(HWND hwnd) noexcept {
        return dynamic_cast<T*>(attached_in_this_process(hwnd));
    }

protected:
    static void attach(HWND hwnd, WindowObject* object) noexcept;
    static void detach(HWND hwnd) noexcept;
    // For a window known to be ours (its procedure is running).
    static WindowObject* attached(HWND hwnd) noexcept;

private:
    static WindowObject* attached_in_this_process(HWND hwnd) noexcept;
};

}  // namespace ui
