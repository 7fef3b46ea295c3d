#include "ui/PaintBox.h"

#include "ui/Controls.h"
#include "ui/Dpi.h"

namespace ui {

void PaintBox::create(HWND parent, const Bounds& b, bool sunken_bevel) {
    const RECT place = scaled_rect(b, window_dpi(parent));
    create_window(sunken_bevel ? WS_EX_CLIENTEDGE : 0, L"", WS_CHILD | WS_VISIBLE, place.left, place.top,
                  place.right - place.left, place.bottom - place.top, parent, nullptr);
}

void PaintBox::repaint() {
    ::InvalidateRect(handle(), nullptr, FALSE);
    ::UpdateWindow(handle());
}

LRESULT PaintBox::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND && on_paint) return 1;
    if (msg == WM_PAINT && on_paint) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(handle(), &paint);
        RECT client{};
        ::GetClientRect(handle(), &client);
        on_paint(dc, client);
        ::EndPaint(handle(), &paint);
        return 0;
    }
    return Window::handle_message(msg, wp, lp);
}

}  // namespace ui
