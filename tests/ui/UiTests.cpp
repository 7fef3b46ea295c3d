// The forms-and-controls layer: what its users rely on, driven with real window messages.
#include <windows.h>

#include <doctest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"
#include "ui/Window.h"
#include "ui/WindowHook.h"

namespace {

std::vector<std::wstring> shown_errors;
void CollectError(const std::wstring&, const std::wstring& text) { shown_errors.push_back(text); }

struct ErrorSinkScope {
    ErrorSinkScope() {
        shown_errors.clear();
        ui::Application::instance().set_error_sink(CollectError);
    }
    ~ErrorSinkScope() { ui::Application::instance().set_error_sink(nullptr); }
};

struct TopLevel : ui::Panel {
    TopLevel() { create_window(0, L"ui test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr); }
    using ui::Window::create_window;
};

}  // namespace

TEST_CASE("the error box appends a full stop only after characters that sort after it") {
    struct {
        const wchar_t* message;
        const wchar_t* shown;
    } cases[] = {
        {L"Cannot open file", L"Cannot open file."},
        {L"Error: Unassigned handle!", L"Error: Unassigned handle!"},  // '!' sorts before '.'
        {L"Done.", L"Done."},
        {L"(see above)", L"(see above)"},
        {L"100%", L"100%"},
        {L"version 7", L"version 7."},
        {L"", L""},
    };
    for (auto& c : cases) CHECK(ui::error_box_text(c.message) == c.shown);
}

TEST_CASE("an exception leaving an event handler reaches the error box, EAbort stays silent") {
    ErrorSinkScope sink;
    TopLevel parent;
    ui::Button button;
    button.create(parent.handle(), L"Go", {0, 0, 50, 20});
    button.on_click = [] { throw std::runtime_error("Stream read error"); };
    ::SendMessageW(button.handle(), BM_CLICK, 0, 0);
    REQUIRE(shown_errors.size() == 1);
    CHECK(shown_errors[0] == L"Stream read error.");

    button.on_click = [] { throw ui::EAbort(); };
    ::SendMessageW(button.handle(), BM_CLICK, 0, 0);
    CHECK(shown_errors.size() == 1);
    CHECK(::IsWindow(button.handle()));  // the program goes on
}

TEST_CASE("edits and check boxes write only what differs and raise their events for real changes") {
    TopLevel parent;
    ui::Edit edit;
    edit.create(parent.handle(), {0, 0, 100, 20});
    int changes = 0;
    edit.on_change = [&] { ++changes; };
    CHECK(edit.set_text(L"abc"));
    CHECK(changes == 1);
    CHECK_FALSE(edit.set_text(L"abc"));
    CHECK(changes == 1);
    ::SendMessageW(edit.handle(), WM_CHAR, L'd', 1);
    CHECK(edit.text() == L"dabc");
    CHECK(changes == 2);

    ui::CheckBox box;
    box.create(parent.handle(), L"Visible", {0, 30, 100, 20});
    int clicks = 0;
    box.on_click = [&] { ++clicks; };
    box.set_checked(true);
    box.set_checked(true);
    CHECK(clicks == 1);
    ::SendMessageW(box.handle(), BM_CLICK, 0, 0);
    CHECK_FALSE(box.checked());
    CHECK(clicks == 2);
}

TEST_CASE("window hooks see messages first, pass on the rest and nest") {
    TopLevel parent;
    ui::Edit edit;
    edit.create(parent.handle(), {0, 0, 100, 20});
    std::vector<int> order;
    ui::WindowHook outer, inner;
    inner.install(edit.handle(), [&](const ui::WindowHook::Call& call) {
        if (call.msg == WM_CHAR) order.push_back(1);
        return call.pass_on();
    });
    outer.install(edit.handle(), [&](const ui::WindowHook::Call& call) {
        if (call.msg != WM_CHAR) return call.pass_on();
        order.push_back(2);
        if (call.wp == L'x') return LRESULT{0};       // consumed
        return call.pass_on(WM_CHAR, L'Y', call.lp);  // changed on its way
    });
    ::SendMessageW(edit.handle(), WM_CHAR, L'x', 1);
    ::SendMessageW(edit.handle(), WM_CHAR, L'y', 1);
    CHECK(edit.text() == L"Y");
    CHECK(order == std::vector<int>{2, 2, 1});
    outer.uninstall();
    ::SendMessageW(edit.handle(), WM_CHAR, L'x', 1);
    CHECK(edit.text() == L"Yx");
}

TEST_CASE("registry wrapper: missing values raise, written values read back, nothing created by reading") {
    const std::wstring key = L"Software\\Orvane\\ScrutelUiTest";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ui::Registry reader;
    CHECK_FALSE(reader.open_key_read_only(key));
    {
        ui::Registry writer;
        REQUIRE(writer.open_key(key, true));
        writer.write_integer(L"Number", -5);
        writer.write_bool(L"Flag", true);
    }
    REQUIRE(reader.open_key_read_only(key));
    CHECK(reader.read_integer(L"Number") == -5);
    CHECK(reader.read_bool(L"Flag"));
    CHECK_THROWS_AS(reader.read_integer(L"Missing"), ui::ERegistryException);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}
