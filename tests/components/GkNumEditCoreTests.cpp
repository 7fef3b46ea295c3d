#include <doctest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "components/GkNumEditCore.h"

namespace doctest {
template <>
struct StringMaker<std::wstring> {
    static String convert(const std::wstring& text) {
        std::string narrow = "L\"";
        for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
        return (narrow + "\"").c_str();
    }
};
}  // namespace doctest

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const long double kInf = std::numeric_limits<long double>::infinity();
const long double kNaN = std::numeric_limits<long double>::quiet_NaN();

TGkNumEditCore Core(TGkValueType type, wchar_t separator = L'.') {
    TGkNumEditCore core(separator);
    core.SetValueType(type);
    return core;
}

// The edit box around the core, driven the way the adapter drives it: the key filter on WM_CHAR; the
// check on EN_UPDATE and again in the change handling; then TextChanged and the change event.
struct NumBox {
    TGkNumEditCore core;
    std::wstring text = L"0";
    int sel_start = 1;
    int sel_length = 0;
    std::vector<std::wstring> events;  // the text each change event saw

    explicit NumBox(TGkValueType type, wchar_t separator = L'.') : core(Core(type, separator)) {}

    void Type(const std::wstring& keys, bool shift = false) {
        for (wchar_t key : keys) {
            const wchar_t c = core.FilterKey(key, shift, text, sel_start);
            if (c == 0) continue;
            if (c == L'\b') {
                if (sel_length == 0 && sel_start == 0) continue;  // nothing to delete: no change
                if (sel_length == 0) sel_length = 1, --sel_start;
                text.erase(sel_start, sel_length);
            } else {
                text.replace(sel_start, sel_length, 1, c);
                ++sel_start;
            }
            sel_length = 0;
            Changed();
        }
    }
    void Paste(const std::wstring& pasted) {
        text.replace(sel_start, sel_length, pasted);
        sel_start += static_cast<int>(pasted.size());
        sel_length = 0;
        Changed();
    }
    void Select(int start, int length) { sel_start = start, sel_length = length; }
    void SelectAll() { Select(0, static_cast<int>(text.size())); }

private:
    void Changed() {
        Apply(core.Validate(text));
        Apply(core.Validate(text));
        core.TextChanged(text);
        events.push_back(text);
    }
    void Apply(const std::optional<TGkNumEditCore::TextCorrection>& correction) {
        if (!correction) return;
        text = correction->text;
        sel_start = correction->sel_start;
        sel_length = correction->sel_length;
    }
};

}  // namespace

TEST_CASE("extended conversion: exact values and the position of the first failing character") {
    struct {
        const wchar_t* text;
        long double value;
        int error_pos;
    } cases[] = {
        {L"42", 42, 0},
        {L"-42", -42, 0},
        {L"+7", 7, 0},
        {L"  5", 5, 0},
        {L".5", 0.5L, 0},
        {L"1.", 1, 0},
        {L"1.5E3", 1500, 0},
        {L"25e-2", 0.25L, 0},
        {L"0.1", 0.1L, 0},
        {L"9223372036854775807", 9223372036854775807.0L, 0},
        {L"1.18973149535723176502e4932", LDBL_MAX, 0},
        {L"3.6451995318824746025e-4951", std::numeric_limits<long double>::denorm_min(), 0},
        {L"1e-5000", 0, 0},
        // Halfway between 1 and the next extended value goes to the even one; a hair above goes up.
        {L"1.0000000000000000000542101086242752217003726400434970855712890625", 1, 0},
        {L"1.0000000000000000000542101086242752217003726400434970855712890625001", 1 + 0x1p-63L, 0},
        {L"", 0, 1},
        {L"-", 0, 2},
        {L".", 0, 2},
        {L"1E", 0, 3},
        {L"1E-", 0, 4},
        {L"1EX", 0, 3},
        {L"1.5.2", 0, 4},
        {L"12G", 0, 3},
        {L"1 ", 0, 2},
        {L"\xFF11", 0, 1},  // a full-width digit is no digit
        {L"1e5000", kInf, 6},
        {L"-1E5000", -kInf, 7},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        const TGkConversion conversion = ConvertExtended(c.text);
        CHECK(conversion.error_pos == c.error_pos);
        if (c.error_pos == 0 || std::isinf(c.value)) CHECK(conversion.value == c.value);
    }

    // The point folds into the exponent without losing digits on either side.
    CHECK(ConvertExtended(L"0." + std::wstring(5000, L'0') + L"1e5002").value == 10);
    CHECK(ConvertExtended(L"1" + std::wstring(5000, L'0') + L"e-5000").value == 1);
    CHECK(std::signbit(ConvertExtended(L"-0").value));
}

TEST_CASE("hexadecimal conversion is 64-bit two's complement") {
    struct {
        const wchar_t* text;
        long double value;
        int error_pos;
    } cases[] = {
        {L"$0", 0, 0},
        {L"$ff", 255, 0},
        {L"$FFFFFFFFFFFFFFFF", -1, 0},
        {L"$7FFFFFFFFFFFFFFF", 9223372036854775807.0L, 0},
        {L"$8000000000000000", -0x1p63L, 0},
        {L"$00000000000000000000001", 1, 0},
        {L"$10000000000000000", 0x1p60L, 18},  // fails at the seventeenth digit
        {L"$", 0, 2},
        {L"$12G", 0x12, 4},
        {L"$-1", 0, 2},
        {L"$ 1", 0, 2},
        {L"FF", 0, 1},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        const TGkConversion conversion = ConvertHex64(c.text);
        CHECK(conversion.error_pos == c.error_pos);
        CHECK(conversion.value == c.value);
    }
}

TEST_CASE("Validate classifies a changed text, normalises it or takes it back") {
    struct {
        TGkValueType type;
        const wchar_t* text;
        TGkConvError error;
        const wchar_t* result;  // nullptr: the text stays as typed
    } cases[] = {
        {vtDec, L"-", ceInvalidMinus, nullptr},
        {vtDec, L"12", ceNone, nullptr},
        {vtDec, L"012", ceNone, L"12"},
        {vtDec, L"-0", ceNone, L"0"},
        {vtDec, L"1.7", ceNone, L"1"},
        {vtDec, L" 5", ceNone, L"5"},
        {vtDec, L"1.", ceInvalidDecSep, nullptr},
        {vtDec, L"-.5", ceInvalidDecSep, nullptr},
        {vtDec, L"$FF", ceInvalid, L"0"},
        {vtDec, L"12G", ceInvalid, L"0"},
        {vtDec, L"5-", ceInvalid, L"0"},
        {vtDec, L"9223372036854775807", ceNone, nullptr},
        {vtDec, L"9223372036854775808", ceOverflow, L"0"},
        {vtDec, L"-9223372036854775809", ceUnderFlow, L"0"},
        {vtDec, L"1E5000", ceOverflow, L"0"},
        {vtDec, L"-1E5000", ceUnderFlow, L"0"},
        {vtHex, L"0FF", ceNone, L"FF"},
        {vtHex, L"ff", ceNone, L"FF"},
        {vtHex, L"12G", ceInvalid, L"0"},
        {vtHex, L"-5", ceInvalid, L"0"},
        {vtHex, L"1.5", ceInvalid, L"0"},
        {vtHex, L"FFFFFFFFFFFFFFFF", ceNone, nullptr},
        {vtHex, L"10000000000000000", ceOverflow, L"0"},
        {vtFloat, L"1.", ceInvalidDecSep, nullptr},
        {vtFloat, L"1E", ceInvalidExp, nullptr},
        {vtFloat, L"1.0E", ceInvalidExp, nullptr},
        {vtFloat, L"1EX", ceInvalid, L"0"},
        {vtFloat, L"1E-", ceInvalid, L"0"},
        {vtFloat, L"1E5E", ceInvalid, L"0"},
        {vtFloat, L"-", ceInvalidMinus, nullptr},
        {vtFloat, L"1.5", ceNone, L"1.50"},
        {vtFloat, L"1E3", ceNone, L"1000.0"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.type);
        CAPTURE(std::wstring(c.text));
        TGkNumEditCore core = Core(c.type);
        const auto correction = core.Validate(c.text);
        CHECK(core.ConvError() == c.error);
        CHECK(correction.has_value() == (c.result != nullptr));
        if (correction && c.result) CHECK(correction->text == c.result);
    }
}

TEST_CASE("Validate: where the caret goes, and texts that never reach the classification") {
    TGkNumEditCore core = Core(vtDec);
    core.TextChanged(L"-5");
    core.FilterKey(L'x', false, L"-5", 1);

    const auto empty = core.Validate(L"");
    REQUIRE(empty);
    CHECK(empty->text == L"0");
    CHECK((empty->sel_start == 0 && empty->sel_length == 1));

    for (const wchar_t* twice : {L"--5", L"-5-", L"1.2.3"}) {
        CAPTURE(std::wstring(twice));
        const auto taken_back = core.Validate(twice);
        REQUIRE(taken_back);
        CHECK(taken_back->text == L"-5");
        CHECK((taken_back->sel_start == 1 && taken_back->sel_length == 0));
    }
    CHECK(core.ConvError() == ceNone);  // neither check classified anything

    const auto normalised = core.Validate(L"-0012");
    REQUIRE(normalised);
    CHECK(normalised->text == L"-12");
    CHECK(normalised->sel_start == 3);

    core.FilterKey(L'1', false, L"-5", 40);  // a caret beyond the restored text is clamped to it
    CHECK(core.Validate(L"12G")->sel_start == 2);
}

TEST_CASE("RoundToRange replaces texts beyond the range by the bound and still takes back invalid ones") {
    TGkNumEditCore hex = Core(vtHex);
    hex.RoundToRange = true;
    hex.MaxValue = 4294967295.0L;
    for (const wchar_t* text : {L"FFFFFFFFF", L"10000000000000000"}) {
        const auto correction = hex.Validate(text);
        REQUIRE(correction);
        CHECK(hex.ConvError() == ceOverflow);
        CHECK(correction->text == L"FFFFFFFF");
        CHECK(correction->sel_start == 8);
    }
    CHECK(hex.Validate(L"FFFFFFFF") == std::nullopt);
    CHECK(hex.Validate(L"12G")->text == L"0");

    TGkNumEditCore dec = Core(vtDec);
    dec.RoundToRange = true;
    dec.MinValue = -10;
    CHECK(dec.Validate(L"-11")->text == L"-10");
    CHECK(dec.ConvError() == ceUnderFlow);
    CHECK(dec.Validate(L"-99999999999999999999999")->text == L"-10");
}

TEST_CASE("FormatValue: Digits, LeadingZeros and the notations") {
    struct {
        TGkValueType type;
        int digits, leading_zeros;
        long double x;
        const wchar_t* text;
    } cases[] = {
        {vtDec, 0, 2, 5, L"005"},
        {vtDec, 0, 2, -5, L"-005"},
        {vtDec, 4, 0, 5, L"0005"},
        {vtDec, 4, 0, 123456, L"123456"},
        {vtDec, 4, 0, -5, L"-0005"},
        {vtDec, 0, 0, 0, L"0"},
        {vtDec, 3, 0, 0, L"000"},
        {vtDec, 0, 2, 0, L"00"},
        {vtDec, 0, 0, 1e30L, L"9223372036854775807"},
        {vtDec, 0, 0, -1e30L, L"-9223372036854775808"},
        {vtDec, 0, 0, kNaN, L"0"},
        {vtHex, 0, 0, 255, L"FF"},
        {vtHex, 4, 0, 255, L"00FF"},
        {vtHex, 0, 1, 255, L"0FF"},
        {vtHex, 0, 0, 0, L"0"},
        {vtHex, 0, 0, -1, L"FFFFFFFFFFFFFFFF"},
        {vtHex, 20, 0, -1, L"0000FFFFFFFFFFFFFFFF"},
        {vtHex, 0, 0, -0x1p63L, L"8000000000000000"},
        {vtFloat, 0, 0, 1.5L, L"1.50"},
        {vtFloat, 0, 0, -2.25L, L"-2.2500"},
        {vtFloat, 0, 0, 0, L"0"},
        {vtFloat, 5, 0, 1.5L, L"1.50000"},
        {vtFloat, 0, 1, 1.5L, L"1.500"},
        {vtFloat, 0, 0, 0.1L, L"0.10"},
        {vtFloat, 0, 0, 1000, L"1000.0"},
        // Every digit of the extended value, printed exactly on both runtimes.
        {vtFloat, 0, 0, 1.0L / 3, L"0.333333333333333333342"},
        {vtFloat, 0, 0, 0x1p64L, L"18446744073709551616.00000000000000000000"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.type);
        CAPTURE(c.x);
        TGkNumEditCore core = Core(c.type);
        core.SetDigits(c.digits);
        core.SetLeadingZeros(c.leading_zeros);
        CHECK(core.FormatValue(c.x) == c.text);
    }

    CHECK(Core(vtFloat, L',').FormatValue(-2.25L) == L"-2,2500");

    TGkNumEditCore wide = Core(vtDec);
    wide.SetLeadingZeros(INT_MAX);
    CHECK(wide.FormatValue(-5).size() == TGkNumEditCore::kMaxWidth + 1);
    wide.SetValueType(vtFloat);
    CHECK(wide.FormatValue(5).size() == TGkNumEditCore::kMaxWidth + 2);
}

TEST_CASE("DigitCount counts the digits a value shows without padding") {
    struct {
        TGkValueType type;
        long double x;
        int count;
    } cases[] = {
        {vtDec, 0, 0},        {vtDec, 7.9L, 1},     {vtDec, -123, 3},   {vtDec, -0x1p63L, 19},
        {vtHex, 255, 2},      {vtHex, -1, 1},       {vtHex, 0, 0},      {vtFloat, 1.5L, 2},
        {vtFloat, 0, 0},      {vtFloat, -2.25L, 4}, {vtFloat, 1000, 1}, {vtFloat, 0.1L, 2},
        {vtFloat, 1e-30L, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.type);
        CAPTURE(c.x);
        CHECK(Core(c.type).DigitCount(c.x) == c.count);
    }
}

TEST_CASE("RoundValue by RoundMethod, saturating at the 64-bit range") {
    struct {
        TGkRoundMethod method;
        long double x;
        std::int64_t r;
    } cases[] = {
        {rmTrunc, 2.9L, 2},
        {rmTrunc, -2.9L, -2},
        {rmRound, 2.5L, 2},
        {rmRound, 3.5L, 4},
        {rmRound, -2.5L, -2},
        {rmRound, -3.5L, -4},
        {rmRound, 2.6L, 3},
        {rmRound, -2.4L, -2},
        {rmRound, 0.5L, 0},
        {rmRound, 1.5L, 2},
        {rmUp, 2.1L, 3},
        {rmUp, -2.1L, -2},
        {rmDown, -2.1L, -3},
        {rmDown, 2.1L, 2},
        {rmUp, 0x1p63L - 0.5L, kMax},
        {rmRound, 0x1p63L - 0.5L, kMax},
        {rmTrunc, kInf, kMax},
        {rmTrunc, -kInf, kMin},
        {rmRound, kNaN, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.method);
        CAPTURE(c.x);
        TGkNumEditCore core;
        core.RoundMethod = c.method;
        CHECK(core.RoundValue(c.x) == c.r);
    }

    TGkNumEditCore core;
    core.RoundMethod = rmRound;
    CHECK(core.SetFloatValue(2.5L) == L"2");
    CHECK(core.SetFloatValue(3.5L) == L"4");
    CHECK(core.IntValue() == 4);
}

TEST_CASE("the key filter") {
    struct {
        TGkValueType type;
        wchar_t key;
        bool modifier;
        const wchar_t* text;
        int caret;
        wchar_t passed;
    } cases[] = {
        {vtHex, L'a', false, L"0", 1, L'A'},
        {vtHex, L'g', false, L"0", 1, 0},
        {vtHex, L'-', false, L"5", 0, 0},
        {vtHex, L'g', true, L"0", 1, L'G'},  // Shift, Ctrl or Alt: unfiltered, still upper-cased
        {vtDec, L'e', false, L"5", 1, 0},
        {vtDec, L'\b', false, L"5", 1, L'\b'},
        {vtDec, L'\x16', false, L"5", 1, 0},
        {vtDec, L'\x16', true, L"5", 1, L'\x16'},
        {vtDec, L'0', false, L"0", 1, 0},
        {vtDec, L'0', false, L"0", 0, 0},
        {vtDec, L'0', false, L"05", 2, L'0'},
        {vtDec, L'0', false, L"10", 1, L'0'},
        {vtDec, L'-', false, L"-5", 0, 0},
        {vtDec, L'-', false, L"12", 2, 0},
        {vtDec, L'-', false, L"12", 1, L'-'},
        {vtDec, L'-', false, L"12", 0, L'-'},
        {vtDec, L'-', true, L"-5", 0, L'-'},
        {vtFloat, L'e', false, L"1", 1, L'E'},
        {vtFloat, L'.', false, L"1", 1, L'.'},
        {vtFloat, L',', false, L"1", 1, 0},
        {vtFloat, L'\xE9', false, L"1", 1, 0},  // only a to z are upper-cased, nothing else passes
    };
    for (const auto& c : cases) {
        CAPTURE(c.type);
        CAPTURE(static_cast<int>(c.key));
        TGkNumEditCore core = Core(c.type);
        CHECK(core.FilterKey(c.key, c.modifier, c.text, c.caret) == c.passed);
        CHECK(core.LastCaret() == c.caret);  // kept for refused keys too
    }

    TGkNumEditCore comma = Core(vtFloat, L',');
    CHECK(comma.FilterKey(L',', false, L"1", 1) == L',');
    CHECK(comma.FilterKey(L'.', false, L"1", 1) == 0);
}

TEST_CASE("properties: defaults and setters") {
    TGkNumEditCore core;
    CHECK(core.AlignmentAsValue);
    CHECK(core.ConvError() == ceNone);
    CHECK(core.Digits() == 0);
    CHECK(core.FloatValue == 0);
    CHECK(core.LeadingZeros() == 0);
    CHECK(core.MaxValue == 9223372036854775807.0L);
    CHECK(core.MinValue == -0x1p63L);
    CHECK(core.RoundMethod == rmTrunc);
    CHECK_FALSE(core.RoundToRange);
    CHECK(core.IntValue() == 0);
    CHECK(core.ValueType() == vtDec);
    CHECK(core.LastValidText() == L"0");

    CHECK_FALSE(core.SetDigits(-1));
    CHECK_FALSE(core.SetDigits(0));
    CHECK(core.SetDigits(3));
    CHECK_FALSE(core.SetDigits(3));
    CHECK_FALSE(core.SetLeadingZeros(-2));
    CHECK(core.SetLeadingZeros(1));
    CHECK(core.Digits() == 3);
    CHECK(core.LeadingZeros() == 1);

    core.MaxValue = 10;
    CHECK(core.SetIntValue(-255) == L"-0255");  // values from code are not range-checked
    CHECK(core.FloatValue == -255);
    CHECK(core.SetValueType(vtDec) == std::nullopt);
    CHECK(core.SetValueType(vtHex) == L"FFFFFFFFFFFFFF01");
    CHECK(core.SetFloatValue(4096) == L"01000");
}

TEST_CASE("ParseText keeps FloatValue for texts that do not convert") {
    TGkNumEditCore dec = Core(vtDec);
    dec.FloatValue = 42;
    CHECK(dec.ParseText(L"-") == 42);
    CHECK(dec.ParseText(L"") == 42);
    CHECK(dec.ParseText(L"-17") == -17);
    CHECK(dec.ParseText(L"1.") == 1);

    TGkNumEditCore fraction = Core(vtFloat, L',');
    fraction.FloatValue = 42;
    CHECK(fraction.ParseText(L",") == 42);
    CHECK(fraction.ParseText(L"1E") == 42);
    CHECK(fraction.ParseText(L"2,5") == 2.5L);

    TGkNumEditCore hex = Core(vtHex);
    hex.FloatValue = 42;
    CHECK(hex.ParseText(L"ff") == 255);
    CHECK(hex.ParseText(L"") == 42);
    CHECK(hex.ParseText(L"12G") == 42);
}

TEST_CASE("typing into a hexadecimal box") {
    NumBox box(vtHex);
    box.core.MaxValue = 4294967295.0L;
    box.Type(L"ff");
    CHECK(box.text == L"FF");
    CHECK(box.core.FloatValue == 255);
    CHECK(box.events == std::vector<std::wstring>{L"F", L"FF"});

    box.Select(0, 0);
    box.Type(L"0");
    CHECK(box.text == L"FF");
    CHECK(box.sel_start == 2);
    CHECK(box.events.back() == L"FF");

    box.SelectAll();
    box.Type(L"ffffffff");
    CHECK(box.text == L"FFFFFFFF");
    box.Select(4, 0);
    box.Type(L"f");  // the ninth digit goes beyond MaxValue
    CHECK(box.text == L"FFFFFFFF");
    CHECK(box.sel_start == 4);
    CHECK(box.events.back() == L"FFFFFFFF");  // the change event still follows the keystroke
    CHECK(box.core.FloatValue == 4294967295.0L);

    box.SelectAll();
    box.Paste(L"12G");
    CHECK(box.text == L"FFFFFFFF");

    box.Select(8, 0);
    box.Type(L"g", true);  // passes the filter with Shift, then the check takes it back
    CHECK(box.text == L"FFFFFFFF");

    box.SelectAll();
    box.Type(L"\b");
    CHECK(box.text == L"0");
    CHECK((box.sel_start == 0 && box.sel_length == 1));
    CHECK(box.events.back() == L"0");
    CHECK(box.core.FloatValue == 0);
    box.Type(L"a");
    CHECK(box.text == L"A");
}

TEST_CASE("typing into a decimal box") {
    NumBox box(vtDec);
    box.Type(L"42");
    CHECK(box.text == L"42");
    CHECK(box.core.IntValue() == 42);

    box.SelectAll();
    box.Type(L"-");
    CHECK(box.text == L"-");
    CHECK(box.core.ConvError() == ceInvalidMinus);
    CHECK(box.core.FloatValue == 42);
    box.Type(L"5");
    CHECK(box.text == L"-5");
    CHECK(box.core.FloatValue == -5);

    box.Type(L"-");  // the text begins with "-"
    box.Select(1, 0);
    box.Type(L"-");
    CHECK(box.text == L"-5");
    box.Paste(L"-");  // a pasted second "-" is taken back
    CHECK(box.text == L"-5");
    CHECK(box.sel_start == 1);

    box.SelectAll();
    box.Type(L"12");
    box.Type(L"-");  // caret at position 2
    CHECK(box.text == L"12");
    box.Select(1, 0);
    box.Type(L"-");  // "1-2" does not convert
    CHECK(box.text == L"12");
    CHECK(box.core.FloatValue == 12);
}

TEST_CASE("typing into a fraction box") {
    NumBox box(vtFloat);
    box.SelectAll();
    box.Type(L"1");
    CHECK(box.text == L"1.0");
    box.Type(L"\b");
    CHECK(box.text == L"1.");
    CHECK(box.core.ConvError() == ceInvalidDecSep);
    CHECK(box.core.FloatValue == 1);
    box.Type(L".");
    CHECK(box.text == L"1.");
    box.Type(L"5");
    CHECK(box.text == L"1.50");
    CHECK(box.core.FloatValue == 1.5L);

    box.Type(L"e");
    CHECK(box.text == L"1.50E");
    CHECK(box.core.ConvError() == ceInvalidExp);
    CHECK(box.core.FloatValue == 1.5L);  // "1.50E" does not convert: the value stays
    box.Type(L"2");
    CHECK(box.text == L"150.00");
    CHECK(box.core.FloatValue == 150);
}
