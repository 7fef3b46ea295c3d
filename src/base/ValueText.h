#pragma once
// How the main window writes numbers, rectangles, fonts and messages, in one place for every page.
#include <cstdint>
#include <string>
#include <type_traits>

// Exactly eight upper-case hexadecimal digits ("%08X"): IDs, instances, handles, styles.
template <class Char = wchar_t>
std::basic_string<Char> HexText8(std::uint32_t value) {
    std::basic_string<Char> text(8, Char('0'));
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = Char("0123456789ABCDEF"[value & 15]);
    return text;
}
// Upper-case hexadecimal digits without leading zeros ("%X"): the handle box.
template <class Char = wchar_t>
std::basic_string<Char> HandleText(std::uint32_t value) {
    std::basic_string<Char> text = HexText8<Char>(value);
    const auto first = text.find_first_not_of(Char('0'));
    return first == std::basic_string<Char>::npos ? std::basic_string<Char>(1, Char('0'))
                                                  : text.substr(first);
}

// "(l, t)-(r, b) wxh" for window and bounds rectangles, "(l, t)-(r, b)" for client rectangles.
std::wstring WindowRectText(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
std::wstring ClientRectText(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// For any rectangle type with left/top/right/bottom members (RECT).
template <class Rect>
std::wstring WindowRectText(const Rect& r) {
    return WindowRectText(static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                          static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom));
}
template <class Rect>
std::wstring ClientRectText(const Rect& r) {
    return ClientRectText(static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                          static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom));
}

// A font as "Face, N pt" followed by its style words: the weight's name (or none), "Italic",
// "Underlined" and "Striked out", separated by ", ".
struct TFontStyleWords {
    const char* Weight = nullptr;
    bool Italic = false, Underlined = false, StrikedOut = false;
};
std::string FontText(const std::string& face, long long points, const TFontStyleWords& style);

// The text the application's error box shows for a message: a full stop is appended when the last
// character sorts after the full stop (so "Done." and "Error!" stay as they are).
template <class Text>
Text WithFullStop(Text message) {
    using Unit = std::make_unsigned_t<typename Text::value_type>;
    if (!message.empty() && static_cast<Unit>(message.back()) > static_cast<Unit>('.')) message += '.';
    return message;
}
