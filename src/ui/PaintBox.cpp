#include "ui/PaintBox.h"

namespace ui {

void PaintBox::create(HWND parent, const Bounds& b, bool sunken_bevel) {
    create_window(sunken_bevel ? WS_EX_CLIENTEDGE : 0, L"", WS_CHILD | WS_VISIBLE, b.left, b.top, b.width,
                  b.height, parent, nullptr);
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
