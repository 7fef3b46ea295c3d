#include "support/TempFolder.h"

#include <windows.h>

#include <doctest.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>

#include "ui/Handles.h"

TempFolder::TempFolder() {
    static int made = 0;
    wchar_t base[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, base);
    REQUIRE((length > 0 && length < MAX_PATH));
    path_ = std::wstring(base) + L"scrutel-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++made) + L"\\";
    REQUIRE((::CreateDirectoryW(path_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS));
}

namespace {

// Deletes a folder with everything in it, also what tests wrote there by name; depth-first, bounded
// by what the tests make.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::remember(const std::wstring& name) {
    const std::wstring full = path_ + name;
    if (std::find(files_.begin(), files_.end(), full) == files_.end()) files_.push_back(full);
    return full;
}

std::wstring TempFolder::file(const std::wstring& name, const std::string& content) {
    const std::wstring full = remember(name);
    std::ofstream out(full.c_str(), std::ios::binary | std::ios::trunc);
    out << content;
    REQUIRE(out.good());
    return full;
}

std::wstring TempFolder::folder(const std::wstring& name) {
    const std::wstring full = path_ + name;
    REQUIRE(::CreateDirectoryW(full.c_str(), nullptr));
    folders_.push_back(full);
    return full + L"\\";
}

std::wstring TempFolder::copy(const std::wstring& name, const std::wstring& from) {
    const std::wstring full = remember(name);
    REQUIRE(::CopyFileW(from.c_str(), full.c_str(), FALSE));
    return full;
}

std::wstring TempFolder::shortcut(const std::wstring& name, const std::wstring& target) {
    const std::wstring full = remember(name);
    const ui::com_scope com;
    ui::com_ptr<IShellLinkW> link;
    REQUIRE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         link.put_void())));
    REQUIRE(SUCCEEDED(link->SetPath(target.c_str())));
    ui::com_ptr<IPersistFile> persist;
    REQUIRE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.put_void())));
    REQUIRE(SUCCEEDED(persist->Save(full.c_str(), TRUE)));
    return full;
}
