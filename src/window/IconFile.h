#pragma once
// The bytes of an icon file holding one image, made from an icon's color and mask bitmaps as the
// platform hands them out (GetIconInfo, then GetDIBits of the color bitmap at 32 bits and of the mask
// at 1 bit, both with a positive height, so bottom row first).
//
// The image keeps the icon's colors: an icon whose colors are all among the 16 standard colors is
// stored with a 16-entry color table at 4 bits a pixel (the directory entry's 16-bit word after the size
// holding planes times bits, 4, and the image at offset 22); any other icon at 24 bits, or at 32 bits
// with its alpha channel when any pixel has a non-zero alpha.
#include <cstdint>
#include <optional>
#include <vector>

struct TIconPixels {
    int Width = 0, Height = 0;         // 1 to 256 each
    std::vector<std::uint32_t> Color;  // Width * Height pixels, 0xAARRGGBB, bottom row first
    std::vector<std::uint8_t> Mask;    // 1 bit a pixel (set: transparent), bottom row first, rows padded to
                                       // a multiple of 4 bytes
};

enum TIconFileFormat { ifColors16, ifTrueColor, ifTrueColorAlpha };

// Bytes in one mask row: Width bits, padded to a multiple of 4 bytes.
int IconMaskStride(int width);
// A monochrome icon has no color bitmap: its mask bitmap is twice as high, the mask above the image.
// From that bitmap at 1 bit (bottom row first, height 2 * height): the image's pixels in black and
// white, and its mask. Empty pixels when the bits do not fill the bitmap.
TIconPixels MonochromeIconPixels(int width, int height, const std::vector<std::uint8_t>& mask_bitmap);
// How IconFileBytes stores these pixels.
TIconFileFormat IconFileFormatFor(const TIconPixels& pixels);
// nullopt when the pixels cannot make an icon: a size outside 1 to 256, or fewer or more pixels or
// mask bytes than the size asks for.
std::optional<std::vector<std::uint8_t>> IconFileBytes(const TIconPixels& pixels);
