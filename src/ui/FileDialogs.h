#pragma once
// Asking the user for the name of a file to save to, behind a small interface that tests answer.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ui {

struct FileFilter {
    std::wstring description;  // "Icons"
    std::wstring pattern;      // "*.ico"
};

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
