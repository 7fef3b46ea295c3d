#pragma once
// A window that its owner paints in full (a swatch, a picture drawn in code); it erases no background.
#include <windows.h>

#include <functional>

#include "ui/Controls.h"
#include "ui/Window.h"

namespace ui {

class PaintBox : public Window {
public:
    // Paints the whole client area.
    std::function<void(HDC dc, const RECT& client)> on_paint;
    // With a sunken bevel the bounds hold the bevel too: the painted area is 2 pixels smaller on each
    // side.
    void create(HWND parent, const Bounds& bounds, bool sunken_bevel = false);
    // Paints now.
    void repaint();

protected:
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace ui
