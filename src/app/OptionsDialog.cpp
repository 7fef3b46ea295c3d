#include "app/OptionsDialog.h"

TOptionsDialog::TOptionsDialog(TOptionsHost& host, HWND main_window) : host_(host) {
    create_form({.caption = L"Options",
                 .client_width = 328,
                 .client_height = 149,
                 .border = Border::Dialog,
                 .centered = true,
                 .owner = main_window});
    HWND form = handle();
    CheckBoxSaveFormPos.create(form, L"Save position of main window", {8, 8, 312, 17});
    RadioGroupFrameType.create(form, L"Selection frame", {8, 32, 164, 82},
                               {L"Show completely", L"Cut off hidden parts", L"Frame visible region"});
    LabelFrameColor.create(form, L"Frame color:", {184, 36, 136, 13});
    // The sixteen standard colors, red in the low byte.
    ColorBoxFrameColor.create(form, {184, 52, 136, 22},
                              {{L"Black", 0x000000},
                               {L"Maroon", 0x000080},
                               {L"Green", 0x008000},
                               {L"Olive", 0x008080},
                               {L"Navy", 0x800000},
                               {L"Purple", 0x800080},
                               {L"Teal", 0x808000},
                               {L"Gray", 0x808080},
                               {L"Silver", 0xC0C0C0},
                               {L"Red", 0x0000FF},
                               {L"Lime", 0x00FF00},
                               {L"Yellow", 0x00FFFF},
                               {L"Blue", 0xFF0000},
                               {L"Fuchsia", 0xFF00FF},
                               {L"Aqua", 0xFFFF00},
                               {L"White", 0xFFFFFF}});
    CheckBoxFillFrame.create(form, L"Fill the frame", {184, 86, 136, 17});
    ButtonOK.create(form, L"OK", {164, 120, 75, 23}, ui::Button::Default);
    ButtonCancel.create(form, L"Cancel", {245, 120, 75, 23}, ui::Button::Cancel);
    set_default_button(&ButtonOK);
    set_cancel_button(&ButtonCancel);

    CheckBoxSaveFormPos.on_click = [this] { CheckBoxSaveFormPosClick(); };
    RadioGroupFrameType.on_click = [this] { RadioGroupFrameTypeClick(); };
    ColorBoxFrameColor.on_change = [this] { ColorBoxFrameColorChange(); };
    CheckBoxFillFrame.on_click = [this] { CheckBoxFillFrameClick(); };
    ButtonOK.on_click = [this] { end_modal(IDOK); };
    ButtonCancel.on_click = [this] { end_modal(IDCANCEL); };
}

TOptionsDialog::~TOptionsDialog() {
    if (handle()) ::DestroyWindow(handle());
}

int TOptionsDialog::ShowModal() {
    FormShow();
    return show_modal();
}

void TOptionsDialog::FormShow() {
    const TFrameSettings settings = host_.FrameSettings();
    CheckBoxSaveFormPos.set_checked(host_.SavePosition());
    // A stored type beyond the three items chooses none.
    RadioGroupFrameType.set_item_index(
        settings.SelFrameType < RadioGroupFrameType.count() ? settings.SelFrameType : -1);
    // A color that is not one of the sixteen stays in force; no entry is chosen for it.
    ColorBoxFrameColor.set_selected_color(settings.SelFrameColor);
    CheckBoxFillFrame.set_checked(settings.FillSelFrame);
    CheckBoxSaveFormPos.focus();
}

void TOptionsDialog::CheckBoxSaveFormPosClick() { host_.SetSavePosition(CheckBoxSaveFormPos.checked()); }

void TOptionsDialog::RadioGroupFrameTypeClick() {
    const int index = RadioGroupFrameType.item_index();
    if (index < 0) return;
    TFrameSettings settings = host_.FrameSettings();
    settings.SelFrameType = static_cast<std::uint8_t>(index);
    host_.SetFrameSettings(settings);
}

void TOptionsDialog::ColorBoxFrameColorChange() {
    const auto color = ColorBoxFrameColor.selected_color();
    if (!color) return;
    TFrameSettings settings = host_.FrameSettings();
    settings.SelFrameColor = *color;
    host_.SetFrameSettings(settings);
}

void TOptionsDialog::CheckBoxFillFrameClick() {
    TFrameSettings settings = host_.FrameSettings();
    settings.FillSelFrame = CheckBoxFillFrame.checked();
    host_.SetFrameSettings(settings);
}
