#include <doctest.h>

#include "base/AsciiText.h"
#include "base/ByteSource.h"
#include "base/DpiScale.h"
#include "base/ValueText.h"

TEST_CASE("little-endian integers are read whole or not at all") {
    const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
    MemoryByteSource source(bytes, sizeof bytes);
    std::uint32_t dword = 0;
    CHECK(read_le(source, 0, dword));
    CHECK(dword == 0x04030201u);
    std::int16_t word = 0;
    CHECK(read_le(source, 6, word));
    CHECK(word == static_cast<std::int16_t>(0x8807));
    std::uint64_t qword = 0;
    CHECK(read_le(source, 0, qword));
    CHECK(qword == 0x8807060504030201ull);
    dword = 7;
    CHECK_FALSE(read_le(source, 5, dword));  // runs past the end
    CHECK(dword == 7);
    CHECK_FALSE(read_le(source, UINT64_MAX, dword));
}

TEST_CASE("hexadecimal texts of 32-bit values") {
    CHECK(HexText8(0) == L"00000000");
    CHECK(HexText8(0xABCDEF01u) == L"ABCDEF01");
    CHECK(HexText8<char>(0x1F) == "0000001F");
    CHECK(HandleText(0) == L"0");
    CHECK(HandleText(0x000A0B0Cu) == L"A0B0C");
    CHECK(HandleText(0xFFFFFFFFu) == L"FFFFFFFF");
}

TEST_CASE("rectangle and font texts") {
    CHECK(WindowRectText(-5, 10, 95, 60) == L"(-5, 10)-(95, 60) 100x50");
    CHECK(ClientRectText(0, 0, 286, 401) == L"(0, 0)-(286, 401)");
    CHECK(FontText("Tahoma", 8, {}) == "Tahoma, 8 pt");
    CHECK(FontText("MS Sans Serif", 10, {"Bold", true, true, true}) ==
          "MS Sans Serif, 10 pt, Bold, Italic, Underlined, Striked out");
    CHECK(FontText("Courier", 9, {nullptr, false, false, true}) == "Courier, 9 pt, Striked out");
}

TEST_CASE("ASCII folding leaves other bytes alone") {
    CHECK(SameTextAscii("clBtnFace", "CLBTNFACE"));
    CHECK_FALSE(SameTextAscii("\xC4", "\xE4"));
    CHECK(CompareTextAscii("Z", "[") > 0);  // as 'z'
    CHECK(LowerAscii("KERNEL32.DLL") == "kernel32.dll");
    CHECK(WithFullStop(std::string("Done.")) == "Done.");
    CHECK(WithFullStop(std::wstring(L"Invalid PE file format")) == L"Invalid PE file format.");
}

TEST_CASE("layout pixels on a display: one rounding, halves away from zero, and back again") {
    struct {
        int value, dpi, scaled;
    } cases[] = {
        {286, 144, 429},   {506, 144, 759}, {-11, 144, -17},  // -16.5
        {21, 144, 32},     {0, 144, 0},     {7, 120, 9},      // 8.75
        {-200, 144, -300}, {13, 96, 13},    {13, 0, 13},      // no DPI known: layout pixels
    };
    for (const auto& c : cases) {
        CAPTURE(c.value);
        CAPTURE(c.dpi);
        CHECK(ScaleToDpi(c.value, c.dpi) == c.scaled);
    }
    for (int dpi : {96, 120, 144, 168, 192, 288})
        for (int v = -600; v <= 600; ++v) REQUIRE(UnscaleFromDpi(ScaleToDpi(v, dpi), dpi) == v);
    // Spans that meet in layout pixels meet on the display too.
    const ScaledSpan label = ScaleSpan(6, 73, 120), edit = ScaleSpan(79, 165, 120);
    CHECK(label.start + label.length == edit.start);
    CHECK(ScaleSpan(8, 21, 144).length == 32);
    CHECK(MulDivRounded(8, 96, 72) == 11);
    CHECK(MulDivRounded(-13, 72, 96) == -10);
}
