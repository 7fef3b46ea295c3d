#include "ui/Text.h"

#include <windows.h>

namespace ui {

namespace {

std::wstring to_wide(const std::string& text, UINT code_page) {
    if (text.empty()) return {};
    const int size =
        ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string from_wide(const std::wstring& text, UINT code_page) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                              nullptr, nullptr);
    return narrow;
}

}  // namespace

std::wstring ansi_to_wide(const std::string& text) { return to_wide(text, CP_ACP); }
std::string wide_to_ansi(const std::wstring& text) { return from_wide(text, CP_ACP); }
std::wstring utf8_to_wide(const std::string& text) { return to_wide(text, CP_UTF8); }
std::string wide_to_utf8(const std::wstring& text) { return from_wide(text, CP_UTF8); }

std::wstring window_text(void* hwnd) {
    HWND window = static_cast<HWND>(hwnd);
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace ui
