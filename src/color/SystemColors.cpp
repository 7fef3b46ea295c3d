#include "color/SystemColors.h"

#include "color/ColorNames.h"

std::uint32_t ColorToRgb(std::int32_t color, const SystemColorLookup& system_color) {
    if (color < 0) return system_color(color & 0xFF) & 0xFFFFFF;
    return static_cast<std::uint32_t>(color) & 0xFFFFFF;
}

std::vector<std::wstring> MatchingSystemColors(std::int32_t color, const SystemColorLookup& system_color) {
    std::vector<std::wstring> names;
    for (const TColorName& entry : ColorNames) {
        if (!IsSystemColor(entry.Value)) continue;
        if (system_color(entry.Value & 0xFFFFFF) != static_cast<std::uint32_t>(color)) continue;
        const std::string_view name = entry.Name;
        names.emplace_back(name.begin(), name.end());
    }
    return names;
}
