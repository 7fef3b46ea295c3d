#include <doctest.h>

#include "color/ColorNames.h"

TEST_CASE("color constants by value and by name") {
    CHECK(ColorNames.front().Name == std::string_view("clBlack"));
    CHECK(ColorNames.back().Name == std::string_view("clWindowText"));
    struct {
        std::uint32_t value;
        const char* ident;
        const char* text;
    } cases[] = {
        {0x000000, "clBlack", "clBlack"},
        {0xFF000008, "clWindowText", "clWindowText"},
        {0xFF00000F, "clBtnFace", "clBtnFace"},
        {0x1FFFFFFF, "clNone", "clNone"},
        {0x20000000, "clDefault", "clDefault"},
        {0xA4A0A0, "clMedGray", "clMedGray"},
        {0x00123456, "", "$00123456"},
        {0x8000000F, "", "$8000000F"},  // a system color as versions below 7 store it
        {0xFF000025, "", "$FF000025"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.value);
        const auto value = static_cast<std::int32_t>(c.value);
        CHECK(ColorToIdent(value) == c.ident);
        CHECK(ColorToString(value) == c.text);
        if (*c.ident) CHECK(IdentToColor(c.ident) == value);
    }
    CHECK(IdentToColor("CLBTNFACE") == static_cast<std::int32_t>(0xFF00000F));
    CHECK(IdentToColor("cl3ddkshadow") == static_cast<std::int32_t>(0xFF000015));
    CHECK_FALSE(IdentToColor("clNon"));
    CHECK_FALSE(IdentToColor(""));
}
