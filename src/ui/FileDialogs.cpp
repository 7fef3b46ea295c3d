#include "ui/FileDialogs.h"

#include <commdlg.h>

namespace ui {

std::optional<std::wstring> SystemSaveFileDialog::execute(HWND owner,
                                                          const std::vector<FileFilter>& filters) {
    // Pairs of NUL-terminated texts, ended by one more NUL.
    std::wstring filter;
    for (const FileFilter& f : filters) {
        filter += f.description;
        filter += L'\0';
        filter += f.pattern;
        filter += L'\0';
    }
    filter += L'\0';
    std::wstring name(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    name.resize(name.find(L'\0'));
    return name;
}

}  // namespace ui
