#pragma once
// A multi-line edit box.
#include "ui/Controls.h"

namespace ui {

class Memo : public Edit {
public:
    // With a vertical scroll bar and without word wrap: a long line scrolls sideways.
    void create(HWND parent, const Bounds& bounds, bool read_only = false);
};

}  // namespace ui
