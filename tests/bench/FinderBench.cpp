// Figures of the finder, not a test: the move handler's time (lookup, refresh, frame erase and draw)
// and the reads of the inspected process's memory it makes. Run it under Wine with tools/bench-finder.sh.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"

namespace {

// ReadProcessMemory calls of this program, counted through its own import table; the program is linked
// statically, so Scrutel's code calls through that table too.
long memory_reads = 0;
using ReadProcessMemoryFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, LPVOID, SIZE_T, SIZE_T*);
ReadProcessMemoryFunction real_read_process_memory = nullptr;

BOOL WINAPI CountedReadProcessMemory(HANDLE process, LPCVOID address, LPVOID into, SIZE_T size,
                                     SIZE_T* read) {
    ++memory_reads;
    return real_read_process_memory(process, address, into, size, read);
}

// False when nothing in the program imports ReadProcessMemory.
bool CountMemoryReads() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    const FARPROC target = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "ReadProcessMemory");
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); slot->u1.Function;
             ++slot) {
            if (reinterpret_cast<FARPROC>(slot->u1.Function) != target) continue;
            DWORD old = 0;
            if (!::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old))
                return false;
            real_read_process_memory = &::ReadProcessMemory;
            slot->u1.Function = reinterpret_cast<DWORD_PTR>(&CountedReadProcessMemory);
            ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

POINT Centre(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Figures {
    double median_ms, worst_ms;
    long reads;
    unsigned long paints;
};

// 1,000 moves of a drag over the given points in turn, each handler call timed on its own.
Figures Drag(TMainForm& form, const std::vector<POINT>& points) {
    form.Finder.WindowFinderMouseDown();
    std::vector<double> times;
    const long reads_before = memory_reads;
    const unsigned long paints_before = form.Finder.SelectionFrame().Paints();
    for (int i = 0; i < 1000; ++i) {
        const POINT at = points[static_cast<std::size_t>(i) % points.size()];
        ::SetCursorPos(at.x, at.y);
        const double start = Now();
        form.Finder.WindowFinderMouseMove();
        times.push_back(Now() - start);
    }
    const Figures figures{Median(times) * 1e3, *std::max_element(times.begin(), times.end()) * 1e3,
                          memory_reads - reads_before, form.Finder.SelectionFrame().Paints() - paints_before};
    form.Finder.WindowFinderMouseUp();
    ui::Application::instance().process_messages();
    return figures;
}

}  // namespace

int main() {
    const bool counted = CountMemoryReads();
    ClearSettings();
    FixtureProcess fixture(L"window_fixture.exe");
    TMainForm form;
    form.show();
    ::SetWindowPos(form.handle(), HWND_TOP, 0, 560, 0, 0, SWP_NOSIZE);
    WaitUntil([] { return false; }, std::chrono::milliseconds(300));  // let the windows paint

    const HWND a = fixture.window("white"), b = fixture.window("white2");
    const POINT in_a = Centre(a), in_b = Centre(b);
    const Figures alternating = Drag(form, {in_a, in_b});
    const Figures same = Drag(form, {in_a, {in_a.x + 5, in_a.y + 3}});
    // The parts of a move to a new window, each 1,000 times on its own.
    std::vector<double> refresh, frame;
    for (int i = 0; i < 1000; ++i) {
        const double start = Now();
        form.EditHandle.set_text(
            HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(i % 2 ? b : a))));
        refresh.push_back(Now() - start);
    }
    TSelectionFrame selection;
    selection.PrepareFinderClipRegion(form.handle());
    for (int i = 0; i < 1000; ++i) {
        const double start = Now();
        selection.EraseSelectionFrame();
        selection.DrawSelectionFrame(i % 2 ? b : a, std::nullopt, form.FrameSettings());
        frame.push_back(Now() - start);
    }
    selection.EraseSelectionFrame();

    std::printf("Finder move handler, 1000 moves each (ReadProcessMemory %s):\n",
                counted ? "counted through the import table" : "not imported by this build: 0");
    std::printf(
        "  alternating between two windows of another process: median %.3f ms, worst %.3f ms, "
        "%lu frame paints, %ld ReadProcessMemory calls\n",
        alternating.median_ms, alternating.worst_ms, alternating.paints, alternating.reads);
    std::printf(
        "  within one window: median %.3f ms, worst %.3f ms, %lu frame paints, %ld ReadProcessMemory "
        "calls\n",
        same.median_ms, same.worst_ms, same.paints, same.reads);
    std::printf(
        "  parts of a move to a new window: refresh median %.3f ms (worst %.3f), frame erase and draw "
        "median %.3f ms (worst %.3f)\n",
        Median(refresh) * 1e3, *std::max_element(refresh.begin(), refresh.end()) * 1e3, Median(frame) * 1e3,
        *std::max_element(frame.begin(), frame.end()) * 1e3);
    return 0;
}
