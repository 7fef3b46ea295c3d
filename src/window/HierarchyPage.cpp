#include "window/HierarchyPage.h"

#include "base/ScopeGuard.h"
#include "base/WindowHandleValue.h"
#include "ui/Dpi.h"

namespace {

constexpr int kMargin = 7, kFilterLeft = 44, kListTop = 60, kButtonWidth = 75;

void LowerCase(std::wstring& text) {
    if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace

void THierarchyPage::Create(HWND page) {
    page_ = page;
    LabelFilter.create(page, L"&Filter:", {kMargin, 10, kFilterLeft - kMargin - 2, 13});
    EditFilter.create(page, {kFilterLeft, 7, 200, 21});
    CheckBoxVisibleOnly.create(page, L"&Visible windows only", {kMargin, 34, 140, 17});
    ButtonRefresh.create(page, L"&Refresh", {200, 31, kButtonWidth, 23});
    TreeWindows.create(page, {kMargin, kListTop, 200, 200});
    CheckBoxVisibleOnly.set_checked(true);
    model_.SetFilter({true, L"", LowerCase});

    TreeWindows.greyed = [this](LPARAM node) {
        return !model_.Tree().Nodes().at(static_cast<std::size_t>(node)).Window.Visible;
    };
    TreeWindows.on_select = [this](LPARAM node, UINT cause) { TreeWindowsSelect(node, cause); };
    TreeWindows.on_expanding = [this](LPARAM node) { TreeWindowsExpanding(node); };
    TreeWindows.on_expanded = [this](LPARAM node, bool expanded) { TreeWindowsExpanded(node, expanded); };
    EditFilter.on_change = [this] { EditFilterChange(); };
    CheckBoxVisibleOnly.on_click = [this] { CheckBoxVisibleOnlyClick(); };
    ButtonRefresh.on_click = [this] { RefreshTree(); };
    FitToPage();
}

void THierarchyPage::FitToPage() {
    // The page's size in the layout pixels its controls are placed in.
    const SIZE page = ui::layout_client_size(page_, ui::window_dpi(page_));
    const int width = page.cx, height = page.cy;
    EditFilter.set_bounds({kFilterLeft, 7, width - kMargin - kFilterLeft, 21});
    ButtonRefresh.set_bounds({width - kMargin - kButtonWidth, 31, kButtonWidth, 23});
    TreeWindows.set_bounds({kMargin, kListTop, width - 2 * kMargin, height - kListTop - kMargin});
}

void THierarchyPage::Shown() {
    model_.Rebuild(lister_);
    if (HWND current = host_.CurrentHandle()) model_.Select(HandleValue(current));
    Populate();
}

void THierarchyPage::RefreshTree() {
    model_.Rebuild(lister_);
    Populate();
}

void THierarchyPage::EditFilterChange() { ApplyFilter(); }

void THierarchyPage::CheckBoxVisibleOnlyClick() { ApplyFilter(); }

void THierarchyPage::ApplyFilter() {
    model_.SetFilter({CheckBoxVisibleOnly.checked(), EditFilter.text(), LowerCase});
    ShowModel();
}

void THierarchyPage::Populate() {
    {
        ScopedFlag syncing(syncing_);
        TreeWindows.clear();
    }
    items_.Reset(model_.Tree().Nodes().size());
    ShowModel();
}

void THierarchyPage::ShowModel() {
    ScopedFlag syncing(syncing_);
    TreeWindows.set_redraw(false);
    const ScopeExit redraw([this] { TreeWindows.set_redraw(true); });
    // The selected window's branch stays open, so that its item exists and can be seen.
    const int selected = model_.SelectedNode();
    if (selected >= 0) model_.Select(model_.Tree().Nodes()[static_cast<std::size_t>(selected)].Handle);
    items_.Sync(model_, *this);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(items_.Item(selected));
    if (TreeWindows.selected() != item) TreeWindows.select(item);
}

TTreeControl::Item THierarchyPage::Insert(Item parent, Item after, int node, bool has_children,
                                          bool expanded) {
    HTREEITEM place = after == First  ? TVI_FIRST
                      : after == Last ? TVI_LAST
                                      : reinterpret_cast<HTREEITEM>(after);
    return reinterpret_cast<Item>(TreeWindows.insert(parent ? reinterpret_cast<HTREEITEM>(parent) : TVI_ROOT,
                                                     place, model_.Tree().Text(node), node, has_children,
                                                     expanded));
}

void THierarchyPage::Remove(Item item) { TreeWindows.remove(reinterpret_cast<HTREEITEM>(item)); }

void THierarchyPage::Clear() { TreeWindows.clear(); }

void THierarchyPage::SetExpanded(Item item, bool expanded) {
    TreeWindows.set_expanded(reinterpret_cast<HTREEITEM>(item), expanded);
}

void THierarchyPage::SetHasChildren(Item item, bool has_children) {
    TreeWindows.set_has_children(reinterpret_cast<HTREEITEM>(item), has_children);
}

HTREEITEM THierarchyPage::ItemOf(std::uint32_t handle) const {
    return reinterpret_cast<HTREEITEM>(items_.Item(model_.Tree().Find(handle)));
}

std::wstring THierarchyPage::CopyText() const {
    HTREEITEM item = TreeWindows.selected();
    return item ? model_.BranchText(static_cast<int>(TreeWindows.data(item))) : std::wstring();
}

void THierarchyPage::TreeWindowsSelect(LPARAM node, UINT cause) {
    if (syncing_ || node < 0) return;
    const std::uint32_t handle = model_.Tree().Nodes().at(static_cast<std::size_t>(node)).Handle;
    model_.Select(handle);
    // A selection that the tree view moves by itself (off a branch being closed) picks nothing.
    if (cause == TVC_BYMOUSE || cause == TVC_BYKEYBOARD)
        host_.PickFromTree(HandleFromValue<HWND>(handle), cause == TVC_BYKEYBOARD);
}

void THierarchyPage::TreeWindowsExpanding(LPARAM node) {
    if (syncing_ || node < 0) return;
    // The branch's items are made now, the first time it opens.
    model_.SetExpanded(static_cast<int>(node), true);
    items_.Expanded(static_cast<int>(node), true);
    ScopedFlag syncing(syncing_);
    items_.Sync(model_, *this, false);  // the item being opened stays
}

void THierarchyPage::TreeWindowsExpanded(LPARAM node, bool expanded) {
    if (syncing_ || node < 0) return;
    model_.SetExpanded(static_cast<int>(node), expanded);
    items_.Expanded(static_cast<int>(node), expanded);
}
