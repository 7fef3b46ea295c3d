// Figures of the PEInfo page, not a test: for three files, the time from setting the name box's text
// until tree and list are drawn, the working set before and after, and the time to fill the list with
// the largest export table. Run it under Wine with tools/bench-peinfo.sh.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "peinfo/FileByteSource.h"
#include "peinfo/GkPeInfo.h"
#include "support/MainFormHarness.h"

namespace {

const std::wstring kWineLibraries = L"Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\";

double WorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
}

// The DLL of the folder with the most named exports, as the reader counts them.
std::wstring MostExports(const std::wstring& folder, std::size_t& count) {
    std::wstring best;
    count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return best;
    do {
        const std::wstring name = folder + found.cFileName;
        try {
            FileByteSource file{std::filesystem::path(name)};
            const TPEFileInfo info(file, name, nsDecimal);
            if (info.ExportList().size() > count) {
                count = info.ExportList().size();
                best = name;
            }
        } catch (const std::exception&) {
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return best;
}

void DrawNow(TMainForm& form) {
    ::RedrawWindow(form.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

HTREEITEM TopLevel(const ui::TextTree& tree, const std::wstring& text) {
    for (HTREEITEM item = tree.first_child(nullptr); item; item = tree.next_sibling(item))
        if (tree.text(item) == text) return item;
    return nullptr;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

int main() {
    ClearSettings();
    std::size_t exports = 0;
    const std::wstring most_exports = MostExports(kWineLibraries, exports);
    struct {
        const char* what;
        std::wstring file;
    } files[] = {
        {"a large DLL with many imports", kWineLibraries + L"shell32.dll"},
        {"the most exports of Wine's i386 DLLs", most_exports},
        {"Scrutel.exe", BesideTests(L"Scrutel.exe")},
    };
    TMainForm form;
    form.show();
    ChooseTab(form, TMainForm::PagePEInfo);
    TPEInfoPage& page = form.PEInfo;
    constexpr int kRuns = 9;
    std::vector<double> drawing;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        DrawNow(form);
        drawing.push_back(Now() - start);
    }
    std::printf("Drawing the main window on the PEInfo page, nothing loaded: median %.1f ms\n",
                Median(drawing) * 1e3);
    for (const auto& f : files) {
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        ::GetFileAttributesExW(f.file.c_str(), GetFileExInfoStandard, &attributes);
        std::printf("%s: %s, %.1f MB\n", f.what, Narrow(f.file).c_str(), attributes.nFileSizeLow / 1e6);
        std::vector<double> times, loads;
        double before = 0, after = 0;
        for (int run = 0; run < kRuns; ++run) {
            page.EditPEFileName.set_text(L"");
            DrawNow(form);
            if (run == 0) before = WorkingSetMiB();
            const double start = Now();
            page.EditPEFileName.set_text(f.file);
            loads.push_back(Now() - start);
            DrawNow(form);
            times.push_back(Now() - start);
            if (run == 0) after = WorkingSetMiB();
        }
        std::size_t functions = 0;
        for (const auto& module : page.PEFileInfo()->ImportList()) functions += module->Count();
        std::printf(
            "  %zu imported modules, %zu imported functions, %zu exports; name set to tree and list "
            "drawn: median %.1f ms, worst %.1f ms (%d loads); before drawing: median %.1f ms\n",
            page.PEFileInfo()->ImportList().size(), functions, page.PEFileInfo()->ExportList().size(),
            Median(times) * 1e3, Worst(times) * 1e3, kRuns, Median(loads) * 1e3);
        std::printf("  working set %.1f MiB before the first load, %.1f MiB after it\n", before, after);
    }

    page.EditPEFileName.set_text(most_exports);
    HTREEITEM exports_item = TopLevel(page.TreeParts, L"Exports");
    HTREEITEM header_item = TopLevel(page.TreeParts, L"PE Header");
    std::vector<double> times, fills;
    for (int run = 0; run < kRuns; ++run) {
        page.TreeParts.select(header_item);
        DrawNow(form);
        const double start = Now();
        page.TreeParts.select(exports_item);
        fills.push_back(Now() - start);
        DrawNow(form);
        times.push_back(Now() - start);
    }
    std::printf(
        "Exports of %s chosen (%d rows): list filled and drawn: median %.2f ms, worst %.2f ms; filled, "
        "before drawing: median %.2f ms\n",
        Narrow(most_exports).c_str(), page.ListFields.row_count(), Median(times) * 1e3, Worst(times) * 1e3,
        Median(fills) * 1e3);
    std::printf("working set at the end: %.1f MiB\n", WorkingSetMiB());
    return 0;
}
