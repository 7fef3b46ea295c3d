#pragma once
// The dialog "Styles": a window's style and extended style spelled out as the names of their
// constants, read from the captions of the Attributes page's two style buttons.
#include <windows.h>

#include <string>

#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/Memo.h"

class TWindowStylesDialog : public ui::Dialog {
public:
    TWindowStylesDialog();

    // Fills the dialog from the two captions (eight hexadecimal digits each) and shows it modally over
    // the owner until OK is pressed (Enter and Escape press it too).
    void Execute(HWND owner, const std::wstring& style_caption, const std::wstring& ex_style_caption);

    ui::Label LabelWindowStyles, LabelWindowStyle, LabelExtWindowStyles, LabelExtWindowStyle;
    ui::Memo MemoWindowStyles, MemoExtWindowStyles;
    ui::Button ButtonOK;

protected:
    void shown() override { ButtonOK.focus(); }

private:
    void FormShow(const std::wstring& style_caption, const std::wstring& ex_style_caption);
    void ButtonOKClick() { close_modal(IDOK); }
};
