#pragma once
// The Color tab: one color shown as web color, hexadecimal, decimal, color name and red, green and
// blue; a swatch, the web-unsafe indicator and the system colors of that value; the pipette, its mode
// for the system color dialog and the magnifier's zoom. The color rules are TColorTabModel's; the page
// writes what each step answers.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "color/ColorEdit.h"
#include "color/ColorTabModel.h"
#include "color/Pipette.h"
#include "ui/ComboBox.h"
#include "ui/Controls.h"
#include "ui/PaintBox.h"
#include "ui/ToolTip.h"
#include "ui/WindowHook.h"

class TMagnifierForm;

// What the page needs of the main window.
class TColorHost {
public:
    virtual void ShowStatus(const std::wstring& message) = 0;

protected:
    ~TColorHost() = default;
};

// A picture that reports clicks.
class TClickablePicture : public ui::Picture {
public:
    std::function<void()> on_click;
    void command(WORD code) override;
};

class TColorPage : public ui::PageContent, private TPipetteHost {
public:
    explicit TColorPage(TColorHost& host);
    void Create(HWND page) override;

    // The tab's start state: black.
    void Start();
    // Shows a color in every box; nothing when it is the color last shown or a failed read (-1).
    void ShowColor(std::int32_t color);
    // The magnifier that the program made beside the main window; it takes the zoom list's factor now.
    // Null lets go of it.
    void UseMagnifier(TMagnifierForm* magnifier);
    // The main window's key handlers: a key pressed with Ctrl held while the pipette is active shows
    // the magnifier, centred on the cursor (not again while it is shown); any key released hides it.
    // A key's handler passes where the cursor was at the key, after the mouse moves before it: under
    // Wine the cursor read now may not have caught up with them yet.
    void ShowMagnifier(std::optional<POINT> cursor = std::nullopt);
    void HideMagnifier();

    // Event handlers.
    void EditColorChange(TColorBox box);  // every box, the component boxes included
    void EditColorRGBExit(TColorBox box);
    void ImageWebUnsafeClick();
    void ComboBoxZoomFactorChange();
    void ColorViewPaint(HDC dc, const RECT& client);

    TColorEdit& Box(TColorBox box);
    const TColorTabModel& Model() const { return model_; }
    const ui::ToolTip& Hints() const { return hints_; }

    ui::Label LabelWebColor, LabelColorHex, LabelColorDez, LabelColorTColor, LabelColorR, LabelColorG,
        LabelColorB;
    TColorEdit EditWebColor, EditColorHex, EditColorDez, EditColorTColor, EditColorR, EditColorG, EditColorB;
    ui::PaintBox ColorView;
    TClickablePicture ImageWebUnsafe;
    ui::Label LabelSysColors;
    ui::ListBox ListBoxSysColors;
    TPipette Pipette{*this};
    ui::CheckBox CheckBoxEmptyPipette;
    ui::Label LabelZoomFactor;
    ui::ComboBox ComboBoxZoomFactor;
    ui::Label Label21;

private:
    // Writes the boxes' texts of a step (with the boxes' own handlers held off), then the swatch, the
    // indicator and the list, then the status; an error last.
    void Apply(const TColorUpdate& update);
    void WriteBox(TColorBox box, const std::wstring& text);
    LRESULT PageMessage(const ui::WindowHook::Call& call);

    void PipetteStarted() override;
    void PipetteMoved(POINT at) override;
    void PipetteReleased(POINT at) override;

    TColorHost& host_;
    TColorTabModel model_;
    bool writing_ = false;
    TMagnifierForm* magnifier_ = nullptr;
    ui::unique_icon web_unsafe_icon_;
    ui::ToolTip hints_;
    ui::WindowHook page_hook_;
};
