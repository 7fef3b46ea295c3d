#pragma once
// The Hierarchy page: a tree of every window on the desktop, its top-level windows as roots and the
// child windows nested in z-order, filtered by visibility and by a text. Choosing a window in the tree
// makes it the current window.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/TreeView.h"
#include "window/WindowListerWin.h"
#include "window/WindowTree.h"
#include "window/WindowTreeItems.h"

// What the page needs of the main window.
class THierarchyHost {
public:
    virtual HWND CurrentHandle() const = 0;
    // The user chose a window in the tree: with the mouse, or on the way with the keyboard (touched).
    virtual void PickFromTree(HWND window, bool touched) = 0;

protected:
    ~THierarchyHost() = default;
};

class THierarchyPage : public ui::PageContent, private TTreeControl {
public:
    explicit THierarchyPage(THierarchyHost& host) : host_(host) {}
    void Create(HWND page) override;
    // Lists the windows anew and selects the current window, its branch expanded.
    void Shown() override;
    // Lays the controls out over the page as it is sized now.
    void FitToPage();
    // Lists the windows anew; the selection and the expanded branches stay where their windows do.
    void RefreshTree();
    // The selected window's branch as the tree shows it, as indented lines; empty when none is selected.
    std::wstring CopyText() const;

    const TWindowTreeModel& Model() const { return model_; }
    // The item that shows the window; null when the tree does not show it.
    HTREEITEM ItemOf(std::uint32_t handle) const;

    // Event handlers.
    void EditFilterChange();
    void CheckBoxVisibleOnlyClick();
    void TreeWindowsSelect(LPARAM node, UINT cause);
    void TreeWindowsExpanding(LPARAM node);
    void TreeWindowsExpanded(LPARAM node, bool expanded);

    ui::Label LabelFilter;
    ui::Edit EditFilter;
    ui::CheckBox CheckBoxVisibleOnly;
    ui::Button ButtonRefresh;
    ui::TreeView TreeWindows;

private:
    void ApplyFilter();
    // Empties the tree view for a new snapshot, then shows the model.
    void Populate();
    // Brings the tree view to the model: its items, open branches and selection.
    void ShowModel();

    // The tree view as the items see it.
    Item Insert(Item parent, Item after, int node, bool has_children, bool expanded) override;
    void Remove(Item item) override;
    void Clear() override;
    void SetExpanded(Item item, bool expanded) override;
    void SetHasChildren(Item item, bool has_children) override;

    THierarchyHost& host_;
    HWND page_ = nullptr;
    TWindowListerWin lister_;
    TWindowTreeModel model_;
    TWindowTreeItems items_;
    bool syncing_ = false;  // the tree view's notifications come from our own changes
};
