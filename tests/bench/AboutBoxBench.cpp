// Figures of the about box, not a test: the processor time its fading logo costs while the box is up,
// and one drawing of the logo. Run it under Wine with tools/bench-settings.sh.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "components/GkInfoDialog.h"
#include "ui/Application.h"
#include "ui/Dpi.h"

namespace {

double ProcessSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

}  // namespace

int main() {
    TGkInfoDialog dialog;
    auto form = dialog.CreateForm();
    form->show(SW_SHOWNOACTIVATE);
    ui::Application& app = ui::Application::instance();
    // Ten seconds of the box on the screen, fading, the message loop idle in between.
    const double wall_start = Now(), cpu_start = ProcessSeconds();
    int ticks = 0;
    const int first_alpha = form->Alpha;
    while (Now() - wall_start < 10.0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        app.process_messages();
    }
    const double wall = Now() - wall_start, cpu = ProcessSeconds() - cpu_start;
    ticks = (form->Alpha - first_alpha) / 2;
    std::printf("About box at %d DPI, logo %ldx%ld, fading for %.1f s (about %d ticks of 90 ms):\n",
                form->dpi(), form->Blend->Size().cx, form->Blend->Size().cy, wall, ticks);
    std::printf("  processor time %.3f s, %.2f %% of one core (this process; the X server draws too)\n", cpu,
                100.0 * cpu / wall);

    std::vector<double> draws;
    for (int i = 0; i < 1000; ++i) {
        const double start = Now();
        form->Blend->Draw(i % 256);
        draws.push_back(Now() - start);
    }
    std::printf("  one drawing of the logo (TGkBlend::Draw), 1000 drawings: median %.1f us, worst %.1f us\n",
                Median(draws) * 1e6, Worst(draws) * 1e6);
    return 0;
}
