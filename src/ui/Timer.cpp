#include "ui/Timer.h"

#include "ui/Application.h"

namespace ui {

void Timer::set_enabled(bool enabled) {
    if (enabled == enabled_) return;
    // The timer's own address is its id: the tick finds the object without a table.
    const auto id = reinterpret_cast<UINT_PTR>(this);
    if (enabled)
        enabled_ = ::SetTimer(owner_, id, interval_, &Timer::tick) != 0;
    else {
        ::KillTimer(owner_, id);
        enabled_ = false;
    }
}

void CALLBACK Timer::tick(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    auto* timer = reinterpret_cast<Timer*>(id);
    try {
        if (timer->on_timer) timer->on_timer();
    } catch (...) {
        Application::instance().handle_exception(std::current_exception());
    }
}

}  // namespace ui
