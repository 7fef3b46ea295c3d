#include "app/FrameSettings.h"

#include "ui/Exceptions.h"
#include "ui/Registry.h"

TFrameSettings ReadFrameSettings(const std::wstring& key) {
    TFrameSettings settings;
    ui::Registry registry(HKEY_CURRENT_USER);
    if (!registry.open_key_read_only(key)) return settings;
    // Each value on its own: one that is missing or of another type leaves only its own default.
    try {
        settings.SelFrameType = static_cast<std::uint8_t>(registry.read_integer(L"SelFrameType") & 0xFF);
    } catch (const ui::ERegistryException&) {
    }
    try {
        settings.SelFrameColor = static_cast<std::uint32_t>(registry.read_integer(L"SelFrameColor"));
    } catch (const ui::ERegistryException&) {
    }
    try {
        settings.FillSelFrame = registry.read_bool(L"FillSelFrame");
    } catch (const ui::ERegistryException&) {
    }
    return settings;
}

void WriteFrameSettings(const std::wstring& key, const TFrameSettings& settings) {
    ui::Registry registry(HKEY_CURRENT_USER);
    if (!registry.open_key(key, true)) throw ui::ERegistryException(L"Failed to create key " + key);
    registry.write_integer(L"SelFrameType", settings.SelFrameType);
    registry.write_integer(L"SelFrameColor", static_cast<int>(settings.SelFrameColor));
    registry.write_bool(L"FillSelFrame", settings.FillSelFrame);
}
