#include "ui/RadioGroup.h"

namespace ui {
namespace {

constexpr int kCaptionHeight = 16, kItemHeight = 17, kInset = 8;

}  // namespace

void RadioGroup::create(HWND parent, const std::wstring& caption, const Bounds& bounds,
                        const std::vector<std::wstring>& items) {
    group_.create(parent, caption, bounds);
    const int count = static_cast<int>(items.size());
    // The items share the room below the caption evenly.
    const int room = bounds.height - kCaptionHeight - kInset / 2;
    const int step = count > 0 ? room / count : 0;
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<Item>(*this);
        item->create(parent, items[static_cast<std::size_t>(i)],
                     {bounds.left + kInset, bounds.top + kCaptionHeight + i * step + (step - kItemHeight) / 2,
                      bounds.width - 2 * kInset, kItemHeight},
                     i == 0);
        items_.push_back(std::move(item));
    }
}

void RadioGroup::Item::create(HWND parent, const std::wstring& caption, const Bounds& bounds, bool first) {
    create_control(WC_BUTTONW, caption, WS_VISIBLE | BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0),
                   0, parent, bounds);
}

void RadioGroup::Item::command(WORD code) {
    if (code == BN_CLICKED) group_.clicked();
}

int RadioGroup::item_index() const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (::SendMessageW(items_[i]->handle(), BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    return -1;
}

void RadioGroup::set_item_index(int index) {
    if (index < -1 || index >= count() || index == item_index()) return;
    for (int i = 0; i < count(); ++i)
        ::SendMessageW(item(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
    clicked();
}

void RadioGroup::clicked() {
    // An option button also reports a click on the item that is chosen already.
    const int index = item_index();
    if (index == shown_index_) return;
    shown_index_ = index;
    if (on_click) on_click();
}

void RadioGroup::focus() {
    const int index = item_index();
    ::SetFocus(item(index >= 0 ? index : 0));
}

}  // namespace ui
