// Figures of the alien component lookup, not a test: ReadProcessMemory calls of a first and of a
// repeated lookup, and the lookup's time over a form with 1,000 windowless children.
// Run it under Wine with tools/bench-alien.sh.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"

namespace {

POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    return point;
}

void ReadCalls() {
    FixtureProcess fixture(L"vcl_fixture.exe", L"7 normal");
    TMainForm form;
    TWin32AlienPlatform& platform = Win32AlienPlatform();
    HWND button = fixture.window("button");
    auto before = platform.ReadCalls();
    form.Components().Find(button, std::nullopt);
    const auto first = platform.ReadCalls() - before;
    before = platform.ReadCalls();
    for (int i = 0; i < 100; ++i) form.Components().Find(button, std::nullopt);
    const auto repeated = platform.ReadCalls() - before;
    std::printf(
        "ReadProcessMemory calls, the button's own component (version 7): first lookup %llu, "
        "100 repeated lookups %llu\n",
        static_cast<unsigned long long>(first), static_cast<unsigned long long>(repeated));
}

void ThousandChildren() {
    FixtureProcess fixture(L"vcl_fixture.exe", L"7 bench");
    TMainForm form;
    TWin32AlienPlatform& platform = Win32AlienPlatform();
    HWND window = fixture.window("form");
    // The last child: ControlAtPos walks the whole list to find it.
    const POINT last = ScreenPoint(window, 395, 295);
    std::vector<double> firsts;
    unsigned long long first_reads = 0;
    for (int run = 0; run < 20; ++run) {
        // A lookup of another window discards the access object, so the next one starts afresh.
        form.Components().Find(form.handle(), std::nullopt);
        const auto reads = platform.ReadCalls();
        const double start = Now();
        TAlienControl* found = form.Components().Find(window, last);
        firsts.push_back(Now() - start);
        first_reads = platform.ReadCalls() - reads;
        if (!found) std::printf("no component found\n");
    }
    std::printf(
        "The component lookup over a form with 1,000 windowless children:\n"
        "  first lookup (new access object, the last child): median %.2f ms, worst %.2f ms, %llu reads\n",
        Median(firsts) * 1e3, Worst(firsts) * 1e3, first_reads);
    // The first pass meets each child once and copies it; the second finds every copy made.
    for (const char* pass : {"first pass", "second pass"}) {
        std::vector<double> times;
        const auto reads = platform.ReadCalls();
        for (int i = 0; i < 1000; ++i) {
            const POINT point = ScreenPoint(window, 5 + 10 * (i % 40), 6 + 12 * (i / 40));
            const double start = Now();
            form.Components().Find(window, point);
            times.push_back(Now() - start);
        }
        std::printf("  1,000 lookups, one over each child, %s: median %.3f ms, worst %.3f ms, %llu reads\n",
                    pass, Median(times) * 1e3, Worst(times) * 1e3,
                    static_cast<unsigned long long>(platform.ReadCalls() - reads));
    }
}

}  // namespace

int main() {
    ClearSettings();
    ReadCalls();
    ThousandChildren();
    return 0;
}
