#include "ui/ReportListView.h"

#include <algorithm>
#include <cstring>

namespace ui {

void ReportListView::create(HWND parent, const Bounds& bounds) {
    create_control(
        WC_LISTVIEWW, L"",
        WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
        WS_EX_CLIENTEDGE, parent, bounds);
    ListView_SetExtendedListViewStyle(handle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

int ReportListView::column_count() const {
    HWND header = ListView_GetHeader(handle());
    return header ? Header_GetItemCount(header) : 0;
}

std::wstring ReportListView::column_caption(int column) const {
    wchar_t buffer[256] = {};
    LVCOLUMNW query{};
    query.mask = LVCF_TEXT;
    query.pszText = buffer;
    query.cchTextMax = static_cast<int>(std::size(buffer));
    if (!::SendMessageW(handle(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&query))) return {};
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

void ReportListView::set_columns(const std::vector<std::wstring>& captions, int first_width) {
    keep_columns(static_cast<int>(captions.size()));
    for (int column = 0; column < static_cast<int>(captions.size()); ++column) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = const_cast<wchar_t*>(captions[static_cast<std::size_t>(column)].c_str());
        if (column < column_count()) {
            if (column_caption(column) != captions[static_cast<std::size_t>(column)])
                ::SendMessageW(handle(), LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
            continue;
        }
        item.mask |= LVCF_WIDTH;
        item.cx = column == 0 ? first_width : caption_width(item.pszText);
        ::SendMessageW(handle(), LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }
    fit_columns();
}

void ReportListView::keep_columns(int count) {
    while (column_count() > count) ListView_DeleteColumn(handle(), column_count() - 1);
}

int ReportListView::caption_width(const std::wstring& caption) const {
    // The header's text margins and the sort arrow's room, as the list view leaves them.
    constexpr int kCaptionMargin = 14;
    return static_cast<int>(
               ::SendMessageW(handle(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(caption.c_str()))) +
           kCaptionMargin;
}

void ReportListView::fit_columns() {
    const int columns = column_count();
    if (columns < 2) return;
    RECT client{};
    ::GetClientRect(handle(), &client);
    const int left = client.right - ListView_GetColumnWidth(handle(), 0);
    const int share = left / (columns - 1);
    for (int column = 1; column < columns; ++column) {
        const int width = std::max(share, caption_width(column_caption(column)));
        if (ListView_GetColumnWidth(handle(), column) != width)
            ListView_SetColumnWidth(handle(), column, width);
    }
}

void ReportListView::set_row_count(int rows) {
    ListView_SetItemState(handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(handle(), rows, 0);
    ::InvalidateRect(handle(), nullptr, TRUE);
}

int ReportListView::row_count() const { return ListView_GetItemCount(handle()); }

std::vector<int> ReportListView::selected_rows() const {
    std::vector<int> rows;
    int row = -1;
    while ((row = ListView_GetNextItem(handle(), row, LVNI_SELECTED)) >= 0) rows.push_back(row);
    return rows;
}

void ReportListView::select_all() { ListView_SetItemState(handle(), -1, LVIS_SELECTED, LVIS_SELECTED); }

std::wstring ReportListView::copy_text() const {
    const int columns = column_count();
    std::wstring text;
    auto add_line = [&](auto&& cell) {
        for (int column = 0; column < columns; ++column) text += (column ? L"\t" : L"") + cell(column);
        text += L"\r\n";
    };
    add_line([&](int column) { return column_caption(column); });
    std::vector<int> rows = selected_rows();
    if (rows.empty())
        for (int row = 0; row < row_count(); ++row) rows.push_back(row);
    for (int row : rows) add_line([&](int column) { return cell_text ? cell_text(row, column) : L""; });
    return text;
}

bool ReportListView::copy_to_clipboard() const {
    const std::wstring text = copy_text();
    if (!::OpenClipboard(handle())) return false;
    bool copied = false;
    if (::EmptyClipboard()) {
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* into = ::GlobalLock(memory)) {
                std::memcpy(into, text.c_str(), bytes);
                ::GlobalUnlock(memory);
                copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
            }
            // Once set, the clipboard owns the memory.
            if (!copied) ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
    return copied;
}

bool ReportListView::notify(const NMHDR& header, LRESULT& result) {
    if (header.code == LVN_GETDISPINFOW) {
        const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            const std::wstring text = cell_text ? cell_text(item.iItem, item.iSubItem) : L"";
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, text.data(), length * sizeof(wchar_t));
            item.pszText[length] = L'\0';
        }
        result = 0;
        return true;
    }
    if (header.code == LVN_KEYDOWN && ::GetKeyState(VK_CONTROL) < 0) {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
        if (key == 'A') select_all();
        if (key == 'C') copy_to_clipboard();
        result = 0;
        return key == 'A' || key == 'C';
    }
    return false;
}

}  // namespace ui
