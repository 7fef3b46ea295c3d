#include "ui/Splitter.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Application.h"

namespace ui {

void Splitter::create(HWND parent, const Bounds& bounds, Control& left, Control& right, int min_width) {
    left_ = &left;
    right_ = &right;
    min_width_ = min_width;
    create_window(0, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top, bounds.width, bounds.height, parent,
                  nullptr);
}

void Splitter::move_to(int left_width) {
    const Bounds left = left_->bounds(), right = right_->bounds();
    RECT bar{};
    ::GetClientRect(handle(), &bar);
    const int end = right.left + right.width;
    const int widest = end - left.left - bar.right - min_width_;
    const int width = std::max(min_width_, std::min(left_width, widest));
    if (width == left.width) return;
    left_->set_bounds({left.left, left.top, width, left.height});
    const int bar_left = left.left + width;
    ::SetWindowPos(handle(), nullptr, bar_left, left.top, bar.right, left.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    right_->set_bounds({bar_left + bar.right, right.top, end - bar_left - bar.right, right.height});
    if (on_moved) on_moved();
}

LRESULT Splitter::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETCURSOR:
            // A tool's cursor override wins while it is in use.
            if (Application::instance().show_cursor_override()) return TRUE;
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        case WM_LBUTTONDOWN:
            grip_ = GET_X_LPARAM(lp);
            ::SetCapture(handle());
            return 0;
        case WM_MOUSEMOVE:
            if (grip_ >= 0 && ::GetCapture() == handle()) {
                // The bar's own coordinates move with it: measure in the parent's.
                POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ::MapWindowPoints(handle(), ::GetParent(handle()), &at, 1);
                move_to(at.x - grip_ - left_->bounds().left);
            }
            return 0;
        case WM_LBUTTONUP:
            if (::GetCapture() == handle()) ::ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            grip_ = -1;
            return 0;
        default:
            return Window::handle_message(msg, wp, lp);
    }
}

}  // namespace ui
