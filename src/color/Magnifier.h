#pragma once
// The magnifier: a small borderless window, always on top, that shows the screen around a point
// enlarged by its zoom factor. It works in the screen's own pixels, so it is not scaled with the
// display: the enlarged copy of the pixel under the cursor lies under the cursor.
#include <windows.h>

#include "color/NoFlicker.h"
#include "ui/Handles.h"
#include "ui/Window.h"

class TMagnifierForm : public ui::Window {
public:
    static constexpr int kClientSize = 124;
    static constexpr int kEdge = 2;  // the sunken edge around the picture

    // Created hidden, at zoom 1 until SetZoom.
    TMagnifierForm();
    ~TMagnifierForm() override;

    // The picture shows (client size - 4) div factor screen pixels in each direction.
    void SetZoom(int factor);
    int Zoom() const { return zoom_; }
    SIZE PictureSize() const { return picture_size_; }
    // Copies the screen area around (x, y) that the magnifier shows at its zoom to (0, 0) of dc.
    void GrabScreen(int x, int y, HDC dc) const;

    // Places the window's centre on at (window coordinates), grabs the screen around grab_at (the same
    // point in the screen's own pixels) before the window covers it, and shows it without activating
    // it.
    void ShowAt(POINT at, POINT grab_at);
    void Hide();
    bool Visible() const { return ::IsWindowVisible(handle()) != FALSE; }

    TNoFlicker NoFlicker1;

protected:
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormPaint(HDC dc);

    int zoom_ = 0;
    SIZE picture_size_{};
    ui::unique_bitmap bitmap_;  // 24 bits per pixel, the grabbed area
};
