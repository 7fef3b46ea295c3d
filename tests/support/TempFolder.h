#pragma once
// A folder of a test's own under the temporary folder, removed with everything the test put into it.
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    // The folder's full name, ending in "\".
    const std::wstring& path() const { return path_; }
    // A file (name may lead through folders made by folder()) with these bytes, written anew.
    std::wstring file(const std::wstring& name, const std::string& content);
    std::wstring folder(const std::wstring& name);
    std::wstring copy(const std::wstring& name, const std::wstring& from);
    // A shortcut to target, saved the way the shell saves one.
    std::wstring shortcut(const std::wstring& name, const std::wstring& target);

private:
    std::wstring remember(const std::wstring& name);
    std::wstring path_;
    std::vector<std::wstring> files_, folders_;
};
