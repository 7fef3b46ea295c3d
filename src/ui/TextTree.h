#pragma once
// A tree view of text items with read-only labels; each item carries a number of its owner's choosing.
// The selection change is raised for every new selection, also when clearing takes it away.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace ui {

class TextTree : public Control {
public:
    // The newly selected item, or null when none is selected any more.
    std::function<void(HTREEITEM item)> on_change;

    void create(HWND parent, const Bounds& bounds, int indent = 19);
    // Appends an item under parent (null: at the top level).
    HTREEITEM add(HTREEITEM parent, const std::wstring& text, LPARAM data);
    void clear();
    HTREEITEM selected() const;
    // Selects the item (null: none); raises on_change when the selection changes.
    void select(HTREEITEM item);

    // Walking the tree: the first item below parent (null: the first top-level item), the next item
    // beside it, the item above it; null where there is none.
    HTREEITEM first_child(HTREEITEM parent) const;
    HTREEITEM next_sibling(HTREEITEM item) const;
    HTREEITEM parent_of(HTREEITEM item) const;
    std::wstring text(HTREEITEM item) const;
    LPARAM data(HTREEITEM item) const;
    void set_data(HTREEITEM item, LPARAM data);

    bool notify(const NMHDR& header, LRESULT& result) override;

private:
    bool clearing_ = false;
};

}  // namespace ui
