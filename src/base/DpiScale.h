#pragma once
// Scaling from layout pixels (96 per inch, as forms are laid out) to the physical pixels of a display,
// with one rounding for every coordinate, font height and picture position: to the nearest pixel,
// halves away from zero.
#include <cstdint>

inline constexpr int LayoutDpi = 96;

// value * numerator / denominator, rounded to the nearest integer, halves away from zero; the
// denominator must be above 0.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// A layout value on a display of `dpi` pixels per inch; a dpi of 0 or below counts as 96.
constexpr int ScaleToDpi(int value, int dpi) {
    return dpi > 0 ? MulDivRounded(value, dpi, LayoutDpi) : value;
}
// The layout value a physical one stands for. For dpi >= 96, UnscaleFromDpi(ScaleToDpi(v, dpi), dpi) == v.
constexpr int UnscaleFromDpi(int value, int dpi) {
    return dpi > 0 ? MulDivRounded(value, LayoutDpi, dpi) : value;
}

// A span from `start` of `length` layout pixels: its ends are scaled, so that spans that meet in
// layout pixels still meet on the display.
struct ScaledSpan {
    int start, length;
};
constexpr ScaledSpan ScaleSpan(int start, int length, int dpi) {
    const int first = ScaleToDpi(start, dpi);
    return {first, ScaleToDpi(start + length, dpi) - first};
}
