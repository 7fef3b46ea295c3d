#pragma once
// A captioned group of option buttons, one of which (or none) is chosen.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class RadioGroup {
public:
    std::function<void()> on_click;  // the user or the code chose another item

    // The items are placed one below the other inside the group's bounds.
    void create(HWND parent, const std::wstring& caption, const Bounds& bounds,
                const std::vector<std::wstring>& items);
    // -1 when none is chosen.
    int item_index() const;
    // Chooses an item (-1: none) and raises on_click, like a click; nothing when it is chosen already.
    void set_item_index(int index);
    int count() const { return static_cast<int>(items_.size()); }
    HWND item(int index) const { return items_.at(static_cast<std::size_t>(index))->handle(); }
    GroupBox& group() { return group_; }
    void focus();

private:
    class Item : public Control {
    public:
        Item(RadioGroup& group) : group_(group) {}
        void create(HWND parent, const std::wstring& caption, const Bounds& bounds, bool first);
        void command(WORD code) override;

    private:
        RadioGroup& group_;
    };
    void clicked();

    GroupBox group_;
    std::vector<std::unique_ptr<Item>> items_;
    int shown_index_ = -1;
};

}  // namespace ui
