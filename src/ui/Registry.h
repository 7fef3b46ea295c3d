#pragma once
// The registry wrapper: one open key at a time under a root, typed values, errors as exceptions.
#include <windows.h>

#include <optional>
#include <string>

#include "ui/Handles.h"

namespace ui {

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}

    // Opens for reading only; false when the key does not exist. Never creates it.
    bool open_key_read_only(const std::wstring& path);
    // Opens for reading and writing, creating the key when `create` is set; false on failure.
    bool open_key(const std::wstring& path, bool create);
    void close_key() { key_.reset(); }
    bool is_open() const { return key_.valid(); }
    HKEY key() const { return key_.get(); }

    bool value_exists(const std::wstring& name) const;
    // Raise ERegistryException when the value is missing or of another type.
    int read_integer(const std::wstring& name) const;
    bool read_bool(const std::wstring& name) const { return read_integer(name) != 0; }
    std::wstring read_string(const std::wstring& name) const;
    // Raise ERegistryException when the value cannot be written.
    void write_integer(const std::wstring& name, int value);
    void write_bool(const std::wstring& name, bool value) { write_integer(name, value ? 1 : 0); }

private:
    HKEY root_;
    unique_key key_;
};

}  // namespace ui
