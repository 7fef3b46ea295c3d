// The pipette, the magnifier and the color dialog, driven with real mouse and keyboard input over the
// windows of the color fixture (another process) while the main window lives in this one.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include <string>
#include <vector>

#include "app/FinderInput.h"
#include "app/MainForm.h"
#include "color/ColorDialogFill.h"
#include "color/Magnifier.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "support/WideStringMaker.h"
#include "ui/Application.h"
#include "ui/Text.h"

using namespace finder_test;

namespace {

constexpr COLORREF Teal = RGB(0x12, 0x34, 0x56), Gold = RGB(0xAB, 0xCD, 0xEF);

// One key pressed or released, handled before the next.
void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
    Settle();
}

// The screen's pixels in a rectangle, row by row.
struct ScreenArea {
    explicit ScreenArea(RECT area) : left(area.left), top(area.top), width(area.right - area.left) {
        const int height = area.bottom - area.top;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        ui::unique_bitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ui::unique_memory_dc memory(::CreateCompatibleDC(nullptr));
        {
            ui::selected_object selected(memory.get(), bitmap.get());
            ui::released_dc screen(nullptr);
            ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), left, top, SRCCOPY);
        }
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int i = 0; i < width * height; ++i)
            colors.push_back(RGB(pixels[i] >> 16 & 0xFF, pixels[i] >> 8 & 0xFF, pixels[i] & 0xFF));
    }
    COLORREF at(int x, int y) const {
        return colors[static_cast<std::size_t>((y - top) * width + (x - left))];
    }
    int left, top, width;
    std::vector<COLORREF> colors;
};

RECT Around(POINT at, int reach) { return {at.x - reach, at.y - reach, at.x + reach, at.y + reach}; }

// A main window on the Color tab beside the color fixture's windows, with the magnifier that the program
// entry makes.
struct PipetteScene : FrameSettingsStored {
    PipetteScene() : FrameSettingsStored(0, 0x0000FF, false) {
        page.UseMagnifier(&magnifier);
        PlaceForm(form);
        ChooseTab(form, TMainForm::PageColor);
        REQUIRE(WaitUntil([&] { return ScreenPixel(Centre(fixture.window("teal"))) == Teal; }));
        REQUIRE(WaitUntil([&] { return ScreenPixel(Centre(fixture.window("gold"))) == Gold; }));
    }
    ~PipetteScene() {
        if (page.Pipette.Active()) ReleaseButton();
        page.UseMagnifier(nullptr);
    }
    // Under Wine a press on an inactive window activates it only after the press has been handled, and
    // that late change of the foreground takes the mouse from the pipette again. A user's press first
    // activates the window; so the window is made active before the press.
    void PressOnPipette() {
        if (::GetForegroundWindow() != form.handle()) {
            ::SetForegroundWindow(form.handle());
            WaitUntil([&] { return ::GetForegroundWindow() == form.handle(); });
        }
        MoveMouse(Centre(page.Pipette.Picture.handle()));
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        WaitUntil([&] { return ::GetForegroundWindow() == form.handle(); });
    }
    std::wstring Hex() { return page.EditColorHex.text(); }

    FixtureProcess fixture{L"color_fixture.exe"};
    TMainForm form;
    TMagnifierForm magnifier;
    TColorPage& page = form.Color;
};

// Every way out of a drag leaves the pipette idle.
void CheckIdle(PipetteScene& scene) {
    CHECK_FALSE(scene.page.Pipette.Active());
    CHECK(ui::Application::instance().cursor_override() == 0);
    CHECK(::GetCapture() == nullptr);
}

// Each screen pixel around the cursor shows as a zoom-by-zoom block, with the pixel under the cursor
// under the cursor.
void CheckMagnified(const TMagnifierForm& magnifier, const ScreenArea& before, POINT cursor, int zoom) {
    RECT window{};
    ::GetWindowRect(magnifier.handle(), &window);
    CHECK(window.left == cursor.x - 62);
    CHECK(window.top == cursor.y - 62);
    CHECK(window.right - window.left == 124);
    CHECK(window.bottom - window.top == 124);
    const int count = 120 / zoom;
    const auto wrong_pixels = [&] {
        const ScreenArea shown(window);
        int wrong = 0;
        for (int j = 0; j < count; ++j)
            for (int i = 0; i < count; ++i) {
                const COLORREF expected = before.at(cursor.x - count / 2 + i, cursor.y - count / 2 + j);
                for (int b = 0; b < zoom; ++b)
                    for (int a = 0; a < zoom; ++a)
                        wrong += shown.at(window.left + 2 + i * zoom + a, window.top + 2 + j * zoom + b) !=
                                 expected;
            }
        return wrong;
    };
    // The system shows the painted window a moment later.
    WaitUntil([&] { return wrong_pixels() == 0; }, std::chrono::milliseconds(2000));
    CHECK(wrong_pixels() == 0);
    const ScreenArea shown(window);
    const int centre = 2 + count / 2 * zoom;  // the block of the pixel under the cursor
    CHECK(shown.at(window.left + centre, window.top + centre) == before.at(cursor.x, cursor.y));
    CHECK(centre <= 62);
    CHECK(62 < centre + zoom);
}

std::wstring TextOf(HWND window) {
    wchar_t text[64] = {};
    ::SendMessageW(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_CASE("a screen pixel outside the screen is no color") {
    CHECK_FALSE(ReadScreenPixel({-5000, -5000}));
    CHECK(ReadScreenPixel({0, 0}));
}

TEST_CASE_FIXTURE(PipetteScene,
                  "the pipette: the boxes follow the pixel under the cursor over another program's windows") {
    const HWND teal = fixture.window("teal"), gold = fixture.window("gold");
    ::SetWindowTextW(page.EditColorHex.handle(), L"123");

    // The right button does nothing; a press and release in one place reads nothing.
    MoveMouse(Centre(page.Pipette.Picture.handle()));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    CHECK_FALSE(page.Pipette.Active());
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    CHECK(page.Pipette.Active());
    CHECK(ui::Application::instance().cursor_override() == 2);
    CHECK(::GetCapture() == page.Pipette.Picture.handle());
    ReleaseButton();
    CheckIdle(*this);
    CHECK(Hex() == L"123");
    CHECK(page.Model().View().Color == 0x123);

    PressOnPipette();
    MoveMouse(Centre(teal));
    CHECK(Hex() == L"563412");
    CHECK(page.EditWebColor.text() == L"#123456");
    CHECK(page.EditColorR.text() == L"18");
    CHECK(WaitUntil([&] { return ScreenPixel(Centre(page.ColorView.handle())) == Teal; }));
    CHECK(form.StatusText() == L"Ready");
    MoveMouse(Offset(gold, 10, 10));
    CHECK(Hex() == L"EFCDAB");
    CHECK(WaitUntil([&] { return ScreenPixel(Centre(page.ColorView.handle())) == Gold; }));
    MoveMouse(Offset(teal, 5, 5));
    CHECK(Hex() == L"563412");
    ReleaseButton();
    CheckIdle(*this);
    CHECK(Hex() == L"563412");

    // A new drag shows its first pixel although it is the color last shown.
    ::SetWindowTextW(page.EditColorHex.handle(), L"563412");
    PressOnPipette();
    MoveMouse(Offset(teal, 20, 20));
    CHECK(page.EditColorDez.text() == L"5649426");
    ReleaseButton();

    // Emptying into the color dialog: moves show no colors.
    page.CheckBoxEmptyPipette.set_checked(true);
    PressOnPipette();
    MoveMouse(Centre(gold));
    CHECK(Hex() == L"563412");
    ReleaseButton();
    CheckIdle(*this);
    CHECK_FALSE(page.CheckBoxEmptyPipette.checked());

    // Another window takes the mouse: the release will never come, the drag ends now.
    PressOnPipette();
    ::SetCapture(form.handle());
    CHECK_FALSE(page.Pipette.Active());
    CHECK(ui::Application::instance().cursor_override() == 0);
    ::ReleaseCapture();
    ReleaseButton();
}

TEST_CASE_FIXTURE(PipetteScene, "the web-unsafe indicator shows its hint while the pointer rests on it") {
    ::SetWindowTextW(page.EditWebColor.handle(), L"#FF8000");
    REQUIRE(page.ImageWebUnsafe.visible());
    MoveMouse(Offset(page.ImageWebUnsafe.handle(), 10, 10));
    MoveMouse(Centre(page.ImageWebUnsafe.handle()));
    CHECK(WaitUntil([&] { return ::IsWindowVisible(page.Hints().handle()) != FALSE; }));
    CHECK(ui::window_text(page.Hints().handle()) == L"Click to get nearest WebColor");
    MoveMouse(Centre(page.EditColorHex.handle()));
    CHECK(WaitUntil([&] { return ::IsWindowVisible(page.Hints().handle()) == FALSE; }));
}

TEST_CASE_FIXTURE(PipetteScene, "no GDI object outlives 500 pipette moves and 50 magnifier showings") {
    const POINT points[2] = {Centre(fixture.window("teal")), Centre(fixture.window("gold"))};
    const long before = ui::live_gdi_objects();
    page.Pipette.ColorPickerMouseDown();
    for (int i = 0; i < 500; ++i) {
        ::SetCursorPos(points[i % 2].x, points[i % 2].y);
        page.Pipette.ColorPickerMouseMove();
    }
    for (int i = 0; i < 50; ++i) {
        page.ShowMagnifier();
        page.HideMagnifier();
    }
    page.Pipette.ColorPickerMouseUp();
    ui::Application::instance().process_messages();
    CHECK(ui::live_gdi_objects() == before);
    CHECK(page.Model().LastColor() == static_cast<std::int32_t>(Gold));
}

TEST_CASE_FIXTURE(PipetteScene,
                  "the magnifier: Ctrl during a drag shows the screen around the cursor enlarged") {
    const HWND pattern = fixture.window("pattern");
    const POINT at = Offset(pattern, 100, 100);

    // Ctrl without the pipette does nothing.
    ::SetForegroundWindow(form.handle());
    SendKey(VK_CONTROL, false);
    SendKey(VK_CONTROL, true);
    CHECK_FALSE(magnifier.Visible());

    PressOnPipette();
    MoveMouse(at);
    REQUIRE(::GetForegroundWindow() == form.handle());
    const ScreenArea before(Around(at, 40));
    SendKey(VK_CONTROL, false);
    REQUIRE(magnifier.Visible());
    CHECK(::GetForegroundWindow() == form.handle());  // shown without activation
    CHECK((::GetWindowLongW(magnifier.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    CHECK((::GetWindowLongW(magnifier.handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) == 0);
    CHECK(magnifier.PictureSize().cx == 60);
    CheckMagnified(magnifier, before, at, 2);

    // Repeated key-downs neither move nor refresh it; another key's release hides it.
    MoveMouse({at.x + 20, at.y + 10});
    SendKey(VK_CONTROL, false);
    RECT window{};
    ::GetWindowRect(magnifier.handle(), &window);
    CHECK(window.left == at.x - 62);
    SendKey(VK_SHIFT, false);
    SendKey(VK_SHIFT, true);
    CHECK_FALSE(magnifier.Visible());
    SendKey(VK_CONTROL, true);

    // Zoom 8: 15 by 15 screen pixels.
    page.ComboBoxZoomFactor.set_selected(3);
    ::SendMessageW(::GetParent(page.ComboBoxZoomFactor.handle()), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(page.ComboBoxZoomFactor.handle()));
    CHECK(magnifier.Zoom() == 8);
    CHECK(magnifier.PictureSize().cx == 15);
    MoveMouse(at);
    // The pattern's program repaints what the magnifier covered before it can be grabbed again.
    REQUIRE(WaitUntil([&] { return ScreenArea(Around(at, 40)).colors == before.colors; }));
    SendKey(VK_CONTROL, false);
    REQUIRE(magnifier.Visible());
    CheckMagnified(magnifier, before, at, 8);
    // The pipette now reads the enlarged picture: one screen pixel is eight pixels wide.
    MoveMouse({at.x + 9, at.y});
    CHECK(page.Model().LastColor() == static_cast<std::int32_t>(before.at(at.x + 1, at.y)));
    ReleaseButton();
    CHECK(magnifier.Visible());  // the release leaves it
    SendKey(VK_CONTROL, true);
    CHECK_FALSE(magnifier.Visible());
}

TEST_CASE("the color dialog: an emptied pipette writes red, green and blue into its boxes") {
    for (const wchar_t* form_of_dialog : {L"basic", L"full"}) {
        CAPTURE(std::wstring(form_of_dialog));
        PipetteScene scene;
        FixtureProcess dialog_fixture(L"color_fixture.exe", form_of_dialog);
        const HWND dialog = dialog_fixture.window("dialog");
        MESSAGE("color dialog client area " << dialog_fixture.value("client_width") << "x"
                                            << dialog_fixture.value("client_height"));
        CHECK(IsColorDialog(dialog));
        ::SetWindowTextW(scene.page.EditColorHex.handle(), L"563412");
        scene.page.CheckBoxEmptyPipette.set_checked(true);
        // The dialog takes the foreground when it opens, and Wine may say so late.
        REQUIRE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; }));
        scene.PressOnPipette();
        MoveMouse(Offset(dialog, 30, 60));
        CHECK(scene.page.Pipette.Active());
        ReleaseButton();
        CheckIdle(scene);
        CHECK_FALSE(scene.page.CheckBoxEmptyPipette.checked());
        CHECK(WaitUntil([&] { return TextOf(::GetDlgItem(dialog, kColorDialogRedId)) == L"18"; }));
        CHECK(TextOf(::GetDlgItem(dialog, kColorDialogGreenId)) == L"52");
        CHECK(TextOf(::GetDlgItem(dialog, kColorDialogBlueId)) == L"86");
    }
}

TEST_CASE_FIXTURE(PipetteScene, "an emptied pipette released over any other window only unticks its mode") {
    for (const char* name : {"plain_dialog", "lookalike", "teal"}) {
        CAPTURE(name);
        const HWND window = fixture.window(name);
        CHECK_FALSE(IsColorDialog(window));
        page.CheckBoxEmptyPipette.set_checked(true);
        PressOnPipette();
        MoveMouse(Offset(window, 150, 100));
        ReleaseButton();
        CheckIdle(*this);
        CHECK_FALSE(page.CheckBoxEmptyPipette.checked());
    }
    for (const char* name : {"plain_dialog", "lookalike"}) {
        CAPTURE(name);
        for (HWND edit = ::GetWindow(fixture.window(name), GW_CHILD); edit;
             edit = ::GetWindow(edit, GW_HWNDNEXT))
            CHECK(TextOf(edit) == L"untouched");
    }
}

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

// The pipette of a Scrutel.exe: the icon picture of 33 by 33 pixels on its Color tab.
BOOL CALLBACK FindPipettePicture(HWND child, LPARAM data) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    RECT r{};
    ::GetWindowRect(child, &r);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (::lstrcmpiW(name, L"Static") != 0 || (style & SS_TYPEMASK) != SS_ICON || r.right - r.left != 33)
        return TRUE;
    reinterpret_cast<Search*>(data)->found = child;
    return FALSE;
}

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t caption[16] = {};
    ::GetWindowTextW(window, caption, 16);
    if (process != search->pid || std::wstring(caption) != L"Magnifier") return TRUE;
    search->found = window;
    return FALSE;
}

HWND MagnifierOf(DWORD pid) {
    Search search{pid, nullptr};
    ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HICON IconOf(HWND picture) { return reinterpret_cast<HICON>(::SendMessageW(picture, STM_GETICON, 0, 0)); }

}  // namespace

TEST_CASE("Scrutel.exe: the pipette's pictures and cursor, and the magnifier its entry made") {
    StartedProgram scrutel(BesideTests(L"Scrutel.exe"));
    HWND main = nullptr;
    REQUIRE(WaitUntil([&] { return (main = VisibleMainWindowOf(scrutel.pid())) != nullptr; }));
    ::SendMessageW(::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr), TCM_SETCURFOCUS, 2, 0);
    Search search{scrutel.pid(), nullptr};
    REQUIRE(WaitUntil([&] {
        ::EnumChildWindows(main, FindPipettePicture, reinterpret_cast<LPARAM>(&search));
        return search.found && ::IsWindowVisible(search.found);
    }));
    const HWND pipette = search.found;
    const HWND magnifier = MagnifierOf(scrutel.pid());
    REQUIRE(magnifier != nullptr);
    CHECK_FALSE(::IsWindowVisible(magnifier));
    const HICON resting = IconOf(pipette);
    CHECK(resting != nullptr);
    MoveMouse(Centre(pipette));
    const HCURSOR before = CurrentCursor();

    SendMouse(MOUSEEVENTF_LEFTDOWN);
    CHECK(WaitUntil([&] { return IconOf(pipette) != resting; }));
    CHECK(IconOf(pipette) != nullptr);
    MoveMouse({1000, 300});
    const HCURSOR pipette_cursor = CurrentCursor();
    CHECK(pipette_cursor != before);
    SendKey(VK_CONTROL, false);
    CHECK(WaitUntil([&] { return ::IsWindowVisible(magnifier) != FALSE; }));
    RECT window{};
    ::GetWindowRect(magnifier, &window);
    CHECK(window.left == 1000 - 62);
    CHECK(window.bottom - window.top == 124);
    SendKey(VK_CONTROL, true);
    CHECK(WaitUntil([&] { return ::IsWindowVisible(magnifier) == FALSE; }));
    ReleaseButton();
    CHECK(WaitUntil([&] { return IconOf(pipette) == resting; }));
    CHECK(WaitUntil([&] { return CurrentCursor() != pipette_cursor; }));

    ::PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    CHECK(::WaitForSingleObject(scrutel.process(), 5000) == WAIT_OBJECT_0);
}
