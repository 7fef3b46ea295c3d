#include "window/IconFile.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

// The color table that the platform gives 4-bit images, 0x00RRGGBB.
constexpr std::array<std::uint32_t, 16> kStandardColors = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr std::uint32_t kFirstImageOffset = 6 + 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

int StandardColorIndex(std::uint32_t pixel) {
    const auto* found = std::find(kStandardColors.begin(), kStandardColors.end(), pixel & 0xFFFFFF);
    return found == kStandardColors.end() ? -1 : static_cast<int>(found - kStandardColors.begin());
}

bool IsIconSize(int width, int height) { return width >= 1 && width <= 256 && height >= 1 && height <= 256; }

int Stride(int width, int bits) { return (width * bits + 31) / 32 * 4; }

class Writer {
public:
    void U8(std::uint32_t value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void U16(std::uint32_t value) { U8(value), U8(value >> 8); }
    void U32(std::uint32_t value) { U16(value), U16(value >> 16); }
    std::vector<std::uint8_t> bytes;
};

}  // namespace

int IconMaskStride(int width) { return Stride(width, 1); }

TIconPixels MonochromeIconPixels(int width, int height, const std::vector<std::uint8_t>& mask_bitmap) {
    if (!IsIconSize(width, height)) return {};
    const auto stride = static_cast<std::size_t>(IconMaskStride(width));
    const auto rows = static_cast<std::size_t>(height);
    if (mask_bitmap.size() != 2 * rows * stride) return {};
    // Bottom row first: the image's rows come before the mask's.
    TIconPixels pixels{width,
                       height,
                       {},
                       {mask_bitmap.begin() + static_cast<std::ptrdiff_t>(rows * stride), mask_bitmap.end()}};
    pixels.Color.reserve(rows * static_cast<std::size_t>(width));
    for (std::size_t y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) {
            const bool white = mask_bitmap[y * stride + static_cast<std::size_t>(x / 8)] & (0x80 >> (x % 8));
            pixels.Color.push_back(white ? 0xFFFFFF : 0x000000);
        }
    return pixels;
}

TIconFileFormat IconFileFormatFor(const TIconPixels& pixels) {
    const auto& color = pixels.Color;
    if (std::any_of(color.begin(), color.end(), [](std::uint32_t p) { return p >> 24 != 0; }))
        return ifTrueColorAlpha;
    if (std::all_of(color.begin(), color.end(), [](std::uint32_t p) { return StandardColorIndex(p) >= 0; }))
        return ifColors16;
    return ifTrueColor;
}

std::optional<std::vector<std::uint8_t>> IconFileBytes(const TIconPixels& pixels) {
    const int width = pixels.Width, height = pixels.Height;
    if (!IsIconSize(width, height)) return std::nullopt;
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const int mask_stride = IconMaskStride(width);
    if (pixels.Color.size() != count ||
        pixels.Mask.size() != static_cast<std::size_t>(mask_stride) * static_cast<std::size_t>(height))
        return std::nullopt;

    const TIconFileFormat format = IconFileFormatFor(pixels);
    const int bits = format == ifColors16 ? 4 : format == ifTrueColor ? 24 : 32;
    const int color_stride = Stride(width, bits);
    const std::uint32_t table_size = format == ifColors16 ? 16 * 4 : 0;
    const auto image_bits = static_cast<std::uint32_t>((color_stride + mask_stride) * height);
    const std::uint32_t image_size = kInfoHeaderSize + table_size + image_bits;

    Writer out;
    out.bytes.reserve(kFirstImageOffset + image_size);
    out.U16(0), out.U16(1), out.U16(1);  // reserved, icon, one image
    out.U8(static_cast<std::uint32_t>(width)), out.U8(static_cast<std::uint32_t>(height));  // 256 is 0
    if (format == ifColors16) {
        out.U16(1 * 4), out.U16(0), out.U16(0);  // planes times bits, two reserved words
    } else {
        out.U8(0), out.U8(0), out.U16(1),
            out.U16(static_cast<std::uint32_t>(bits));  // no table, planes, bits
    }
    out.U32(image_size), out.U32(kFirstImageOffset);

    out.U32(kInfoHeaderSize);
    out.U32(static_cast<std::uint32_t>(width)),
        out.U32(static_cast<std::uint32_t>(2 * height));  // with the mask
    out.U16(1), out.U16(static_cast<std::uint32_t>(bits));
    out.U32(0), out.U32(image_bits), out.U32(0), out.U32(0), out.U32(0), out.U32(0);
    if (format == ifColors16)
        for (std::uint32_t color : kStandardColors) out.U32(color);  // blue, green, red, 0

    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            pixels.Color.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::size_t row_start = out.bytes.size();
        for (int x = 0; x < width; ++x) {
            if (format == ifColors16) {
                const auto index = static_cast<std::uint32_t>(StandardColorIndex(row[x]));
                if (x % 2 == 0)
                    out.U8(index << 4);
                else
                    out.bytes.back() = static_cast<std::uint8_t>(out.bytes.back() | index);
            } else if (format == ifTrueColor) {
                out.U8(row[x]), out.U8(row[x] >> 8), out.U8(row[x] >> 16);
            } else {
                out.U32(row[x]);
            }
        }
        out.bytes.resize(row_start + static_cast<std::size_t>(color_stride), 0);
    }
    out.bytes.insert(out.bytes.end(), pixels.Mask.begin(), pixels.Mask.end());
    return std::move(out.bytes);
}
