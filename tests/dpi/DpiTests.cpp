// Scrutel on a display of 144 pixels per inch (run by tools/wine-at-dpi.sh in a Wine prefix of its
// own): its windows scaled by 1.5 from their layout, other programs' windows read in physical pixels.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include "app/FinderInput.h"
#include "app/MainForm.h"
#include "components/GkInfoDialog.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Dpi.h"

using namespace finder_test;

namespace {

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

LONG FontHeight(HWND window) {
    LOGFONTW logfont{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof logfont, &logfont);
    return logfont.lfHeight;
}

}  // namespace

TEST_CASE("the display runs at 144 pixels per inch") { REQUIRE(ui::system_dpi() == 144); }

TEST_CASE("the main window at 144 DPI: its client widths, boxes and fonts are 1.5 times their layout") {
    ClearSettings();
    TMainForm form;
    CHECK(form.dpi() == 144);
    RECT client{};
    ::GetClientRect(form.handle(), &client);
    CHECK(client.right == 429);
    CHECK(client.bottom == 602);
    const RECT caption = WindowRect(form.Attributes.EditCaption.handle());
    CHECK(caption.right - caption.left == 285);
    CHECK(caption.bottom - caption.top == 32);
    // The desktop font, 11 layout pixels high, as every box shows it.
    CHECK(FontHeight(form.Attributes.EditCaption.handle()) == -17);
    CHECK(FontHeight(form.EditHandle.handle()) == -17);
    form.ButtonExpand.click();
    ::GetClientRect(form.handle(), &client);
    CHECK(client.right == 759);
    ClearSettings();
}

TEST_CASE("another program's window is shown in physical pixels, and picked and framed there") {
    FinderScene scene;
    TMainForm& form = scene.form;
    form.EditHandle.set_text(Hex(scene.fixture.window("rect")));
    CHECK(form.Attributes.EditWindowRect.text() == L"(10, 20)-(110, 70) 100x50");
    CHECK(form.Attributes.EditClientRect.text() == L"(0, 0)-(100, 50)");

    HWND white = scene.fixture.window("white");
    REQUIRE(PaintedWhite(white));
    const RECT place = WindowRect(white);
    CHECK(place.left == 720);
    CHECK(place.right - place.left == 200);
    PressOnFinder(form);
    MoveMouse(Centre(white));
    CHECK(form.EditHandle.text() == Hex(white));
    CHECK(ScreenPixel(Offset(white, 0, 0)) == RGB(255, 0, 0));
    CHECK(ScreenPixel(Offset(white, 2, 75)) == RGB(255, 0, 0));
    CHECK(ScreenPixel(Offset(white, 3, 75)) == RGB(255, 255, 255));
    CHECK(ScreenPixel(Offset(white, 199, 149)) == RGB(255, 0, 0));
    ReleaseButton();
    CHECK(ScreenPixel(Offset(white, 0, 0)) == RGB(255, 255, 255));
    ClearSettings();
}

TEST_CASE("the about box and its logo at 144 DPI") {
    TGkInfoDialog dialog;
    auto form = dialog.CreateForm();
    const RECT outer = WindowRect(form->handle());
    CHECK(outer.right - outer.left == 549);
    CHECK(outer.bottom - outer.top == 303);
    CHECK(form->Blend->Size().cx == 92);
    CHECK(form->Blend->Size().cy == 48);
    RECT ok = WindowRect(form->ButtonOK.handle());
    ::MapWindowPoints(nullptr, form->handle(), reinterpret_cast<POINT*>(&ok), 2);
    CHECK(ok.left == 417);
    CHECK(ok.top == 210);
    CHECK(ok.right - ok.left == 113);
}
