// Figures of the window tree, not a test: the time to list and show the windows of a program with
// 300, 3,000 and 10,000 windows, a filter keystroke over 10,000 windows, and Scrutel's working set with
// them listed. Run it under Wine with tools/bench-hierarchy.sh.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "window/WindowListerWin.h"

namespace {

double Ms(double seconds) { return seconds * 1e3; }

void TreeTimes(TMainForm& form, long windows) {
    FixtureProcess fixture(L"many_windows_fixture.exe", std::to_wstring(windows));
    THierarchyPage& page = form.Hierarchy;
    std::vector<double> snapshot, whole;
    TWindowListerWin lister;
    std::size_t listed = 0;
    for (int run = 0; run < 5; ++run) {
        double start = Now();
        listed = TWindowTree::Build(lister).Nodes().size();
        snapshot.push_back(Now() - start);
        start = Now();
        page.RefreshTree();
        whole.push_back(Now() - start);
    }
    std::printf(
        "  %5ld windows of the fixture (%zu listed in all, %d items in the tree view): snapshot median %.1f "
        "ms, "
        "snapshot and tree view median %.1f ms (worst %.1f)\n",
        windows, listed, page.TreeWindows.count(), Ms(Median(snapshot)), Ms(Median(whole)), Ms(Worst(whole)));
    if (windows < 10000) return;

    // Keystrokes into the filter box, each timed from the character to the tree shown anew.
    struct {
        const wchar_t* typed;
        const char* what;
    } keystrokes[] = {
        {L"w", "\"w\": every fixture window matches, all opened"},
        {L"i", "\"wi\""},
        {L"9", "\"wi9\": no match"},
    };
    page.EditFilter.set_text(L"");
    for (const auto& key : keystrokes) {
        const double start = Now();
        ::SendMessageW(page.EditFilter.handle(), WM_CHAR, key.typed[0], 1);
        const double took = Now() - start;
        std::printf("  filter keystroke %-44s %.1f ms, %d items shown\n", key.what, Ms(took),
                    page.TreeWindows.count());
    }
    page.EditFilter.set_text(L"window 9999");
    std::vector<double> rare;
    for (int run = 0; run < 5; ++run) {
        page.EditFilter.set_text(L"window 999");
        const double start = Now();
        ::SendMessageW(page.EditFilter.handle(), WM_CHAR, L'9', 1);
        rare.push_back(Now() - start);
    }
    std::printf("  filter keystroke \"window 999\" -> \"window 9999\" (one match):  median %.1f ms\n",
                Ms(Median(rare)));
    page.EditFilter.set_text(L"");
}

// Scrutel.exe on its own with the fixture's 10,000 windows listed in its tree.
void WorkingSet() {
    FixtureProcess fixture(L"many_windows_fixture.exe", L"10000");
    StartedProgram scrutel(BesideTests(L"Scrutel.exe"));
    HWND main = nullptr;
    WaitUntil([&] { return (main = VisibleMainWindowOf(scrutel.pid())) != nullptr; },
              std::chrono::seconds(20));
    if (!main) return;
    ::WaitForInputIdle(scrutel.process(), 5000);
    const auto working_set = [&] {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        ::GetProcessMemoryInfo(scrutel.process(), &memory, sizeof memory);
        return static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
    };
    const double before = working_set();
    HWND tabs = ::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
    ::SendMessageW(tabs, TCM_SETCURFOCUS, 4, 0);  // Hierarchy
    HWND page = nullptr, tree = nullptr;
    for (HWND panel = ::FindWindowExW(tabs, nullptr, nullptr, nullptr); panel && !tree;
         panel = ::FindWindowExW(tabs, panel, nullptr, nullptr))
        if ((tree = ::FindWindowExW(panel, nullptr, WC_TREEVIEWW, nullptr))) page = panel;
    if (!tree) return;
    const auto items = [&] { return static_cast<long>(::SendMessageW(tree, TVM_GETCOUNT, 0, 0)); };
    WaitUntil([&] { return items() > 0; }, std::chrono::seconds(30));
    ::WaitForInputIdle(scrutel.process(), 5000);
    const double listed = working_set();
    const long listed_items = items();
    // Every fixture window shown, its branch opened: the filter box's change runs before WM_SETTEXT returns.
    ::SendMessageW(::FindWindowExW(page, nullptr, WC_EDITW, nullptr), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"Bench"));
    ::WaitForInputIdle(scrutel.process(), 5000);
    std::printf(
        "Scrutel.exe working set: %.1f MiB at start; with the 10,000 windows listed %.1f MiB (%ld items "
        "made), "
        "with all of them shown through the filter %.1f MiB (%ld items)\n",
        before, listed, listed_items, working_set(), items());
    ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::WaitForSingleObject(scrutel.process(), 5000);
}

}  // namespace

int main() {
    ClearSettings();
    TMainForm form;
    form.show();
    ChooseTab(form, TMainForm::PageHierarchy);
    std::printf("Window tree, 5 runs each (the desktop's other windows are listed too):\n");
    for (long windows : {300L, 3000L, 10000L}) TreeTimes(form, windows);
    WorkingSet();
    return 0;
}
