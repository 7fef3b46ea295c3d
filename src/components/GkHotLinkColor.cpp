#include "components/GkHotLinkColor.h"

#include "base/IntegerText.h"

namespace {

// The integer before the next ",", which is taken away with it; the rest of the text when there is no
// ",". A part that is no integer counts as -1.
int NextPart(std::wstring_view& text, bool last) {
    std::wstring_view part = text;
    if (!last) {
        const std::size_t comma = text.find(L',');
        part = comma == std::wstring_view::npos ? std::wstring_view() : text.substr(0, comma);
        if (comma != std::wstring_view::npos) text.remove_prefix(comma + 1);
    }
    return ReadInteger(part).value_or(-1);
}

bool IsComponent(int value) { return value >= 0 && value <= 255; }

}  // namespace

std::int32_t HotLinkColorFromSetting(std::wstring_view anchor_color) {
    const int red = NextPart(anchor_color, false);
    const int green = NextPart(anchor_color, false);
    const int blue = NextPart(anchor_color, true);
    if (!IsComponent(red) || !IsComponent(green) || !IsComponent(blue)) return kDefaultHotLinkColor;
    return red + green * 256 + blue * 65536;
}
