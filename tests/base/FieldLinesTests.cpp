#include <doctest.h>

#include "base/FieldLines.h"

TEST_CASE("a field line is the caption without its accelerator and colon, then the value") {
    struct {
        const wchar_t* caption;
        const wchar_t* line;
    } cases[] = {
        {L"&Text/Caption:", L"Text/Caption: OK\r\n"},      {L"Class&name:", L"Classname: OK\r\n"},
        {L"Class hierarchy:", L"Class hierarchy: OK\r\n"}, {L"Enabled", L"Enabled: OK\r\n"},
        {L"Fish && &Chips :", L"Fish & Chips: OK\r\n"},    {L"ends with &", L"ends with &: OK\r\n"},
    };
    for (const auto& c : cases) {
        std::wstring lines;
        AppendFieldLine(lines, c.caption, L"OK");
        CHECK(lines == c.line);
    }
    std::wstring two;
    AppendFieldLine(two, L"&ID:", L"0000000A");
    AppendFieldLine(two, L"&Font:", L"");
    CHECK(two == L"ID: 0000000A\r\nFont: \r\n");
}
