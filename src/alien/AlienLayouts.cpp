#include "alien/AlienLayouts.h"

namespace {

// One row per part: the component, control and window-control parts, then the font.
// clang-format off
constexpr TObjectLayout Version3{
    3,   &ClassLayoutA,
    {0, 36},   4,   8,  32,
    {36, 144}, 36,  48, 52, 56, 60, 64, true, 68, 69, 76, 80,
    {180, 94}, 188, 204,
    {0, 20},   12,  {20, 12}, 20, 24,
};

constexpr TObjectLayout Version5{
    5,   &ClassLayoutB,
    {0, 36},    4,   8,  32,
    {36, 252},  36,  48, 52, 56, 60, 64, false, 71, 72, 84, 88,
    {288, 200}, 308, 332,
    {0, 24},    16,  {24, 12}, 24, 28,
};

constexpr TObjectLayout Version6{
    6,   &ClassLayoutB,
    {0, 40},    4,   8,  28,
    {48, 304},  48,  64, 68, 72, 76, 80, false, 87, 88, 100, 104,
    {348, 168}, 408, 384,
    {0, 24},    16,  {24, 12}, 24, 28,
};

// clang-format on

constexpr TObjectLayout Version7 = [] {
    TObjectLayout layout = Version6;
    layout.Version = 7;
    return layout;
}();

}  // namespace

const TObjectLayout* LayoutOfVersion(std::int32_t version) {
    switch (version) {
        case 3:
            return &Version3;
        case 5:
            return &Version5;
        case 6:
            return &Version6;
        case 7:
            return &Version7;
        default:
            return nullptr;
    }
}
