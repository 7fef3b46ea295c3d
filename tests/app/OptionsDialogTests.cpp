// The options dialog on the main window, driven inside its modal loop, and the settings as the
// registry keeps them from one start to the next.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"
#include "ui/Registry.h"
#include "ui/Text.h"

namespace {

// Runs the action inside the options dialog of the form, then presses the given button.
void InOptions(TMainForm& form, const std::function<void(TOptionsDialog&)>& action, bool ok = true) {
    bool ran = false;
    WhenModal([&] {
        auto* dialog = ui::WindowObject::of<TOptionsDialog>(OwnWindowCaptioned(L"Options"));
        REQUIRE(dialog);
        ran = true;
        action(*dialog);
        ::SendMessageW((ok ? dialog->ButtonOK : dialog->ButtonCancel).handle(), BM_CLICK, 0, 0);
    });
    const int failures = ModalActionFailures();
    form.OptionsClick();
    CHECK(ran);
    CHECK(ModalActionFailures() == failures);
    CHECK(OwnWindowCaptioned(L"Options") == nullptr);
}

// Chooses a color as the user does: the list's selection, then its notification to the dialog.
void ChooseColor(TOptionsDialog& dialog, int index) {
    HWND box = dialog.ColorBoxFrameColor.handle();
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(dialog.handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(box), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box));
}

void Store(const std::wstring& key, const std::vector<std::pair<const wchar_t*, int>>& values) {
    ui::Registry registry;
    REQUIRE(registry.open_key(key, true));
    for (const auto& [name, value] : values) registry.write_integer(name, value);
}

int Stored(const std::wstring& key, const wchar_t* name) {
    ui::Registry registry;
    REQUIRE(registry.open_key_read_only(key));
    return registry.read_integer(name);
}

std::wstring PositionKey() { return SettingsKeyOfTests() + L"\\Position\\MainForm"; }

std::vector<std::wstring> shown_errors;
void CollectError(const std::wstring&, const std::wstring& text) { shown_errors.push_back(text); }

}  // namespace

TEST_CASE("options dialog on the first start: the defaults, and every change in force at once") {
    ClearSettings();
    {
        TMainForm form;
        form.show(SW_SHOWNOACTIVATE);
        InOptions(form, [&](TOptionsDialog& dialog) {
            CHECK(ui::window_text(dialog.handle()) == L"Options");
            CHECK(dialog.client_size().cx == 328);
            CHECK(dialog.client_size().cy == 149);
            CHECK(::GetFocus() == dialog.CheckBoxSaveFormPos.handle());
            CHECK_FALSE(dialog.CheckBoxSaveFormPos.checked());
            CHECK(dialog.RadioGroupFrameType.item_index() == 0);
            CHECK(dialog.ColorBoxFrameColor.item(dialog.ColorBoxFrameColor.selected()) == L"Navy");
            CHECK(dialog.ColorBoxFrameColor.count() == 16);
            CHECK_FALSE(dialog.CheckBoxFillFrame.checked());
            CHECK_FALSE(::IsWindowEnabled(form.handle()));  // the main window takes no input meanwhile

            ::SendMessageW(dialog.RadioGroupFrameType.item(2), BM_CLICK, 0, 0);
            CHECK(form.FrameSettings().SelFrameType == 2);
            ChooseColor(dialog, 9);  // Red
            CHECK(form.FrameSettings().SelFrameColor == 0x0000FF);
            ::SendMessageW(dialog.CheckBoxFillFrame.handle(), BM_CLICK, 0, 0);
            CHECK(form.FrameSettings().FillSelFrame);
        });
        CHECK(::IsWindowEnabled(form.handle()));
        // Cancel does not take a change back.
        InOptions(
            form,
            [&](TOptionsDialog& dialog) {
                ::SendMessageW(dialog.RadioGroupFrameType.item(1), BM_CLICK, 0, 0);
            },
            false);
        CHECK(form.FrameSettings().SelFrameType == 1);
    }
    const std::wstring key = SettingsKeyOfTests();
    CHECK(Stored(key, L"SelFrameType") == 1);
    CHECK(Stored(key, L"SelFrameColor") == 0x0000FF);
    CHECK(Stored(key, L"FillSelFrame") == 1);
    ClearSettings();
}

TEST_CASE("options dialog shows stored settings: type 258 is 2, fill 5 is ticked, color 123 is no entry") {
    ClearSettings();
    Store(SettingsKeyOfTests(), {{L"SelFrameType", 258}, {L"SelFrameColor", 123}, {L"FillSelFrame", 5}});
    {
        TMainForm form;
        InOptions(form, [&](TOptionsDialog& dialog) {
            CHECK(dialog.RadioGroupFrameType.item_index() == 2);
            CHECK(dialog.ColorBoxFrameColor.selected() == -1);
            CHECK(dialog.CheckBoxFillFrame.checked());
        });
        // Showing the dialog changed nothing: the color not in the list is still the one drawn with.
        CHECK(form.FrameSettings().SelFrameColor == 123);
    }
    CHECK(Stored(SettingsKeyOfTests(), L"SelFrameColor") == 123);
    CHECK(Stored(SettingsKeyOfTests(), L"FillSelFrame") == 1);
    ClearSettings();
}

TEST_CASE("saving the position: the option is the stored key's presence") {
    ClearSettings();
    RECT placed{};
    {
        TMainForm form;
        CHECK_FALSE(form.PositionRestore.Restored());
        form.show(SW_SHOWNOACTIVATE);
        InOptions(form, [](TOptionsDialog& dialog) {
            ::SendMessageW(dialog.CheckBoxSaveFormPos.handle(), BM_CLICK, 0, 0);
        });
        ::SetWindowPos(form.handle(), nullptr, 140, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetWindowRect(form.handle(), &placed);
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    }
    CHECK(Stored(PositionKey(), L"Left") == 140);
    CHECK(Stored(PositionKey(), L"Top") == 150);
    CHECK(Stored(PositionKey(), L"Width") == placed.right - placed.left);
    CHECK(Stored(PositionKey(), L"Height") == placed.bottom - placed.top);
    CHECK(Stored(PositionKey(), L"WindowState") == SW_SHOWNORMAL);
    {
        // The next start is back there, with the option ticked; closing while maximized keeps the
        // normal rectangle. Escape ends the program without the close request: nothing is stored.
        TMainForm form;
        CHECK(form.PositionRestore.Restored());
        RECT now{};
        ::GetWindowRect(form.handle(), &now);
        CHECK(::EqualRect(&now, &placed));
        InOptions(form, [](TOptionsDialog& dialog) { CHECK(dialog.CheckBoxSaveFormPos.checked()); });
        form.show(SW_SHOWNOACTIVATE);
        ::ShowWindow(form.handle(), SW_MAXIMIZE);
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    }
    CHECK(Stored(PositionKey(), L"WindowState") == SW_SHOWMAXIMIZED);
    CHECK(Stored(PositionKey(), L"Left") == 140);
    {
        TMainForm form;
        CHECK(form.window_state() == ui::Form::WindowState::Maximized);
        form.show(SW_SHOWNOACTIVATE);
        CHECK(::IsZoomed(form.handle()));
        ::ShowWindow(form.handle(), SW_RESTORE);
        ::SetWindowPos(form.handle(), nullptr, 300, 310, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        form.ButtonCloseOnEscape.click();
    }
    CHECK(Stored(PositionKey(), L"Left") == 140);
    CHECK(Stored(PositionKey(), L"WindowState") == SW_SHOWMAXIMIZED);
    {
        // Unticked: the close deletes the key, and the start after that opens where the system puts it.
        TMainForm form;
        InOptions(form, [](TOptionsDialog& dialog) {
            ::SendMessageW(dialog.CheckBoxSaveFormPos.handle(), BM_CLICK, 0, 0);
        });
        CHECK_FALSE(form.PositionRestore.SavePosition);
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    }
    ui::Registry registry;
    CHECK_FALSE(registry.open_key_read_only(PositionKey()));
    {
        TMainForm form;
        CHECK_FALSE(form.PositionRestore.Restored());
        CHECK_FALSE(form.PositionRestore.SavePosition);
    }
    ClearSettings();
}

TEST_CASE("a failure to write the settings at shut-down is reported in the error box") {
    ClearSettings();
    // Below a volatile key only volatile keys can be made, so the settings key cannot be created.
    const std::wstring company = L"Software\\Orvane";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, company.c_str());
    HKEY volatile_key = nullptr;
    REQUIRE(::RegCreateKeyExW(HKEY_CURRENT_USER, company.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &volatile_key, nullptr) == ERROR_SUCCESS);
    ::RegCloseKey(volatile_key);
    shown_errors.clear();
    ui::Application::instance().set_error_sink(CollectError);
    { TMainForm form; }
    ui::Application::instance().set_error_sink(nullptr);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, company.c_str());
    REQUIRE(shown_errors.size() == 1);
    CHECK(shown_errors[0].find(SettingsKeyOfTests()) != std::wstring::npos);
}

TEST_CASE("a stored setting of another type or missing takes its default, the others are read") {
    ClearSettings();
    Store(SettingsKeyOfTests(), {{L"FillSelFrame", 1}});
    {
        ui::Registry registry;
        REQUIRE(registry.open_key(SettingsKeyOfTests(), false));
        const wchar_t text[] = L"255";
        REQUIRE(::RegSetValueExW(registry.key(), L"SelFrameColor", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text), sizeof text) == ERROR_SUCCESS);
    }
    {
        TMainForm form;
        CHECK(form.FrameSettings().SelFrameType == 0);
        CHECK(form.FrameSettings().SelFrameColor == 0x800000);
        CHECK(form.FrameSettings().FillSelFrame);
    }
    CHECK(Stored(SettingsKeyOfTests(), L"SelFrameColor") == 0x800000);
    ClearSettings();
}
