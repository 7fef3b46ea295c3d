#include "app/WindowFinder.h"

// Until the foreign component access is built in, no component is a control without a window, so
// every frame outlines a window.
std::optional<RECT> WindowlessControlBounds(const TAlienControl*) { return std::nullopt; }
