#pragma once
// The program's about box: icon, title, version with its stage, the maker's notice line, the maker's
// web and e-mail addresses, optional credits, and a logo that fades in and out and opens the web
// address when clicked.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/GkBlending.h"
#include "components/GkHotLink.h"
#include "components/GkUseSysFont.h"
#include "ui/Bevel.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Memo.h"
#include "ui/Timer.h"
#include "ui/Window.h"
#include "ui/WindowHook.h"

enum TGkDevelopmentState { dsAlpha, dsBeta, dsFinal };

// A text of the version resource of a file, in its first language: "FileVersion", "WebAddress" and so
// on; none when the file has no version resource or the resource no such text.
std::optional<std::wstring> VersionText(const std::wstring& file, const std::wstring& name);

class TGkInfoForm : public ui::Form {
public:
    TGkInfoForm();
    ~TGkInfoForm() override;

    // Event handlers.
    void FadeTimerTick();
    void LogoClick();
    void ButtonOKClick() { end_modal(IDOK); }

    ui::Picture ProgramIcon;  // the program's icon
    ui::Label TitleLabel, VerLabel, CopyrightLabel, RightsLabel;
    ui::Label WebLabel, MailLabel;  // "web:", "e-mail:"
    TGkHotLink WebLink;             // the maker's web site
    TGkHotLink MailLink;            // the maker's e-mail address, with the mailto: scheme
    ui::Bevel CreditsBevel;
    ui::Label CreditsLabel;  // "Credits:"
    ui::Memo MemoCredits;
    ui::Button ButtonOK;
    ui::Picture LogoImage;         // the fading logo
    ui::unique_bitmap LogoBitmap;  // the logo's picture, at the form's DPI
    ui::Timer FadeTimer;
    TGkUseSysFont UseSysFont{*this};

    std::unique_ptr<TGkBlend> Blend;
    int Alpha = 0;
    int AlphaStep = 2;
    // The form shown in place of the logo, when there is one.
    std::unique_ptr<ui::Panel> LogoForm;

private:
    void FormCreate();
    // The one place where the address lines are made.
    void MakeLink(TGkHotLink& link, const ui::Bounds& bounds);
    LRESULT LogoMessage(const ui::WindowHook::Call& call);
    ui::WindowHook logo_hook_;
};

class TGkInfoDialog {
public:
    TGkInfoDialog();

    std::vector<std::wstring> Credits;  // extra credit lines
    TGkDevelopmentState DevelopmentState = dsAlpha;
    std::wstring Title;  // empty: the application's title
    std::wstring Years;  // of the notice line; the current year unless set
    // Makes the form shown in place of the fading logo; none for the logo.
    std::function<std::unique_ptr<ui::Panel>()> LogoFormClass;

    // Builds the about box, shows it modally and frees it.
    void Execute();
    // The about box as Execute shows it, filled and laid out, its logo form made or its fading
    // switched on, not shown yet.
    std::unique_ptr<TGkInfoForm> CreateForm() const;
};
