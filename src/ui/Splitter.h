#pragma once
// A vertical bar between two controls side by side: dragging it widens one and narrows the other, while
// the mouse moves.
#include <windows.h>

#include <functional>

#include "ui/Controls.h"
#include "ui/Window.h"

namespace ui {

class Splitter : public Window {
public:
    // After each move, once both controls have their new bounds.
    std::function<void()> on_moved;

    // The bar sits at bounds, between left and right (already created on the same parent); neither
    // control is made narrower than min_width.
    void create(HWND parent, const Bounds& bounds, Control& left, Control& right, int min_width = 30);
    // Puts the bar where the left control is width pixels wide, within the limits.
    void move_to(int left_width);

protected:
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Control* left_ = nullptr;
    Control* right_ = nullptr;
    int min_width_ = 30;
    int grip_ = -1;  // while dragging: where in the bar the mouse went down
};

}  // namespace ui
