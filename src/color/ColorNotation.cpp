#include "color/ColorNotation.h"

#include <algorithm>

#include "base/IntegerText.h"
#include "base/ValueText.h"
#include "color/ColorNames.h"

namespace {

// The hexadecimal boxes hand their digits to the integer conversion with "$" in front.
TColorReading ReadHexDigits(std::wstring_view digits) {
    const std::wstring converted = L"$" + std::wstring(digits);
    if (std::optional<std::int32_t> value = ReadInteger(converted)) return {value, {}};
    return {std::nullopt, converted};
}

}  // namespace

std::wstring WebColorText(std::int32_t color) {
    const auto typed = static_cast<std::uint32_t>(ComposeColor(BlueOf(color), GreenOf(color), RedOf(color)));
    return L"#" + HexText8(typed).substr(2);
}

std::wstring HexColorText(std::int32_t color) {
    const std::wstring digits = HexText8(static_cast<std::uint32_t>(color));
    return digits.substr(std::min(digits.find_first_not_of(L'0'), std::size_t{2}));
}

std::wstring DecimalColorText(std::int32_t color) { return std::to_wstring(color); }

std::wstring ColorNameText(std::int32_t color) {
    const std::string_view name = ColorToIdent(color);
    if (name.empty()) return std::wstring(kNoColorName);
    return std::wstring(name.begin(), name.end());
}

TColorReading ReadWebColor(std::wstring_view text) {
    if (text.empty() || text == L"#") return {0, {}};
    if (text.front() == L'#') text.remove_prefix(1);
    TColorReading reading = ReadHexDigits(text);
    if (reading.Color) {
        const std::int32_t typed = *reading.Color;  // red in bits 16-23, as typed
        reading.Color = ComposeColor(BlueOf(typed), GreenOf(typed), RedOf(typed));
    }
    return reading;
}

TColorReading ReadHexColor(std::wstring_view text) {
    if (text.empty()) return {0, {}};
    return ReadHexDigits(text);
}

std::int32_t ReadDecimalColor(std::wstring_view text) {
    return std::clamp<std::int32_t>(ReadInteger(text).value_or(0), 0, 0xFFFFFF);
}

std::optional<std::int32_t> ReadComponent(std::wstring_view text) { return ReadInteger(text); }

bool IsWebSafe(std::int32_t color) {
    return RedOf(color) % 51 == 0 && GreenOf(color) % 51 == 0 && BlueOf(color) % 51 == 0;
}

int NearestWebSafeComponent(int component) { return (component + 25) / 51 * 51; }

std::int32_t NearestWebSafeColor(std::int32_t color) {
    return ComposeColor(NearestWebSafeComponent(RedOf(color)), NearestWebSafeComponent(GreenOf(color)),
                        NearestWebSafeComponent(BlueOf(color)));
}
