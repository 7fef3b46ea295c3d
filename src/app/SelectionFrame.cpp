#include "app/SelectionFrame.h"

#include "components/GkGeneral.h"

namespace {

constexpr int kSysRgn = 4;  // GetRandomRgn's SYSRGN
constexpr int kOutlineWidth = 3, kOutlineHeight = 3;

ui::unique_region EmptyRegion() { return ui::unique_region(::CreateRectRgn(0, 0, 0, 0)); }

// The system region of a window DC, in screen coordinates; empty when it cannot be read.
ui::unique_region SystemRegionOf(HWND window) {
    ui::unique_region region = EmptyRegion();
    ui::released_dc dc(window, ui::released_dc::whole_window);
    if (!region || !dc.get()) return region;
    if (::GetRandomRgn(dc.get(), region.get(), kSysRgn) != 1) {
        ::SetRectRgn(region.get(), 0, 0, 0, 0);
        return region;
    }
    // Windows 95/98/Me give the region relative to the window's corner.
    if (IsWin9x()) OffsetRegionToWindow(window, ::GetDesktopWindow(), region.get());
    return region;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

bool OffsetRegionToWindow(HWND source, HWND target, HRGN region) {
    RECT from{}, to{};
    if (!::GetWindowRect(source, &from) || !::GetWindowRect(target, &to)) return false;
    return ::OffsetRgn(region, from.left - to.left, from.top - to.top) != ERROR;
}

ui::unique_region MakeFinderClipRegion(SIZE screen, HRGN own_visible) {
    ui::unique_region clip(::CreateRectRgn(0, 0, screen.cx - 1, screen.cy - 1));
    // A difference, not an exclusive-or: parts of Scrutel's window beyond the primary screen must not
    // join the clip region, or a frame could be drawn over Scrutel on a second monitor.
    if (clip && own_visible) ::CombineRgn(clip.get(), clip.get(), own_visible, RGN_DIFF);
    return clip;
}

ui::unique_region VisibleRegion(HWND window) { return SystemRegionOf(window); }

ui::unique_region ShapeRegion(HWND window, const std::optional<RECT>& control_bounds) {
    if (control_bounds) {
        POINT corner{control_bounds->left, control_bounds->top};
        // A window that is gone has no client area to place the bounds in.
        if (!::ClientToScreen(window, &corner)) return EmptyRegion();
        return ui::unique_region(::CreateRectRgn(corner.x, corner.y,
                                                 corner.x + (control_bounds->right - control_bounds->left),
                                                 corner.y + (control_bounds->bottom - control_bounds->top)));
    }
    ui::unique_region region = EmptyRegion();
    if (!region) return region;
    const int kind = ::GetWindowRgn(window, region.get());
    if ((kind == SIMPLEREGION || kind == COMPLEXREGION) &&
        OffsetRegionToWindow(window, ::GetDesktopWindow(), region.get()))
        return region;
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) rect = RECT{};
    ::SetRectRgn(region.get(), rect.left, rect.top, rect.right, rect.bottom);
    return region;
}

COLORREF FrameColor(std::uint32_t library_color) {
    if (library_color & 0x80000000u) return ::GetSysColor(static_cast<int>(library_color & 0xFF));
    return static_cast<COLORREF>(library_color);
}

void PaintFrameRegion(HDC dc, HRGN region, HRGN clip, COLORREF color, bool fill) {
    if (!dc || !region || !clip) return;
    const LOGBRUSH pattern{BS_SOLID, color, 0};
    ui::unique_brush brush(::CreateBrushIndirect(&pattern));
    if (!brush) return;
    const int old_mix = ::SetROP2(dc, R2_NOTXORPEN);
    ::SelectClipRgn(dc, clip);
    if (fill)
        ::FillRgn(dc, region, brush.get());
    else
        ::FrameRgn(dc, region, brush.get(), kOutlineWidth, kOutlineHeight);
    ::SelectClipRgn(dc, nullptr);
    if (old_mix) ::SetROP2(dc, old_mix);
}

void TSelectionFrame::PrepareFinderClipRegion(HWND own_window) {
    ui::unique_region own = SystemRegionOf(own_window);
    finder_clip_ =
        MakeFinderClipRegion({::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, own.get());
}

void TSelectionFrame::DeleteFinderClipRegion() { finder_clip_.reset(); }

bool TSelectionFrame::Frame::same_as(HWND w, const std::optional<RECT>& bounds,
                                     const TFrameSettings& s) const {
    if (w != window || bounds.has_value() != control_bounds.has_value()) return false;
    if (bounds && !SameRect(*bounds, *control_bounds)) return false;
    return s.SelFrameType == settings.SelFrameType && s.SelFrameColor == settings.SelFrameColor &&
           s.FillSelFrame == settings.FillSelFrame;
}

void TSelectionFrame::DrawSelectionFrame(HWND window, const std::optional<RECT>& control_bounds,
                                         const TFrameSettings& settings) {
    if (!finder_clip_) return;
    Frame frame{window, control_bounds, settings};
    Paint(frame);
    if (shown_ && shown_->same_as(window, control_bounds, settings))
        shown_.reset();
    else
        shown_ = frame;
}

void TSelectionFrame::EraseSelectionFrame() {
    if (!shown_) return;
    const Frame frame = *shown_;
    shown_.reset();
    if (finder_clip_ && ::IsWindow(frame.window)) Paint(frame);
}

void TSelectionFrame::Paint(const Frame& frame) {
    const std::uint8_t type = frame.settings.SelFrameType;
    ui::unique_region visible;
    if (type == 1 || type == 2) visible = VisibleRegion(frame.window);
    ui::released_dc screen(nullptr);
    ui::unique_region shape = ShapeRegion(frame.window, frame.control_bounds);
    // Types other than 1 and 2 (a stored value out of range) draw as type 0.
    const HRGN clip = type == 1 ? visible.get() : finder_clip_.get();
    const HRGN painted = type == 2 ? visible.get() : shape.get();
    PaintFrameRegion(screen.get(), painted, clip, FrameColor(frame.settings.SelFrameColor),
                     frame.settings.FillSelFrame);
    ++paints_;
}
