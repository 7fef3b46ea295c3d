#pragma once
// The system's open and save dialogs, each behind a small interface that tests answer instead of a
// user.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ui {

struct FileFilter {
    std::wstring description;  // "Icons"
    std::wstring patterns;     // "*.ico", "*.exe;*.dll"
};

// Choosing an existing file.
class FileChooser {
public:
    // True with the chosen file's full name when the user confirmed; false (name untouched) otherwise.
    virtual bool choose(HWND owner, std::wstring& file_name) = 0;

protected:
    ~FileChooser() = default;
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

// Asking for the name of a file to save to.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // The file name as the user entered it, nullopt when the user cancelled.
    virtual std::optional<std::wstring> execute(HWND owner, const std::vector<FileFilter>& filters) = 0;
};

// The system's save dialog: no default extension is added and an existing file is not asked about.
class SystemSaveFileDialog : public SaveFileDialog {
public:
    std::optional<std::wstring> execute(HWND owner, const std::vector<FileFilter>& filters) override;
};

}  // namespace ui
