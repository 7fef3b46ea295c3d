#pragma once
// The one window base: a noexcept window procedure that finds its object (stored at WM_NCCREATE),
// dispatches to a virtual handler and lets no exception unwind through the system's frames.
#include <windows.h>

#include "ui/Handles.h"
#include "ui/WindowObject.h"

namespace ui {

class Window : public WindowObject {
public:
    Window() = default;
    ~Window() override;

    HWND handle() const noexcept { return hwnd_.get(); }

    // A background of the window's own instead of the dialog color; its controls are drawn on it.
    struct Background {
        COLORREF color;
        unique_brush brush;
    };
    const Background* background() const { return background_.brush ? &background_ : nullptr; }

protected:
    // Creates the window of our own class; `this` is reachable from the first message on.
    void create_window(DWORD ex_style, const wchar_t* caption, DWORD style, int x, int y, int width,
                       int height, HWND parent, HMENU menu_or_id);
    virtual LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT default_message(UINT msg, WPARAM wp, LPARAM lp) {
        return ::DefWindowProcW(handle(), msg, wp, lp);
    }
    // Lets a control's notification reach the control object it came from (WM_COMMAND, WM_NOTIFY,
    // WM_DRAWITEM, WM_CTLCOLOR...).
    bool reflect_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void set_background(COLORREF color);

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    unique_hwnd hwnd_;
    HFONT font_ = nullptr;  // as WM_SETFONT gave it (owned by whoever made it)
    Background background_{};
};

// A plain container window (tab pages, strips): forwards its children's notifications to them.
class Panel : public Window {
public:
    void create(HWND parent, int x, int y, int width, int height, bool visible = true);

protected:
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace ui
