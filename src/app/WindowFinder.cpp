#include "app/WindowFinder.h"

#include "app/MainForm.h"
#include "ui/Application.h"

namespace {

// Far deeper than any window tree; only a hierarchy that changes under the walk could get there.
constexpr int kMaxWindowDepth = 1000;

std::uint32_t HandleValue(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window));
}

// Clears the flag on every way out of a handler, exceptions included.
class PickingScope {
public:
    explicit PickingScope(bool& flag) : flag_(flag) { flag_ = true; }
    PickingScope(const PickingScope&) = delete;
    PickingScope& operator=(const PickingScope&) = delete;
    ~PickingScope() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

HWND WindowFromPointDeep(POINT point) {
    HWND parent = ::GetDesktopWindow();
    HWND child = ::RealChildWindowFromPoint(parent, point);
    for (int depth = 0; child && child != parent && depth < kMaxWindowDepth; ++depth) {
        ::MapWindowPoints(parent, child, &point, 1);
        parent = child;
        child = ::RealChildWindowFromPoint(parent, point);
    }
    return parent;
}

LRESULT TMainForm::WindowFinderMessage(const ui::WindowHook::Call& call) {
    switch (call.msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second press is a press all the same
            WindowFinderMouseDown();
            break;
        case WM_MOUSEMOVE:
            if (call.wp & MK_LBUTTON) WindowFinderMouseMove();
            break;
        case WM_LBUTTONUP:
            WindowFinderMouseUp();
            break;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (or the system did, for a menu or a task switch): the
            // release will never come here, so the drag ends now.
            if (reinterpret_cast<HWND>(call.lp) != WindowFinder.handle() && Dragging_) EndFinderDrag();
            break;
        case WM_DESTROY:
            if (Dragging_) EndFinderDrag();
            break;
    }
    return call.pass_on();
}

bool TMainForm::IsOwnWindow(HWND window) const {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == OwnProcessId_;
}

void TMainForm::WindowFinderMouseDown() {
    if (Dragging_) return;
    Dragging_ = true;
    WindowFinder.set_bitmap(FinderDragging_.get());
    ui::Application::instance().set_cursor_override(1);
    ::SetCapture(WindowFinder.handle());
    EditHandle.set_enabled(false);
    FinderWindow_ = nullptr;
    EditHandle.set_text(L"");
    SelectionFrame_.PrepareFinderClipRegion(handle());
}

void TMainForm::WindowFinderMouseMove() {
    if (!Dragging_) return;
    PickingScope picking(PickingByPoint_);
    POINT point{};
    ::GetCursorPos(&point);
    HWND under = WindowFromPointDeep(point);
    if (IsOwnWindow(under)) {
        if (FinderWindow_) SelectionFrame_.EraseSelectionFrame();
        FinderWindow_ = nullptr;
        EditHandle.set_text(L"");
        return;
    }
    if (under == FinderWindow_ && FinderWindow_ &&
        FindAlienControl(FinderWindow_, point) == CurrentComponent_)
        return;
    if (FinderWindow_) SelectionFrame_.EraseSelectionFrame();
    FinderWindow_ = under;
    CurrentComponent_ = FindAlienControl(FinderWindow_, point);
    EditHandle.set_text(HandleText(HandleValue(FinderWindow_)));
    if (Attributes.AddAllHandles.checked()) AddToHandleHistory();
    PickPoint_ = point;
    ShowAlienControl();
    // Draws nothing when the refresh above ended the drag (a lost capture took the clip region along).
    SelectionFrame_.DrawSelectionFrame(FinderWindow_, WindowlessControlBounds(CurrentComponent_),
                                       FrameSettings_);
}

void TMainForm::WindowFinderMouseUp() {
    if (!Dragging_) return;
    EndFinderDrag();
    AddToHandleHistory();
}

void TMainForm::EndFinderDrag() {
    Dragging_ = false;
    SelectionFrame_.EraseSelectionFrame();
    WindowFinder.set_bitmap(FinderIdle_.get());
    ui::Application::instance().set_cursor_override(0);
    if (::GetCapture() == WindowFinder.handle()) ::ReleaseCapture();
    EditHandle.set_enabled(true);
    SelectionFrame_.DeleteFinderClipRegion();
}

void TMainForm::CaptureHotKey(WPARAM id) {
    if (id != kCaptureHotKeyId) return;
    PickingScope picking(PickingByPoint_);
    POINT point{};
    ::GetCursorPos(&point);
    FinderWindow_ = WindowFromPointDeep(point);
    CurrentComponent_ = FindAlienControl(FinderWindow_, point);
    EditHandle.set_text(HandleText(HandleValue(FinderWindow_)));
    AddToHandleHistory();
    PickPoint_ = point;
    ShowAlienControl();
}
