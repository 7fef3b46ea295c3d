// The system's save dialog, answered by a thread that types into it as a user would.
#include <windows.h>

#include <commdlg.h>
#include <doctest.h>

#include <string>
#include <vector>

#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/FileDialogs.h"
#include "ui/FileStream.h"
#include "ui/Handles.h"
#include "ui/Text.h"

namespace {

struct Answer {
    DWORD pid;
    std::wstring name;  // typed into the dialog's name box
    std::wstring filter_shown;
};

// Waits (with a deadline) for the save dialog, types the name and presses OK; a second dialog, a
// question before replacing the file, is answered and makes the result 2.
DWORD WINAPI AnswerDialog(void* data) {
    auto* answer = static_cast<Answer*>(data);
    std::vector<HWND> dialogs;
    for (int i = 0; i < 1000 && (dialogs = VisibleDialogsOf(answer->pid)).empty(); ++i) ::Sleep(10);
    if (dialogs.empty()) return 1;
    HWND dialog = dialogs.front();
    wchar_t filter[64] = {};
    ::GetWindowTextW(::GetDlgItem(dialog, 0x470), filter, 64);  // the file type box
    answer->filter_shown = filter;
    ::SendMessageW(dialog, CDM_SETCONTROLTEXT, 0x47C, reinterpret_cast<LPARAM>(answer->name.c_str()));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 500 && ::IsWindow(dialog); ++i) {
        ::Sleep(10);
        for (HWND other : VisibleDialogsOf(answer->pid))
            if (other != dialog) {
                ::PostMessageW(other, WM_COMMAND, IDYES, 0);
                return 2;
            }
    }
    return ::IsWindow(dialog) ? 3 : 0;
}

}  // namespace

TEST_CASE("the save dialog answers the name as entered, replaces without asking and shows the filter") {
    TempFolder folder;
    const std::wstring existing = folder.path() + L"existing";
    ui::write_file(existing, {'x'});
    Answer answer{::GetCurrentProcessId(), existing, {}};
    ui::unique_kernel_handle thread(::CreateThread(nullptr, 0, AnswerDialog, &answer, 0, nullptr));
    ui::SystemSaveFileDialog dialog;
    const std::optional<std::wstring> chosen = dialog.execute(nullptr, {{L"Icons", L"*.ico"}});
    REQUIRE(::WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeThread(thread.get(), &code);
    CHECK(code == 0);
    CHECK(answer.filter_shown == L"Icons");
    REQUIRE(chosen);
    CHECK(*chosen == existing);  // no extension added
}
