#pragma once
// The selection frame: drawn straight onto the screen around the window under the finder, in a mix
// that a second drawing of the same frame undoes.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/FrameSettings.h"
#include "ui/Handles.h"

// Moves region by the offset between the top-left corners of the two windows' rectangles; false when
// a rectangle cannot be read or the region cannot be moved.
bool OffsetRegionToWindow(HWND source, HWND target, HRGN region);

// The area a frame may cover during a drag: the primary screen less its last column and row, less
// Scrutel's own visible region.
ui::unique_region MakeFinderClipRegion(SIZE screen, HRGN own_visible);
// The parts of the window not covered by others (its window DC's system region), in screen coordinates.
ui::unique_region VisibleRegion(HWND window);
// What a frame outlines, in screen coordinates: the window region, else the window rectangle; or, for a
// control without a window of its own, its bounds given in the client coordinates of window.
ui::unique_region ShapeRegion(HWND window, const std::optional<RECT>& control_bounds);

// The brush color of a library color: system colors (top bit set) become their current value.
COLORREF FrameColor(std::uint32_t library_color);
// Paints region into dc within clip, each pixel becoming NOT(pixel XOR color): a 3-pixel outline along
// the inside of the region's border, or the whole region when filled.
void PaintFrameRegion(HDC dc, HRGN region, HRGN clip, COLORREF color, bool fill);

class TSelectionFrame {
public:
    // Made when the finder is pressed, deleted when it is released; frames are drawn only in between.
    void PrepareFinderClipRegion(HWND own_window);
    void DeleteFinderClipRegion();
    HRGN FinderClipRegion() const { return finder_clip_.get(); }

    // Draws the frame of window (or of the control bounds inside it) with the settings; drawing the
    // frame that is shown once more, with the screen and window unchanged, erases it.
    void DrawSelectionFrame(HWND window, const std::optional<RECT>& control_bounds,
                            const TFrameSettings& settings);
    // Takes the shown frame off the screen. A window destroyed meanwhile took its frame with it when
    // the system repainted its area, so there is nothing left to undo.
    void EraseSelectionFrame();

    bool Shown() const { return shown_.has_value(); }
    HWND ShownWindow() const { return shown_ ? shown_->window : nullptr; }
    // Drawings done (erasures count too), for tests and benchmarks.
    unsigned long Paints() const { return paints_; }

private:
    struct Frame {
        HWND window;
        std::optional<RECT> control_bounds;
        TFrameSettings settings;
        bool same_as(HWND w, const std::optional<RECT>& bounds, const TFrameSettings& s) const;
    };
    void Paint(const Frame& frame);

    ui::unique_region finder_clip_;
    std::optional<Frame> shown_;
    unsigned long paints_ = 0;
};
