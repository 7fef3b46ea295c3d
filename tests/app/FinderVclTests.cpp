// The finder over a program of the component library: controls without a window of their own are
// picked and framed inside the window that holds them.
#include <windows.h>

#include <doctest.h>

#include "alien/AlienAccess.h"
#include "app/FinderInput.h"
#include "ui/Text.h"

using namespace finder_test;

namespace {

std::string Component(TMainForm& form) {
    TAlienControl* component = form.Components().CurrentComponent();
    return component ? component->Name() + ": " + component->ClassName() : "none";
}

}  // namespace

TEST_CASE("a drag between windowless controls of one window moves the frame and keeps the handle box") {
    UseFrameSettings(0);
    FixtureProcess program(L"vcl_fixture.exe", L"7 normal");
    TMainForm form;
    PlaceForm(form);
    HWND window = program.window("form");
    const auto client = [&](int x, int y) {
        POINT point{x, y};
        ::ClientToScreen(window, &point);
        return point;
    };

    PressOnFinder(form);
    MoveMouse(client(20, 60));
    REQUIRE(WaitUntil([&] { return Component(form) == "Label1: TLabel"; }));
    CHECK(form.EditHandle.text() == Hex(window));
    CHECK(form.Finder.SelectionFrame().ShownWindow() == window);
    CHECK(ui::wide_to_ansi(form.DelphiVcl.EditComponent.text()) == "Label1: TLabel");
    const unsigned long paints = form.Finder.SelectionFrame().Paints();

    MoveMouse(client(30, 62));  // the same control: nothing to redo
    CHECK(form.Finder.SelectionFrame().Paints() == paints);

    MoveMouse(client(20, 100));
    REQUIRE(WaitUntil([&] { return Component(form) == "LabelDisabled: TLabel"; }));
    CHECK(form.Finder.SelectionFrame().Paints() == paints + 2);  // the old frame erased, the new one drawn
    CHECK(form.EditHandle.text() == Hex(window));
    CHECK(ui::wide_to_ansi(form.DelphiVcl.EditBounds.text()) == "(10, 90)-(110, 110) 100x20");

    ReleaseButton();
    CHECK(WaitUntil([&] { return !form.Finder.Dragging(); }));
    CHECK_FALSE(form.Finder.SelectionFrame().Shown());
    CHECK(form.Attributes.HandleHistory.Entries().size() == 1);
}
