#pragma once
// Everything of the numeric edit box that needs no window: the key filter, the check of a changed
// text, the conversions and the canonical formatting. The edit-box adapter (GkNumEdit) forwards to it:
//
//   WM_CHAR        ch := FilterKey(ch, modifiers, text, selection start); hand on ch, or drop it when 0
//   EN_UPDATE      correction := Validate(text); when there is one, write it with the adapter's own
//                  "validating" guard set, so the notifications that writing raises are swallowed
//   EN_CHANGE      (not while validating) Validate again as above, then TextChanged(text), then raise
//                  OnChange. TextChanged comes first so that a handler writing the text runs its own
//                  change handling last and leaves LastValidText at the newest text.
//   code setters   SetFloatValue, SetIntValue, SetValueType return the text to write; SetDigits and
//                  SetLeadingZeros return true when the text must be checked again (send EN_UPDATE).
//
// Checking a text that Validate produced returns no correction, with one exception: the selected "0"
// of an emptied box is padded by the second check when Digits or LeadingZeros ask for more digits.
// Texts are wide (the edit box is Unicode); caret and selection positions count wchar_t units from 0.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum TGkValueType { vtDec, vtHex, vtFloat };
enum TGkRoundMethod { rmTrunc, rmRound, rmDown, rmUp };
enum TGkConvError {
    ceNone,
    ceInvalidMinus,
    ceInvalidDecSep,
    ceInvalidExp,
    ceInvalid,
    ceUnderFlow,
    ceOverflow
};

// Result of converting a text: its value and the 1-based position of the first character that failed
// (0 on success). A position one past the end means the text stopped where more was needed ("-", "1E").
struct TGkConversion {
    long double value = 0;
    int error_pos = 0;
};

// [blanks][sign]digits[.digits][(E|e)[sign]digits] with "." as the decimal point, at least one mantissa
// digit, correctly rounded to extended precision. A value beyond the extended range fails at the
// position of its last digit (the number is too long); one below it becomes 0 or a denormal.
TGkConversion ConvertExtended(std::wstring_view text);
// "$" and hexadecimal digits (either case) as a 64-bit two's complement value: sixteen significant
// digits at most, so "$FFFFFFFFFFFFFFFF" is -1. A seventeenth significant digit fails at its own
// position, the value then being what the digits before it gave.
TGkConversion ConvertHex64(std::wstring_view text);

class TGkNumEditCore {
public:
    struct TextCorrection {
        std::wstring text;
        int sel_start = 0;
        int sel_length = 0;
    };

    // The decimal separator is the system's; the conversions themselves never consult a locale.
    explicit TGkNumEditCore(wchar_t decimal_separator = L'.');

    // Properties without side effects here. A value written to FloatValue directly shows nowhere;
    // SetFloatValue also gives the text.
    bool AlignmentAsValue = true;  // the adapter recreates its window when this changes
    long double FloatValue = 0;
    long double MaxValue = 9223372036854775807.0L;
    long double MinValue = -9223372036854775807.0L - 1;
    TGkRoundMethod RoundMethod = rmTrunc;
    bool RoundToRange = false;

    TGkConvError ConvError() const { return conv_error_; }
    int Digits() const { return digits_; }
    int LeadingZeros() const { return leading_zeros_; }
    TGkValueType ValueType() const { return value_type_; }
    wchar_t DecimalSeparator() const { return decimal_separator_; }
    const std::wstring& LastValidText() const { return last_valid_text_; }
    int LastCaret() const { return last_caret_; }

    // Values written by code are stored as they are, not compared with MinValue and MaxValue.
    std::wstring SetFloatValue(long double v);
    std::int64_t IntValue() const { return RoundValue(FloatValue); }
    std::wstring SetIntValue(std::int64_t v);
    // nullopt when the notation stays; else the value's text in the new notation.
    std::optional<std::wstring> SetValueType(TGkValueType type);
    // False (and nothing stored) for a negative value or the current one.
    bool SetDigits(int digits);
    bool SetLeadingZeros(int zeros);

    // A typed character, upper-cased, or 0 when refused. With Shift, Ctrl or Alt held it passes
    // unfiltered. caret is the insertion point before the character; it is kept as LastCaret either way.
    wchar_t FilterKey(wchar_t ch, bool shift_ctrl_or_alt, const std::wstring& text, int caret);
    // Checks a changed text and sets ConvError; nullopt when the text stays, and a correction only when
    // it changes the text. A correction takes the text back to LastValidText (caret at LastCaret,
    // clamped to it), replaces it by its canonical form or a range bound (caret at the end), or turns
    // an empty text into a selected "0". A text that does not convert at all is taken back also with
    // RoundToRange set, which only replaces texts beyond the range.
    std::optional<TextCorrection> Validate(const std::wstring& text);
    // FloatValue := ParseText(text); LastValidText := text.
    void TextChanged(const std::wstring& text);

    TGkConvError ClassifyConversion(const std::wstring& s, int p, long double x) const;
    std::wstring FormatValue(long double x) const;
    int DigitCount(long double x) const;
    std::int64_t RoundValue(long double x) const;
    // The text's value; FloatValue when it does not convert (a lone "-" or separator, "1E", "").
    long double ParseText(const std::wstring& s) const;

    // Widths beyond this are clamped: far more than an edit box shows, and it bounds what a large
    // Digits or LeadingZeros can make FormatValue allocate.
    static constexpr int kMaxWidth = 32767;

private:
    TGkConversion Convert(const std::wstring& text) const;  // by notation, as Validate and ParseText need

    wchar_t decimal_separator_;
    TGkConvError conv_error_ = ceNone;
    int digits_ = 0;
    int leading_zeros_ = 0;
    TGkValueType value_type_ = vtDec;
    std::wstring last_valid_text_ = L"0";  // the text the control starts with
    int last_caret_ = 0;
};
