#include "color/ColorNames.h"

#include <cstdio>

#include "base/AsciiText.h"

namespace {

constexpr std::int32_t System(std::uint32_t index) { return static_cast<std::int32_t>(0xFF000000u + index); }

}  // namespace

const std::array<TColorName, 52> ColorNames = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", System(10)},
    {"clActiveCaption", System(2)},
    {"clAppWorkSpace", System(12)},
    {"clBackground", System(1)},
    {"clBtnFace", System(15)},
    {"clBtnHighlight", System(20)},
    {"clBtnShadow", System(16)},
    {"clBtnText", System(18)},
    {"clCaptionText", System(9)},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", System(27)},
    {"clGradientInactiveCaption", System(28)},
    {"clGrayText", System(17)},
    {"clHighlight", System(13)},
    {"clHighlightText", System(14)},
    {"clHotLight", System(26)},
    {"clInactiveBorder", System(11)},
    {"clInactiveCaption", System(3)},
    {"clInactiveCaptionText", System(19)},
    {"clInfoBk", System(24)},
    {"clInfoText", System(23)},
    {"clMenu", System(4)},
    {"clMenuBar", System(30)},
    {"clMenuHighlight", System(29)},
    {"clMenuText", System(7)},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", System(0)},
    {"cl3DDkShadow", System(21)},
    {"cl3DLight", System(22)},
    {"clWindow", System(5)},
    {"clWindowFrame", System(6)},
    {"clWindowText", System(8)},
}};

std::string_view ColorToIdent(std::int32_t color) {
    for (const TColorName& entry : ColorNames)
        if (entry.Value == color) return entry.Name;
    return {};
}

std::optional<std::int32_t> IdentToColor(std::string_view name) {
    for (const TColorName& entry : ColorNames)
        if (SameTextAscii(entry.Name, name)) return entry.Value;
    return std::nullopt;
}

std::string ColorToString(std::int32_t color) {
    if (std::string_view name = ColorToIdent(color); !name.empty()) return std::string(name);
    char text[16];
    std::snprintf(text, sizeof text, "$%.8X", static_cast<unsigned>(color));
    return text;
}
