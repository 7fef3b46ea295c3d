#pragma once
// A drop-down list: a combo box whose text is always one of its items.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class ComboBox : public Control {
public:
    // The user chose another item.
    std::function<void()> on_change;
    // The bounds' height includes the dropped-down list.
    void create(HWND parent, const Bounds& bounds, const std::vector<std::wstring>& items);
    void command(WORD code) override;
    int count() const;
    std::wstring item(int index) const;
    int selected() const;  // -1 when none
    // Chooses an item in code, without raising on_change.
    void set_selected(int index);
    std::wstring selected_text() const { return item(selected()); }
};

}  // namespace ui
