#include "app/WindowFinder.h"

#include "Resource.h"
#include "alien/ComponentLookup.h"
#include "base/ScopeGuard.h"
#include "ui/Application.h"
#include "ui/Resources.h"

namespace {

// Far deeper than any window tree; only a hierarchy that changes under the walk could get there.
constexpr int kMaxWindowDepth = 1000;
constexpr int kFinderCursor = 1;

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

TWindowFinder::~TWindowFinder() {
    ReleaseCaptureHotKey();
    ui::Application::instance().register_cursor(kFinderCursor, nullptr);
}

void TWindowFinder::Create(HWND form, const ui::Bounds& bounds) {
    Picture.create(form, bounds);
    idle_picture_.reset(ui::load_system_colored_bitmap(IDB_FINDER_IDLE));
    dragging_picture_.reset(ui::load_system_colored_bitmap(IDB_FINDER_DRAG));
    Picture.set_bitmap(idle_picture_.get());
    cursor_.reset(ui::load_own_cursor(IDC_FINDER));
    ui::Application::instance().register_cursor(kFinderCursor, cursor_.get());
    picture_hook_.install(Picture.handle(),
                          [this](const ui::WindowHook::Call& call) { return PictureMessage(call); });
}

void TWindowFinder::RegisterCaptureHotKey(HWND form) {
    if (::RegisterHotKey(form, kCaptureHotKeyId, MOD_SHIFT, VK_SNAPSHOT)) hotkey_owner_ = form;
}

void TWindowFinder::ReleaseCaptureHotKey() {
    if (hotkey_owner_) ::UnregisterHotKey(hotkey_owner_, kCaptureHotKeyId);
    hotkey_owner_ = nullptr;
}

LRESULT TWindowFinder::PictureMessage(const ui::WindowHook::Call& call) {
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
            if (reinterpret_cast<HWND>(call.lp) != Picture.handle() && dragging_) EndDrag();
            break;
        case WM_DESTROY:
            if (dragging_) EndDrag();
            break;
    }
    return call.pass_on();
}

bool TWindowFinder::IsOwnWindow(HWND window) const {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == own_process_id_;
}

void TWindowFinder::WindowFinderMouseDown() {
    if (dragging_) return;
    dragging_ = true;
    Picture.set_bitmap(dragging_picture_.get());
    ui::Application::instance().set_cursor_override(kFinderCursor);
    ::SetCapture(Picture.handle());
    host_.EnableHandleBox(false);
    finder_window_ = nullptr;
    host_.ShowHandle(nullptr);
    selection_frame_.PrepareFinderClipRegion(::GetAncestor(Picture.handle(), GA_ROOT));
}

void TWindowFinder::WindowFinderMouseMove() {
    if (!dragging_) return;
    ScopedFlag picking(picking_by_point_);
    POINT point{};
    ::GetCursorPos(&point);
    HWND under = WindowFromPointDeep(point);
    if (IsOwnWindow(under)) {
        if (finder_window_) selection_frame_.EraseSelectionFrame();
        finder_window_ = nullptr;
        host_.ShowHandle(nullptr);
        return;
    }
    TComponentLookup& components = host_.Components();
    if (under == finder_window_ && finder_window_ &&
        components.Find(finder_window_, point) == components.CurrentComponent())
        return;
    if (finder_window_) selection_frame_.EraseSelectionFrame();
    finder_window_ = under;
    components.SetCurrentComponent(components.Find(finder_window_, point));
    host_.ShowHandle(finder_window_);
    host_.AddToHandleHistory(true);
    pick_point_ = point;
    host_.ShowCurrentComponent();
    // Draws nothing when the refresh above ended the drag (a lost capture took the clip region along).
    selection_frame_.DrawSelectionFrame(
        finder_window_, WindowlessControlBounds(components.CurrentComponent()), host_.FrameSettings());
}

void TWindowFinder::WindowFinderMouseUp() {
    if (!dragging_) return;
    EndDrag();
    host_.AddToHandleHistory(false);
}

void TWindowFinder::EndDrag() {
    dragging_ = false;
    selection_frame_.EraseSelectionFrame();
    Picture.set_bitmap(idle_picture_.get());
    ui::Application::instance().set_cursor_override(0);
    if (::GetCapture() == Picture.handle()) ::ReleaseCapture();
    host_.EnableHandleBox(true);
    selection_frame_.DeleteFinderClipRegion();
}

void TWindowFinder::CaptureHotKey(WPARAM id) {
    if (id != kCaptureHotKeyId) return;
    ScopedFlag picking(picking_by_point_);
    POINT point{};
    ::GetCursorPos(&point);
    finder_window_ = WindowFromPointDeep(point);
    TComponentLookup& components = host_.Components();
    components.SetCurrentComponent(components.Find(finder_window_, point));
    host_.ShowHandle(finder_window_);
    host_.AddToHandleHistory(false);
    pick_point_ = point;
    host_.ShowCurrentComponent();
}
