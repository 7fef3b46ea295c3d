#include "color/NoFlicker.h"

void TNoFlicker::SetTarget(HWND target) {
    hook_.uninstall();
    target_ = target;
    if (!target) return;
    hook_.install(target, [](const ui::WindowHook::Call& call) -> LRESULT {
        if (call.msg == WM_ERASEBKGND) return 1;
        return call.pass_on();
    });
}
