// The main window created in this process and driven with real messages; the windows it inspects
// belong to the window fixture, another process.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"
#include "ui/Registry.h"
#include "ui/Text.h"

namespace {

std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

struct NoStoredSettings {
    NoStoredSettings() { ClearSettings(); }
};

// A fresh main window (no stored settings) and the window fixture in another process.
struct FreshMainForm : NoStoredSettings {
    FixtureProcess fixture{L"window_fixture.exe"};
    TMainForm form;
    TAttributesPage& page = form.Attributes;
};

}  // namespace

TEST_CASE(
    "first start: collapsed layout, Attributes page, Ready, default frame settings written at the end") {
    ClearSettings();
    {
        TMainForm form;
        CHECK(ui::window_text(form.handle()) == L"Scrutel");
        CHECK(ui::Application::instance().title() == L"Scrutel");
        CHECK(form.client_size().cx == 286);
        CHECK(form.client_size().cy == 401);
        CHECK_FALSE(form.Expanded());
        CHECK(form.ButtonExpand.text() == L"&>>");
        CHECK(form.PageControl.active_page() == TMainForm::PageAttributes);
        CHECK(form.StatusText() == L"Ready");
        CHECK(form.FrameSettings().SelFrameType == 0);
        CHECK(form.FrameSettings().SelFrameColor == 0x800000);
        CHECK_FALSE(form.FrameSettings().FillSelFrame);
        CHECK_FALSE(form.Attributes.HandleHistory.Group.visible());
        CHECK(form.Attributes.EditCaption.bounds().width == 190);
        // Pages and their tabs: two pages are never shown.
        const wchar_t* captions[] = {L"Attributes", L"Process",   L"Delphi-VCL",    L"Color",
                                     L"Link",       L"Hierarchy", L"Miscellaneous", L"PEInfo"};
        const bool visible[] = {true, false, true, true, true, true, false, true};
        for (int i = 0; i < TMainForm::PageCount; ++i) {
            CHECK(form.PageControl.caption(i) == captions[i]);
            CHECK(form.PageControl.page_visible(i) == visible[i]);
        }
        CHECK(TabCtrl_GetItemCount(form.PageControl.handle()) == 6);
    }
    ui::Registry registry;
    REQUIRE(registry.open_key_read_only(SettingsKeyOfTests()));
    CHECK(registry.read_integer(L"SelFrameType") == 0);
    CHECK(registry.read_integer(L"SelFrameColor") == 8388608);
    CHECK(registry.read_integer(L"FillSelFrame") == 0);
}

TEST_CASE(
    "stored frame settings: only the type's low byte counts, any non-zero fill is true and written as 1") {
    ClearSettings();
    {
        ui::Registry registry;
        REQUIRE(registry.open_key(SettingsKeyOfTests(), true));
        registry.write_integer(L"SelFrameType", 258);
        registry.write_integer(L"SelFrameColor", 123);
        registry.write_integer(L"FillSelFrame", 5);
    }
    {
        TMainForm form;
        CHECK(form.FrameSettings().SelFrameType == 2);
        CHECK(form.FrameSettings().SelFrameColor == 123);
        CHECK(form.FrameSettings().FillSelFrame);
    }
    ui::Registry registry;
    REQUIRE(registry.open_key_read_only(SettingsKeyOfTests()));
    CHECK(registry.read_integer(L"SelFrameType") == 2);
    CHECK(registry.read_integer(L"FillSelFrame") == 1);
}

TEST_CASE("layout button and the PEInfo page") {
    ClearSettings();
    TMainForm form;
    form.ButtonExpand.click();
    CHECK(form.Expanded());
    CHECK(form.ButtonExpand.text() == L"&<<");
    CHECK(form.client_size().cx == 506);
    CHECK(form.Attributes.HandleHistory.Group.visible());
    CHECK(form.Attributes.EditCaption.bounds().width == 164);
    form.ButtonExpand.click();
    CHECK(form.client_size().cx == 286);
    CHECK(form.ButtonExpand.text() == L"&>>");

    ChooseTab(form, TMainForm::PagePEInfo);
    CHECK(form.PageControl.active_page() == TMainForm::PagePEInfo);
    CHECK(form.Expanded());
    CHECK(form.client_size().cx == 506);
    CHECK_FALSE(form.ButtonExpand.enabled());
    ChooseTab(form, TMainForm::PageAttributes);
    CHECK(form.ButtonExpand.enabled());
    CHECK(form.Expanded());
}

TEST_CASE("the pin keeps the main window above all others while it is down") {
    ClearSettings();
    TMainForm form;
    const auto topmost = [&] { return (::GetWindowLongW(form.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    CHECK_FALSE(topmost());
    ::SendMessageW(form.Pinner.handle(), BM_CLICK, 0, 0);
    CHECK(form.Pinner.down());
    CHECK(topmost());
    ::SendMessageW(form.Pinner.handle(), BM_CLICK, 0, 0);
    CHECK_FALSE(topmost());
}

TEST_CASE("Alt+H moves the focus to the handle box") {
    ClearSettings();
    TMainForm form;
    form.show();
    form.Attributes.EditCaption.focus();
    REQUIRE(::GetFocus() == form.Attributes.EditCaption.handle());
    PressAltH(form);
    CHECK(::GetFocus() == form.EditHandle.handle());
}

TEST_CASE("typing into the handle box, character by character") {
    ClearSettings();
    TMainForm form;
    TGkNumEdit& box = form.EditHandle;
    int changes = 0;
    box.on_change = [&] { ++changes; };

    SelectAll(box);
    Type(box, L"f");
    CHECK(box.text() == L"F");
    Type(box, L"f");
    CHECK(box.text() == L"FF");

    SetCaret(box, 0);
    Type(box, L"0");  // 0FF is rewritten to FF, the caret at the end
    CHECK(box.text() == L"FF");
    CHECK(box.caret() == 2);

    SelectAll(box);
    Type(box, L"ffffffff");
    CHECK(box.text() == L"FFFFFFFF");
    SetCaret(box, 4);
    Type(box, L"a");  // a ninth digit exceeds 4294967295: taken back, caret where it was
    CHECK(box.text() == L"FFFFFFFF");
    CHECK(box.caret() == 4);

    Type(box, L"g");  // not a hexadecimal digit: refused before it reaches the box
    CHECK(box.text() == L"FFFFFFFF");

    changes = 0;
    SelectAll(box);
    ::SendMessageW(box.handle(), WM_CHAR, VK_BACK, 0);  // emptied: "0", selected
    CHECK(box.text() == L"0");
    DWORD start = 0, end = 0;
    ::SendMessageW(box.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    CHECK(start == 0);
    CHECK(end == 1);
    CHECK(changes >= 1);
}

TEST_CASE_FIXTURE(FreshMainForm, "refresh: a responding window, a destroyed one, and the handle 0") {
    HWND button = fixture.window("button");
    form.EditHandle.set_text(Hex(button));
    CHECK(form.StatusText() == L"Ready");
    CHECK(form.CurrentHandle() == button);
    CHECK(page.EditCaption.text() == L"OK");
    CHECK(page.EditClassName.text() == L"Button");
    CHECK(page.EditID.text().size() == 8);
    // Wine keeps GDI objects per process, so a font is described only for windows of this process.
    CHECK(!page.EditFont.text().empty());
    CHECK(page.EditParentWnd.text() ==
          HexText8(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(fixture.window("dialog")))));
    CHECK(page.CheckBoxVisible.checked());
    CHECK(page.CheckBoxEnabled.checked());
    CHECK(page.CheckBoxUnicode.checked());

    HWND rect = fixture.window("rect");
    form.EditHandle.set_text(Hex(rect));
    CHECK(page.EditWindowRect.text() == L"(10, 20)-(110, 70) 100x50");
    CHECK(page.EditClientRect.text() == L"(0, 0)-(100, 50)");
    CHECK(page.EditCaption.text() == L"Known rectangle");

    // Refreshing the same window again writes no box: the caption box's handler does not run.
    int caption_changes = 0;
    page.EditCaption.on_change = [&] { ++caption_changes; };
    form.EditHandle.set_text(L"0");
    form.EditHandle.set_text(Hex(rect));
    CHECK(caption_changes == 0);
    page.EditCaption.on_change = [this] { page.EditCaptionChange(); };

    // "0": no message, nothing changes.
    form.ShowStatus(L"untouched");
    form.EditHandle.set_text(L"0");
    CHECK(form.StatusText() == L"untouched");
    CHECK(form.CurrentHandle() == nullptr);
    CHECK(page.EditCaption.text() == L"Known rectangle");

    // A window that is gone: the page keeps the previous window's values.
    HWND gone =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    form.EditHandle.set_text(Hex(gone));
    CHECK(form.StatusText() == L"Error: Unassigned handle!");
    CHECK(form.CurrentHandle() == gone);
    CHECK(page.EditCaption.text() == L"Known rectangle");
}

TEST_CASE("refresh: the font of a button") {
    ClearSettings();
    TMainForm form;
    ui::unique_hwnd button(
        ::CreateWindowExW(0, L"BUTTON", L"OK", WS_POPUP, 0, 0, 75, 23, nullptr, nullptr, nullptr, nullptr));
    ::SendMessageW(button.get(), WM_SETFONT, reinterpret_cast<WPARAM>(form.font()), 0);
    form.EditHandle.set_text(Hex(button.get()));
    CHECK(ui::wide_to_ansi(form.Attributes.EditFont.text()) == "Tahoma, 8 pt, Normal");
    CHECK(form.Attributes.EditClassName.text() == L"Button");
    CHECK_FALSE(form.Attributes.CheckBoxVisible.checked());
}

TEST_CASE_FIXTURE(FreshMainForm,
                  "refresh of a hung window: what needs its answer is missing, the rest is shown") {
    HWND hung = fixture.window("hangframe");
    fixture.hang("hangframe", 3000);
    const auto started = std::chrono::steady_clock::now();
    form.EditHandle.set_text(Hex(hung));
    const auto took = std::chrono::steady_clock::now() - started;
    MESSAGE("refresh of a hung window took "
            << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms");
    CHECK(page.EditCaption.text() == L"(not available)");
    CHECK(page.EditClassName.text() == L"(not available)");
    CHECK(page.EditFont.text() == L"(not available)");
    CHECK(page.EditWindowRect.text() == L"(500, 20)-(700, 120) 200x100");
    // The caption box's own handler, run by the refresh, has the last word.
    CHECK(form.StatusText() == L"Cannot change caption, as the window does not respond");
    // One probe of 100 ms: the reader and the caption box's handler reuse its answer.
    CHECK(took < std::chrono::milliseconds(250));
}

TEST_CASE_FIXTURE(FreshMainForm,
                  "editing the caption, visibility and enabled state of another program's window") {
    HWND target = fixture.window("rect");
    form.EditHandle.set_text(Hex(target));

    SelectAll(page.EditCaption);
    Type(page.EditCaption, L"a");
    CHECK(ui::window_text(target) == L"a");
    Type(page.EditCaption, L"b");
    Type(page.EditCaption, L"c");
    CHECK(ui::window_text(target) == L"abc");
    CHECK(form.StatusText() == L"Ready");

    // Characters outside the code page reach a Unicode window intact.
    page.EditCaption.set_text(L"\u0416\u4E2D");
    CHECK(ui::window_text(target) == L"\u0416\u4E2D");

    // Deleting the whole caption leaves the window's last non-empty caption.
    page.EditCaption.set_text(L"");
    CHECK(ui::window_text(target) == L"\u0416\u4E2D");

    ::SendMessageW(page.CheckBoxVisible.handle(), BM_CLICK, 0, 0);
    CHECK(WaitUntil([&] { return !::IsWindowVisible(target); }));
    ::SendMessageW(page.CheckBoxVisible.handle(), BM_CLICK, 0, 0);
    CHECK(WaitUntil([&] { return ::IsWindowVisible(target) != FALSE; }));

    ::SendMessageW(page.CheckBoxEnabled.handle(), BM_CLICK, 0, 0);
    CHECK_FALSE(::IsWindowEnabled(target));
    ::SendMessageW(page.CheckBoxEnabled.handle(), BM_CLICK, 0, 0);
    CHECK(::IsWindowEnabled(target));
}

TEST_CASE_FIXTURE(FreshMainForm, "the caption of a hung window is not changed") {
    HWND hung = fixture.window("hangframe");
    form.EditHandle.set_text(Hex(hung));
    fixture.hang("hangframe", 2000);
    form.Attributes.EditCaption.set_text(L"changed");
    CHECK(form.StatusText() == L"Cannot change caption, as the window does not respond");
}

TEST_CASE("moved to a display of 144 pixels per inch, the main window is laid out again, and back at 96") {
    ClearSettings();
    TMainForm form;
    const auto physical_width = [](HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r.right - r.left;
    };
    const auto font_height = [](HWND window) {
        LOGFONTW logfont{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof logfont,
                     &logfont);
        return logfont.lfHeight;
    };
    const auto status_part = [&] {
        int right = 0;
        ::SendMessageW(form.StatusBar.handle(), SB_GETPARTS, 1, reinterpret_cast<LPARAM>(&right));
        return right;
    };
    // What the system sends: the new DPI and a rectangle for the window there.
    const auto move_to = [&](int dpi) {
        RECT suggested{};
        ::GetWindowRect(form.handle(), &suggested);
        ::SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
    };
    REQUIRE(form.dpi() == 96);
    const LONG font_at_96 = font_height(form.Attributes.EditCaption.handle());

    move_to(144);
    CHECK(form.dpi() == 144);
    RECT client{};
    ::GetClientRect(form.handle(), &client);
    CHECK(client.right == 429);
    CHECK(client.bottom == 602);  // 401 * 1.5, rounded
    CHECK(form.client_size().cx == 286);
    CHECK(physical_width(form.Attributes.EditCaption.handle()) == 285);
    CHECK(form.Attributes.EditCaption.bounds().width == 190);
    CHECK(font_height(form.Attributes.EditCaption.handle()) == ScaleToDpi(font_at_96, 144));
    CHECK(font_height(form.EditHandle.handle()) == ScaleToDpi(font_at_96, 144));
    CHECK(status_part() == 255);
    form.ButtonExpand.click();
    ::GetClientRect(form.handle(), &client);
    CHECK(client.right == 759);
    CHECK(physical_width(form.Attributes.EditCaption.handle()) == 246);

    move_to(96);
    ::GetClientRect(form.handle(), &client);
    CHECK(client.right == 506);
    CHECK(client.bottom == 401);
    CHECK(physical_width(form.Attributes.EditCaption.handle()) == 164);
    CHECK(font_height(form.Attributes.EditCaption.handle()) == font_at_96);
    CHECK(status_part() == 170);
}
