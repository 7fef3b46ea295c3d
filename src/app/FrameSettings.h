#pragma once
// The selection frame's settings, kept in the registry under the current user.
#include <cstdint>
#include <string>

struct TFrameSettings {
    std::uint8_t SelFrameType = 0;  // 0 show completely, 1 cut off hidden parts, 2 frame visible region
    std::uint32_t SelFrameColor = 0x800000;  // navy, as a library color (red in the low byte)
    bool FillSelFrame = false;
};

// `key` is the path below HKEY_CURRENT_USER. Reading never fails: what cannot be read keeps its default.
TFrameSettings ReadFrameSettings(const std::wstring& key);
// Creates the key when missing; raises ui::ERegistryException when a value cannot be written.
void WriteFrameSettings(const std::wstring& key, const TFrameSettings& settings);
