#pragma once
// Window style words spelled out as the names of their constants, combined styles named as a whole.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct TStyle {
    std::uint32_t Value;
    const char* Name;
};

// Read in the order given. Rows of value 0 and rows that share a value are part of the tables.
extern const std::array<TStyle, 2> CombinedWindowStyles;
extern const std::array<TStyle, 20> WindowStyles;
extern const std::array<TStyle, 2> CombinedExtWindowStyles;
extern const std::array<TStyle, 24> ExtWindowStyles;

// One line (ending in CR LF) for every combined style whose bits are all set in the value, then one for
// every single style whose bits are all set (a value of 0 always is) and that no listed combined style
// contains.
std::wstring StyleNames(std::uint32_t value, std::span<const TStyle> combined,
                        std::span<const TStyle> single);

// A style button's caption (eight hexadecimal digits) as its 32-bit value; nullopt for a caption that
// is no hexadecimal number of at most eight digits, such as the empty one before the first refresh.
std::optional<std::uint32_t> StyleFromCaption(std::wstring_view caption);
