// Figures of the main window, not a test: refresh latency, start-up time and working set.
// Run it under Wine with tools/bench-foundation.sh.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Handles.h"

namespace {

std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

void RefreshLatency() {
    ClearSettings();
    FixtureProcess fixture(L"window_fixture.exe");
    TMainForm form;
    const HWND windows[2] = {fixture.window("rect"), fixture.window("notext")};
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) {
        const double start = Now();
        form.EditHandle.set_text(Hex(windows[i % 2]));
        times.push_back(Now() - start);
    }
    std::printf(
        "RefreshWindowInfo, 1000 refreshes alternating between two windows of another process:\n"
        "  median %.3f ms, worst %.3f ms\n",
        Median(times) * 1e3, *std::max_element(times.begin(), times.end()) * 1e3);
}

void StartUp() {
    const std::wstring exe = BesideTests(L"Scrutel.exe");
    std::vector<double> times;
    std::vector<double> peaks;
    for (int run = 0; run < 10; ++run) {
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const double start = Now();
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info))
            return;
        ui::unique_kernel_handle process(info.hProcess), thread(info.hThread);
        HWND main = nullptr;
        while (!main && Now() - start < 20) {
            main = VisibleMainWindowOf(info.dwProcessId);
            if (!main) ::Sleep(0);
        }
        times.push_back(Now() - start);
        ::WaitForInputIdle(process.get(), 5000);
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (::GetProcessMemoryInfo(process.get(), &memory, sizeof memory))
            peaks.push_back(static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
        if (main) ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        if (::WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
    }
    std::printf("Start-up, process start to main window shown, 10 runs: median %.1f ms\n",
                Median(times) * 1e3);
    if (!peaks.empty())
        std::printf("Peak working set after start-up: median %.1f MiB (as the process reports it)\n",
                    Median(peaks));
}

}  // namespace

int main() {
    RefreshLatency();
    StartUp();
    return 0;
}
