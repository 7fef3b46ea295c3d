#include "window/WindowStylesDialog.h"

#include "window/WindowStyleNames.h"

TWindowStylesDialog::TWindowStylesDialog() {
    create_form({L"Styles", 264, 288, false, L"MS Sans Serif", 8});
    HWND form = handle();
    LabelWindowStyles.create(form, L"Window styles:", {8, 8, 120, 13});
    LabelWindowStyle.create(form, L"", {136, 8, 120, 13}, SS_RIGHT);
    MemoWindowStyles.create(form, {8, 24, 249, 97}, true);
    LabelExtWindowStyles.create(form, L"Extended window styles:", {8, 130, 120, 13});
    LabelExtWindowStyle.create(form, L"", {136, 130, 120, 13}, SS_RIGHT);
    MemoExtWindowStyles.create(form, {8, 146, 249, 97}, true);
    ButtonOK.create(form, L"OK", {95, 254, 75, 25}, ui::Button::Default);
    ButtonOK.on_click = [this] { ButtonOKClick(); };
    set_default_button(&ButtonOK);
    set_cancel_button(&ButtonOK);
}

void TWindowStylesDialog::Execute(HWND owner, const std::wstring& style_caption,
                                  const std::wstring& ex_style_caption) {
    FormShow(style_caption, ex_style_caption);
    show_modal(owner);
}

void TWindowStylesDialog::FormShow(const std::wstring& style_caption, const std::wstring& ex_style_caption) {
    // What the buttons show: the styles of the last refresh, not the window's styles of now.
    const std::uint32_t style = StyleFromCaption(style_caption).value_or(0);
    const std::uint32_t ex_style = StyleFromCaption(ex_style_caption).value_or(0);
    LabelWindowStyle.set_text(style_caption);
    LabelExtWindowStyle.set_text(ex_style_caption);
    MemoWindowStyles.set_text(StyleNames(style, CombinedWindowStyles, WindowStyles));
    MemoExtWindowStyles.set_text(StyleNames(ex_style, CombinedExtWindowStyles, ExtWindowStyles));
}
