#pragma once
// The handle history of the Attributes page: every window picked by pointing, as its handle, class name
// and caption were at that moment, and the list box that shows them (all, or each entry once). A click
// on an entry picks that window again.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/Controls.h"

// The entry of a window: 8 hexadecimal digits, " {", class name, "} ", the caption in double quotes;
// as 8-bit text in the system code page.
std::string HandleHistoryEntry(std::uint32_t handle, const std::wstring& class_name,
                               const std::wstring& caption);
// The handle an entry starts with; none when its first 8 characters are not hexadecimal digits.
std::optional<std::uint32_t> HandleOfEntry(const std::wstring& entry);

class THandleHistory {
public:
    THandleHistory() = default;
    THandleHistory(const THandleHistory&) = delete;
    THandleHistory& operator=(const THandleHistory&) = delete;

    // Lays the group out on the page at (left, top).
    void Create(HWND page, int left, int top);
    void SetVisible(bool visible);

    // Raised with the handle of the entry the user clicked.
    std::function<void(std::uint32_t handle)> on_pick;

    void Add(const std::string& entry);
    // Whether windows touched on the way count too, not only the one the finder is released over.
    bool AddAllTouchedWindows() const { return AddAllTouched.checked(); }
    // Every entry ever added, without two equal ones in a row.
    const std::vector<std::string>& Entries() const { return entries_; }

    // Event handlers.
    void ListClick();
    void NoDuplicatesClick();

    ui::GroupBox Group;
    ui::ListBox List;
    ui::CheckBox NoDuplicates, AddAllTouched;

private:
    // Shows the full history again, or each entry once at the place of its first occurrence.
    void Rebuild();
    bool Shows(const std::wstring& entry) const;  // equal but for letter case, as the list box compares

    std::vector<std::string> entries_;
};
