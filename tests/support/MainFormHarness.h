#pragma once
// Driving Scrutel's forms in the test process with the messages a user's input produces.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Handles.h"

class TMainForm;

// The settings key of the test program (its file name is the product name) and its removal.
std::wstring SettingsKeyOfTests();
void ClearSettings();

// Types each character as WM_CHAR at the caret, as the keyboard would.
void Type(ui::Edit& edit, const std::wstring& characters);
void SelectAll(ui::Edit& edit);
void SetCaret(ui::Edit& edit, int position);

// Chooses a tab as a click on it does (the tab control's selection-change notification).
void ChooseTab(TMainForm& form, int page);
// Alt+H through the message loop's translation of the form's shortcuts.
void PressAltH(TMainForm& form);

// A program beside the test programs in bin.
std::wstring BesideTests(const wchar_t* name);
// A program started for a test, ended (if it still runs) when the test is done.
class StartedProgram {
public:
    // Throws std::runtime_error when the program cannot be started.
    explicit StartedProgram(const std::wstring& path);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_.get(); }

private:
    ui::unique_kernel_handle process_;
    DWORD pid_ = 0;
};

// The first visible unowned top-level window of a process; null when there is none (yet).
HWND VisibleMainWindowOf(DWORD process_id);

// Runs the action once this thread handles its messages again: inside a modal loop that the caller is
// about to enter. An exception that leaves the action closes the active window (ending that loop) and
// counts in ModalActionFailures.
void WhenModal(std::function<void()> action);
int& ModalActionFailures();
// The visible top-level window of this thread with that caption; null when there is none.
HWND OwnWindowCaptioned(const std::wstring& caption);

// Handles this thread's messages until the condition holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(5000));

// The texts of the error boxes raised while it lives, collected instead of shown.
class CollectedErrors {
public:
    CollectedErrors();
    ~CollectedErrors();
    CollectedErrors(const CollectedErrors&) = delete;
    CollectedErrors& operator=(const CollectedErrors&) = delete;
    const std::vector<std::wstring>& texts() const;
};

// The visible dialog boxes (message boxes, common dialogs) of a process.
std::vector<HWND> VisibleDialogsOf(DWORD process_id);

// What a control paints of its client area (WM_PRINTCLIENT) into a 32-bit image of the given size
// first filled with the background: 0x00RRGGBB, top row first.
std::vector<std::uint32_t> PrintedClient(HWND control, int width, int height, std::uint32_t background);
