#pragma once
// A procedure put in front of a window's own: it sees every message first, consumes some and passes
// the rest on. Hooks on one window nest; each is removed when its owner lets go.
#include <windows.h>

#include <commctrl.h>

#include <functional>

namespace ui {

class WindowHook {
public:
    struct Call {
        HWND hwnd;
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        // Hands the message (or a changed one) on to the procedure behind this hook.
        LRESULT pass_on() const { return ::DefSubclassProc(hwnd, msg, wp, lp); }
        LRESULT pass_on(UINT m, WPARAM w, LPARAM l) const { return ::DefSubclassProc(hwnd, m, w, l); }
    };
    using Handler = std::function<LRESULT(const Call&)>;

    WindowHook() = default;
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;
    ~WindowHook() { uninstall(); }

    bool install(HWND hwnd, Handler handler);
    void uninstall() noexcept;
    bool installed() const noexcept { return hwnd_ != nullptr; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR data) noexcept;
    HWND hwnd_ = nullptr;
    Handler handler_;
};

}  // namespace ui
