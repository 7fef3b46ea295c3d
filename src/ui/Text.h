#pragma once
// Conversions between the program's 8-bit texts (system code page) and Unicode.
#include <string>

namespace ui {

std::wstring ansi_to_wide(const std::string& text);
// Characters without a counterpart become the code page's replacement character.
std::string wide_to_ansi(const std::wstring& text);
// UTF-8, where every Unicode text survives the way there and back.
std::wstring utf8_to_wide(const std::string& text);
std::string wide_to_utf8(const std::wstring& text);

// The text of any window of this process (its caption).
std::wstring window_text(void* hwnd);

}  // namespace ui
