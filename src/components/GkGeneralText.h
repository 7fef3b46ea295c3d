#pragma once
// Portable text and number helpers shared across Scrutel (no <windows.h>). Positions are 1-based,
// 0 meaning "not found". Texts are 8-bit unless a function says otherwise, and are treated as
// single-byte text: a multi-byte code page's trail byte is not told apart from a character.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// Looks up an environment variable: nullopt when undefined, "" when defined empty.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Replaces every %NAME% whose NAME the lookup defines by its value; undefined references and a lone
// "%" stay as they are, and inserted values are not scanned again.
std::string ExpandEnvironmentReferences(const std::string& text, const EnvironmentLookup& lookup);
std::string ExpandEnvironmentReferences(const std::string& text);  // the process environment

// Field n (from 1) of text, a field ending at the first character of any delimiter. Every field loses
// its leading characters of code 0x20 and below, so an empty field between two tabs vanishes. Empty
// when the text has fewer fields or n is below 1.
std::string GetField(const std::string& text, int n, const std::vector<std::string>& delimiters);
// The smallest position at which any of the (non-empty) strings occurs in text, else 0.
int FirstDelimiterPos(const std::vector<std::string>& strings, const std::string& text);
// Position of substring at or after start; 0 when start lies outside text or nothing is found.
int PosFrom(const std::string& substring, const std::string& text, int start);
std::string IncludeBackslash(const std::string& text);  // "" gives "\"
std::string RemoveFileExt(const std::string& name);     // the extension is behind the last "\" or ":"
std::string ExtractDirectory(const std::string& name);  // up to the last "\" or ":", with "\" added
// The extension with its dot: from the last "." behind the last "\", "/" or ":"; "" when there is none.
std::wstring ExtractFileExt(const std::wstring& name);
// Rounding toward plus and minus infinity. Results beyond the 64-bit range saturate; NaN gives 0.
std::int64_t CeilInt64(long double x);
std::int64_t FloorInt64(long double x);
// The integral long double t (truncated already) as a 64-bit integer, saturated, NaN giving 0.
std::int64_t SaturatedInt64(long double t);
