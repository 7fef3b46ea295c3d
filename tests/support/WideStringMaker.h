#pragma once
// Wide texts in doctest's failure messages: ASCII as it stands, anything else as "?".
#include <doctest.h>

#include <string>

namespace doctest {
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text) {
        std::string narrow = "L\"";
        for (wchar_t c : text) narrow += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
        return (narrow + "\"").c_str();
    }
};
}  // namespace doctest
