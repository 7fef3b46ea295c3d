#pragma once
// Keeps a window that paints its whole client area from erasing its background first, so that
// repainting it does not flicker: while a target is set, this sits in front of the target's window
// procedure, answers WM_ERASEBKGND itself and passes every other message on.
#include <windows.h>

#include "ui/WindowHook.h"

class TNoFlicker {
public:
    // The previous target gets its own procedure back; null only lets go. A target that is destroyed
    // lets go by itself.
    void SetTarget(HWND target);
    HWND Target() const { return hook_.installed() ? target_ : nullptr; }

private:
    HWND target_ = nullptr;
    ui::WindowHook hook_;
};
