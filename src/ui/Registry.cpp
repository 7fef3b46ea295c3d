#include "ui/Registry.h"

#include "ui/Exceptions.h"

namespace ui {

bool Registry::open_key_read_only(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    key_.reset(key);
    return true;
}

bool Registry::open_key(const std::wstring& path, bool create) {
    HKEY key = nullptr;
    LONG status;
    if (create)
        status = ::RegCreateKeyExW(root_, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                                   nullptr);
    else
        status = ::RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (status != ERROR_SUCCESS) return false;
    key_.reset(key);
    return true;
}

bool Registry::value_exists(const std::wstring& name) const {
    return key_ &&
           ::RegQueryValueExW(key_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int Registry::read_integer(const std::wstring& name) const {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ ||
        ::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    return static_cast<int>(value);
}

std::wstring Registry::read_string(const std::wstring& name) const {
    DWORD type = 0, size = 0;
    if (!key_ ||
        ::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(L"Invalid data type for '" + name + L"'");
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                           &got) != ERROR_SUCCESS)
        return {};
    text.resize(got / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

void Registry::write_integer(const std::wstring& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    if (!key_ || ::RegSetValueExW(key_.get(), name.c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

}  // namespace ui
