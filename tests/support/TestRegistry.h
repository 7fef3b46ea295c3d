#pragma once
// Registry keys and values a test writes, removed again (with everything below them) when it is done.
#include <windows.h>

#include <string>
#include <vector>

class TestRegistry {
public:
    TestRegistry() = default;
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;
    ~TestRegistry();

    // Creates the key (and the keys above it) and sets one value ("" is the default value); the
    // topmost key that did not exist before is removed at the end.
    void set(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text,
             DWORD type = REG_SZ);
    void set_number(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number);
    // Creates the key without a value.
    void create(HKEY root, const std::wstring& key);

private:
    HKEY open(HKEY root, const std::wstring& key);
    struct Made {
        HKEY root;
        std::wstring key;
    };
    std::vector<Made> made_;
};
