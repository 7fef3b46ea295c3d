#pragma once
// The mix of a picture into a background color that the about box's logo fades through.
#include <cstddef>
#include <cstdint>

// One color channel: alpha 0 gives the background, 255 the picture up to less than one step. The
// division truncates toward zero, as the fading has always done.
constexpr std::uint8_t BlendChannel(std::uint8_t background, std::uint8_t picture, int alpha) {
    return static_cast<std::uint8_t>(background + alpha * (picture - background) / 256);
}

// Mixes `count` channels of a picture into work, which holds the background; alpha from 0 to 255.
inline void BlendChannels(const std::uint8_t* picture, std::uint8_t* work, std::size_t count, int alpha) {
    for (std::size_t i = 0; i < count; ++i) work[i] = BlendChannel(work[i], picture[i], alpha);
}
