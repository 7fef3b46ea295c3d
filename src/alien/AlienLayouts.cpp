#include "alien/AlienLayouts.h"

namespace {

// One row per layout. Each part is its slice {start, size} followed by the offsets of its fields:
// component (owner, name, state), control (parent, left, top, width, height, style, whether the style
// is 16 bits, visible, enabled, text, font), window control (child list, handle), the font's graphics
// header (resource record) and the font's own fields (color, pixels per inch).
// clang-format off
constexpr TObjectLayout Layouts[] = {
    // version 3
    {&ClassLayoutA, {0, 36}, 4, 8, 32, {36, 144}, 36, 48, 52, 56, 60, 64, true, 68, 69, 76, 80, {180, 94}, 188, 204, {0, 20}, 12, {20, 12}, 20, 24},
    // version 5
    {&ClassLayoutB, {0, 36}, 4, 8, 32, {36, 252}, 36, 48, 52, 56, 60, 64, false, 71, 72, 84, 88, {288, 200}, 308, 332, {0, 24}, 16, {24, 12}, 24, 28},
    // versions 6 and 7
    {&ClassLayoutB, {0, 40}, 4, 8, 28, {48, 304}, 48, 64, 68, 72, 76, 80, false, 87, 88, 100, 104, {348, 168}, 408, 384, {0, 24}, 16, {24, 12}, 24, 28},
};
// clang-format on

}  // namespace

const TObjectLayout* LayoutOfVersion(std::int32_t version) {
    switch (version) {
        case 3:
            return &Layouts[0];
        case 5:
            return &Layouts[1];
        case 6:
        case 7:
            return &Layouts[2];
        default:
            return nullptr;
    }
}
