#pragma once
// Choosing an existing file: the system's open dialog, behind an interface that tests answer instead
// of a user.
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

class FileChooser {
public:
    // True with the chosen file's full name when the user confirmed; false (name untouched) otherwise.
    virtual bool choose(HWND owner, std::wstring& file_name) = 0;

protected:
    ~FileChooser() = default;
};

struct FileFilter {
    std::wstring description;
    std::wstring patterns;  // "*.exe;*.dll"
};

// The open dialog: the read-only check box hidden, the file must exist.
class OpenFileDialog : public FileChooser {
public:
    explicit OpenFileDialog(std::vector<FileFilter> filters) : filters_(std::move(filters)) {}
    bool choose(HWND owner, std::wstring& file_name) override;
    const std::vector<FileFilter>& filters() const { return filters_; }

private:
    std::vector<FileFilter> filters_;
};

}  // namespace ui
