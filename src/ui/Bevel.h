#pragma once
// A sunken line that separates parts of a form.
#include <windows.h>

#include "ui/Controls.h"

namespace ui {

class Bevel : public Control {
public:
    // A line along the top of the bounds.
    void create(HWND parent, const Bounds& bounds) {
        create_control(WC_STATICW, L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, parent,
                       {bounds.left, bounds.top, bounds.width, 2});
    }
};

}  // namespace ui
