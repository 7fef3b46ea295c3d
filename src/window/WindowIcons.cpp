#include "window/WindowIcons.h"

#include <vector>

#include "ui/FileStream.h"
#include "ui/Handles.h"

namespace {

// A bitmap's pixels as a bottom-up device-independent image of the given depth (32 or 1 bits);
// empty when the platform does not hand out every row.
template <class Pixel>
std::vector<Pixel> DibPixels(HDC dc, HBITMAP bitmap, int width, int height, int bits, std::size_t count) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];  // the table a 1-bit image comes with
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    std::vector<Pixel> pixels(count);
    const int rows = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                 reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (rows != height) pixels.clear();
    return pixels;
}

bool Describe(HBITMAP bitmap, BITMAP& out) {
    return bitmap && ::GetObjectW(bitmap, sizeof out, &out) == sizeof out && out.bmWidth >= 1 &&
           out.bmWidth <= 256 && out.bmHeight >= 1 && out.bmHeight <= 512;
}

}  // namespace

std::optional<TIconPixels> ReadIconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return std::nullopt;
    // GetIconInfo hands out copies of both bitmaps, which are ours to delete.
    const ui::unique_bitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP mask_bitmap{}, color_bitmap{};
    if (!Describe(mask.get(), mask_bitmap)) return std::nullopt;
    const int width = mask_bitmap.bmWidth;
    const auto stride = static_cast<std::size_t>(IconMaskStride(width));
    const ui::released_dc screen(nullptr);
    if (!color) {
        const int height = mask_bitmap.bmHeight / 2;
        const std::vector<std::uint8_t> bits = DibPixels<std::uint8_t>(
            screen.get(), mask.get(), width, 2 * height, 1, stride * 2 * static_cast<std::size_t>(height));
        TIconPixels pixels = MonochromeIconPixels(width, height, bits);
        if (pixels.Color.empty()) return std::nullopt;
        return pixels;
    }
    if (!Describe(color.get(), color_bitmap) || color_bitmap.bmWidth != width ||
        color_bitmap.bmHeight != mask_bitmap.bmHeight || color_bitmap.bmHeight > 256)
        return std::nullopt;
    const int height = color_bitmap.bmHeight;
    const auto rows = static_cast<std::size_t>(height);
    TIconPixels pixels{width, height,
                       DibPixels<std::uint32_t>(screen.get(), color.get(), width, height, 32,
                                                static_cast<std::size_t>(width) * rows),
                       DibPixels<std::uint8_t>(screen.get(), mask.get(), width, height, 1, stride * rows)};
    if (pixels.Color.empty() || pixels.Mask.empty()) return std::nullopt;
    return pixels;
}

void SaveIconToFile(HICON icon, const std::wstring& file_name) {
    const std::optional<TIconPixels> pixels = ReadIconPixels(icon);
    const std::optional<std::vector<std::uint8_t>> bytes = pixels ? IconFileBytes(*pixels) : std::nullopt;
    if (!bytes) throw EInvalidGraphic();
    ui::write_file(file_name, *bytes);
}
