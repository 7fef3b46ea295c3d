// Scrutel.exe as a user starts it: its own process, found through its window.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include <chrono>
#include <string>

#include "support/MainFormHarness.h"
#include "ui/Handles.h"
#include "ui/Text.h"

namespace {

BOOL CALLBACK FindChildOfClass(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<std::pair<const wchar_t*, HWND>*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpiW(name, found->first) == 0) {
        found->second = window;
        return FALSE;
    }
    return TRUE;
}

HWND ChildOfClass(HWND parent, const wchar_t* window_class) {
    std::pair<const wchar_t*, HWND> found{window_class, nullptr};
    ::EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

}  // namespace

TEST_CASE("smoke: Scrutel.exe starts with its main window and ends on Escape") {
    StartedProgram scrutel(BesideTests(L"Scrutel.exe"));

    HWND main = nullptr;
    REQUIRE(WaitUntil([&] { return (main = VisibleMainWindowOf(scrutel.pid())) != nullptr; }));
    CHECK(ui::window_text(main) == L"Scrutel");
    RECT client{};
    ::GetClientRect(main, &client);
    CHECK(client.right == 286);

    HWND tabs = ChildOfClass(main, WC_TABCONTROLW);
    REQUIRE(tabs);
    CHECK(TabCtrl_GetCurSel(tabs) == 0);
    HWND status = ChildOfClass(main, STATUSCLASSNAMEW);
    REQUIRE(status);
    // A status bar answers WM_GETTEXT with its first panel, also across processes.
    wchar_t text[64] = {};
    ::SendMessageW(status, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    CHECK(std::wstring(text) == L"Ready");

    ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    CHECK(::WaitForSingleObject(scrutel.process(), 5000) == WAIT_OBJECT_0);
    DWORD exit_code = 1;
    ::GetExitCodeProcess(scrutel.process(), &exit_code);
    CHECK(exit_code == 0);
}
