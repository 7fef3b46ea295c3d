#pragma once
// The options dialog: whether the main window's position is kept, and the selection frame's type,
// color and fill. Every change takes effect at once; OK and Cancel only close the dialog.
#include <windows.h>

#include <cstdint>

#include "app/FrameSettings.h"
#include "ui/ColorBox.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/RadioGroup.h"

// What the dialog changes in the main window.
class TOptionsHost {
public:
    virtual bool SavePosition() const = 0;
    virtual void SetSavePosition(bool save) = 0;
    virtual const TFrameSettings& FrameSettings() const = 0;
    virtual void SetFrameSettings(const TFrameSettings& settings) = 0;

protected:
    ~TOptionsHost() = default;
};

class TOptionsDialog : public ui::Form {
public:
    // Made hidden, owned by the main window.
    TOptionsDialog(TOptionsHost& host, HWND main_window);
    ~TOptionsDialog() override;

    // Shows the dialog modally with the settings as they are now.
    int ShowModal();

    // Event handlers.
    void FormShow();
    void CheckBoxSaveFormPosClick();
    void RadioGroupFrameTypeClick();
    void ColorBoxFrameColorChange();
    void CheckBoxFillFrameClick();

    ui::CheckBox CheckBoxSaveFormPos;
    ui::RadioGroup RadioGroupFrameType;
    ui::Label LabelFrameColor;
    ui::ColorBox ColorBoxFrameColor;
    ui::CheckBox CheckBoxFillFrame;
    ui::Button ButtonOK, ButtonCancel;

private:
    TOptionsHost& host_;
};
