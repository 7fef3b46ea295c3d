#pragma once
// The pipette: a picture that is pressed and dragged over the screen with the mouse captured, the
// pipette in the cursor and the picture empty meanwhile. Where the pointer goes is told to the host.
#include <windows.h>

#include <optional>

#include "ui/Controls.h"
#include "ui/Handles.h"
#include "ui/WindowHook.h"

// What the pipette tells its page.
class TPipetteHost {
public:
    // A drag begins.
    virtual void PipetteStarted() = 0;
    // The pointer moved to another point with the left button held; at is in the screen's own pixels
    // (ScreenCursorPos), where the screen is read.
    virtual void PipetteMoved(POINT at) = 0;
    // The left button was released over this point, in the coordinates that windows are placed in
    // (GetCursorPos); not told for a drag that lost the mouse.
    virtual void PipetteReleased(POINT at) = 0;

protected:
    ~TPipetteHost() = default;
};

// The cursor in the screen's own pixels: the space that the screen's device context is read in, also
// when the display is scaled for a program that is not aware of it.
POINT ScreenCursorPos();
// The screen's pixel at a point of ScreenCursorPos's space; nothing when it cannot be read there.
std::optional<COLORREF> ReadScreenPixel(POINT at);

class TPipette {
public:
    explicit TPipette(TPipetteHost& host) : host_(host) {}
    TPipette(const TPipette&) = delete;
    TPipette& operator=(const TPipette&) = delete;
    ~TPipette();

    // Creates the picture with the resting pipette and registers the pipette cursor (number 2).
    void Create(HWND parent, const ui::Bounds& bounds);

    // The picture's mouse handlers.
    void ColorPickerMouseDown();
    void ColorPickerMouseMove();
    void ColorPickerMouseUp();

    // From the press to the release of the left button.
    bool Active() const { return active_; }

    ui::Picture Picture;

private:
    LRESULT PictureMessage(const ui::WindowHook::Call& call);
    void EndDrag();

    TPipetteHost& host_;
    bool active_ = false;
    POINT last_point_{};  // where the pointer was last told to the host, or pressed
    ui::unique_icon resting_icon_, empty_icon_;
    ui::unique_cursor cursor_;
    ui::WindowHook picture_hook_;
};
