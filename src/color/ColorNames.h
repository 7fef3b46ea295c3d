#pragma once
// The component library's named color constants. The table's order matters: a lookup from a value
// answers the first entry that has it, and the Color tab lists system colors in this order.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TColorName {
    const char* Name;
    std::int32_t Value;  // 0xFF000000 + n stands for system color n
};

extern const std::array<TColorName, 52> ColorNames;

// The first constant with that value; empty when no constant has it.
std::string_view ColorToIdent(std::int32_t color);
// The value of the constant of that name, compared without regard to case.
std::optional<std::int32_t> IdentToColor(std::string_view name);
// The constant's name when the value has one, else "$" and eight upper-case hexadecimal digits.
std::string ColorToString(std::int32_t color);
