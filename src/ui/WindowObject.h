#pragma once
// The one map from a window to the object that owns it, for our own window class and the system's
// controls alike.
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
        return dynamic_cast<T*>(attached(hwnd));
    }

protected:
    static void attach(HWND hwnd, WindowObject* object) noexcept;
    // Forgets the window when it is still attached to this object.
    void detach(HWND hwnd) noexcept;
    static WindowObject* attached(HWND hwnd) noexcept;
};

}  // namespace ui
