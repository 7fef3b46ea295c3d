#pragma once
// Portable text and number helpers shared across Scrutel (no <windows.h>). Positions are 1-based,
// 0 meaning "not found". Texts are 8-bit unless a function says otherwise.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Looks up an environment variable: nullopt when undefined, "" when defined empty.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

std::string ExpandEnvironmentReferences(const std::string& text, const EnvironmentLookup& lookup);
std::string ExpandEnvironmentReferences(const std::string& text);  // the process environment

std::string GetField(const std::string& text, int n, const std::vector<std::string>& delimiters);
int FirstDelimiterPos(const std::vector<std::string>& strings, const std::string& text);
int PosFrom(const std::string& substring, const std::string& text, int start);
std::string IncludeBackslash(const std::string& text);
std::string RemoveFileExt(const std::string& name);
std::string ExtractDirectory(const std::string& name);
std::int64_t CeilInt64(long double x);
std::int64_t FloorInt64(long double x);
