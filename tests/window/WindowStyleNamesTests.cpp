#include <doctest.h>

#include "support/WideStringMaker.h"
#include "window/WindowStyleNames.h"

TEST_CASE("style words are spelled out, combined styles first") {
    struct {
        std::uint32_t style;
        bool extended;
        const wchar_t* lines;
    } cases[] = {
        {0x16CF0000, false,
         L"WS_OVERLAPPEDWINDOW (= WS_TILEDWINDOW)\r\nWS_VISIBLE\r\nWS_CLIPSIBLINGS\r\nWS_CLIPCHILDREN\r\n"},
        {0x50010000, false,
         L"WS_OVERLAPPED (= WS_TILED)\r\nWS_CHILD (= "
         L"WS_CHILDWINDOW)\r\nWS_VISIBLE\r\nWS_TABSTOP\r\nWS_MAXIMIZEBOX\r\n"},
        // WS_POPUP, WS_BORDER and WS_SYSMENU lie inside the combined style; WS_CAPTION does not.
        {0x94C80000, false,
         L"WS_POPUPWINDOW\r\nWS_VISIBLE\r\nWS_CLIPSIBLINGS\r\nWS_CAPTION\r\nWS_DLGFRAME\r\n"},
        {0x00000000, false, L"WS_OVERLAPPED (= WS_TILED)\r\n"},
        {0x00030000, false,
         L"WS_OVERLAPPED (= WS_TILED)\r\nWS_GROUP\r\nWS_TABSTOP\r\nWS_MINIMIZEBOX\r\nWS_MAXIMIZEBOX\r\n"},
        {0x00000100, true, L"WS_EX_WINDOWEDGE\r\nWS_EX_LEFT\r\nWS_EX_LTRREADING\r\nWS_EX_RIGHTSCROLLBAR\r\n"},
        {0x00000300, true, L"WS_EX_OVERLAPPEDWINDOW\r\n"},
        {0x00040300, true, L"WS_EX_OVERLAPPEDWINDOW\r\nWS_EX_APPWINDOW\r\n"},
        {0x00000388, true, L"WS_EX_OVERLAPPEDWINDOW\r\nWS_EX_PALETTEWINDOW\r\n"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.style);
        const std::wstring names = c.extended ? StyleNames(c.style, CombinedExtWindowStyles, ExtWindowStyles)
                                              : StyleNames(c.style, CombinedWindowStyles, WindowStyles);
        CHECK(names == c.lines);
    }
}

TEST_CASE("style button captions, the sign bit included") {
    CHECK(StyleFromCaption(L"94C80000") == 0x94C80000u);
    CHECK(StyleFromCaption(L"FFFFFFFF") == 0xFFFFFFFFu);
    CHECK(StyleFromCaption(L"00000100") == 0x100u);
    CHECK_FALSE(StyleFromCaption(L""));
    CHECK_FALSE(StyleFromCaption(L"1FFFFFFFF"));
    CHECK_FALSE(StyleFromCaption(L"-0000001"));
}
