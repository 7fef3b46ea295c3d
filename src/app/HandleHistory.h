#pragma once
// The handle history of the Attributes page: every window picked by pointing, as its handle, class name
// and caption were at that moment, and the list box that shows them (all, or each entry once).
#include <windows.h>

#include <cstdint>
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
    THandleHistory(ui::ListBox& list_box, ui::CheckBox& no_duplicates)
        : list_box_(list_box), no_duplicates_(no_duplicates) {}
    THandleHistory(const THandleHistory&) = delete;
    THandleHistory& operator=(const THandleHistory&) = delete;

    void Add(const std::string& entry);
    // Shows the full history again, or each entry once at the place of its first occurrence.
    void Rebuild();
    // Every entry ever added, without two equal ones in a row.
    const std::vector<std::string>& Entries() const { return entries_; }

private:
    bool Shows(const std::wstring& entry) const;  // equal but for letter case, as the list box compares

    ui::ListBox& list_box_;
    ui::CheckBox& no_duplicates_;
    std::vector<std::string> entries_;
};
