#pragma once
// A tree view whose items carry a number of the owner's choosing and can be drawn greyed; an item can
// show that it has children before they are added.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace ui {

class TreeView : public Control {
public:
    // How a selection came about, as the control reports it (TVC_BYMOUSE, TVC_BYKEYBOARD, TVC_UNKNOWN).
    std::function<void(LPARAM data, UINT cause)> on_select;
    // An item's branch is about to open: the moment to add children not added yet.
    std::function<void(LPARAM data)> on_expanding;
    // The user opened or closed an item's branch.
    std::function<void(LPARAM data, bool expanded)> on_expanded;
    std::function<bool(LPARAM data)> greyed;

    void create(HWND parent, const Bounds& bounds);
    void clear();
    // Adds an item below parent (TVI_ROOT for a root) after `after` (TVI_FIRST, TVI_LAST or an item).
    HTREEITEM insert(HTREEITEM parent, HTREEITEM after, const std::wstring& text, LPARAM data,
                     bool has_children, bool expanded);
    void remove(HTREEITEM item);
    void set_expanded(HTREEITEM item, bool expanded);
    void set_has_children(HTREEITEM item, bool has_children);
    // Selects in code (the selection's cause is TVC_UNKNOWN) and scrolls the item into view.
    void select(HTREEITEM item);
    HTREEITEM selected() const;
    HTREEITEM parent(HTREEITEM item) const;
    HTREEITEM first_child(HTREEITEM item) const;  // TVI_ROOT for the first root
    HTREEITEM next_sibling(HTREEITEM item) const;
    LPARAM data(HTREEITEM item) const;
    bool expanded(HTREEITEM item) const;
    std::wstring text(HTREEITEM item) const;
    int count() const;
    // Off while many items change: the control then neither paints nor updates its scroll bars.
    void set_redraw(bool redraw);

    bool notify(const NMHDR& header, LRESULT& result) override;
};

}  // namespace ui
