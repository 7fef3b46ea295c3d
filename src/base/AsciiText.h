#pragma once
// Letter case of ASCII only, the same on every platform and in every code page: names in PE files,
// class names of another process and color names compare this way.
#include <algorithm>
#include <string>
#include <string_view>

inline char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

template <class Char>
std::basic_string<Char> LowerAscii(std::basic_string_view<Char> text) {
    std::basic_string<Char> lower(text);
    for (Char& c : lower) c = FoldAscii(c);
    return lower;
}
inline std::string LowerAscii(std::string_view text) { return LowerAscii<char>(text); }

template <class Char>
bool SameTextAscii(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](Char x, Char y) { return FoldAscii(x) == FoldAscii(y); });
}
inline bool SameTextAscii(std::string_view a, std::string_view b) { return SameTextAscii<char>(a, b); }

// Byte-wise order with the ASCII letters folded to lower case: <0, 0 or >0.
inline int CompareTextAscii(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldAscii(a[i]));
        const auto y = static_cast<unsigned char>(FoldAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
inline bool LessTextAscii(std::string_view a, std::string_view b) { return CompareTextAscii(a, b) < 0; }
