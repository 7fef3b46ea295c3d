#include <doctest.h>

#include "components/GkHotLinkColor.h"
#include "support/WideStringMaker.h"

TEST_CASE("the link color from the browser's anchor color setting") {
    struct {
        const wchar_t* setting;
        std::int32_t color;
    } cases[] = {
        {L"0,0,128", 0x800000},  // navy
        {L"255,128,0", 0x0080FF},
        {L" 0, 0, 128", 0x800000},
        {L"300,0,0", kDefaultHotLinkColor},
        {L"0,-1,0", kDefaultHotLinkColor},
        {L"0,0", kDefaultHotLinkColor},  // a missing part
        {L"0,,128", kDefaultHotLinkColor},
        {L"0,0,128,", kDefaultHotLinkColor},
        {L"0,0,128,7", kDefaultHotLinkColor},
        {L"0 ,0,128", kDefaultHotLinkColor},
        {L"", kDefaultHotLinkColor},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.setting));
        CHECK(HotLinkColorFromSetting(c.setting) == c.color);
    }
}
