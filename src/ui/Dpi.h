#pragma once
// The displays' pixels per inch as Scrutel sees them: a per-monitor aware process gets physical
// pixels everywhere, so its own windows are scaled from layout pixels here, and the rectangles of
// other programs' windows are shown as the system reports them, untouched.
#include <windows.h>

#include "base/DpiScale.h"

namespace ui {

struct Bounds;

// The primary display's pixels per inch (the system DPI).
int system_dpi();
// The pixels per inch of the display a window is on (GetDpiForWindow where the system has it, else
// the system DPI).
int window_dpi(HWND window);

// A rectangle of layout pixels in the pixels of a display.
RECT scaled_rect(const Bounds& layout, int dpi);
// A window's client size in layout pixels at a DPI.
SIZE layout_client_size(HWND window, int dpi);

}  // namespace ui
