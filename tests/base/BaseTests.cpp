#include <doctest.h>

#include "base/AsciiText.h"
#include "base/ByteSource.h"
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
