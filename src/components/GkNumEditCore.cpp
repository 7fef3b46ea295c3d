#include "components/GkNumEditCore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "components/GkGeneralText.h"

// MinGW's own printf prints 80-bit long doubles exactly; the system runtime's would take them for
// 64-bit doubles.
#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "GkNumEditCore needs __USE_MINGW_ANSI_STDIO for long double formatting"
#endif

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigitValue(wchar_t c) {
    if (IsDigit(c)) return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

int Position(std::size_t index) { return static_cast<int>(index) + 1; }

// Largest decimal exponent whose power still fits the extended range (about 1.19e4932), and one below
// which everything rounds to 0 (the smallest denormal is about 3.6e-4951).
constexpr long long kOverflowExponent = 4932;
constexpr long long kUnderflowExponent = -4952;
constexpr long long kExponentCap = 1000000000;

// "%.*Lf" in the C locale's notation ("." as the point); an exact decimal expansion on both runtimes.
std::string FormatFixed(long double x, int decimals) {
    const int length = std::snprintf(nullptr, 0, "%.*Lf", decimals, x);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*Lf", decimals, x);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::size_t PointIndex(const std::string& fixed) { return fixed.find_first_not_of("-0123456789"); }

std::wstring DigitText(std::uint64_t magnitude, unsigned base, int width) {
    std::wstring digits;
    do {
        digits += L"0123456789ABCDEF"[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    if (static_cast<int>(digits.size()) < width) digits.append(width - digits.size(), L'0');
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::uint64_t Magnitude(std::int64_t r) {
    return r < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(r) : static_cast<std::uint64_t>(r);
}

}  // namespace

TGkConversion ConvertExtended(std::wstring_view s) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n && s[i] == L' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';

    // All digits without leading zeros, as one integer; the point moves into the exponent, so strtold
    // never sees a locale-dependent character.
    std::string digits;
    long long fraction_digits = 0;
    bool any_digit = false;
    std::size_t last_digit = 0;
    auto take_digits = [&](bool fraction) {
        for (; i < n && IsDigit(s[i]); ++i) {
            any_digit = true;
            last_digit = i;
            if (fraction) ++fraction_digits;
            if (!digits.empty() || s[i] != L'0') digits += static_cast<char>(s[i]);
        }
    };
    take_digits(false);
    if (i < n && s[i] == L'.') {
        ++i;
        take_digits(true);
    }
    if (!any_digit) return {0, Position(i)};

    long long exponent = -fraction_digits;
    if (i < n && (s[i] == L'E' || s[i] == L'e')) {
        ++i;
        bool exponent_negative = false;
        if (i < n && (s[i] == L'+' || s[i] == L'-')) exponent_negative = s[i++] == L'-';
        if (i >= n || !IsDigit(s[i])) return {0, Position(i)};
        long long written = 0;
        for (; i < n && IsDigit(s[i]); ++i) {
            written = std::min(written * 10 + (s[i] - L'0'), kExponentCap);
            last_digit = i;
        }
        exponent += exponent_negative ? -written : written;
    }
    if (i < n) return {0, Position(i)};

    const long double zero = negative ? -0.0L : 0.0L;
    if (digits.empty()) return {zero, 0};
    // The value lies in [10^(top - 1), 10^top).
    const long long top = exponent + static_cast<long long>(digits.size());
    const long double huge = negative ? -HUGE_VALL : HUGE_VALL;
    if (top - 1 > kOverflowExponent) return {huge, Position(last_digit)};
    if (top < kUnderflowExponent) return {zero, 0};
    const std::string scientific = digits + "e" + std::to_string(exponent);
    long double value = std::strtold(scientific.c_str(), nullptr);
    if (std::isinf(value)) return {huge, Position(last_digit)};
    return {negative ? -value : value, 0};
}

TGkConversion ConvertHex64(std::wstring_view s) {
    if (s.empty() || s[0] != L'$') return {0, 1};
    std::uint64_t value = 0;
    std::size_t i = 1;
    auto as_signed = [&] { return static_cast<long double>(static_cast<std::int64_t>(value)); };
    for (; i < s.size(); ++i) {
        const int digit = HexDigitValue(s[i]);
        if (digit < 0) break;
        if (value >> 60 != 0) return {as_signed(), Position(i)};
        value = value << 4 | static_cast<unsigned>(digit);
    }
    if (i == 1 || i < s.size()) return {as_signed(), Position(i)};
    return {as_signed(), 0};
}

TGkNumEditCore::TGkNumEditCore(wchar_t decimal_separator) : decimal_separator_(decimal_separator) {}

std::wstring TGkNumEditCore::SetFloatValue(long double v) {
    FloatValue = v;
    return FormatValue(v);
}

std::wstring TGkNumEditCore::SetIntValue(std::int64_t v) {
    return SetFloatValue(static_cast<long double>(v));
}

std::optional<std::wstring> TGkNumEditCore::SetValueType(TGkValueType type) {
    if (type == value_type_) return std::nullopt;
    value_type_ = type;
    return FormatValue(FloatValue);
}

bool TGkNumEditCore::SetDigits(int digits) {
    if (digits < 0 || digits == digits_) return false;
    digits_ = digits;
    return true;
}

bool TGkNumEditCore::SetLeadingZeros(int zeros) {
    if (zeros < 0 || zeros == leading_zeros_) return false;
    leading_zeros_ = zeros;
    return true;
}

wchar_t TGkNumEditCore::FilterKey(wchar_t ch, bool shift_ctrl_or_alt, const std::wstring& text, int caret) {
    if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
    if (!shift_ctrl_or_alt && ch != L'\b') {
        std::wstring allowed = value_type_ == vtHex ? L"0123456789ABCDEF" : L"-0123456789";
        if (value_type_ == vtFloat) allowed += {L'E', decimal_separator_};
        const bool starts_with_zero = !text.empty() && text[0] == L'0';
        const bool starts_with_minus = !text.empty() && text[0] == L'-';
        if (allowed.find(ch) == std::wstring::npos) ch = 0;
        if (ch == L'0' && (caret == 0 || caret == 1) && starts_with_zero) ch = 0;
        if (ch == L'-' && (starts_with_minus || caret >= 2)) ch = 0;
    }
    last_caret_ = caret;
    return ch;
}

std::optional<TGkNumEditCore::TextCorrection> TGkNumEditCore::Validate(const std::wstring& text) {
    if (text.empty()) return TextCorrection{L"0", 0, 1};

    auto correction = [&](std::wstring replacement, int caret) -> std::optional<TextCorrection> {
        if (replacement == text) return std::nullopt;
        caret = std::clamp(caret, 0, static_cast<int>(replacement.size()));
        return TextCorrection{std::move(replacement), caret, 0};
    };
    auto take_back = [&] { return correction(last_valid_text_, last_caret_); };
    auto at_end = [&](std::wstring replacement) {
        const int end = static_cast<int>(replacement.size());
        return correction(std::move(replacement), end);
    };
    auto twice = [&](wchar_t c) {
        const std::size_t first = text.find(c);
        return first != std::wstring::npos && text.find(c, first + 1) != std::wstring::npos;
    };
    if (twice(L'-') || twice(decimal_separator_)) return take_back();

    const TGkConversion conversion = Convert(text);
    conv_error_ =
        ClassifyConversion(value_type_ == vtHex ? L"$" + text : text, conversion.error_pos, conversion.value);
    switch (conv_error_) {
        case ceNone:
            return at_end(FormatValue(conversion.value));
        case ceUnderFlow:
            return RoundToRange ? at_end(FormatValue(MinValue)) : take_back();
        case ceOverflow:
            return RoundToRange ? at_end(FormatValue(MaxValue)) : take_back();
        case ceInvalid:
            return take_back();
        default:  // a number still being typed stays as it is
            return std::nullopt;
    }
}

void TGkNumEditCore::TextChanged(const std::wstring& text) {
    FloatValue = ParseText(text);
    last_valid_text_ = text;
}

TGkConvError TGkNumEditCore::ClassifyConversion(const std::wstring& s, int p, long double x) const {
    const int length = static_cast<int>(s.size());
    auto at = [&](int position) { return position >= 1 && position <= length ? s[position - 1] : L'\0'; };
    const bool hex = at(1) == L'$';

    if (at(1) == L'-' && p == 2) return ceInvalidMinus;
    const std::size_t separator = s.find(decimal_separator_, 1);
    if (separator != std::wstring::npos) {
        const int d = Position(separator);
        if (!IsDigit(at(d - 1)) || d == length || !IsDigit(at(d + 1))) return ceInvalidDecSep;
    }
    if (value_type_ == vtFloat) {
        const std::size_t mark = s.find_first_of(L"Ee");
        if (mark != std::wstring::npos) {
            const int e = Position(mark);
            const wchar_t next = at(e + 1);
            if ((p == e && e < length && next != L'-' && !IsDigit(next)) || e == length) return ceInvalidExp;
        }
    }
    if (value_type_ == vtDec && hex) return ceInvalid;
    if (p > 0) {
        const wchar_t c = at(p);
        if (!IsDigit(c) && !(hex && HexDigitValue(c) >= 0)) return ceInvalid;
        // Too long to convert. A hexadecimal text has no sign: beyond 64 bits it is always too large.
        if (hex) return ceOverflow;
        const std::size_t first = s.find_first_not_of(L' ');
        return first != std::wstring::npos && s[first] == L'-' ? ceUnderFlow : ceOverflow;
    }
    if (x > MaxValue) return ceOverflow;
    if (x < MinValue) return ceUnderFlow;
    return ceNone;
}

std::wstring TGkNumEditCore::FormatValue(long double x) const {
    const long long wanted =
        std::max<long long>(static_cast<long long>(DigitCount(x)) + leading_zeros_, digits_);
    const int width = static_cast<int>(std::min<long long>(wanted, kMaxWidth));
    if (value_type_ == vtFloat) {
        std::string fixed = FormatFixed(x, width);
        const std::size_t point = PointIndex(fixed);
        std::wstring text(fixed.begin(), fixed.end());
        if (point != std::string::npos && fixed[point] == '.') text[point] = decimal_separator_;
        return text;
    }
    const std::int64_t r = RoundValue(x);
    if (value_type_ == vtHex) return DigitText(static_cast<std::uint64_t>(r), 16, width);
    return (r < 0 ? L"-" : L"") + DigitText(Magnitude(r), 10, width);
}

int TGkNumEditCore::DigitCount(long double x) const {
    if (value_type_ == vtFloat) {
        std::string fixed = FormatFixed(x, 20);
        const std::size_t point = PointIndex(fixed);
        if (point != std::string::npos && fixed[point] == '.') fixed.erase(point, 1);
        const std::size_t last = fixed.find_last_not_of('0');
        return last == std::string::npos ? 0 : static_cast<int>(last + 1);
    }
    const std::int64_t r = RoundValue(x);
    if (r == 0) return 0;
    return static_cast<int>(DigitText(Magnitude(r), value_type_ == vtHex ? 16 : 10, 0).size());
}

std::int64_t TGkNumEditCore::RoundValue(long double x) const {
    switch (RoundMethod) {
        case rmRound: {
            long double t = std::trunc(x);
            const long double fraction = std::fabs(x - t);
            if (fraction > 0.5L || (fraction == 0.5L && std::fmod(t, 2.0L) != 0)) t += x < 0 ? -1 : 1;
            return SaturatedInt64(t);
        }
        case rmDown:
            return FloorInt64(x);
        case rmUp:
            return CeilInt64(x);
        default:
            return SaturatedInt64(std::trunc(x));
    }
}

long double TGkNumEditCore::ParseText(const std::wstring& s) const {
    if (value_type_ != vtHex && (s == L"-" || (s.size() == 1 && s[0] == decimal_separator_)))
        return FloatValue;
    const TGkConversion conversion = Convert(s);
    return conversion.error_pos == 0 ? conversion.value : FloatValue;
}

TGkConversion TGkNumEditCore::Convert(const std::wstring& text) const {
    if (value_type_ == vtHex) return ConvertHex64(L"$" + text);
    std::wstring copy = text;
    const std::size_t separator = copy.find(decimal_separator_);
    if (separator != std::wstring::npos) copy[separator] = L'.';
    return ConvertExtended(copy);
}
