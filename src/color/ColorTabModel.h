#pragma once
// The Color tab without its windows: the texts of its seven boxes, the color last shown and what the
// swatch, the web-unsafe indicator and the system color list show. Every user action is one step that
// answers the complete state after it, so the page only writes what differs, with its own change
// handlers held off while it writes: the end state of an edit is that of one update, whatever the
// order in which the boxes' change notifications would have arrived.
//
//   page event                          model step
//   start (main window created)         Start()
//   a box's text changed by the user    EditChanged(box, text)
//   a component box left                EditExit(box)
//   web-unsafe indicator clicked        WebUnsafeClick()
//   pipette read a pixel                ShowColor(pixel); ForgetLastColor() when a drag begins
//   swatch repaint                      paint View().SwatchRgb
//
// After each step: write every box text of the update, then (when View is set) repaint the swatch, show
// the indicator when WebUnsafe and refill the list; then write Status; last raise Error in the error box.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "color/SystemColors.h"

enum TColorBox { cbWebColor, cbHex, cbDecimal, cbName, cbRed, cbGreen, cbBlue };
inline constexpr std::size_t kColorBoxCount = 7;
using TColorBoxTexts = std::array<std::wstring, kColorBoxCount>;

struct TColorView {
    std::int32_t Color = 0;                  // the value shown
    std::uint32_t SwatchRgb = 0;             // 0x00BBGGRR, what the swatch paints
    bool WebUnsafe = false;                  // the indicator is visible
    std::vector<std::wstring> SystemColors;  // "Matching system colors:", in table order
};

struct TColorUpdate {
    TColorBoxTexts Texts;                // every box after the step
    std::optional<TColorView> View;      // set when a color was shown
    std::optional<std::wstring> Status;  // "Ready" or "Invalid color value"
    std::optional<std::wstring> Error;   // "'%s' is not a valid integer value"; the color stays
};

inline constexpr std::wstring_view kColorReady = L"Ready";
inline constexpr std::wstring_view kInvalidColorValue = L"Invalid color value";

class TColorTabModel {
public:
    explicit TColorTabModel(SystemColorLookup system_color);

    // The tab opens on black.
    TColorUpdate Start();
    // Shows a color in every box; nothing happens when it is the color last shown. The value -1 (what a
    // failed pixel read gives, and what no box can apply) is never shown.
    TColorUpdate ShowColor(std::int32_t color);
    // The box now holds this text. A notation box's own text stays as typed; the component boxes are
    // clamped to 0 .. 255 and wait while any of them is empty.
    TColorUpdate EditChanged(TColorBox box, std::wstring_view text);
    // An emptied component box becomes "0" when it is left.
    TColorUpdate EditExit(TColorBox box);
    // The web box's color snapped to the nearest web-safe color, written into it as if typed.
    TColorUpdate WebUnsafeClick();
    // The next ShowColor shows its color even when it is the one last shown.
    void ForgetLastColor() { last_color_ = -1; }

    const TColorBoxTexts& Texts() const { return texts_; }
    const TColorView& View() const { return view_; }
    std::int32_t LastColor() const { return last_color_; }

private:
    TColorUpdate Show(std::int32_t color, std::optional<TColorBox> source);
    TColorUpdate NotationChanged(TColorBox box);
    TColorUpdate ComponentsChanged();
    TColorUpdate Unchanged() const { return {texts_, {}, {}, {}}; }
    TColorUpdate Refused(std::wstring_view converted) const;  // the conversion's error, nothing applied

    SystemColorLookup system_color_;
    TColorBoxTexts texts_;
    TColorView view_;
    std::int32_t last_color_ = -1;  // -1: nothing counts as shown
};
