#include "ui/ColorBox.h"

#include "ui/Font.h"

namespace ui {
namespace {

constexpr int kItemHeight = 16, kSwatchWidth = 22, kGap = 4;

}  // namespace

void ColorBox::create(HWND parent, const Bounds& bounds, std::initializer_list<Entry> colors) {
    create_list(bounds, static_cast<int>(colors.size()), parent, CBS_OWNERDRAWFIXED | CBS_HASSTRINGS);
    for (const Entry& entry : colors) add(entry.name, static_cast<LPARAM>(entry.color));
    set_item_heights();
}

void ColorBox::set_item_heights() {
    const int height = ScaleToDpi(kItemHeight, dpi());
    ::SendMessageW(handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);  // the closed field
    ::SendMessageW(handle(), CB_SETITEMHEIGHT, 0, height);
}

void ColorBox::rescale(int dpi) {
    ComboBox::rescale(dpi);
    set_item_heights();
}

std::optional<std::uint32_t> ColorBox::selected_color() const {
    const int index = selected();
    if (index < 0) return std::nullopt;
    return static_cast<std::uint32_t>(data(index));
}

void ColorBox::set_selected_color(std::uint32_t color) {
    int found = -1;
    for (int i = 0; i < count() && found < 0; ++i)
        if (static_cast<std::uint32_t>(data(i)) == color) found = i;
    set_selected(found);
}

bool ColorBox::draw_item(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool chosen = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID == static_cast<UINT>(-1)) return true;
    const int gap = ScaleToDpi(kGap, dpi()) / 2 + 1;
    RECT swatch{item.rcItem.left + gap, item.rcItem.top + gap,
                item.rcItem.left + ScaleToDpi(kSwatchWidth, dpi()), item.rcItem.bottom - gap};
    unique_brush fill(::CreateSolidBrush(color_to_rgb(static_cast<std::uint32_t>(item.itemData))));
    ::FillRect(dc, &swatch, fill.get());
    ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left = swatch.right + ScaleToDpi(kGap, dpi());
    const std::wstring name = this->item(static_cast<int>(item.itemID));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
    return true;
}

}  // namespace ui
