// Figures of the alien component lookup, not a test: ReadProcessMemory calls of a first and of a
// repeated lookup, and the lookup's time over a form with 1,000 windowless children.
// With --real CLASS: the same figures for the real program whose main form has that window class,
// running in this Wine prefix (tests/real/check-vcl-programs.sh --bench starts each).
// Run it under Wine with tools/bench-alien.sh.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Text.h"

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

// One pick as the Delphi-VCL page makes it: the lookup, then everything the page shows.
void Pick(TMainForm& form, HWND window, std::optional<POINT> point) {
    TAlienControl* found = form.Components().Find(window, point);
    form.DelphiVcl.Show(form.Components().Application(), found);
}

struct Figure {
    double median_ms = 0;
    unsigned long long calls = 0;  // of the last run
};

// Runs `step` `runs` times, each after `prepare`.
template <class Prepare, class Step>
Figure Measure(int runs, Prepare&& prepare, Step&& step) {
    TWin32AlienPlatform& platform = Win32AlienPlatform();
    std::vector<double> times;
    Figure figure;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const auto calls = platform.ReadCalls();
        const double start = Now();
        step();
        times.push_back(Now() - start);
        figure.calls = platform.ReadCalls() - calls;
    }
    figure.median_ms = Median(times) * 1e3;
    return figure;
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[128] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// The windows of the process that shows `main`, top-level ones first, each followed by its children.
std::vector<HWND> WindowsOfProgram(HWND main) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(main, &process);
    std::vector<HWND> tops, all;
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&tops));
    for (HWND top : tops) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(top, &owner);
        if (owner != process) continue;
        all.push_back(top);
        ::EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
    }
    return all;
}

void RealProgram(const char* form_class) {
    TMainForm form;
    HWND main = ::FindWindowA(form_class, nullptr);
    if (!main) {
        std::printf("no window of class %s\n", form_class);
        return;
    }
    const std::vector<HWND> windows = WindowsOfProgram(main);
    HWND button = nullptr;
    for (HWND window : windows)
        if (!button && ClassOf(window) == "TButton") button = window;
    const auto fresh = [&] { form.Components().Reset(); };
    Pick(form, main, std::nullopt);
    std::printf("%s, recognised as \"%s\"\n", form_class,
                ui::wide_to_ansi(form.DelphiVcl.EditVersion.text()).c_str());
    const struct {
        const char* what;
        HWND window;
    } targets[] = {{"the main form", main}, {"a TButton", button}};
    for (const auto& target : targets) {
        if (!target.window) continue;
        const Figure first = Measure(11, fresh, [&] { Pick(form, target.window, std::nullopt); });
        const Figure repeated = Measure(
            21, [] {}, [&] { Pick(form, target.window, std::nullopt); });
        std::printf(
            "  %s: first lookup %llu ReadProcessMemory calls, %.2f ms (median of 11); repeated lookup %llu "
            "calls, %.3f ms (median of 21)\n",
            target.what, first.calls, first.median_ms, repeated.calls, repeated.median_ms);
    }
    // The finder over the window that holds the most controls without a window of their own, each
    // picked at its centre in turn.
    HWND busiest = nullptr;
    std::vector<POINT> centres;
    for (HWND window : windows) {
        auto* own = dynamic_cast<TAlienWinControl*>(form.Components().Find(window, std::nullopt));
        if (!own || own->Controls()->Count() <= static_cast<std::int32_t>(centres.size())) continue;
        busiest = window;
        centres.clear();
        for (std::int32_t i = 0; i < own->Controls()->Count(); ++i) {
            TAlienControl* child = own->Application().ControlProxy(own->Controls()->Items(i));
            if (!child) continue;
            const TAlienRect r = child->BoundsRect();
            POINT centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
            ::ClientToScreen(window, &centre);
            centres.push_back(centre);
        }
    }
    if (!busiest || centres.empty()) return;
    const Figure first = Measure(11, fresh, [&] { Pick(form, busiest, centres.front()); });
    const Figure passes = Measure(
        21, [] {},
        [&] {
            for (const POINT& centre : centres) Pick(form, busiest, centre);
        });
    std::printf(
        "  finder over the %zu controls without a window of a %s: first move %llu calls, %.2f ms (median "
        "of 11); each further move %.3f ms, %llu calls for all %zu (median of 21 passes)\n",
        centres.size(), ClassOf(busiest).c_str(), first.calls, first.median_ms,
        passes.median_ms / static_cast<double>(centres.size()), passes.calls, centres.size());
}

}  // namespace

int main(int argc, char** argv) {
    ClearSettings();
    if (argc == 3 && std::strcmp(argv[1], "--real") == 0) {
        RealProgram(argv[2]);
        return 0;
    }
    ReadCalls();
    ThousandChildren();
    return 0;
}
