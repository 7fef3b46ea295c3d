#pragma once
// Integers typed or stored as text, read the way the component library's StrToInt reads them: optional
// leading blanks, an optional sign, then decimal digits, or "$" and hexadecimal digits. Nothing may
// follow the digits. Decimal values must lie in the 32-bit range; one to eight hexadecimal digits give
// the 32 bits as written, so "$FFFFFFFF" is -1.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

template <class Char>
std::optional<std::int32_t> ReadInteger(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == Char(' ')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == Char('-') || text[i] == Char('+'))) negative = text[i++] == Char('-');
    const bool hex = i < text.size() && text[i] == Char('$');
    if (hex) ++i;
    if (i == text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t digits = 0; i < text.size(); ++i, ++digits) {
        const Char c = text[i];
        int digit;
        if (c >= Char('0') && c <= Char('9'))
            digit = c - Char('0');
        else if (hex && c >= Char('A') && c <= Char('F'))
            digit = c - Char('A') + 10;
        else if (hex && c >= Char('a') && c <= Char('f'))
            digit = c - Char('a') + 10;
        else
            return std::nullopt;
        if (hex) {
            if (digits == 8) return std::nullopt;
            value = value << 4 | static_cast<std::uint64_t>(digit);
        } else {
            value = value * 10 + static_cast<std::uint64_t>(digit);
            if (value > 0x80000000u) return std::nullopt;
        }
    }
    if (!hex && !negative && value == 0x80000000u) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - value : value);
    return static_cast<std::int32_t>(bits);
}
inline std::optional<std::int32_t> ReadInteger(std::string_view text) { return ReadInteger<char>(text); }
inline std::optional<std::int32_t> ReadInteger(std::wstring_view text) { return ReadInteger<wchar_t>(text); }

// The library's message for a text that ReadInteger refuses.
inline std::wstring NotAnIntegerMessage(std::wstring_view text) {
    return L"'" + std::wstring(text) + L"' is not a valid integer value";
}
