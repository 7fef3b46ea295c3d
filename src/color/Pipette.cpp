#include "color/Pipette.h"

#include "Resource.h"
#include "base/ScopeGuard.h"
#include "ui/Application.h"
#include "ui/Resources.h"

namespace {

constexpr int kPipetteCursor = 2;

HICON LoadOwnIcon(int id) {
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0));
}

}  // namespace

POINT ScreenCursorPos() {
    POINT at{};
    // A program that the system scales gets the cursor in its scaled pixels from GetCursorPos; the
    // screen's device context is read in physical pixels.
    if (!::GetPhysicalCursorPos(&at)) ::GetCursorPos(&at);
    return at;
}

std::optional<COLORREF> ReadScreenPixel(POINT at) {
    ui::released_dc screen(nullptr);
    if (!screen) return std::nullopt;
    const COLORREF pixel = ::GetPixel(screen.get(), at.x, at.y);
    if (pixel == CLR_INVALID) return std::nullopt;
    return pixel;
}

TPipette::~TPipette() { ui::Application::instance().register_cursor(kPipetteCursor, nullptr); }

void TPipette::Create(HWND parent, const ui::Bounds& bounds) {
    Picture.create(parent, bounds, true);
    resting_icon_.reset(LoadOwnIcon(IDI_PIPETTE_FULL));
    empty_icon_.reset(LoadOwnIcon(IDI_PIPETTE_EMPTY));
    Picture.set_icon(resting_icon_.get());
    cursor_.reset(ui::load_own_cursor(IDC_PIPETTE));
    ui::Application::instance().register_cursor(kPipetteCursor, cursor_.get());
    picture_hook_.install(Picture.handle(),
                          [this](const ui::WindowHook::Call& call) { return PictureMessage(call); });
}

LRESULT TPipette::PictureMessage(const ui::WindowHook::Call& call) {
    switch (call.msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second press is a press all the same
            ColorPickerMouseDown();
            break;
        case WM_MOUSEMOVE:
            if (call.wp & MK_LBUTTON) ColorPickerMouseMove();
            break;
        case WM_LBUTTONUP:
            ColorPickerMouseUp();
            break;
        case WM_CAPTURECHANGED:
            // Another window took the mouse: the release will never come here.
            if (reinterpret_cast<HWND>(call.lp) != Picture.handle() && active_) EndDrag();
            break;
        case WM_DESTROY:
            if (active_) EndDrag();
            break;
    }
    return call.pass_on();
}

void TPipette::ColorPickerMouseDown() {
    if (active_) return;
    active_ = true;
    Picture.set_icon(empty_icon_.get());
    ui::Application::instance().set_cursor_override(kPipetteCursor);
    ::SetCapture(Picture.handle());
    last_point_ = ScreenCursorPos();
    host_.PipetteStarted();
}

void TPipette::ColorPickerMouseMove() {
    if (!active_) return;
    // The system may report a move where the pointer did not move (after the capture was taken, say):
    // a press and release in one place reads nothing.
    const POINT at = ScreenCursorPos();
    if (at.x == last_point_.x && at.y == last_point_.y) return;
    last_point_ = at;
    host_.PipetteMoved(at);
}

void TPipette::ColorPickerMouseUp() {
    if (!active_) return;
    ScopeExit end([this] { EndDrag(); });
    POINT at{};
    ::GetCursorPos(&at);
    host_.PipetteReleased(at);
}

void TPipette::EndDrag() {
    active_ = false;
    Picture.set_icon(resting_icon_.get());
    ui::Application::instance().set_cursor_override(0);
    if (::GetCapture() == Picture.handle()) ::ReleaseCapture();
}
