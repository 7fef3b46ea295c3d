#include <doctest.h>

#include "components/GkBlendingCore.h"

TEST_CASE("a channel of the fading logo: background at 0, the picture within one step at 255") {
    struct {
        int background, picture, alpha, mixed;
    } cases[] = {
        {255, 0, 0, 255}, {255, 0, 1, 255},  // -255/256 truncates toward zero
        {255, 0, 2, 254}, {255, 0, 255, 1}, {255, 0, 128, 128},  {0, 255, 255, 254},
        {0, 255, 1, 0},   {0, 255, 2, 1},   {200, 200, 77, 200}, {100, 40, 128, 70},
    };
    for (const auto& c : cases) {
        CAPTURE(c.alpha);
        CHECK(BlendChannel(static_cast<std::uint8_t>(c.background), static_cast<std::uint8_t>(c.picture),
                           c.alpha) == c.mixed);
    }
    for (int picture = 0; picture < 256; ++picture)
        for (int background = 0; background < 256; background += 51) {
            const int mixed =
                BlendChannel(static_cast<std::uint8_t>(background), static_cast<std::uint8_t>(picture), 255);
            REQUIRE(mixed - picture <= 1);
            REQUIRE(picture - mixed <= 1);
        }
}
