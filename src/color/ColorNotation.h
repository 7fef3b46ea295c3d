#pragma once
// The notations of the Color tab, in both directions. A color value is the library's: red in bits 0-7,
// green in 8-15, blue in 16-23; a high byte of 0xFF marks a reference to the system color whose index
// stands in the low byte. Texts are wide, as the boxes are.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::int32_t clNone = 0x1FFFFFFF;
inline constexpr std::int32_t clDefault = 0x20000000;

inline int RedOf(std::int32_t color) { return color & 0xFF; }
inline int GreenOf(std::int32_t color) { return color >> 8 & 0xFF; }
inline int BlueOf(std::int32_t color) { return color >> 16 & 0xFF; }
inline std::int32_t ComposeColor(int red, int green, int blue) { return red + green * 256 + blue * 65536; }

// "#" and red, green, blue as two upper-case hexadecimal digits each: the low three bytes only.
std::wstring WebColorText(std::int32_t color);
// Upper-case hexadecimal, at least six digits, blue first; eight for values above 0xFFFFFF.
std::wstring HexColorText(std::int32_t color);
// Signed decimal.
std::wstring DecimalColorText(std::int32_t color);
// The first name in the color name table with exactly this value, or "(None)".
std::wstring ColorNameText(std::int32_t color);
inline constexpr std::wstring_view kNoColorName = L"(None)";

// A reading of a box: the color, or the text that the integer conversion refused (for the message
// "'%s' is not a valid integer value").
struct TColorReading {
    std::optional<std::int32_t> Color;
    std::wstring Refused;
};
// "", "#" give 0; otherwise an optional "#" and one to eight hexadecimal digits, red first as typed.
// Fewer than six digits fill from the right ("#FF" is pure blue); bits above the 24th are dropped.
TColorReading ReadWebColor(std::wstring_view text);
// "" gives 0; otherwise one to eight hexadecimal digits of either case, taken as the value itself.
TColorReading ReadHexColor(std::wstring_view text);
// Never refuses: an integer text (blanks, sign, decimal or "$" hexadecimal) clamped to 0 .. 0xFFFFFF,
// anything else 0.
std::int32_t ReadDecimalColor(std::wstring_view text);
// One component box's integer, not yet clamped.
std::optional<std::int32_t> ReadComponent(std::wstring_view text);

// Web-safe colors have red, green and blue each a multiple of 51 (0x33).
bool IsWebSafe(std::int32_t color);
// The nearest multiple of 51 of one component (0-25 give 0, 26-76 give 0x33, ..., 230-255 give 0xFF).
int NearestWebSafeComponent(int component);
// Each of the low three bytes snapped; the high byte is dropped.
std::int32_t NearestWebSafeColor(std::int32_t color);
