#include "components/GkGeneralText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

std::string ExpandEnvironmentReferences(const std::string& text, const EnvironmentLookup& lookup) {
    std::string result = text;
    std::size_t scan = 0;
    while (scan < result.size()) {
        const std::size_t open = result.find('%', scan);
        if (open == std::string::npos) break;
        const std::size_t close = result.find('%', open + 1);
        if (close == std::string::npos) break;
        const std::optional<std::string> value = lookup(result.substr(open + 1, close - open - 1));
        if (value) {
            result.replace(open, close - open + 1, *value);
            scan = open + value->size();
        } else {
            scan = close + 1;
        }
    }
    return result;
}

std::string ExpandEnvironmentReferences(const std::string& text) {
    return ExpandEnvironmentReferences(text, [](const std::string& name) -> std::optional<std::string> {
        // getenv would read "A=B" as the variable A; such names and "" are never defined.
        if (name.empty() || name.find('=') != std::string::npos) return std::nullopt;
        const char* value = std::getenv(name.c_str());
        if (!value) return std::nullopt;
        return std::string(value);
    });
}

int FirstDelimiterPos(const std::vector<std::string>& strings, const std::string& text) {
    std::size_t best = std::string::npos;
    for (const std::string& s : strings) {
        if (s.empty()) continue;
        const std::size_t at = text.find(s);
        if (at < best) best = at;
    }
    return best == std::string::npos ? 0 : static_cast<int>(best + 1);
}

std::string GetField(const std::string& text, int n, const std::vector<std::string>& delimiters) {
    if (n < 1) return {};
    std::string rest = text;
    int skip = 0;
    do {
        rest.erase(0, static_cast<std::size_t>(skip));
        std::size_t blanks = 0;
        while (blanks < rest.size() && static_cast<unsigned char>(rest[blanks]) <= 0x20) ++blanks;
        rest.erase(0, blanks);
        skip = FirstDelimiterPos(delimiters, rest);
        --n;
    } while (n > 0 && skip > 0);
    if (skip > 0) return rest.substr(0, static_cast<std::size_t>(skip - 1));
    return n == 0 ? rest : std::string();
}

int PosFrom(const std::string& substring, const std::string& text, int start) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || substring.empty()) return 0;
    const std::size_t at = text.find(substring, static_cast<std::size_t>(start - 1));
    return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

std::string IncludeBackslash(const std::string& text) {
    if (!text.empty() && text.back() == '\\') return text;
    return text + '\\';
}

std::string RemoveFileExt(const std::string& name) {
    const std::size_t dot = name.find_last_of(".\\:");
    if (dot == std::string::npos || name[dot] != '.') return name;
    return name.substr(0, dot);
}

std::string ExtractDirectory(const std::string& name) {
    const std::size_t end = name.find_last_of("\\:");
    return IncludeBackslash(end == std::string::npos ? std::string() : name.substr(0, end + 1));
}

std::wstring ExtractFileExt(const std::wstring& name) {
    const std::size_t dot = name.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || name[dot] != L'.') return {};
    return name.substr(dot);
}

std::int64_t SaturatedInt64(long double t) {
    if (std::isnan(t)) return 0;
    if (t >= 0x1p63L) return std::numeric_limits<std::int64_t>::max();
    if (t < -0x1p63L) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(t);
}

// x - trunc(x) is exact in binary floating point, and t +/- 1 is exact wherever it does not saturate
// anyway, so both work in long double before the single saturating conversion.
std::int64_t CeilInt64(long double x) {
    const long double t = std::trunc(x);
    return SaturatedInt64(x - t > 0 ? t + 1 : t);
}

std::int64_t FloorInt64(long double x) {
    const long double t = std::trunc(x);
    return SaturatedInt64(x - t < 0 ? t - 1 : t);
}
