// The about box: its lines from the version resource (the test program carries Scrutel.exe's), its
// three layouts, the fading logo's pixels tick by tick, and Escape.
#include <windows.h>

#include <doctest.h>

#include <vector>

#include "components/GkBlendingCore.h"
#include "components/GkInfoDialog.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace {

SIZE OuterSize(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The 24-bit pixels of a bitmap, top row first.
std::vector<std::uint8_t> Pixels(HBITMAP bitmap, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (size.cx * 3 + 3) & ~3;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) * size.cy);
    ui::released_dc screen(nullptr);
    REQUIRE(::GetDIBits(screen.get(), bitmap, 0, size.cy, bits.data(), &info, DIB_RGB_COLORS) == size.cy);
    return bits;
}

}  // namespace

TEST_CASE("version texts come from the file's version resource, in its first language") {
    const std::wstring scrutel = BesideTests(L"Scrutel.exe");
    CHECK(VersionText(scrutel, L"FileVersion") == L"1.0.0.0");
    CHECK(VersionText(scrutel, L"WebAddress") == L"README.md");
    CHECK(VersionText(scrutel, L"MailAddress") == L"");
    CHECK_FALSE(VersionText(scrutel, L"NoSuchText"));
    CHECK_FALSE(VersionText(BesideTests(L"window_fixture.exe"), L"FileVersion"));  // has no version resource
    CHECK_FALSE(VersionText(BesideTests(L"no such file.exe"), L"FileVersion"));
}

TEST_CASE("the main window's about box: title, final version, the project's years, no credits") {
    ui::Application::instance().set_title(L"Scrutel");
    TGkInfoDialog dialog;
    dialog.DevelopmentState = dsFinal;
    dialog.Years = L"2026";
    auto form = dialog.CreateForm();
    CHECK(ui::window_text(form->handle()) == L"Info");
    CHECK(form->TitleLabel.text() == L"Scrutel");
    CHECK(form->VerLabel.text() == L"Version 1.0.0.0");
    CHECK(form->CopyrightLabel.text() == L"Copyright \u00A9 2026  Orvane");
    CHECK(form->ProgramIcon.icon() != nullptr);
    // The web line opens the README beside the program; no e-mail address is set, so its line is hidden.
    CHECK(form->WebLink.URL == BesideTests(L"README.md"));
    CHECK(::GetFileAttributesW(form->WebLink.URL.c_str()) != INVALID_FILE_ATTRIBUTES);
    CHECK(form->WebLink.visible());
    CHECK(form->WebLink.text() == L"README.md");
    CHECK(form->WebLink.font_spec().underline);  // a hyperlink label, in the link color
    CHECK(form->MailLink.URL.empty());
    CHECK_FALSE(form->MailLink.visible());
    CHECK_FALSE(form->MailLabel.visible());

    const SIZE outer = OuterSize(form->handle());
    CHECK(outer.cx == 366);
    CHECK(outer.cy == 202);
    CHECK(form->LogoImage.bounds().left == 280);
    CHECK(form->LogoImage.visible());
    CHECK(form->ButtonOK.bounds() == ui::Bounds{278, 140, 75, 23});
    CHECK_FALSE(form->MemoCredits.visible());
    CHECK_FALSE(form->CreditsBevel.visible());
    CHECK(form->FadeTimer.enabled());
    CHECK(form->FadeTimer.interval() == 90);
    // The title keeps its own font; the rest takes the system's.
    CHECK(form->TitleLabel.font_spec().face == L"Arial");
    CHECK(form->TitleLabel.font_spec().bold);
    CHECK(form->VerLabel.font_spec() == ui::desktop_font());
}

TEST_CASE("about box stages and layouts") {
    TGkInfoDialog dialog;
    SUBCASE("beta, with credits") {
        dialog.DevelopmentState = dsBeta;
        dialog.Credits = {L"First helper", L"Second helper"};
        auto form = dialog.CreateForm();
        CHECK(form->VerLabel.text() == L"Version 1.0.0.0 beta");
        CHECK(form->MemoCredits.lines() == std::vector<std::wstring>{L"Main developer:", L"Orvane", L"",
                                                                     L"First helper", L"Second helper"});
        const SIZE outer = OuterSize(form->handle());
        CHECK(outer.cx == 426);
        CHECK(outer.cy == 283);
        CHECK(form->LogoImage.bounds().left == 336);
        CHECK(form->ButtonOK.bounds() == ui::Bounds{338, 218, 75, 23});
        CHECK(form->MemoCredits.visible());
        CHECK(form->CreditsBevel.visible());
        CHECK(form->CreditsLabel.visible());
    }
    SUBCASE("alpha by default, the current year") {
        auto form = dialog.CreateForm();
        CHECK(form->VerLabel.text() == L"Version 1.0.0.0 alpha");
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        CHECK(form->CopyrightLabel.text() == L"Copyright \u00A9 " + std::to_wstring(now.wYear) + L"  Orvane");
    }
    SUBCASE("a logo form in place of the fading logo") {
        dialog.LogoFormClass = [] { return std::make_unique<ui::Panel>(); };
        auto form = dialog.CreateForm();
        const SIZE outer = OuterSize(form->handle());
        CHECK(outer.cx == 426);
        CHECK(outer.cy == 230);
        CHECK(form->ButtonOK.bounds() == ui::Bounds{338, 166, 75, 23});
        REQUIRE(form->LogoForm);
        CHECK(::GetParent(form->LogoForm->handle()) == form->handle());
        CHECK_FALSE(form->LogoImage.visible());
        CHECK_FALSE(form->FadeTimer.enabled());
    }
}

TEST_CASE("the logo fades in steps of 2 and back: each tick's pixels are the mix of its alpha") {
    TGkInfoDialog dialog;
    auto form = dialog.CreateForm();
    TGkBlend& blend = *form->Blend;
    const SIZE size = blend.Size();
    REQUIRE(size.cx == 61);
    REQUIRE(size.cy == 32);
    // The picture control shows the very bitmap the blend draws into.
    CHECK(reinterpret_cast<HBITMAP>(
              ::SendMessageW(form->LogoImage.handle(), STM_GETIMAGE, IMAGE_BITMAP, 0)) == blend.Target());
    const std::vector<std::uint8_t> logo = Pixels(form->LogoBitmap.get(), size);
    std::vector<int> expected;
    for (int a = 0; a <= 254; a += 2) expected.push_back(a);
    expected.push_back(255);
    for (int a = 253; a >= 1; a -= 2) expected.push_back(a);
    for (int a : {0, 2, 4}) expected.push_back(a);
    // What tells the steps apart: a channel far from the white background (not a row's padding).
    const int stride = (size.cx * 3 + 3) & ~3;
    std::size_t darkest = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int i = y * stride; i < y * stride + size.cx * 3; ++i)
            if (logo[static_cast<std::size_t>(i)] < logo[darkest]) darkest = static_cast<std::size_t>(i);
    REQUIRE(logo[darkest] < 64);

    std::vector<std::uint8_t> mixed(logo.size());
    for (int alpha : expected) {
        CAPTURE(alpha);
        form->FadeTimerTick();
        const std::vector<std::uint8_t> shown = Pixels(blend.Target(), size);
        std::fill(mixed.begin(), mixed.end(), std::uint8_t{255});
        BlendChannels(logo.data(), mixed.data(), mixed.size(), alpha);
        REQUIRE(shown[darkest] == mixed[darkest]);
        bool same = true;
        for (int y = 0; y < size.cy; ++y)
            same = same && std::equal(shown.begin() + y * stride, shown.begin() + y * stride + size.cx * 3,
                                      mixed.begin() + y * stride);
        CHECK(same);
    }
}

TEST_CASE("the about box opens modally and Escape closes it") {
    TGkInfoDialog dialog;
    bool shown = false;
    WhenModal([&] {
        HWND box = OwnWindowCaptioned(L"Info");
        REQUIRE(box);
        shown = true;
        // Through the modal loop, as a key press arrives.
        ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    dialog.Execute();
    CHECK(shown);
    CHECK(ModalActionFailures() == 0);
    CHECK(OwnWindowCaptioned(L"Info") == nullptr);
}
