#pragma once
// The Link page: for a file extension, a file name or a dropped file, the program that opens files of
// its type, with its description, file name and icon, and the type's description; for a shortcut, its
// target. "Search target..." shows the program file in the shell's file browser.
#include <windows.h>

#include <functional>
#include <string>

#include "ui/Controls.h"
#include "ui/Handles.h"

class TLinkPage : public ui::PageContent {
public:
    TLinkPage();
    void Create(HWND page) override;

    // Fills the page for the type of name (an extension with its dot, or any file name).
    void ShowAssociation(const std::wstring& name);
    // A file dropped on the main window while this page is shown.
    void FileDropped(const std::wstring& file);

    // Event handlers.
    void EditFileExtChange();
    void ButtonSearchClick();

    // Starts a program through the shell with parameters; tests look at what would be started.
    std::function<void(const std::wstring& program, const std::wstring& parameters)> ShellOpen;

    ui::Label LabelFileExt, LabelFileType, LabelProgramDescr, LabelProgramFileName;
    ui::Edit EditFileExt, EditFileType, EditProgramDescr, EditProgramFileName;
    ui::Picture ProgramIcon;
    ui::Button ButtonSearch;

private:
    // A shortcut file shows its target and the shortcut arrow instead of the program.
    void ShowShortcut(const std::wstring& file);
    // The icon shown is the page's; the one it replaces is released once it is off the screen.
    void ShowIcon(ui::unique_icon icon);

    ui::unique_icon icon_;
};
