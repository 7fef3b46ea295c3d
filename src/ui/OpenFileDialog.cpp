#include "ui/OpenFileDialog.h"

#include <commdlg.h>

namespace ui {

bool OpenFileDialog::choose(HWND owner, std::wstring& file_name) {
    // Pairs of null-terminated texts, ended by one more null.
    std::wstring filter;
    for (const FileFilter& f : filters_) {
        filter += f.description;
        filter += L'\0';
        filter += f.patterns;
        filter += L'\0';
    }
    filter += L'\0';
    // Room for long names: the dialog refuses a choice that does not fit rather than cutting it.
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&ofn)) return false;
    buffer.resize(buffer.find(L'\0'));
    file_name = buffer;
    return true;
}

}  // namespace ui
