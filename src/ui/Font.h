#pragma once
// Fonts as forms describe them: face, height in layout pixels, color and style. A font is made for a
// display's DPI with the same rounding as every other layout pixel, so one description serves every
// display the window moves to.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/Handles.h"

namespace ui {

// Colors as forms keep them: red in the low byte; a high byte of 0xFF (or a set top bit) marks a system
// color whose index stands in the low byte.
inline constexpr std::uint32_t clWindowText = 0xFF000000u | COLOR_WINDOWTEXT;
inline constexpr std::uint32_t clBlack = 0x000000, clWhite = 0xFFFFFF, clBlue = 0xFF0000;
COLORREF color_to_rgb(std::uint32_t color);

struct FontSpec {
    std::wstring face = L"MS Sans Serif";
    int height = -11;  // layout pixels; negative: the characters' height without leading, as in LOGFONT
    std::uint32_t color = clWindowText;
    bool bold = false, italic = false, underline = false, strike_out = false;
    BYTE charset = DEFAULT_CHARSET;
    BYTE pitch = DEFAULT_PITCH;  // DEFAULT_PITCH, FIXED_PITCH or VARIABLE_PITCH

    // A font of a size in points (at 96 layout pixels per inch).
    static FontSpec of_size(std::wstring face, int points);
    int size() const;  // in points
    void set_size(int points);
    bool has_style() const { return bold || italic || underline || strike_out; }
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The component library's default font: MS Sans Serif, 8 points, window-text color, no style (the
// face compared without regard to case).
bool is_default_font(const FontSpec& font);

// The system's icon-title font, in layout pixels: the font of the desktop.
FontSpec desktop_font();
// The font of a LOGFONT made at a DPI, in layout pixels.
FontSpec font_of(const LOGFONTW& logfont, int dpi);

unique_font make_font(const FontSpec& font, int dpi);

}  // namespace ui
