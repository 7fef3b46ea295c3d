// The position component on forms of its own: what a stored key puts back, and what a close stores.
#include <windows.h>

#include <doctest.h>

#include <optional>
#include <string>

#include "components/GkPositionRestore.h"
#include "support/MainFormHarness.h"
#include "ui/Form.h"
#include "ui/Registry.h"

namespace {

// A form of 200 by 100, fixed or sizeable, carrying the component as a form named "PositionTest".
struct PositionForm : ui::Form {
    explicit PositionForm(bool sizeable) {
        create_form({L"Position test", 200, 100});
        if (sizeable) {
            ::SetWindowLongW(handle(), GWL_STYLE,
                             ::GetWindowLongW(handle(), GWL_STYLE) | WS_THICKFRAME | WS_MAXIMIZEBOX);
            ::SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        first_place = WindowRect();
        Position.Loaded();
    }
    ~PositionForm() override {
        if (handle()) ::DestroyWindow(handle());
    }
    RECT WindowRect() const {
        RECT r{};
        ::GetWindowRect(handle(), &r);
        return r;
    }
    RECT first_place{};  // where the system put the form
    TGkPositionRestore Position{*this, L"PositionTest"};
};

std::wstring PositionKey() { return SettingsKeyOfTests() + L"\\Position\\PositionTest"; }

struct StoredPosition {
    std::optional<int> left, top, width, height, state;
};

void Store(const StoredPosition& p) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, PositionKey().c_str());
    ui::Registry registry;
    REQUIRE(registry.open_key(PositionKey(), true));
    const std::pair<const wchar_t*, std::optional<int>> values[] = {{L"Left", p.left},
                                                                    {L"Top", p.top},
                                                                    {L"Width", p.width},
                                                                    {L"Height", p.height},
                                                                    {L"WindowState", p.state}};
    for (const auto& [name, value] : values)
        if (value) registry.write_integer(name, *value);
}

StoredPosition Read() {
    StoredPosition p;
    ui::Registry registry;
    if (!registry.open_key_read_only(PositionKey())) return p;
    const auto read = [&](const wchar_t* name) -> std::optional<int> {
        if (!registry.value_exists(name)) return std::nullopt;
        return registry.read_integer(name);
    };
    return {read(L"Left"), read(L"Top"), read(L"Width"), read(L"Height"), read(L"WindowState")};
}

bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST_CASE("a stored position is put back whole or not at all; fixed forms keep their size") {
    using State = ui::Form::WindowState;
    struct {
        const char* what;
        bool no_key;
        StoredPosition stored;
        bool sizeable;
        bool restored;
        std::optional<RECT> placed;  // none: where the system put the form
        State state;
    } cases[] = {
        {"no key", true, {}, false, false, std::nullopt, State::Normal},
        {"a fixed form takes Left and Top only",
         false,
         {100, 120, 999, 999, 1},
         false,
         true,
         RECT{100, 120, 0, 0},
         State::Normal},
        {"a sizeable form takes the size too",
         false,
         {100, 120, 300, 250, 1},
         true,
         true,
         RECT{100, 120, 400, 370},
         State::Normal},
        {"a sizeable form without Height stays where the system put it",
         false,
         {100, 120, 300, {}, 1},
         true,
         false,
         std::nullopt,
         State::Normal},
        {"without WindowState the window moves, but counts as not restored",
         false,
         {100, 120, {}, {}, {}},
         false,
         false,
         RECT{100, 120, 0, 0},
         State::Normal},
        {"maximized", false, {100, 120, 300, 250, 3}, true, true, RECT{100, 120, 400, 370}, State::Maximized},
        {"minimized", false, {100, 120, 300, 250, 2}, true, true, RECT{100, 120, 400, 370}, State::Minimized},
        {"a hidden window's state 0 opens normally",
         false,
         {100, 120, 300, 250, 0},
         true,
         true,
         RECT{100, 120, 400, 370},
         State::Normal},
        {"a state beyond 3 opens normally",
         false,
         {100, 120, 300, 250, 7},
         true,
         true,
         RECT{100, 120, 400, 370},
         State::Normal},
        // As after a display was removed: the window opens where the system puts it, and the option
        // stays on, so that the next close stores a place on the screen.
        {"outside every work area",
         false,
         {5000, 5000, 300, 250, 3},
         true,
         true,
         std::nullopt,
         State::Normal},
        {"left of the screen", false, {-900, 100, 300, 250, 1}, true, true, std::nullopt, State::Normal},
    };
    for (const auto& c : cases) {
        CAPTURE(c.what);
        ClearSettings();
        if (!c.no_key) Store(c.stored);
        PositionForm form(c.sizeable);
        CHECK(form.Position.Restored() == c.restored);
        CHECK(form.window_state() == c.state);
        RECT expected = c.placed.value_or(form.first_place);
        if (c.placed && !c.sizeable) {
            expected.right = expected.left + (form.first_place.right - form.first_place.left);
            expected.bottom = expected.top + (form.first_place.bottom - form.first_place.top);
        }
        CHECK(SameRect(form.WindowRect(), expected));
        CHECK_FALSE(::IsWindowVisible(form.handle()));
    }
    ClearSettings();
}

TEST_CASE("the close request stores the normal rectangle and show state, or deletes the key") {
    ClearSettings();
    {
        PositionForm form(true);
        REQUIRE_FALSE(form.Position.Restored());
        form.show(SW_SHOWNOACTIVATE);
        ::SetWindowPos(form.handle(), nullptr, 130, 140, 320, 260, SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
        CHECK_FALSE(::IsWindow(form.handle()));
    }
    StoredPosition stored = Read();
    CHECK(stored.left == 130);
    CHECK(stored.top == 140);
    CHECK(stored.width == 320);
    CHECK(stored.height == 260);
    CHECK(stored.state == SW_SHOWNORMAL);

    // Closed while maximized: state 3 and the rectangle the window had before; the next start opens
    // maximized and restoring it gives that rectangle back.
    {
        PositionForm form(true);
        REQUIRE(form.Position.Restored());
        form.show(SW_SHOWNOACTIVATE);
        ::ShowWindow(form.handle(), SW_MAXIMIZE);
        REQUIRE(::IsZoomed(form.handle()));
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    }
    stored = Read();
    CHECK(stored.state == SW_SHOWMAXIMIZED);
    CHECK(stored.left == 130);
    CHECK(stored.width == 320);
    {
        PositionForm form(true);
        CHECK(form.window_state() == ui::Form::WindowState::Maximized);
        form.show(SW_SHOWNOACTIVATE);
        CHECK(::IsZoomed(form.handle()));
        ::ShowWindow(form.handle(), SW_RESTORE);
        CHECK(SameRect(form.WindowRect(), RECT{130, 140, 450, 400}));

        // Saving switched off: the close deletes the key.
        form.Position.SavePosition = false;
        ::SendMessageW(form.handle(), WM_CLOSE, 0, 0);
    }
    ui::Registry registry;
    CHECK_FALSE(registry.open_key_read_only(PositionKey()));

    // A window that goes without the close request stores nothing.
    {
        PositionForm form(true);
        form.show(SW_SHOWNOACTIVATE);
    }
    CHECK_FALSE(registry.open_key_read_only(PositionKey()));
    ClearSettings();
}
