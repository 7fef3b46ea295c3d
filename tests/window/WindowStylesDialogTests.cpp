// The dialog "Styles" opened from the Attributes page of a main window in this process.
#include <windows.h>

#include <doctest.h>

#include <string>

#include "app/MainForm.h"
#include "support/MainFormHarness.h"
#include "support/WideStringMaker.h"
#include "ui/Handles.h"
#include "ui/Text.h"
#include "window/WindowStyleNames.h"

namespace {

std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

// What the dialog showed while it was open.
struct Shown {
    bool visible = false, owner_disabled = false, focus_on_ok = false;
    std::wstring style, ex_style, styles, ex_styles;
};

// Presses the button and, from inside the dialog's own message loop, reads the dialog and then
// presses the key (as a posted key-down, the way the keyboard delivers it) to close it.
Shown PressAndRead(TMainForm& form, ui::Button& button, WPARAM key) {
    Shown shown;
    WhenModal([&] {
        TWindowStylesDialog* dialog = form.Attributes.FormWindowStyles();
        if (!dialog) return;
        shown.visible = ::IsWindowVisible(dialog->handle()) != FALSE;
        shown.owner_disabled = !::IsWindowEnabled(form.handle());
        shown.focus_on_ok = ::GetFocus() == dialog->ButtonOK.handle();
        shown.style = dialog->LabelWindowStyle.text();
        shown.ex_style = dialog->LabelExtWindowStyle.text();
        shown.styles = dialog->MemoWindowStyles.text();
        shown.ex_styles = dialog->MemoExtWindowStyles.text();
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
    });
    ::SendMessageW(button.handle(), BM_CLICK, 0, 0);
    return shown;
}

}  // namespace

TEST_CASE("the style buttons open the dialog Styles with what they show; Enter and Escape close it") {
    ClearSettings();
    TMainForm form;
    form.show();
    form.ButtonExpand.click();
    TAttributesPage& page = form.Attributes;

    // Before the first refresh the buttons have no caption and do nothing.
    CHECK(page.ButtonStyle.text().empty());
    bool ran = false, left_open = false;
    WhenModal([&] {
        ran = true;
        if (TWindowStylesDialog* dialog = page.FormWindowStyles()) {
            left_open = true;
            dialog->ButtonOK.click();
        }
    });
    ::SendMessageW(page.ButtonStyle.handle(), BM_CLICK, 0, 0);
    CHECK(page.FormWindowStyles() == nullptr);
    CHECK(WaitUntil([&] { return ran; }));
    CHECK_FALSE(left_open);

    // A popup window whose style has the sign bit set.
    ui::unique_hwnd window(
        ::CreateWindowExW(WS_EX_OVERLAPPEDWINDOW | WS_EX_APPWINDOW, L"STATIC", L"styled",
                          WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU, 300, 300, 120,
                          80, nullptr, nullptr, nullptr, nullptr));
    REQUIRE(static_cast<DWORD>(::GetWindowLongW(window.get(), GWL_STYLE)) == 0x94C80000);
    REQUIRE(static_cast<DWORD>(::GetWindowLongW(window.get(), GWL_EXSTYLE)) == 0x40300);
    form.EditHandle.set_text(Hex(window.get()));
    CHECK(page.ButtonStyle.text() == L"94C80000");
    CHECK(page.ButtonExStyle.text() == L"00040300");

    const Shown by_enter = PressAndRead(form, page.ButtonStyle, VK_RETURN);
    REQUIRE(page.FormWindowStyles());
    CHECK(by_enter.visible);
    CHECK(by_enter.owner_disabled);
    CHECK(by_enter.focus_on_ok);
    CHECK(by_enter.style == L"94C80000");
    CHECK(by_enter.ex_style == L"00040300");
    CHECK(by_enter.styles ==
          L"WS_POPUPWINDOW\r\nWS_VISIBLE\r\nWS_CLIPSIBLINGS\r\nWS_CAPTION\r\nWS_DLGFRAME\r\n");
    CHECK(by_enter.ex_styles == L"WS_EX_OVERLAPPEDWINDOW\r\nWS_EX_APPWINDOW\r\n");
    CHECK_FALSE(::IsWindowVisible(page.FormWindowStyles()->handle()));
    CHECK(::IsWindowEnabled(form.handle()));
    CHECK(ui::window_text(page.FormWindowStyles()->handle()) == L"Styles");
    SIZE client = page.FormWindowStyles()->client_size();
    CHECK(client.cx == 264);
    CHECK(client.cy == 288);

    // The dialog shows the styles of the last refresh, not those the window has now.
    ::SetWindowLongW(window.get(), GWL_STYLE, ::GetWindowLongW(window.get(), GWL_STYLE) | WS_DISABLED);
    const Shown by_escape = PressAndRead(form, page.ButtonExStyle, VK_ESCAPE);
    CHECK(by_escape.visible);
    CHECK(by_escape.styles == by_enter.styles);
    CHECK_FALSE(::IsWindowVisible(page.FormWindowStyles()->handle()));

    // After the next refresh it does.
    form.EditHandle.set_text(L"0");
    form.EditHandle.set_text(Hex(window.get()));
    CHECK(PressAndRead(form, page.ButtonStyle, VK_ESCAPE).styles ==
          StyleNames(0x9CC80000, CombinedWindowStyles, WindowStyles));
}
