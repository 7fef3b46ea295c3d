#pragma once
// A drop handle as the shell hands it over: a DROPFILES header, then the names as wide texts, each
// ended by a null, and one more null. Post it as WM_DROPFILES to a window of this process only: posted
// to another process it crashes Wine 8's receiver.
#include <windows.h>

#include <doctest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

inline HDROP ShellDrop(const std::vector<std::wstring>& files, POINT at) {
    std::wstring names;
    for (const auto& file : files) names += file + L'\0';
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    REQUIRE(memory);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fNC = FALSE;
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(),
                names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

inline bool AcceptsFiles(HWND window) {
    return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}
