#include <doctest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

#include "components/GkGeneralText.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

}  // namespace

TEST_CASE("GetField splits display rows and drops the blanks and control characters that lead a field") {
    const std::vector<std::string> tab{"\t"};
    struct {
        const char* text;
        int n;
        std::vector<std::string> delimiters;
        const char* field;
    } cases[] = {
        {"a\t\tb", 1, tab, "a"},
        {"a\t\tb", 2, tab, "b"},  // the empty field between the tabs is trimmed away
        {"a\t\tb", 3, tab, ""},
        {"   plain", 1, tab, "plain"},
        {"\x01\x1f x\ty", 1, tab, "x"},
        {"\xE4x\ty", 1, tab, "\xE4x"},  // bytes above 0x7F are characters, not blanks
        {"a\t", 2, tab, ""},
        {"", 1, tab, ""},
        {"x; y,z", 2, {",", ";"}, "y"},  // whichever delimiter comes first ends the field
        {"x; y,z", 3, {",", ";"}, "z"},
        {"a, b", 2, {", "}, "b"},  // a longer delimiter still ends one character later
        {"a\tb", 1, {}, "a\tb"},
        {"a\tb", 1, {""}, "a\tb"},
        {"a\tb", 0, tab, ""},
        {"a\tb", -3, tab, ""},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        CAPTURE(c.n);
        CHECK(GetField(c.text, c.n, c.delimiters) == c.field);
    }
}

TEST_CASE("FirstDelimiterPos and PosFrom give 1-based positions, 0 for none") {
    CHECK(FirstDelimiterPos({"b", "a"}, "xab") == 2);
    CHECK(FirstDelimiterPos({"bc", "c"}, "abc") == 2);
    CHECK(FirstDelimiterPos({"zz"}, "abc") == 0);
    CHECK(FirstDelimiterPos({}, "abc") == 0);

    struct {
        const char* substring;
        const char* text;
        int start;
        int position;
    } cases[] = {
        {"b", "abcb", 1, 2}, {"b", "abcb", 3, 4},  {"b", "abcb", 4, 4},    {"b", "abcb", 5, 0},
        {"b", "abcb", 0, 0}, {"b", "abcb", -1, 0}, {"cb", "abcb", 4, 0},   {"x", "abc", 1, 0},
        {"", "abc", 1, 0},   {"b", "", 1, 0},      {"abcb", "abcb", 1, 1},
    };
    for (const auto& c : cases) {
        CAPTURE(c.substring);
        CAPTURE(c.start);
        CHECK(PosFrom(c.substring, c.text, c.start) == c.position);
    }
}

TEST_CASE("ExpandEnvironmentReferences replaces defined references once, left to right") {
    const std::map<std::string, std::string> environment{
        {"A", "1"}, {"LONG", "a longer value"}, {"EMPTY", ""}, {"REF", "%A%"}};
    const EnvironmentLookup lookup = [&](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        if (found == environment.end()) return std::nullopt;
        return found->second;
    };
    struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"%A%%LONG%", "1a longer value"},  // first value shorter than its reference
        {"%LONG%%A%", "a longer value1"},  // and longer
        {"%UNDEFINED_NAME%%A%", "%UNDEFINED_NAME%1"},
        {"x%EMPTY%y", "xy"},
        {"%REF%", "%A%"},  // inserted values are not scanned again
        {"100% sure", "100% sure"},
        {"50% of %A%", "50% of %A%"},  // the "%" after "of " closes the first pair
        {"%%", "%%"},
        {"%A", "%A"},
        {"%A%%A%%A%", "111"},
    };
    for (const auto& c : cases) CHECK(ExpandEnvironmentReferences(c.text, lookup) == c.expanded);
}

TEST_CASE("ExpandEnvironmentReferences reads the process environment") {
    const char* path = std::getenv("PATH");
    REQUIRE(path != nullptr);
    std::string expected = "<";
    expected.append(path).append(">");
    CHECK(ExpandEnvironmentReferences("<%PATH%>") == expected);
    CHECK(ExpandEnvironmentReferences("%%|%=PATH%") == "%%|%=PATH%");
}

TEST_CASE("file name pieces") {
    CHECK(IncludeBackslash("") == "\\");
    CHECK(IncludeBackslash("C:\\dir") == "C:\\dir\\");
    CHECK(IncludeBackslash("C:\\dir\\") == "C:\\dir\\");

    struct {
        const char* name;
        const char* without_ext;
        const char* directory;
    } cases[] = {
        {"C:\\dir\\file.txt", "C:\\dir\\file", "C:\\dir\\"},
        {"C:\\dir.d\\file", "C:\\dir.d\\file", "C:\\dir.d\\"},
        {"C:\\dir\\file.tar.gz", "C:\\dir\\file.tar", "C:\\dir\\"},
        {"C:file.x", "C:file", "C:\\"},
        {"file.txt", "file", "\\"},
        {"\\\\server\\share\\f", "\\\\server\\share\\f", "\\\\server\\share\\"},
        {"", "", "\\"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        CHECK(RemoveFileExt(c.name) == c.without_ext);
        CHECK(ExtractDirectory(c.name) == c.directory);
    }

    struct {
        const wchar_t* name;
        const wchar_t* extension;
    } extensions[] = {
        {L"C:\\dir\\file.txt", L".txt"}, {L".txt", L".txt"},      {L"txt", L""},
        {L"C:\\dir.d\\file", L""},       {L"C:/dir.d/file", L""}, {L"C:x.lnk", L".lnk"},
        {L"a.tar.gz", L".gz"},           {L"name.", L"."},        {L"\u0416\u4E2D.\u00E9", L".\u00E9"},
    };
    for (const auto& c : extensions) CHECK(ExtractFileExt(c.name) == c.extension);
}

TEST_CASE("CeilInt64 and FloorInt64 round outward from the fraction and saturate at the 64-bit range") {
    const long double inf = std::numeric_limits<long double>::infinity();
    struct {
        long double x;
        std::int64_t ceil, floor;
    } cases[] = {
        {-1.5L, -1, -2},
        {2.0L, 2, 2},
        {2.5L, 3, 2},
        {-0.0L, 0, 0},
        {1e-30L, 1, 0},
        {-1e-30L, 0, -1},
        {0x1p63L - 0.5L, kMax, kMax},  // the next integer up is 2^63 itself
        {-0x1p63L, kMin, kMin},
        {-0x1p63L - 1, kMin, kMin},  // -2^63 - 1 exists in 80 bits
        {1e30L, kMax, kMax},
        {-1e30L, kMin, kMin},
        {inf, kMax, kMax},
        {-inf, kMin, kMin},
        {std::numeric_limits<long double>::quiet_NaN(), 0, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.x);
        CHECK(CeilInt64(c.x) == c.ceil);
        CHECK(FloorInt64(c.x) == c.floor);
    }
}
