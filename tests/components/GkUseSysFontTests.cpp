// The system font component on a form of labels in the fonts that tell its rule apart, and after the
// system font changes while the form is up.
#include <windows.h>

#include <doctest.h>

#include "components/GkUseSysFont.h"
#include "support/MainFormHarness.h"
#include "ui/Font.h"
#include "ui/Form.h"
#include "ui/Text.h"

namespace {
ui::FontSpec Font(const wchar_t* face, int points, std::uint32_t color = ui::clWindowText, bool bold = false,
                  bool underline = false) {
    ui::FontSpec font = ui::FontSpec::of_size(face, points);
    font.color = color;
    font.bold = bold;
    font.underline = underline;
    return font;
}

struct FontForm : ui::Form {
    explicit FontForm(bool force) {
        create_form({L"Font test", 300, 200});
        HWND form = handle();
        Plain.create(form, L"plain", {8, 8, 100, 13});
        Plain.set_font(Font(L"MS Sans Serif", 8));
        Title.create(form, L"title", {8, 24, 100, 24});
        Title.set_font(Font(L"Arial", 15, ui::clBlack, true));
        Link.create(form, L"link", {8, 52, 100, 13});
        Link.set_font(Font(L"ms sans serif", 8, ui::clBlue, false, true));
        Larger.create(form, L"larger", {8, 68, 100, 16});
        Larger.set_font(Font(L"MS Sans Serif", 10));
        Inherited.create(form, L"inherited", {8, 88, 100, 13});
        Inner.create(form, 150, 8, 100, 100);
        Contained.create(Inner.handle(), L"inside", {0, 0, 100, 13});
        Contained.set_font(Font(L"MS Sans Serif", 8));
        UseSysFont.ForceSystemFont = force;
        UseSysFont.FormCreated();
    }
    ~FontForm() override {
        if (handle()) ::DestroyWindow(handle());
    }
    ui::Label Plain, Title, Link, Larger, Inherited, Contained;
    ui::Panel Inner;
    TGkUseSysFont UseSysFont{*this};
};

// The font a control really shows, as a description.
ui::FontSpec Shown(const ui::Control& control) {
    LOGFONTW logfont{};
    REQUIRE(::GetObjectW(control.font(), sizeof logfont, &logfont) == sizeof logfont);
    ui::FontSpec font = ui::font_of(logfont, control.dpi());
    font.color = control.font_spec().color;  // the handle has no color
    return font;
}

// The desktop font in another face and size, as long as the scope lasts.
class ChangedSystemFont {
public:
    ChangedSystemFont(const wchar_t* face, int height) {
        ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof original_, &original_, 0);
        LOGFONTW changed = original_;
        lstrcpynW(changed.lfFaceName, face, LF_FACESIZE);
        changed.lfHeight = height;
        Set(changed);
    }
    ~ChangedSystemFont() { Set(original_); }

private:
    static void Set(LOGFONTW& font) {
        ::SystemParametersInfoW(SPI_SETICONTITLELOGFONT, sizeof font, &font, SPIF_SENDCHANGE);
        // Wine 8 does not deliver its own notification to this process (the call reports an invalid
        // window handle), so it is sent here as the system sends it: to every top-level window.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETICONTITLELOGFONT, 0, SMTO_ABORTIFHUNG,
                              2000, &ignored);
    }
    LOGFONTW original_{};
};

}  // namespace

TEST_CASE("the system font: the default font gives way, what sets a font apart stays") {
    const ui::FontSpec desktop = ui::desktop_font();
    REQUIRE(desktop.face != L"MS Sans Serif");
    FontForm form(false);
    CHECK(form.desktop_font());
    CHECK(form.font_spec() == desktop);
    CHECK(Shown(form.Plain) == desktop);
    CHECK(form.Plain.desktop_font());
    CHECK(Shown(form.Inherited) == desktop);
    CHECK(Shown(form.Title) == Font(L"Arial", 15, ui::clBlack, true));
    ui::FontSpec link = desktop;
    link.color = ui::clBlue;
    link.underline = true;
    CHECK(Shown(form.Link) == link);
    ui::FontSpec larger = desktop;
    larger.set_size(10);
    CHECK(Shown(form.Larger) == larger);
    // Inside a container a control is not looked at.
    CHECK(Shown(form.Contained) == Font(L"MS Sans Serif", 8));

    SUBCASE("and when the system font changes while the form is up") {
        const ChangedSystemFont changed(L"Courier", -15);
        const ui::FontSpec now = ui::desktop_font();
        REQUIRE(now.face != desktop.face);  // the system may name the face in full
        CHECK(WaitUntil([&] { return form.font_spec() == now; }));
        CHECK(Shown(form.Plain) == now);
        CHECK(Shown(form.Inherited) == now);
        CHECK(Shown(form.Title) == Font(L"Arial", 15, ui::clBlack, true));
        link = now;
        link.color = ui::clBlue;
        link.underline = true;
        CHECK(Shown(form.Link) == link);
        larger = now;
        larger.set_size(10);
        CHECK(Shown(form.Larger) == larger);
    }
}

TEST_CASE("the system font forced on every direct child") {
    FontForm form(true);
    const ui::FontSpec desktop = ui::desktop_font();
    for (const ui::Label* label : {&form.Plain, &form.Title, &form.Link, &form.Larger, &form.Inherited}) {
        CAPTURE(ui::wide_to_ansi(label->text()));
        CHECK(Shown(*label) == desktop);
    }
    CHECK(Shown(form.Contained) == Font(L"MS Sans Serif", 8));
}
