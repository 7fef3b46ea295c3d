#include "window/HandleHistory.h"

#include "ui/Text.h"
#include "window/WindowEntryText.h"

std::string HandleHistoryEntry(std::uint32_t handle, const std::wstring& class_name,
                               const std::wstring& caption) {
    return ui::wide_to_ansi(WindowEntryText(handle, class_name, caption));
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

void THandleHistory::Create(HWND page, int left, int top) {
    Group.create(page, L"Handle history", {left, top, 240, 150});
    List.create(page, {left + 8, top + 18, 224, 90});
    NoDuplicates.create(page, L"No duplicates", {left + 8, top + 112, 110, 17});
    AddAllTouched.create(page, L"Add all touched windows", {left + 8, top + 129, 224, 17});
    List.on_click = [this] { ListClick(); };
    NoDuplicates.on_click = [this] { NoDuplicatesClick(); };
}

void THandleHistory::SetVisible(bool visible) {
    ui::Control* controls[] = {&Group, &List, &NoDuplicates, &AddAllTouched};
    for (ui::Control* control : controls) control->set_visible(visible);
}

bool THandleHistory::Shows(const std::wstring& entry) const {
    return ::SendMessageW(List.handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(entry.c_str())) != LB_ERR;
}

void THandleHistory::Add(const std::string& entry) {
    const std::wstring shown = ui::ansi_to_wide(entry);
    const int count = List.count();
    if (count == 0)
        List.add(shown);
    else if (NoDuplicates.checked() ? !Shows(shown) : List.item(count - 1) != shown)
        List.add(shown);
    if (entries_.empty() || entries_.back() != entry) entries_.push_back(entry);
    ::SendMessageW(List.handle(), LB_SETTOPINDEX, static_cast<WPARAM>(List.count() - 1), 0);
}

void THandleHistory::Rebuild() {
    const bool once = NoDuplicates.checked();
    ::SendMessageW(List.handle(), WM_SETREDRAW, FALSE, 0);
    List.clear();
    for (const std::string& entry : entries_) {
        const std::wstring shown = ui::ansi_to_wide(entry);
        if (!once || !Shows(shown)) List.add(shown);
    }
    ::SendMessageW(List.handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(List.handle(), nullptr, TRUE);
}

void THandleHistory::ListClick() {
    const int index = List.selected();
    if (index < 0) return;
    if (const auto handle = HandleOfEntry(List.item(index)); handle && on_pick) on_pick(*handle);
}

void THandleHistory::NoDuplicatesClick() { Rebuild(); }
