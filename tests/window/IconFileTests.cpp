#include <doctest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "window/IconFile.h"

namespace {

// A square icon of the given size: pixel (x, y) counted from the top left is color(x, y); the mask lets
// the screen through in the top left quarter.
template <class ColorOf>
TIconPixels Icon(int size, ColorOf color) {
    TIconPixels icon{size, size, {}, std::vector<std::uint8_t>(IconMaskStride(size) * size, 0)};
    for (int row = 0; row < size; ++row) {  // bottom row first
        const int y = size - 1 - row;
        for (int x = 0; x < size; ++x) {
            icon.Color.push_back(color(x, y));
            if (x < size / 2 && y < size / 2)
                icon.Mask[static_cast<std::size_t>(row * IconMaskStride(size) + x / 8)] |= 0x80 >> (x % 8);
        }
    }
    return icon;
}

std::uint32_t U32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::uint32_t U16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

constexpr std::uint32_t kStandard[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
std::uint32_t Standard(int x, int y) { return kStandard[(x + 3 * y) % 16]; }
// Straight (not premultiplied) alpha that runs from 0 at the left to 0xF8 at the right.
std::uint32_t Translucent(int x, int y) {
    return static_cast<std::uint32_t>(x * 8) << 24 | static_cast<std::uint32_t>(y * 7) << 16 | 0x3300 | 0x11;
}
std::uint32_t Opaque(int x, int y) {
    return static_cast<std::uint32_t>(y) << 16 | static_cast<std::uint32_t>(x) << 8 | 0x42;
}

}  // namespace

TEST_CASE("an icon of the 16 standard colors keeps its 4-bit layout, image at offset 22") {
    const TIconPixels icon = Icon(32, Standard);
    REQUIRE(IconFileFormatFor(icon) == ifColors16);
    const std::vector<std::uint8_t> file = IconFileBytes(icon).value();
    const std::uint32_t image_size = 40 + 16 * 4 + 32 * 16 + 32 * 4;
    REQUIRE(file.size() == 22 + image_size);
    const std::uint8_t head[] = {0, 0, 1, 0, 1, 0, 32, 32, 4, 0, 0, 0, 0, 0};
    CHECK(std::memcmp(file.data(), head, sizeof head) == 0);
    CHECK(U32(file, 14) == image_size);
    CHECK(U32(file, 18) == 22);
    // The image's header: its height doubled, one plane, 4 bits, no compression.
    CHECK(U32(file, 22) == 40);
    CHECK(U32(file, 26) == 32);
    CHECK(U32(file, 30) == 64);
    CHECK(U16(file, 34) == 1);
    CHECK(U16(file, 36) == 4);
    CHECK(U32(file, 38) == 0);
    for (int i = 0; i < 16; ++i) CHECK(U32(file, 62 + 4 * i) == kStandard[i]);
    // Bottom row (y = 31) first, two pixels a byte, the left one in the high nibble.
    const std::size_t pixels = 22 + 40 + 64;
    CHECK(file[pixels] == ((93 % 16) << 4 | 94 % 16));
    CHECK(file[pixels + 16 * 31 + 15] == ((30 % 16) << 4 | 31 % 16));  // top row, right end
    CHECK(std::equal(icon.Mask.begin(), icon.Mask.end(), file.begin() + pixels + 32 * 16));
}

TEST_CASE("true-color icons keep their depth, with alpha where they have it") {
    struct {
        TIconPixels icon;
        TIconFileFormat format;
        std::uint32_t bits, size;
    } cases[] = {
        {Icon(32, Translucent), ifTrueColorAlpha, 32, 40 + 32 * 32 * 4 + 32 * 4},
        {Icon(16, Opaque), ifTrueColor, 24, 40 + 16 * 48 + 16 * 4},
        {Icon(5, Opaque), ifTrueColor, 24, 40 + 5 * 16 + 5 * 4},  // rows padded to 4 bytes
    };
    for (const auto& c : cases) {
        CAPTURE(c.bits);
        CHECK(IconFileFormatFor(c.icon) == c.format);
        const std::vector<std::uint8_t> file = IconFileBytes(c.icon).value();
        REQUIRE(file.size() == 22 + c.size);
        CHECK(file[6] == c.icon.Width);
        CHECK(U16(file, 8) == 0);  // no color table
        CHECK(U16(file, 10) == 1);
        CHECK(U16(file, 12) == c.bits);
        CHECK(U32(file, 14) == c.size);
        CHECK(U16(file, 22 + 14) == c.bits);
    }
}

TEST_CASE("a monochrome icon becomes black and white over its mask") {
    // 8 x 2: the image rows (bottom first) come before the mask rows in the double-high bitmap.
    const std::vector<std::uint8_t> bitmap = {0x81, 0, 0, 0, 0xFF, 0, 0, 0, 0x0F, 0, 0, 0, 0xF0, 0, 0, 0};
    const TIconPixels icon = MonochromeIconPixels(8, 2, bitmap);
    const std::vector<std::uint32_t> color = {0xFFFFFF, 0,        0,        0,        0,        0,
                                              0,        0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                              0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    CHECK(icon.Color == color);
    CHECK(icon.Mask == std::vector<std::uint8_t>{0x0F, 0, 0, 0, 0xF0, 0, 0, 0});
    CHECK(IconFileFormatFor(icon) == ifColors16);
    CHECK(IconFileBytes(icon));
    CHECK(MonochromeIconPixels(8, 3, bitmap).Color.empty());
}

TEST_CASE("pixels that make no icon") {
    CHECK_FALSE(IconFileBytes({}));
    TIconPixels wide = Icon(8, Opaque);
    wide.Width = 257;
    CHECK_FALSE(IconFileBytes(wide));
    TIconPixels short_mask = Icon(8, Opaque);
    short_mask.Mask.pop_back();
    CHECK_FALSE(IconFileBytes(short_mask));
    TIconPixels short_color = Icon(8, Opaque);
    short_color.Color.pop_back();
    CHECK_FALSE(IconFileBytes(short_color));
    const std::vector<std::uint8_t> largest = IconFileBytes(Icon(256, Standard)).value();
    CHECK(largest[6] == 0);  // 256 is written as 0
    CHECK(largest[7] == 0);
    CHECK(largest.size() == 22 + 40 + 64 + 256 * 128 + 256 * 32);
}

#ifndef _WIN32
// Read back by ImageMagick's icon reader (Debian's imagemagick), as RGBA from the top left.
TEST_CASE("an independent reader sees the colors and the transparency") {
    struct {
        TIconPixels icon;
        std::uint32_t (*color)(int, int);
    } cases[] = {
        {Icon(32, Standard), Standard}, {Icon(32, Translucent), Translucent}, {Icon(16, Opaque), Opaque}};
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> file = IconFileBytes(c.icon).value();
        CAPTURE(IconFileFormatFor(c.icon));
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("scrutel-icon-" + std::to_string(::getpid()) + ".ico");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        const std::string command = "convert 'ICO:" + path.string() + "' -depth 8 RGBA:- 2>&1";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        REQUIRE(pipe);
        std::vector<std::uint8_t> rgba(c.icon.Width * c.icon.Height * 4 + 1);
        const std::size_t got = std::fread(rgba.data(), 1, rgba.size(), pipe);
        ::pclose(pipe);
        std::filesystem::remove(path);
        REQUIRE_MESSAGE(got == rgba.size() - 1, std::string(rgba.begin(), rgba.begin() + got));
        int wrong = 0;
        for (int y = 0; y < c.icon.Height; ++y) {
            for (int x = 0; x < c.icon.Width; ++x) {
                const std::uint32_t p = c.color(x, y);
                const bool masked = x < c.icon.Width / 2 && y < c.icon.Height / 2;
                // Without an alpha channel the mask makes the alpha.
                const std::uint32_t alpha = IconFileFormatFor(c.icon) == ifTrueColorAlpha ? p >> 24
                                            : masked                                      ? 0
                                                                                          : 255;
                const std::uint8_t* q = &rgba[static_cast<std::size_t>((y * c.icon.Width + x) * 4)];
                if (q[0] != (p >> 16 & 0xFF) || q[1] != (p >> 8 & 0xFF) || q[2] != (p & 0xFF) ||
                    q[3] != alpha)
                    ++wrong;
            }
        }
        CHECK(wrong == 0);
    }
}
#endif
