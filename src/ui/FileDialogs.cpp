#include "ui/FileDialogs.h"

#include <commdlg.h>

namespace ui {
namespace {

// Pairs of NUL-terminated texts, ended by one more NUL.
std::wstring FilterText(const std::vector<FileFilter>& filters) {
    std::wstring filter;
    for (const FileFilter& f : filters) {
        filter += f.description;
        filter += L'\0';
        filter += f.patterns;
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

// Runs one of the two dialogs over a buffer with room for long names: the dialog refuses a choice that
// does not fit rather than cutting it.
std::optional<std::wstring> RunDialog(BOOL(WINAPI* dialog)(OPENFILENAMEW*), HWND owner,
                                      const std::vector<FileFilter>& filters, DWORD flags) {
    const std::wstring filter = FilterText(filters);
    std::wstring name(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | flags;
    if (!dialog(&ofn)) return std::nullopt;
    name.resize(name.find(L'\0'));
    return name;
}

}  // namespace

bool OpenFileDialog::choose(HWND owner, std::wstring& file_name) {
    const std::optional<std::wstring> chosen =
        RunDialog(::GetOpenFileNameW, owner, filters_, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (!chosen) return false;
    file_name = *chosen;
    return true;
}

std::optional<std::wstring> SystemSaveFileDialog::execute(HWND owner,
                                                          const std::vector<FileFilter>& filters) {
    return RunDialog(::GetSaveFileNameW, owner, filters, OFN_NOCHANGEDIR);
}

}  // namespace ui
