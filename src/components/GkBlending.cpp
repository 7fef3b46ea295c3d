#include "components/GkBlending.h"

#include "components/GkBlendingCore.h"

TGkBlend::Dib TGkBlend::MakeDib() const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size_.cx;
    info.bmiHeader.biHeight = -size_.cy;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Dib dib;
    dib.bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dib.bitmap) dib.bits = static_cast<std::uint8_t*>(bits);
    return dib;
}

TGkBlend::TGkBlend(HBITMAP picture, ui::Picture& target, COLORREF background)
    : target_(target), background_(background) {
    BITMAP shape{};
    if (!picture || !::GetObjectW(picture, sizeof shape, &shape) || shape.bmWidth <= 0 || shape.bmHeight <= 0)
        return;
    size_ = {shape.bmWidth, shape.bmHeight};
    stride_ = (size_.cx * 3 + 3) & ~3;
    source_ = MakeDib();
    work_ = MakeDib();
    Dib shown = MakeDib();
    if (!source_.bits || !work_.bits || !shown.bits) {
        size_ = {};
        return;
    }
    ui::unique_memory_dc from(::CreateCompatibleDC(nullptr)), to(::CreateCompatibleDC(nullptr));
    {
        ui::selected_object in(from.get(), picture), out(to.get(), source_.bitmap.get());
        ::BitBlt(to.get(), 0, 0, size_.cx, size_.cy, from.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    target_bitmap_ = std::move(shown.bitmap);
    Draw(0);
    target_.set_bitmap(target_bitmap_.get());
}

void TGkBlend::Draw(int alpha) {
    if (!work_.bits) return;
    const std::uint8_t b = GetBValue(background_), g = GetGValue(background_), r = GetRValue(background_);
    for (int y = 0; y < size_.cy; ++y) {
        std::uint8_t* row = work_.bits + static_cast<std::size_t>(y) * stride_;
        for (int x = 0; x < size_.cx; ++x) {
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
        BlendChannels(source_.bits + static_cast<std::size_t>(y) * stride_, row,
                      static_cast<std::size_t>(size_.cx) * 3, alpha);
    }
    ui::unique_memory_dc from(::CreateCompatibleDC(nullptr)), to(::CreateCompatibleDC(nullptr));
    {
        ui::selected_object in(from.get(), work_.bitmap.get()), out(to.get(), target_bitmap_.get());
        ::BitBlt(to.get(), 0, 0, size_.cx, size_.cy, from.get(), 0, 0, SRCCOPY);
    }
    ::InvalidateRect(target_.handle(), nullptr, FALSE);
}
