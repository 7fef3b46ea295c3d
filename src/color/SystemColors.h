#pragma once
// System colors by their current values. The platform's values come through a lookup, so that the
// page passes GetSysColor and the tests a table of their own.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The current value of a system color (its index as GetSysColor takes it), 0x00BBGGRR.
using SystemColorLookup = std::function<std::uint32_t(int index)>;

inline bool IsSystemColor(std::int32_t color) { return (static_cast<std::uint32_t>(color) >> 24) == 0xFF; }

// The plain color that paints as this value: a reference to a system color (any negative value) gives
// that color's current value, other values their low three bytes (clNone and clDefault included).
std::uint32_t ColorToRgb(std::int32_t color, const SystemColorLookup& system_color);

// The names of the system colors whose current value is exactly this value (all 32 bits compared), in
// the order of the color name table.
std::vector<std::wstring> MatchingSystemColors(std::int32_t color, const SystemColorLookup& system_color);
