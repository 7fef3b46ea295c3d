#include "color/ColorTabModel.h"

#include <algorithm>
#include <utility>

#include "base/IntegerText.h"
#include "color/ColorNames.h"
#include "color/ColorNotation.h"

namespace {

constexpr TColorBox kComponentBoxes[] = {cbRed, cbGreen, cbBlue};

bool IsComponentBox(TColorBox box) { return box == cbRed || box == cbGreen || box == cbBlue; }

// The name box's value: a system color applies its current value, other names their own value.
std::optional<std::int32_t> NamedColor(std::wstring_view text, const SystemColorLookup& system_color) {
    std::string name;
    for (wchar_t c : text) {
        if (c >= 0x80) return std::nullopt;  // every name in the table is ASCII
        name += static_cast<char>(c);
    }
    const std::optional<std::int32_t> value = IdentToColor(name);
    if (value && IsSystemColor(*value)) return static_cast<std::int32_t>(ColorToRgb(*value, system_color));
    return value;
}

}  // namespace

TColorTabModel::TColorTabModel(SystemColorLookup system_color) : system_color_(std::move(system_color)) {}

TColorUpdate TColorTabModel::Start() {
    last_color_ = -1;
    return Show(0, std::nullopt);
}

TColorUpdate TColorTabModel::ShowColor(std::int32_t color) { return Show(color, std::nullopt); }

TColorUpdate TColorTabModel::Show(std::int32_t color, std::optional<TColorBox> source) {
    if (color == last_color_ || color == -1) return Unchanged();
    if (source != cbHex) texts_[cbHex] = HexColorText(color);
    if (source != cbWebColor) texts_[cbWebColor] = WebColorText(color);
    if (source != cbDecimal) texts_[cbDecimal] = DecimalColorText(color);
    if (source != cbName) texts_[cbName] = ColorNameText(color);
    texts_[cbRed] = std::to_wstring(RedOf(color));
    texts_[cbGreen] = std::to_wstring(GreenOf(color));
    texts_[cbBlue] = std::to_wstring(BlueOf(color));
    view_ = {color, ColorToRgb(color, system_color_), !IsWebSafe(color),
             MatchingSystemColors(color, system_color_)};
    last_color_ = color;
    return {texts_, view_, std::wstring(kColorReady), {}};
}

TColorUpdate TColorTabModel::Refused(std::wstring_view converted) const {
    TColorUpdate update = Unchanged();
    update.Error = NotAnIntegerMessage(converted);
    return update;
}

TColorUpdate TColorTabModel::EditChanged(TColorBox box, std::wstring_view text) {
    texts_[box] = text;
    return IsComponentBox(box) ? ComponentsChanged() : NotationChanged(box);
}

TColorUpdate TColorTabModel::NotationChanged(TColorBox box) {
    const std::wstring& text = texts_[box];
    TColorUpdate unchanged = Unchanged();
    std::optional<std::int32_t> color;
    if (box == cbWebColor || box == cbHex) {
        const TColorReading reading = box == cbWebColor ? ReadWebColor(text) : ReadHexColor(text);
        if (!reading.Color) return Refused(reading.Refused);
        color = reading.Color;
    } else if (box == cbDecimal) {
        color = ReadDecimalColor(text);
    } else if (text == kNoColorName) {
        unchanged.Status = kColorReady;  // applies nothing
        return unchanged;
    } else {
        color = NamedColor(text, system_color_);
    }
    // -1 stands for "no color": an unknown name, or eight hexadecimal digits F.
    if (!color || *color == -1) {
        unchanged.Status = kInvalidColorValue;
        return unchanged;
    }
    TColorUpdate update = Show(*color, box);
    update.Status = kColorReady;
    return update;
}

TColorUpdate TColorTabModel::ComponentsChanged() {
    for (TColorBox box : kComponentBoxes)
        if (texts_[box].empty()) return Unchanged();
    int components[3];
    for (int i = 0; i < 3; ++i) {
        std::wstring& text = texts_[kComponentBoxes[i]];
        const std::optional<std::int32_t> value = ReadComponent(text);
        if (!value) return Refused(text);  // the boxes before this one stay clamped
        if (*value > 255) text = L"255";
        if (*value < 0) text = L"0";
        components[i] = std::clamp(*value, 0, 255);
    }
    return Show(ComposeColor(components[0], components[1], components[2]), std::nullopt);
}

TColorUpdate TColorTabModel::EditExit(TColorBox box) {
    if (!IsComponentBox(box) || !texts_[box].empty()) return Unchanged();
    return EditChanged(box, L"0");
}

TColorUpdate TColorTabModel::WebUnsafeClick() {
    const TColorReading reading = ReadWebColor(texts_[cbWebColor]);
    if (!reading.Color) return Refused(reading.Refused);
    return EditChanged(cbWebColor, WebColorText(NearestWebSafeColor(*reading.Color)));
}
