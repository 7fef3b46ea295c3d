// The Delphi-VCL page of the main window against the VCL model program, across the process boundary.
#include <windows.h>

#include <doctest.h>

#include <chrono>
#include <string>

#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "base/WindowHandleValue.h"
#include "app/MainForm.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Text.h"

namespace {

std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

struct VclProgram {
    explicit VclProgram(const wchar_t* version, const wchar_t* mode = L"normal")
        : fixture(L"vcl_fixture.exe", std::wstring(version) + L" " + mode) {
        ClearSettings();
    }
    FixtureProcess fixture;
    TMainForm form;
    TDelphiVclPage& page = form.DelphiVcl;

    // The point at client coordinates (x, y) of a fixture window, on the screen.
    POINT At(const char* window, int x, int y) const {
        POINT point{x, y};
        ::ClientToScreen(fixture.window(window), &point);
        return point;
    }
    // What a finder pick over that point shows.
    void PickAt(const char* window, int x, int y) {
        HWND target = fixture.window(window);
        TAlienControl* found = form.Components().Find(target, At(window, x, y));
        REQUIRE(found);
        page.Show(form.Components().Application(), found);
    }
};

std::string Box(const ui::Edit& edit) { return ui::wide_to_ansi(edit.text()); }

}  // namespace

TEST_CASE("a typed handle shows the window's own component, for every version") {
    const struct {
        const wchar_t* version;
        const wchar_t* shown;
    } versions[] = {{L"3", L"3"},
                    {L"5", L"5"},
                    {L"6", L"6"},
                    {L"7", L"7"},
                    {L"2009", L"2009 or later"},
                    {L"xe2", L"XE2 or later"}};
    for (const auto [version, shown] : versions) {
        CAPTURE(ui::wide_to_ansi(version));
        VclProgram program(version);
        program.form.EditHandle.set_text(Hex(program.fixture.window("button")));
        CHECK(program.page.EditVersion.text() == shown);
        CHECK(Box(program.page.EditComponent) == "Button1: TButton");
        CHECK(Box(program.page.EditFont) == "MS Sans Serif, 8 pt, Bold, clWindowText");
        CHECK(Box(program.page.EditBounds) == "(16, 8)-(91, 33) 75x25");
        CHECK(Box(program.page.EditClient) == "(0, 0)-(75, 25)");
        CHECK(Box(program.page.EditText) == "Button1");
        CHECK(Box(program.page.EditParent) == "Form1: TForm1");
        CHECK(Box(program.page.EditOwner) == "Form1: TForm1");
        REQUIRE(program.page.ListHierarchy.count() >= 3);
        CHECK(program.page.ListHierarchy.item(0) == L"TButton");
        CHECK(program.page.ListHierarchy.item(program.page.ListHierarchy.count() - 1) == L"TObject");

        // The form has no parent; a typed handle never looks for a child under any point.
        program.form.EditHandle.set_text(Hex(program.fixture.window("form")));
        CHECK(Box(program.page.EditComponent) == "Form1: TForm1");
        CHECK(Box(program.page.EditParent) == "nil");
        CHECK(Box(program.page.EditOwner) == ": TApplication");
    }
}

TEST_CASE("points over windowless children: overlapping, disabled, design-time, unnamed, odd colors") {
    for (const wchar_t* version : {L"7", L"xe2"}) {
        CAPTURE(ui::wide_to_ansi(version));
        VclProgram program(version);
        struct {
            int x, y;
            const char* component;
        } picks[] = {
            {20, 60, "Label1: TLabel"},          // Label1 alone
            {80, 60, "Label2: TLabel"},          // both: the later one lies on top
            {20, 100, "LabelDisabled: TLabel"},  // disabled children count
            {20, 140, "LabelDesign: TLabel"},    // shown at design time
            {20, 230, ": TBevel"},               // a component without a name
            {300, 250, "Form1: TForm1"},         // no child there: the window's own component
        };
        for (auto& pick : picks) {
            CAPTURE(pick.component);
            program.PickAt("form", pick.x, pick.y);
            CHECK(Box(program.page.EditComponent) == pick.component);
        }
        program.PickAt("form", 20, 230);
        CHECK(Box(program.page.EditOwner) == "nil");  // the bevel belongs to no component
        program.PickAt("form", 80, 60);
        CHECK(Box(program.page.EditFont) == "Tahoma, 10 pt, Italic, Underlined, $00123456");
        CHECK(Box(program.page.EditBounds) == "(60, 55)-(160, 75) 100x20");
        CHECK(Box(program.page.EditParent) == "Form1: TForm1");
        CHECK(Box(program.page.EditText) == "Label2");
        CHECK(program.page.ListHierarchy.item(0) == L"TLabel");
    }
}

TEST_CASE("windows without the library or of an unknown version empty every box") {
    VclProgram program(L"7");
    program.form.EditHandle.set_text(Hex(program.fixture.window("button")));
    REQUIRE(!program.page.EditComponent.text().empty());

    FixtureProcess plain(L"window_fixture.exe");
    program.form.EditHandle.set_text(Hex(plain.window("rect")));
    CHECK(program.form.Components().Application() == nullptr);
    for (ui::Edit* box : {&program.page.EditText, &program.page.EditComponent, &program.page.EditFont,
                          &program.page.EditBounds, &program.page.EditClient, &program.page.EditParent,
                          &program.page.EditOwner, &program.page.EditVersion})
        CHECK(box->text().empty());
    CHECK(program.page.ListHierarchy.count() == 0);

    VclProgram unknown(L"unknown");
    unknown.form.EditHandle.set_text(Hex(unknown.fixture.window("button")));
    CHECK(unknown.page.EditComponent.text().empty());
    CHECK(unknown.page.EditVersion.text().empty());
}

TEST_CASE("repeated lookups of one window read no alien memory; another window makes a new access object") {
    VclProgram program(L"7");
    HWND form = program.fixture.window("form");
    const POINT over_label = program.At("form", 20, 60);
    TWin32AlienPlatform& platform = Win32AlienPlatform();
    const auto before = platform.ReadCalls();
    TAlienControl* first = program.form.Components().Find(form, over_label);
    const auto first_reads = platform.ReadCalls() - before;
    TAlienControl* again = program.form.Components().Find(form, over_label);
    MESSAGE("ReadProcessMemory calls: first lookup " << first_reads << ", repeated lookup "
                                                     << platform.ReadCalls() - before - first_reads);
    CHECK(again == first);
    CHECK(platform.ReadCalls() - before == first_reads);

    TAlienApplication* app = program.form.Components().Application();
    program.form.Components().Find(program.fixture.window("button"), std::nullopt);
    CHECK(program.form.Components().Application() != nullptr);
    CHECK(program.form.Components().Application()->Window() == HandleValue(program.fixture.window("button")));
    (void)app;
}

TEST_CASE("a program that answers the probe but not the object query does not hold Scrutel") {
    VclProgram program(L"7", L"mute");
    const auto started = std::chrono::steady_clock::now();
    program.form.EditHandle.set_text(Hex(program.fixture.window("button")));
    const auto took = std::chrono::steady_clock::now() - started;
    MESSAGE("lookup in a program that does not answer the query: "
            << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms");
    CHECK(took < std::chrono::milliseconds(2000));
    CHECK(program.form.StatusText() == L"Ready");
}

TEST_CASE("a hostile program gives empty or partial values, without hang or crash") {
    VclProgram program(L"7", L"hostile");
    for (const char* window : {"form", "panel", "button", "cycle", "stray"}) {
        CAPTURE(window);
        const auto started = std::chrono::steady_clock::now();
        program.form.EditHandle.set_text(Hex(program.fixture.window(window)));
        program.form.Components().Find(program.fixture.window(window), program.At(window, 5, 5));
        CHECK(std::chrono::steady_clock::now() - started < std::chrono::seconds(2));
    }
}

TEST_CASE("windows of a hostile program of the modern layout leave the page empty") {
    VclProgram program(L"xe2", L"hostile");
    program.form.EditHandle.set_text(Hex(program.fixture.window("decoy")));
    REQUIRE(Box(program.page.EditComponent) == "Decoy: TForm1");
    for (const char* window : {"cycle", "rootless", "shrinking", "junkname", "faketype", "lying",
                               "wrongparent", "wrongfont", "notwindow", "fields"}) {
        CAPTURE(window);
        program.form.EditHandle.set_text(Hex(program.fixture.window(window)));
        for (ui::Edit* box : {&program.page.EditText, &program.page.EditComponent, &program.page.EditFont,
                              &program.page.EditBounds, &program.page.EditParent, &program.page.EditOwner,
                              &program.page.EditVersion})
            CHECK(box->text().empty());
        CHECK(program.page.ListHierarchy.count() == 0);
    }
}
