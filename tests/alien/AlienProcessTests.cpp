// Foreign component access across the process boundary, against vcl_fixture.exe: first the model
// program itself is checked with plain reads against the library's layouts, then TAlienApplication and
// its proxies read it as Scrutel does.
#include <windows.h>

#include <doctest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "support/FixtureProcess.h"
#include "ui/Text.h"

namespace {

using Clock = std::chrono::steady_clock;

// One program per version and mode, started on first use and kept for the whole run.
FixtureProcess& Vcl(const std::string& version, const std::string& mode = "normal") {
    static std::map<std::string, std::unique_ptr<FixtureProcess>> programs;
    auto& program = programs[version + " " + mode];
    if (!program)
        program =
            std::make_unique<FixtureProcess>(L"vcl_fixture.exe", ui::ansi_to_wide(version + " " + mode));
    return *program;
}

std::uint32_t Handle(HWND window) { return AlienWindowHandle(window); }

// Plain reads of the fixture's memory; unreadable bytes read as zero.
class Memory {
public:
    explicit Memory(const FixtureProcess& program) : process_(program.process()) {}
    std::uint32_t U32(std::uint32_t address, std::int32_t offset = 0) const {
        std::uint32_t value = 0;
        Read(address + static_cast<std::uint32_t>(offset), &value, 4);
        return value;
    }
    std::uint16_t U16(std::uint32_t address, std::int32_t offset) const {
        std::uint16_t value = 0;
        Read(address + static_cast<std::uint32_t>(offset), &value, 2);
        return value;
    }
    std::uint8_t U8(std::uint32_t address, std::int32_t offset) const {
        std::uint8_t value = 0;
        Read(address + static_cast<std::uint32_t>(offset), &value, 1);
        return value;
    }
    std::string Short(std::uint32_t address) const {
        std::string text(U8(address, 0), '\0');
        Read(address + 1, text.data(), text.size());
        return text;
    }
    std::string Long(std::uint32_t address) const {
        std::string text(U32(address, -4), '\0');
        Read(address, text.data(), text.size());
        return text;
    }

private:
    void Read(std::uint32_t address, void* into, std::size_t size) const {
        SIZE_T done = 0;
        ::ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address)), into,
                            size, &done);
    }
    HANDLE process_;
};

// The library's layouts, one column per version as they are documented: 3, 5, and 6 and 7 together.
struct Offset {
    std::int32_t v3, v5, v67;
    std::int32_t For(const std::string& version) const {
        return version == "3" ? v3 : version == "5" ? v5 : v67;
    }
};
const Offset SelfSlot{-64, -76, -76}, NameSlot{-32, -44, -44}, ParentSlot{-24, -36, -36};
const Offset ComponentState{32, 32, 28};
const Offset ControlParent{36, 36, 48}, Left{48, 48, 64}, Top{52, 52, 68}, Width{56, 56, 72},
    Height{60, 60, 76}, Visible{68, 71, 87}, Enabled{69, 72, 88}, Text{76, 84, 100}, Font{80, 88, 104};
const Offset ChildList{188, 308, 408}, WindowHandle{204, 332, 384};
const Offset FontResource{12, 16, 16}, FontColor{20, 24, 24}, FontPpi{24, 28, 28};

const char* const Versions[] = {"3", "5", "6", "7", "unknown"};

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%.8X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

TEST_CASE("the model program lays out its objects and marks its windows as the library does") {
    for (const std::string version : Versions) {
        CAPTURE(version);
        FixtureProcess& program = Vcl(version);
        const Memory m(program);
        const std::uint32_t button = program.value("button.object");
        const std::uint32_t form = program.value("form.object");

        // Class chain: self pointer, length-prefixed names, parent cells up to the root.
        std::vector<std::string> chain;
        std::uint32_t win_control = 0;
        for (std::uint32_t c = m.U32(button); c != 0 && chain.size() < 16;) {
            CHECK(m.U32(c, SelfSlot.For(version)) == c);
            chain.push_back(m.Short(m.U32(c, NameSlot.For(version))));
            if (chain.back() == "TWinControl") win_control = c;
            const std::uint32_t cell = m.U32(c, ParentSlot.For(version));
            c = cell ? m.U32(cell) : 0;
        }
        CHECK(chain == std::vector<std::string>{"TButton", "TButtonControl", "TWinControl", "TControl",
                                                "TComponent", "TPersistent", "TObject"});
        if (version != "3") {
            const std::map<std::string, std::pair<std::uint32_t, std::uint16_t>> sizes = {
                {"5", {492, 0}}, {"6", {516, 104}}, {"7", {516, 105}}, {"unknown", {516, 106}}};
            CHECK(m.U32(win_control, -40) == sizes.at(version).first);
            if (version != "5") CHECK(m.U16(m.U32(win_control, -48), 0) == sizes.at(version).second);
        }

        // Button1's component, control and window-control parts.
        CHECK(m.U32(button, 4) == form);
        CHECK(m.Long(m.U32(button, 8)) == "Button1");
        CHECK(m.U16(button, ComponentState.For(version)) == 0);
        CHECK(m.U32(button, ControlParent.For(version)) == form);
        CHECK(m.U32(button, Left.For(version)) == 16);
        CHECK(m.U32(button, Top.For(version)) == 8);
        CHECK(m.U32(button, Width.For(version)) == 75);
        CHECK(m.U32(button, Height.For(version)) == 25);
        CHECK(m.U8(button, Visible.For(version)) == 1);
        CHECK(m.U8(button, Enabled.For(version)) == 1);
        CHECK(m.Long(m.U32(button, Text.For(version))) == "Button1");
        CHECK(m.U32(button, WindowHandle.For(version)) == Handle(program.window("button")));
        CHECK(m.U32(m.U32(button, ChildList.For(version)), 8) == 0);

        // Its font: a graphics object over a shared resource record.
        const std::uint32_t font = m.U32(button, Font.For(version));
        CHECK(m.Short(m.U32(m.U32(font), NameSlot.For(version))) == "TFont");
        const std::uint32_t resource = m.U32(font, FontResource.For(version));
        CHECK(m.U32(font, FontColor.For(version)) ==
              (version == "3" || version == "5" || version == "6" ? 0x80000008u : 0xFF000008u));
        CHECK(m.U32(font, FontPpi.For(version)) == 96);
        CHECK(static_cast<std::int32_t>(m.U32(resource, 20)) == -11);
        CHECK(m.U8(resource, 25) == 1);
        CHECK(m.Short(resource + 27) == "MS Sans Serif");

        // The form's list holds its windowless children, in order.
        const std::uint32_t list = m.U32(form, ChildList.For(version));
        REQUIRE(m.U32(list, 8) == 7);
        const char* const children[] = {
            "Label1",         "Label2", "LabelDisabled", "LabelDesign", "LabelDesignHidden",
            "LabelInvisible", "unnamed"};
        for (int i = 0; i < 7; ++i)
            CHECK(m.U32(m.U32(list, 4), 4 * i) == program.value(std::string(children[i]) + ".object"));

        // The marks: both properties, and the query answered from version 6 on only.
        HWND window = program.window("button");
        const std::string window_atom = "Delphi" + Hex8(program.pid());
        const std::string control_atom =
            "ControlOfs" + Hex8(program.value("instance")) + Hex8(program.value("thread"));
        const auto property = [&](const std::string& name) {
            const ATOM atom = ::GlobalFindAtomA(name.c_str());
            REQUIRE(atom != 0);
            return reinterpret_cast<std::uintptr_t>(
                ::GetPropA(window, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom))));
        };
        CHECK(property(window_atom) == button);
        CHECK(property(control_atom) == button);
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(window, ::RegisterWindowMessageA(control_atom.c_str()), 0, 0, SMTO_ABORTIFHUNG,
                              2000, &answer);
        CHECK(answer == (version == "3" || version == "5" ? 0 : button));
    }
}

namespace {

std::string NameAndClass(TAlienComponent* component) {
    return component ? component->Name() + ": " + component->ClassName() : "none";
}

// Scrutel's access to one window of a program, as a pick of that window makes it.
struct Access {
    Access(const FixtureProcess& program, const char* window)
        : app(platform, Handle(program.window(window))) {}
    TAlienWinControl* Own() {
        TAlienWinControl* own = app.WinControlOf(app.Window());
        REQUIRE(own);
        return own;
    }
    TWin32AlienPlatform platform;
    TAlienApplication app;
};

template <class F>
long long Milliseconds(F&& work) {
    const auto started = Clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
}

}  // namespace

TEST_CASE("the version is recognised from the window's object, found by query or by property") {
    struct {
        const char* version;
        std::int32_t recognised;
    } cases[] = {{"3", 3}, {"5", 5}, {"6", 6}, {"7", 7}, {"unknown", 0}};
    for (const auto& c : cases) {
        for (const char* window : {"form", "panel", "button"}) {
            CAPTURE(c.version);
            CAPTURE(window);
            FixtureProcess& program = Vcl(c.version);
            TWin32AlienPlatform platform;
            TAlienApplication app(platform, Handle(program.window(window)));
            CHECK(app.WindowAtomName() == "Delphi" + Hex8(program.pid()));
            CHECK(app.ControlAtomName() ==
                  "ControlOfs" + Hex8(program.value("instance")) + Hex8(program.value("thread")));
            CHECK(app.IsVclWindow(app.Window()));
            // Versions 3 and 5 leave the query unanswered: the address comes from the property.
            CHECK(app.ObjectAddressOf(app.Window()) == program.value(std::string(window) + ".object"));
            CHECK(app.Version() == c.recognised);
        }
    }

    FixtureProcess plain(L"window_fixture.exe");
    TWin32AlienPlatform platform;
    TAlienApplication app(platform, Handle(plain.window("rect")));
    CHECK(app.Version() == 0);
    CHECK_FALSE(app.IsVclWindow(app.Window()));
    CHECK_THROWS_AS(app.WinControlOf(app.Window()), ui::EAbort);
}

TEST_CASE("Button1, its form and their neighbours read through the proxies in every version") {
    for (const char* version : {"3", "5", "6", "7"}) {
        CAPTURE(version);
        FixtureProcess& program = Vcl(version);
        Access access(program, "button");
        TAlienApplication& app = access.app;
        TAlienWinControl* button = access.Own();
        CHECK(NameAndClass(button) == "Button1: TButton");
        CHECK(button->Text() == "Button1");
        CHECK(button->Handle() == app.Window());
        CHECK(button->BoundsRect() == TAlienRect{16, 8, 91, 33});
        CHECK(button->ClientRect() == TAlienRect{0, 0, 75, 25});
        REQUIRE(button->Font());
        CHECK(button->Font()->Name() == "MS Sans Serif");
        CHECK(button->Font()->Size() == 8);
        CHECK(button->Font()->Style() == 1);
        // clWindowText: bit 31 before version 7, a top byte of 0xFF from 7 on; the same value after reading.
        CHECK(static_cast<std::uint32_t>(button->Font()->Color()) == 0xFF000008u);

        TAlienWinControl* form = button->Parent();
        CHECK(form == app.WinControlProxy(program.value("form.object")));
        CHECK(NameAndClass(button->Owner()) == "Form1: TForm1");
        CHECK(NameAndClass(form) == "Form1: TForm1");
        CHECK(form->Parent() == nullptr);
        CHECK(NameAndClass(form->Owner()) == ": TApplication");
        CHECK(ClassHierarchy(form->ClassType()) ==
              std::vector<std::string>{"TForm1", "TForm", "TCustomForm", "TScrollingWinControl",
                                       "TWinControl", "TControl", "TComponent", "TPersistent", "TObject"});

        TAlienControl* bevel = app.ControlProxy(program.value("unnamed.object"));
        CHECK(NameAndClass(bevel) == ": TBevel");
        CHECK(bevel->Owner() == nullptr);
        TAlienControl* label2 = app.ControlProxy(program.value("Label2.object"));
        CHECK(label2->Font()->Color() == 0x00123456);
        CHECK(label2->Font()->Name() == "Tahoma");
        CHECK(label2->Font()->Size() == 10);
        CHECK(label2->Font()->Style() == 0x06);
    }
}

TEST_CASE("ControlAtPos over overlapping, disabled, design-time and invisible children") {
    struct {
        int x, y;
        bool allow_disabled;
        const char* found;
    } cases[] = {
        {20, 60, false, "Label1: TLabel"},
        {80, 60, false, "Label2: TLabel"},  // over both: the later one in the list
        {159, 74, false, "Label2: TLabel"},
        {160, 60, false, "none"},  // the right edge is outside
        {80, 75, false, "none"},   // and so is the bottom edge
        {20, 100, true, "LabelDisabled: TLabel"},
        {20, 100, false, "none"},
        {20, 140, false, "LabelDesign: TLabel"},  // invisible but shown at design time
        {20, 170, true, "none"},                  // invisible and hidden at design time
        {20, 200, true, "none"},                  // invisible at run time
        {20, 230, false, ": TBevel"},
        {300, 250, true, "none"},
    };
    for (const char* version : {"3", "5", "6", "7"}) {
        CAPTURE(version);
        FixtureProcess& program = Vcl(version);
        Access access(program, "form");
        TAlienWinControl* form = access.Own();
        for (const auto& c : cases) {
            CAPTURE(c.x);
            CAPTURE(c.y);
            CHECK(NameAndClass(form->ControlAtPos({c.x, c.y}, c.allow_disabled)) == c.found);
        }
        TAlienWinControl* panel = access.app.WinControlProxy(program.value("panel.object"));
        CHECK(NameAndClass(panel->ControlAtPos({20, 70}, false)) == "Label3: TLabel");
        CHECK(NameAndClass(panel->ControlAtPos({20, 70}, false)->Parent()) == "Panel1: TPanel");
    }
}

TEST_CASE("a hostile program gives empty or partial values, in bounded time") {
    FixtureProcess& program = Vcl("7", "hostile");
    TWin32AlienPlatform platform;

    // Cyclic class chains and class pointers into unmapped memory are not recognised.
    for (const char* window : {"cycle", "stray"}) {
        CAPTURE(window);
        std::int32_t version = -1;
        const long long took = Milliseconds(
            [&] { version = TAlienApplication(platform, Handle(program.window(window))).Version(); });
        CHECK(version == 0);
        CHECK(took < 1000);
    }

    TAlienApplication app(platform, Handle(program.window("form")));
    REQUIRE(app.Version() == 7);
    TAlienWinControl* form = app.WinControlOf(app.Window());
    REQUIRE(form);
    const long long took = Milliseconds([&] {
        // A name of 2^31 characters: nothing or a bounded part of it.
        const std::string name = form->Name();
        CHECK(name.size() <= TAlienApplication::MaxLongStringLength);
        CHECK(std::string("Form1").compare(0, name.size(), name, 0, std::min<std::size_t>(name.size(), 5)) ==
              0);
        // Text, font and owner in unmapped memory.
        CHECK(form->Text().empty());
        REQUIRE(form->Font());
        CHECK(form->Font()->Name().empty());
        REQUIRE(form->Owner());
        CHECK(NameAndClass(form->Owner()) == ": ");
        // 2^31 children over an array of one.
        CHECK(form->Controls()->Count() <= 1);
        const TAlienControl* hit = form->ControlAtPos({20, 60}, true);
        CHECK((hit == nullptr || hit->Address() == program.value("Label1.object")));
        // The class chain loops above TWinControl; the hierarchy stops at the repetition.
        const std::vector<std::string> hierarchy = ClassHierarchy(form->ClassType());
        REQUIRE(hierarchy.size() >= 4);
        CHECK(std::vector<std::string>(hierarchy.begin(), hierarchy.begin() + 4) ==
              std::vector<std::string>{"THostileForm", "TWinControl", "TControl", "TComponent"});
        CHECK(hierarchy.size() <= static_cast<std::size_t>(TAlienApplication::MaxClassDepth));

        // A list in unmapped memory, and a text that ends a few bytes before unreadable memory.
        TAlienWinControl* panel = app.WinControlProxy(program.value("panel.object"));
        CHECK(panel->Controls()->Count() == 0);
        CHECK(panel->ControlAtPos({20, 20}, true) == nullptr);
        CHECK(panel->Text() == "EdgeText");

        // 2^31 - 1 children whose items point into unmapped memory, at 0 and at a real label.
        TAlienWinControl* button = app.WinControlProxy(program.value("button.object"));
        CHECK(button->Controls()->Count() <= TAlienList::MaxItems);
        button->ControlAtPos({20, 60}, true);

        // A face name longer than the record holds is cut to 32 characters.
        TAlienFont* face = app.ControlProxy(program.value("Label1.object"))->Font();
        REQUIRE(face);
        CHECK(face->Name() == std::string(32, 'W'));
        CHECK(face->Style() == 0x0F);
    });
    CHECK(took < 5000);
}

TEST_CASE(
    "a program that answers the probe but never the object query holds the caller only for the time-out") {
    FixtureProcess& program = Vcl("7", "mute");
    TWin32AlienPlatform platform(200);
    std::unique_ptr<TAlienApplication> app;
    const long long made = Milliseconds(
        [&] { app = std::make_unique<TAlienApplication>(platform, Handle(program.window("button"))); });
    // The unanswered query falls back on the window property, so the version is still recognised.
    CHECK(app->Version() == 7);
    TAlienWinControl* button = nullptr;
    const long long looked_up = Milliseconds([&] { button = app->WinControlOf(app->Window()); });
    REQUIRE(button);
    CHECK(button->Name() == "Button1");
    MESSAGE("object query time-out of 200 ms: construction " << made << " ms, lookup " << looked_up << " ms");
    CHECK(made >= 150);
    CHECK(made < 1500);
    CHECK(looked_up < 1500);
    // The program still answers the probe while the queries wait in it.
    DWORD_PTR answer = 0;
    CHECK(::SendMessageTimeoutW(program.window("button"), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer) !=
          0);
}
