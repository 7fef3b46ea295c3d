#include <doctest.h>

#include "color/ColorKeyFilters.h"
#include "color/ColorNotation.h"
#include "color/SystemColors.h"
#include "support/WideStringMaker.h"

TEST_CASE("a color in each notation") {
    struct {
        std::uint32_t color;
        const wchar_t *web, *hex, *decimal, *name;
    } cases[] = {
        {0x000000, L"#000000", L"000000", L"0", L"clBlack"},
        {0xFF0000, L"#0000FF", L"FF0000", L"16711680", L"clBlue"},
        {0x0080FF, L"#FF8000", L"0080FF", L"33023", L"(None)"},
        {0xFFFFFF, L"#FFFFFF", L"FFFFFF", L"16777215", L"clWhite"},
        {0x1FFFFFFF, L"#FFFFFF", L"1FFFFFFF", L"536870911", L"clNone"},
        {0x20000000, L"#000000", L"20000000", L"536870912", L"clDefault"},
        {0xFF00000F, L"#0F0000", L"FF00000F", L"-16777201", L"clBtnFace"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.color);
        const auto color = static_cast<std::int32_t>(c.color);
        CHECK(WebColorText(color) == c.web);
        CHECK(HexColorText(color) == c.hex);
        CHECK(DecimalColorText(color) == c.decimal);
        CHECK(ColorNameText(color) == c.name);
    }
}

TEST_CASE("the web and hexadecimal boxes read one to eight hexadecimal digits") {
    struct {
        const wchar_t* text;
        std::int64_t web, hex;  // -2: refused
        const wchar_t* refused;
    } cases[] = {
        {L"", 0, 0, L""},
        {L"#", 0, -2, L"$#"},
        {L"#FF", 0xFF0000, -2, L"$#FF"},
        {L"FF", 0xFF0000, 0xFF, L""},
        {L"#FF8000", 0x0080FF, -2, L"$#FF8000"},
        {L"ff0000", 0x0000FF, 0xFF0000, L""},
        {L"1234567", 0x674523, 0x1234567, L""},  // the web box drops what lies above 24 bits
        {L"FFFFFFFF", 0xFFFFFF, -1, L""},
        {L"123456789", -2, -2, L"$123456789"},
        {L"ff 0", -2, -2, L"$ff 0"},
        {L" ff", -2, -2, L"$ ff"},
        {L"-1", -2, -2, L"$-1"},
        {L"##1", -2, -2, L"$##1"},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.text));
        const TColorReading web = ReadWebColor(c.text), hex = ReadHexColor(c.text);
        CHECK(web.Color.value_or(-2) == c.web);
        CHECK(hex.Color.value_or(-2) == c.hex);
        const std::wstring_view text = c.text;
        if (!web.Color)
            CHECK(web.Refused == L"$" + std::wstring(text.substr(text.starts_with(L"#") ? 1 : 0)));
        if (!hex.Color) CHECK(hex.Refused == c.refused);
    }
}

TEST_CASE("the decimal box never refuses and clamps to 24 bits; the component boxes read integers") {
    struct {
        const wchar_t* text;
        std::int32_t decimal;
        std::int64_t component;  // -2: refused
    } cases[] = {
        {L"16711680", 0xFF0000, 16711680},
        {L"99999999", 0xFFFFFF, 99999999},
        {L"300", 300, 300},
        {L"-5", 0, -5},
        {L"+7", 7, 7},
        {L"  12", 12, 12},
        {L"$FF", 255, 255},
        {L"-2147483648", 0, -2147483648LL},
        {L"2147483648", 0, -2},
        {L"12 ", 0, -2},
        {L"1x", 0, -2},
        {L"-", 0, -2},
        {L"$", 0, -2},
        {L"", 0, -2},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.text));
        CHECK(ReadDecimalColor(c.text) == c.decimal);
        CHECK(ReadComponent(c.text).value_or(-2) == c.component);
    }
}

TEST_CASE("web-safe colors and the nearest one") {
    const int bands[][2] = {{0, 0},     {25, 0},    {26, 51},   {76, 51},   {77, 102},  {127, 102},
                            {128, 153}, {178, 153}, {179, 204}, {229, 204}, {230, 255}, {255, 255}};
    for (const auto& band : bands) CHECK(NearestWebSafeComponent(band[0]) == band[1]);
    CHECK(IsWebSafe(0x66CC33));  // #33CC66
    CHECK_FALSE(IsWebSafe(0x0080FF));
    CHECK_FALSE(IsWebSafe(0x330034));
    CHECK(WebColorText(NearestWebSafeColor(0x0080FF)) == L"#FF9900");
    CHECK(NearestWebSafeColor(0x1F1A191A) == 0x330033);  // the high byte is dropped
}

TEST_CASE("system colors by their current values") {
    // Button face, menu and 3D light share a value; every other system color has one of its own.
    const SystemColorLookup system_color = [](int index) -> std::uint32_t {
        return index == 15 || index == 4 || index == 22 ? 0xD4D0C8u
                                                        : 0x010101u * static_cast<unsigned>(index);
    };
    CHECK(MatchingSystemColors(0xD4D0C8, system_color) ==
          std::vector<std::wstring>{L"clBtnFace", L"clMenu", L"cl3DLight"});
    CHECK(MatchingSystemColors(0x000000, system_color) == std::vector<std::wstring>{L"clScrollBar"});
    CHECK(MatchingSystemColors(0x123456, system_color).empty());
    CHECK(MatchingSystemColors(static_cast<std::int32_t>(0xFF00000F), system_color).empty());
    CHECK(ColorToRgb(static_cast<std::int32_t>(0xFF00000F), system_color) == 0xD4D0C8);
    CHECK(ColorToRgb(static_cast<std::int32_t>(0x80000005), system_color) == 0x050505);
    CHECK(ColorToRgb(clNone, system_color) == 0xFFFFFF);
    CHECK(ColorToRgb(clDefault, system_color) == 0);
    CHECK(ColorToRgb(0x0080FF, system_color) == 0x0080FF);
}

TEST_CASE("key filters of the hexadecimal, decimal and component boxes") {
    // Everything up to 0x30 passes: controls, the blank and "!" to "/" as well as "0".
    struct {
        wchar_t key;
        bool hex, decimal;
    } cases[] = {
        {L'\b', true, true}, {0x16, true, true},     {L' ', true, true},   {L'-', true, true},
        {L'/', true, true},  {L'0', true, true},     {L'9', true, true},   {L'a', true, false},
        {L'F', true, false}, {L'g', false, false},   {L'G', false, false}, {L':', false, false},
        {L'$', true, true},  {0xFF10, false, false},
    };
    for (const auto& c : cases) {
        CAPTURE(static_cast<int>(c.key));
        CHECK(FilterHexKey(c.key) == (c.hex ? c.key : 0));
        CHECK(FilterDecimalKey(c.key) == (c.decimal ? c.key : 0));
    }
}

TEST_CASE("key filter of the web color box") {
    struct {
        wchar_t key;
        const wchar_t* text;
        int caret;
        bool passes;
    } cases[] = {
        {L'#', L"", 0, true},        {L'x', L"", 0, true},  // an empty box takes any key
        {L'#', L"#FF", 3, false},    {L'#', L"FF", 2, false},    {L'#', L"FF", 0, false},
        {L'a', L"#FF", 1, true},     {L'G', L"#FF", 3, false},   {L' ', L"#FF", 3, true},
        {L'9', L"#FF800", 6, true},  {L'9', L"FF800", 5, true},  {L'9', L"FF8000", 6, false},
        {L'\b', L"FF8000", 6, true}, {L'9', L"FF", 0, false},    {L' ', L"FF", 0, false},
        {L'\b', L"FF8000", 0, true}, {0x03, L"FF8000", 0, true}, {0x16, L"FF", 0, true},
    };
    for (const auto& c : cases) {
        CAPTURE(static_cast<int>(c.key));
        CAPTURE(std::wstring(c.text));
        CAPTURE(c.caret);
        CHECK(FilterWebColorKey(c.key, c.text, c.caret) == (c.passes ? c.key : 0));
    }
}
