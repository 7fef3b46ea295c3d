#include "ui/ComboBox.h"

namespace ui {
namespace {

constexpr int kListRowHeight = 16;

}  // namespace

void ComboBox::create(HWND parent, const Bounds& bounds, int rows) { create_list(bounds, rows, parent, 0); }

void ComboBox::create_list(const Bounds& bounds, int rows, HWND parent, DWORD extra_style) {
    // The window's height is the closed field's and the dropped list's together.
    create_control(WC_COMBOBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | extra_style,
                   0, parent,
                   {bounds.left, bounds.top, bounds.width, bounds.height + rows * kListRowHeight + 2});
}

void ComboBox::command(WORD code) {
    if (code == CBN_SELCHANGE && on_change) on_change();
}

void ComboBox::clear() { ::SendMessageW(handle(), CB_RESETCONTENT, 0, 0); }

int ComboBox::add(const std::wstring& item, LPARAM data) {
    const auto index =
        static_cast<int>(::SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    if (index >= 0) ::SendMessageW(handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

int ComboBox::count() const { return static_cast<int>(::SendMessageW(handle(), CB_GETCOUNT, 0, 0)); }

int ComboBox::selected() const {
    const LRESULT index = ::SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::set_selected(int index) {
    ::SendMessageW(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ComboBox::item(int index) const {
    const LRESULT length = ::SendMessageW(handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

LPARAM ComboBox::data(int index) const {
    return ::SendMessageW(handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

}  // namespace ui
