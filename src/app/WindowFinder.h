#pragma once
// Picking a window by pointing at it: the deepest window under a screen point, and what the selection
// frame needs to know of the foreign component there.
#include <windows.h>

#include <optional>

class TAlienControl;

// Shift+Print Screen, registered for the main window.
constexpr int kCaptureHotKeyId = 1;

// The deepest child window at a screen point, as RealChildWindowFromPoint chooses at each level; the
// desktop window for a point in no top-level window.
HWND WindowFromPointDeep(POINT point);

// The bounds of a foreign control without a window of its own, in the client coordinates of the window
// that holds it; none for no component and for a window's own component (TAlienWinControl).
std::optional<RECT> WindowlessControlBounds(const TAlienControl* component);
