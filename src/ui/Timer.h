#pragma once
// A timer of the message loop: on_timer runs on the thread's messages every interval while enabled.
#include <windows.h>

#include <functional>

namespace ui {

class Timer {
public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { set_enabled(false); }

    std::function<void()> on_timer;

    // The window whose messages carry the ticks; the timer must stop before that window goes.
    void create(HWND owner, UINT interval_ms) {
        owner_ = owner;
        interval_ = interval_ms;
    }
    UINT interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled);

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) noexcept;
    HWND owner_ = nullptr;
    UINT interval_ = 1000;
    bool enabled_ = false;
};

}  // namespace ui
