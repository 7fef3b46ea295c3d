#include "ui/TextTree.h"

#include "base/ScopeGuard.h"

namespace ui {

void TextTree::create(HWND parent, const Bounds& bounds, int indent) {
    // No tooltip window: with one beside it, Wine 8 no longer makes the form topmost (the stay-on-top
    // pin stopped working).
    create_control(WC_TREEVIEWW, L"",
                   WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                       TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                   WS_EX_CLIENTEDGE, parent, bounds);
    TreeView_SetIndent(handle(), indent);
}

HTREEITEM TextTree::add(HTREEITEM parent, const std::wstring& text, LPARAM data) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TextTree::clear() {
    const bool had_selection = selected() != nullptr;
    {
        // Whether deleting the selected item notifies differs between systems: say it once, below.
        ScopedFlag clearing(clearing_);
        TreeView_DeleteAllItems(handle());
    }
    if (had_selection && on_change) on_change(nullptr);
}

HTREEITEM TextTree::selected() const { return TreeView_GetSelection(handle()); }

void TextTree::select(HTREEITEM item) { TreeView_SelectItem(handle(), item); }

HTREEITEM TextTree::first_child(HTREEITEM parent) const {
    return parent ? TreeView_GetChild(handle(), parent) : TreeView_GetRoot(handle());
}

HTREEITEM TextTree::next_sibling(HTREEITEM item) const { return TreeView_GetNextSibling(handle(), item); }

HTREEITEM TextTree::parent_of(HTREEITEM item) const { return TreeView_GetParent(handle(), item); }

std::wstring TextTree::text(HTREEITEM item) const {
    wchar_t buffer[1024] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = buffer;
    query.cchTextMax = static_cast<int>(std::size(buffer));
    if (!::SendMessageW(handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return {};
    buffer[std::size(buffer) - 1] = L'\0';
    return query.pszText ? query.pszText : L"";
}

LPARAM TextTree::data(HTREEITEM item) const {
    TVITEMW query{};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!::SendMessageW(handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return 0;
    return query.lParam;
}

void TextTree::set_data(HTREEITEM item, LPARAM data) {
    TVITEMW change{};
    change.mask = TVIF_PARAM;
    change.hItem = item;
    change.lParam = data;
    ::SendMessageW(handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

bool TextTree::notify(const NMHDR& header, LRESULT& result) {
    if (header.code != TVN_SELCHANGEDW) return false;
    if (!clearing_ && on_change) on_change(reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.hItem);
    result = 0;
    return true;
}

}  // namespace ui
