#include "color/Magnifier.h"

namespace {

HBITMAP CreateScreenBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

TMagnifierForm::TMagnifierForm() {
    create_window(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Magnifier", WS_POPUP, 0, 0, kClientSize, kClientSize,
                  nullptr, nullptr);
    NoFlicker1.SetTarget(handle());
    SetZoom(1);
}

TMagnifierForm::~TMagnifierForm() { NoFlicker1.SetTarget(nullptr); }

void TMagnifierForm::SetZoom(int factor) {
    if (factor == zoom_ || factor < 1) return;
    zoom_ = factor;
    RECT client{};
    ::GetClientRect(handle(), &client);
    picture_size_ = {(client.right - 2 * kEdge) / factor, (client.bottom - 2 * kEdge) / factor};
    bitmap_.reset(CreateScreenBitmap(picture_size_.cx, picture_size_.cy));
}

void TMagnifierForm::GrabScreen(int x, int y, HDC dc) const {
    const int w = picture_size_.cx, h = picture_size_.cy;
    ui::released_dc screen(nullptr);
    if (screen) ::BitBlt(dc, 0, 0, w, h, screen.get(), x - w / 2, y - h / 2, SRCCOPY);
}

void TMagnifierForm::ShowAt(POINT at, POINT grab_at) {
    RECT window{};
    ::GetWindowRect(handle(), &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    ::SetWindowPos(handle(), HWND_TOPMOST, at.x - width / 2, at.y - height / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE);
    if (bitmap_) {
        ui::unique_memory_dc memory(::CreateCompatibleDC(nullptr));
        ui::selected_object selected(memory.get(), bitmap_.get());
        GrabScreen(grab_at.x, grab_at.y, memory.get());
    }
    ::InvalidateRect(handle(), nullptr, FALSE);
    ::ShowWindow(handle(), SW_SHOWNA);
    ::UpdateWindow(handle());
}

void TMagnifierForm::Hide() { ::ShowWindow(handle(), SW_HIDE); }

LRESULT TMagnifierForm::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(handle(), &paint);
        FormPaint(dc);
        ::EndPaint(handle(), &paint);
        return 0;
    }
    return Window::handle_message(msg, wp, lp);
}

void TMagnifierForm::FormPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(handle(), &client);
    if (bitmap_) {
        ui::unique_memory_dc memory(::CreateCompatibleDC(dc));
        ui::selected_object selected(memory.get(), bitmap_.get());
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, kEdge, kEdge, client.right - 2 * kEdge, client.bottom - 2 * kEdge, memory.get(), 0,
                     0, picture_size_.cx, picture_size_.cy, SRCCOPY);
    }
    ::DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}
