#include "ui/TreeView.h"

namespace ui {

void TreeView::create(HWND parent, const Bounds& bounds) {
    // No tool tips: the control's tool tip window is a topmost pop-up owned by the form, and under Wine
    // an owned topmost pop-up keeps SetWindowPos(HWND_TOPMOST) from making the form itself topmost.
    create_control(WC_TREEVIEWW, L"",
                   WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                       TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                   WS_EX_CLIENTEDGE, parent, bounds);
}

void TreeView::clear() { TreeView_DeleteAllItems(handle()); }

HTREEITEM TreeView::insert(HTREEITEM parent, HTREEITEM after, const std::wstring& text, LPARAM data,
                           bool has_children, bool expanded) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = data;
    insert.item.cChildren = has_children ? 1 : 0;
    insert.item.state = expanded ? TVIS_EXPANDED : 0;
    insert.item.stateMask = TVIS_EXPANDED;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::remove(HTREEITEM item) { TreeView_DeleteItem(handle(), item); }

void TreeView::set_expanded(HTREEITEM item, bool expanded) {
    TreeView_Expand(handle(), item, expanded ? TVE_EXPAND : TVE_COLLAPSE);
}

void TreeView::set_has_children(HTREEITEM item, bool has_children) {
    TVITEMW tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    tv.cChildren = has_children ? 1 : 0;
    ::SendMessageW(handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

void TreeView::select(HTREEITEM item) {
    TreeView_SelectItem(handle(), item);
    if (item) TreeView_EnsureVisible(handle(), item);
}

HTREEITEM TreeView::selected() const { return TreeView_GetSelection(handle()); }

HTREEITEM TreeView::parent(HTREEITEM item) const { return TreeView_GetParent(handle(), item); }

HTREEITEM TreeView::first_child(HTREEITEM item) const {
    return item == TVI_ROOT ? TreeView_GetRoot(handle()) : TreeView_GetChild(handle(), item);
}

HTREEITEM TreeView::next_sibling(HTREEITEM item) const { return TreeView_GetNextSibling(handle(), item); }

LPARAM TreeView::data(HTREEITEM item) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    return ::SendMessageW(handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : 0;
}

bool TreeView::expanded(HTREEITEM item) const {
    return (TreeView_GetItemState(handle(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::wstring TreeView::text(HTREEITEM item) const {
    wchar_t buffer[1024] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = static_cast<int>(std::size(buffer));
    if (!::SendMessageW(handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
    return buffer;
}

int TreeView::count() const { return static_cast<int>(TreeView_GetCount(handle())); }

void TreeView::set_redraw(bool redraw) {
    ::SendMessageW(handle(), WM_SETREDRAW, redraw, 0);
    if (redraw) ::InvalidateRect(handle(), nullptr, TRUE);
}

bool TreeView::notify(const NMHDR& header, LRESULT& result) {
    switch (header.code) {
        case TVN_ITEMEXPANDINGW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (on_expanding && (change.action & TVE_EXPAND)) on_expanding(change.itemNew.lParam);
            result = FALSE;  // let it open
            return true;
        }
        case TVN_SELCHANGEDW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (on_select) on_select(change.itemNew.hItem ? change.itemNew.lParam : -1, change.action);
            result = 0;
            return true;
        }
        case TVN_ITEMEXPANDEDW: {
            const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
            if (on_expanded && (change.action & (TVE_EXPAND | TVE_COLLAPSE)))
                on_expanded(change.itemNew.lParam, (change.itemNew.state & TVIS_EXPANDED) != 0);
            result = 0;
            return true;
        }
        case NM_CUSTOMDRAW: {
            auto& draw = const_cast<NMTVCUSTOMDRAW&>(reinterpret_cast<const NMTVCUSTOMDRAW&>(header));
            if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
                result = greyed ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
            } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                // A selected item keeps the highlight's colors.
                if (greyed && !(draw.nmcd.uItemState & CDIS_SELECTED) && greyed(draw.nmcd.lItemlParam))
                    draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
                result = CDRF_DODEFAULT;
            } else {
                result = CDRF_DODEFAULT;
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace ui
