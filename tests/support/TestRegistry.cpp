#include "support/TestRegistry.h"

#include <doctest.h>

#include "ui/Handles.h"

TestRegistry::~TestRegistry() {
    for (auto made = made_.rbegin(); made != made_.rend(); ++made)
        ::RegDeleteTreeW(made->root, made->key.c_str());
}

HKEY TestRegistry::open(HKEY root, const std::wstring& key) {
    // Remember the first part of the path that is new, so that removing it leaves the registry as it was.
    std::size_t end = 0;
    do {
        end = key.find(L'\\', end + 1);
        const std::wstring part = key.substr(0, end);
        HKEY existing = nullptr;
        if (::RegOpenKeyExW(root, part.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
            ::RegCloseKey(existing);
            continue;
        }
        made_.push_back({root, part});
        break;
    } while (end != std::wstring::npos);
    HKEY opened = nullptr;
    REQUIRE(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) ==
            ERROR_SUCCESS);
    return opened;
}

void TestRegistry::create(HKEY root, const std::wstring& key) {
    const ui::unique_key opened(open(root, key));
}

void TestRegistry::set(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text,
                       DWORD type) {
    const ui::unique_key opened(open(root, key));
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    REQUIRE(::RegSetValueExW(opened.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                             bytes) == ERROR_SUCCESS);
}

void TestRegistry::set_number(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number) {
    const ui::unique_key opened(open(root, key));
    REQUIRE(::RegSetValueExW(opened.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                             sizeof number) == ERROR_SUCCESS);
}
