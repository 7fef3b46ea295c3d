// Figures of the pipette and the magnifier, not a test: the time of one pipette move (the screen pixel
// read, ShowColor and the swatch's repaint) and the time to show the magnifier at each zoom. Run it
// under Wine with tools/bench-color.sh.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/MainForm.h"
#include "bench/BenchClock.h"
#include "color/Magnifier.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"

namespace {

POINT Centre(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Print(const char* what, const std::vector<double>& times) {
    std::printf("  %s: median %.3f ms, worst %.3f ms\n", what, Median(times) * 1e3, Worst(times) * 1e3);
}

}  // namespace

int main() {
    ClearSettings();
    FixtureProcess fixture(L"color_fixture.exe");
    TMainForm form;
    TMagnifierForm magnifier;
    TColorPage& page = form.Color;
    page.UseMagnifier(&magnifier);
    form.show();
    ::SetWindowPos(form.handle(), HWND_TOP, 0, 560, 0, 0, SWP_NOSIZE);
    int tab = 0;
    for (int i = 0; i < TMainForm::PageColor; ++i) tab += form.PageControl.page_visible(i) ? 1 : 0;
    TabCtrl_SetCurSel(form.PageControl.handle(), tab);
    form.PageControl.set_active_page(TMainForm::PageColor);
    WaitUntil([] { return false; }, std::chrono::milliseconds(300));  // let the windows paint

    // Each move goes to the other window, so that every move shows a new color.
    const POINT points[2] = {Centre(fixture.window("teal")), Centre(fixture.window("gold"))};
    std::vector<double> moves, reads, shows;
    page.Pipette.ColorPickerMouseDown();
    for (int i = 0; i < 1000; ++i) {
        const POINT at = points[i % 2];
        ::SetCursorPos(at.x, at.y);
        const double start = Now();
        page.Pipette.ColorPickerMouseMove();
        moves.push_back(Now() - start);
    }
    page.Pipette.ColorPickerMouseUp();
    for (int i = 0; i < 1000; ++i) {
        const double start = Now();
        const std::optional<COLORREF> pixel = ReadScreenPixel(points[i % 2]);
        reads.push_back(Now() - start);
        const double shown = Now();
        page.ShowColor(static_cast<std::int32_t>(pixel.value_or(0)));
        shows.push_back(Now() - shown);
    }
    std::printf("Pipette, 1000 moves between two windows of another process:\n");
    Print("one move (pixel read, ShowColor, swatch repaint)", moves);
    Print("  of it the pixel read", reads);
    Print("  of it ShowColor with the swatch repaint", shows);

    std::printf("Magnifier shown 100 times at each zoom (grab, show without activation, paint):\n");
    const POINT at = Centre(fixture.window("pattern"));
    for (int zoom : {2, 4, 6, 8}) {
        magnifier.SetZoom(zoom);
        std::vector<double> times;
        for (int i = 0; i < 100; ++i) {
            const double start = Now();
            magnifier.ShowAt(at, at);
            times.push_back(Now() - start);
            magnifier.Hide();
            ui::Application::instance().process_messages();
        }
        char what[64];
        std::snprintf(what, sizeof what, "zoom %d (%ld by %ld screen pixels)", zoom,
                      magnifier.PictureSize().cx, magnifier.PictureSize().cy);
        Print(what, times);
    }
    page.UseMagnifier(nullptr);
    return 0;
}
