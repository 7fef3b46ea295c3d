#pragma once
// A drop-down list: a closed field showing the chosen item, and its list.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace ui {

class ComboBox : public Control {
public:
    std::function<void()> on_change;  // the user chose another item

    // The bounds' height is the field's; the list drops below it with room for `rows` items.
    void create(HWND parent, const Bounds& bounds, int rows = 8);
    void command(WORD code) override;
    void clear();
    int add(const std::wstring& item, LPARAM data = 0);
    int count() const;
    int selected() const;  // -1 when none
    // Chooses an item in code (-1: none); on_change is left to the user's choices.
    void set_selected(int index);
    std::wstring item(int index) const;
    std::wstring selected_text() const { return item(selected()); }
    LPARAM data(int index) const;

protected:
    void create_list(const Bounds& bounds, int rows, HWND parent, DWORD extra_style);
};

}  // namespace ui
