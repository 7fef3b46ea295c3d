#include "alien/AlienAccess.h"
#include "app/WindowFinder.h"

// A window's own component is framed by its window; a control without a window by its bounds, in the
// client coordinates of the window that holds it.
std::optional<RECT> WindowlessControlBounds(const TAlienControl* component) {
    if (!component || dynamic_cast<const TAlienWinControl*>(component)) return std::nullopt;
    const TAlienRect bounds = component->BoundsRect();
    return RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
}
