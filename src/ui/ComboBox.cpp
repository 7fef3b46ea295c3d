#include "ui/ComboBox.h"

namespace ui {

void ComboBox::create(HWND parent, const Bounds& bounds, const std::vector<std::wstring>& items) {
    create_control(WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, parent,
                   bounds);
    for (const std::wstring& text : items)
        ::SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::command(WORD code) {
    if (code == CBN_SELCHANGE && on_change) on_change();
}

int ComboBox::count() const { return static_cast<int>(::SendMessageW(handle(), CB_GETCOUNT, 0, 0)); }

std::wstring ComboBox::item(int index) const {
    const LRESULT length = ::SendMessageW(handle(), CB_GETLBTEXTLEN, index, 0);
    if (index < 0 || length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int ComboBox::selected() const {
    const LRESULT index = ::SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::set_selected(int index) { ::SendMessageW(handle(), CB_SETCURSEL, index, 0); }

}  // namespace ui
