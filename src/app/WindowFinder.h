#pragma once
// Picking a window by pointing at it: the finder picture dragged over the screen with the mouse
// captured, the capture hotkey Shift+Print Screen, and the selection frame around the window (or the
// windowless control) under the pointer.
#include <windows.h>

#include "app/FrameSettings.h"
#include "app/SelectionFrame.h"
#include "ui/Controls.h"
#include "ui/Handles.h"
#include "ui/WindowHook.h"

class TComponentLookup;

// Shift+Print Screen, registered for the main window.
constexpr int kCaptureHotKeyId = 1;

// The deepest child window at a screen point, as RealChildWindowFromPoint chooses at each level; the
// desktop window for a point in no top-level window.
HWND WindowFromPointDeep(POINT point);

// What the finder needs of the main window.
class TWindowFinderHost {
public:
    // Writes the window's handle into the handle box (empties it for null), which runs the refresh.
    virtual void ShowHandle(HWND window) = 0;
    virtual void EnableHandleBox(bool enabled) = 0;
    // The lookup whose current component the Delphi-VCL page shows, and showing it there.
    virtual TComponentLookup& Components() = 0;
    virtual void ShowCurrentComponent() = 0;
    // Adds the current window to the handle history; a touched window only when the user asked for
    // every touched window.
    virtual void AddToHandleHistory(bool touched) = 0;
    virtual const TFrameSettings& FrameSettings() const = 0;

protected:
    ~TWindowFinderHost() = default;
};

class TWindowFinder {
public:
    explicit TWindowFinder(TWindowFinderHost& host) : host_(host) {}
    TWindowFinder(const TWindowFinder&) = delete;
    TWindowFinder& operator=(const TWindowFinder&) = delete;
    ~TWindowFinder();

    // Creates the finder picture on the form and registers the finder cursor (number 1).
    void Create(HWND form, const ui::Bounds& bounds);
    // The hotkey belongs to the form's window and is released before that window goes.
    void RegisterCaptureHotKey(HWND form);
    void ReleaseCaptureHotKey();

    // The picture's mouse handlers and the hotkey (WM_HOTKEY's id).
    void WindowFinderMouseDown();
    void WindowFinderMouseMove();
    void WindowFinderMouseUp();
    void CaptureHotKey(WPARAM id);

    // While a move or the hotkey picks a window, the refresh leaves the component lookup to the finder.
    bool PickingByPoint() const { return picking_by_point_; }
    bool Dragging() const { return dragging_; }
    // The window under the last move or hotkey pick, and where the pointer was.
    HWND FinderWindow() const { return finder_window_; }
    POINT PickPoint() const { return pick_point_; }
    const TSelectionFrame& SelectionFrame() const { return selection_frame_; }

    ui::Picture Picture;

private:
    LRESULT PictureMessage(const ui::WindowHook::Call& call);
    bool IsOwnWindow(HWND window) const;
    void EndDrag();

    TWindowFinderHost& host_;
    DWORD own_process_id_ = ::GetCurrentProcessId();
    HWND hotkey_owner_ = nullptr;
    HWND finder_window_ = nullptr;
    POINT pick_point_{};
    bool dragging_ = false;
    bool picking_by_point_ = false;
    TSelectionFrame selection_frame_;
    ui::unique_bitmap idle_picture_, dragging_picture_;
    ui::unique_cursor cursor_;
    ui::WindowHook picture_hook_;
};
