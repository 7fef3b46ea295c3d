#include "app/HandleHistory.h"

#include "app/MainForm.h"
#include "ui/Text.h"

std::string HandleHistoryEntry(std::uint32_t handle, const std::wstring& class_name,
                               const std::wstring& caption) {
    return ui::wide_to_ansi(HexText8(handle) + L" {" + class_name + L"} \"" + caption + L"\"");
}

std::optional<std::uint32_t> HandleOfEntry(const std::wstring& entry) {
    if (entry.size() < 8) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const wchar_t c = entry[i];
        std::uint32_t digit = 0;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<std::uint32_t>(c - L'0');
        else if (c >= L'A' && c <= L'F')
            digit = static_cast<std::uint32_t>(c - L'A' + 10);
        else if (c >= L'a' && c <= L'f')
            digit = static_cast<std::uint32_t>(c - L'a' + 10);
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return value;
}

bool THandleHistory::Shows(const std::wstring& entry) const {
    return ::SendMessageW(list_box_.handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(entry.c_str())) != LB_ERR;
}

void THandleHistory::Add(const std::string& entry) {
    const std::wstring shown = ui::ansi_to_wide(entry);
    const int count = list_box_.count();
    if (count == 0)
        list_box_.add(shown);
    else if (no_duplicates_.checked() ? !Shows(shown) : list_box_.item(count - 1) != shown)
        list_box_.add(shown);
    if (entries_.empty() || entries_.back() != entry) entries_.push_back(entry);
    ::SendMessageW(list_box_.handle(), LB_SETTOPINDEX, static_cast<WPARAM>(list_box_.count() - 1), 0);
}

void THandleHistory::Rebuild() {
    const bool once = no_duplicates_.checked();
    ::SendMessageW(list_box_.handle(), WM_SETREDRAW, FALSE, 0);
    list_box_.clear();
    for (const std::string& entry : entries_) {
        const std::wstring shown = ui::ansi_to_wide(entry);
        if (!once || !Shows(shown)) list_box_.add(shown);
    }
    ::SendMessageW(list_box_.handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_box_.handle(), nullptr, TRUE);
}

void TMainForm::AddToHandleHistory() {
    HandleHistory_.Add(
        HandleHistoryEntry(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(CurrentHandle_)),
                           Attributes.EditClassName.text(), Attributes.EditCaption.text()));
}

void TMainForm::HandleHistoryListBoxClick() {
    const int index = Attributes.HandleHistoryListBox.selected();
    if (index < 0) return;
    if (const auto handle = HandleOfEntry(Attributes.HandleHistoryListBox.item(index)))
        EditHandle.set_text(HandleText(*handle));
}

void TMainForm::SupressSameHandlesClick() { HandleHistory_.Rebuild(); }
