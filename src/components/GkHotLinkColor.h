#pragma once
// The link color of a hyperlink label, from the browser's "Anchor Color" setting
// (HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Settings), a text "red,green,blue".
#include <cstdint>
#include <string_view>

// Blue, in the library's color layout (red in the low byte): the color without a usable setting.
inline constexpr std::int32_t kDefaultHotLinkColor = 0xFF0000;

// The setting's color when its three parts are integers from 0 to 255 (each may have leading blanks and
// a sign); otherwise, and for a missing part or one too many, kDefaultHotLinkColor.
std::int32_t HotLinkColorFromSetting(std::wstring_view anchor_color);
