#include "components/GkInfoDialog.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "Resource.h"
#include "components/GkGeneral.h"
#include "base/ValueText.h"
#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/Resources.h"

namespace {

// The maker of the component library, named in the notice line and the credits.
const wchar_t kMakerName[] = L"Orvane";
constexpr int kLogoWidth = 61, kLogoHeight = 32;

// An address of the version resource: a file name without folder stands for the file beside the
// program; anything else (a web address, a full path) is taken as it is.
std::wstring AddressBesideProgram(const std::wstring& address) {
    if (address.empty() || address.find_first_of(L":\\/") != std::wstring::npos) return address;
    const std::wstring program = ProgramFile();
    return program.substr(0, program.find_last_of(L"\\/") + 1) + address;
}

}  // namespace

std::optional<std::wstring> VersionText(const std::wstring& file, const std::wstring& name) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
    // The answers point into the block; they are used only where they lie inside it.
    const auto inside = [&](const void* value, std::size_t bytes) {
        const auto* at = static_cast<const BYTE*>(value);
        return at >= block.data() && bytes <= size &&
               at - block.data() <= static_cast<std::ptrdiff_t>(size - bytes);
    };
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4 ||
        !inside(value, 4))
        return std::nullopt;
    WORD translation[2];
    std::memcpy(translation, value, sizeof translation);
    const std::wstring path = L"\\StringFileInfo\\" +
                              HexText8(static_cast<std::uint32_t>(translation[0]) << 16 | translation[1]) +
                              L"\\" + name;
    if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return std::nullopt;
    if (!inside(value, std::size_t{length} * sizeof(wchar_t))) return std::nullopt;
    std::wstring text(static_cast<const wchar_t*>(value), length);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

TGkInfoForm::TGkInfoForm() {
    ui::Application& app = ui::Application::instance();
    ui::Form* main = app.main_form();
    create_form({.caption = L"Info",
                 .client_width = 416,
                 .client_height = 248,
                 .font_face = L"MS Sans Serif",
                 .border = Border::Dialog,
                 .centered = true,
                 .owner = main ? main->handle() : nullptr,
                 .color = ui::clWhite});
    FormCreate();
    UseSysFont.FormCreated();
}

TGkInfoForm::~TGkInfoForm() {
    FadeTimer.set_enabled(false);
    if (handle()) ::DestroyWindow(handle());
}

void TGkInfoForm::FormCreate() {
    HWND form = handle();
    ProgramIcon.create(form, {15, 15, 32, 32}, true);
    ProgramIcon.set_icon(ui::program_icon(ScaleToDpi(32, dpi())));
    TitleLabel.create(form, L"", {64, 24, 210, 24});
    ui::FontSpec title = ui::FontSpec::of_size(L"Arial", 15);
    title.bold = true;
    title.color = ui::clBlack;
    TitleLabel.set_font(title);
    VerLabel.create(form, L"", {64, 64, 280, 13});
    CopyrightLabel.create(form, L"", {64, 80, 280, 13});
    RightsLabel.create(form, L"All rights reserved.", {64, 96, 280, 13});
    WebLabel.create(form, L"web:", {64, 128, 40, 13});
    MakeLink(WebLink, {104, 128, 240, 13});
    MailLabel.create(form, L"e-mail:", {64, 144, 40, 13});
    MakeLink(MailLink, {104, 144, 240, 13});
    CreditsBevel.create(form, {8, 168, 313, 2});
    CreditsLabel.create(form, L"Credits:", {11, 184, 48, 13}, SS_RIGHT);
    MemoCredits.create(form, {64, 182, 257, 59}, true, true);
    ButtonOK.create(form, L"OK", {336, 218, 75, 23}, ui::Button::Cancel);
    ButtonOK.on_click = [this] { ButtonOKClick(); };
    set_cancel_button(&ButtonOK);
    LogoImage.create(form, {336, 12, kLogoWidth, kLogoHeight});
    logo_hook_.install(LogoImage.handle(),
                       [this](const ui::WindowHook::Call& call) { return LogoMessage(call); });
    FadeTimer.create(form, 90);
    FadeTimer.on_timer = [this] { FadeTimerTick(); };

    // The version line, when the program file has a version resource.
    const auto version = VersionText(ProgramFile(), L"FileVersion");
    if (version && !version->empty())
        VerLabel.set_text(L"Version " + *version);
    else
        VerLabel.set_visible(false);

    // The maker's addresses are kept in the version resource; a line without one stays hidden.
    const std::wstring web = VersionText(ProgramFile(), L"WebAddress").value_or(L"");
    WebLink.URL = AddressBesideProgram(web);
    WebLink.set_text(web);
    const std::wstring mail = VersionText(ProgramFile(), L"MailAddress").value_or(L"");
    MailLink.URL = mail.empty() ? L"" : L"mailto:" + mail;
    MailLink.set_text(mail);
    for (ui::Label* line : {&WebLabel, static_cast<ui::Label*>(&WebLink)})
        line->set_visible(!WebLink.URL.empty());
    for (ui::Label* line : {&MailLabel, static_cast<ui::Label*>(&MailLink)})
        line->set_visible(!MailLink.URL.empty());

    Alpha = 0;
    AlphaStep = 2;
    ui::unique_bitmap logo(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    LogoBitmap.reset(
        ui::scaled_bitmap(logo.get(), ScaleToDpi(kLogoWidth, dpi()), ScaleToDpi(kLogoHeight, dpi())));
    Blend = std::make_unique<TGkBlend>(LogoBitmap.get(), LogoImage, background()->color);
}

void TGkInfoForm::MakeLink(TGkHotLink& link, const ui::Bounds& bounds) { link.create(handle(), L"", bounds); }

LRESULT TGkInfoForm::LogoMessage(const ui::WindowHook::Call& call) {
    if (call.msg == WM_SETCURSOR) {
        ::SetCursor(ui::Application::instance().cursor(ui::crHandPoint));
        return TRUE;
    }
    if (call.msg == WM_LBUTTONUP) LogoClick();
    return call.pass_on();
}

void TGkInfoForm::FadeTimerTick() {
    Blend->Draw(Alpha);
    Alpha += AlphaStep;
    if (Alpha > 255) {
        Alpha = 255;
        AlphaStep = -std::abs(AlphaStep);
    } else if (Alpha < 0) {
        Alpha = 0;
        AlphaStep = std::abs(AlphaStep);
    }
}

void TGkInfoForm::LogoClick() {
    if (WebLink.URL.empty()) return;
    ui::Form* main = ui::Application::instance().main_form();
    ::ShellExecuteW(main ? main->handle() : nullptr, nullptr, WebLink.URL.c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
}

TGkInfoDialog::TGkInfoDialog() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    Years = std::to_wstring(now.wYear);
    // The platform's own hand cursor where it has one.
    if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND))
        ui::Application::instance().register_cursor(ui::crHandPoint, hand);
}

std::unique_ptr<TGkInfoForm> TGkInfoDialog::CreateForm() const {
    auto form = std::make_unique<TGkInfoForm>();
    form->TitleLabel.set_text(Title.empty() ? ui::Application::instance().title() : Title);
    form->CopyrightLabel.set_text(L"Copyright \u00A9 " + Years + L"  " + kMakerName);
    if (form->VerLabel.visible()) {
        if (DevelopmentState == dsAlpha) form->VerLabel.set_text(form->VerLabel.text() + L" alpha");
        if (DevelopmentState == dsBeta) form->VerLabel.set_text(form->VerLabel.text() + L" beta");
    }
    if (!Credits.empty()) {
        std::vector<std::wstring> lines = {L"Main developer:", kMakerName, L""};
        lines.insert(lines.end(), Credits.begin(), Credits.end());
        form->MemoCredits.set_lines(lines);
    }

    // Sizes of the whole window, by the credits and the logo form.
    struct Layout {
        int height, width, logo_left, ok_top, ok_left;
        bool credits;
    };
    const bool credits = !form->MemoCredits.lines().empty();
    const Layout layout = credits         ? Layout{283, 426, 336, 218, 338, true}
                          : LogoFormClass ? Layout{230, 426, 336, 166, 338, false}
                                          : Layout{202, 366, 280, 140, 278, false};
    form->set_outer_size(layout.width, layout.height);
    ui::Bounds logo = form->LogoImage.bounds();
    logo.left = layout.logo_left;
    form->LogoImage.set_bounds(logo);
    form->ButtonOK.set_bounds({layout.ok_left, layout.ok_top, 75, 23});
    for (ui::Control* part :
         std::initializer_list<ui::Control*>{&form->CreditsBevel, &form->CreditsLabel, &form->MemoCredits})
        part->set_visible(layout.credits);

    if (LogoFormClass) {
        form->LogoForm = LogoFormClass();
        const RECT place = ui::scaled_rect({260, 8, 150, 150}, form->dpi());
        form->LogoForm->create(form->handle(), place.left, place.top, place.right - place.left,
                               place.bottom - place.top);
        form->LogoImage.set_visible(false);
    } else {
        form->LogoImage.set_visible(true);
        form->FadeTimer.set_enabled(true);
    }
    return form;
}

void TGkInfoDialog::Execute() {
    std::unique_ptr<TGkInfoForm> form = CreateForm();
    form->show_modal();
}
