// Alien component access across the process boundary, against vcl_fixture.exe: first the model
// program itself is checked with plain reads against the library's layouts, then TAlienApplication and
// its proxies read it as Scrutel does.
#include <windows.h>

#include <doctest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"
#include "alien/AlienPlatformWin.h"
#include "base/WindowHandleValue.h"
#include "base/ValueText.h"
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

std::uint32_t Handle(HWND window) { return HandleValue(window); }

// Plain ReadProcessMemory calls on the fixture, without Scrutel's paged reader, decoded like every read
// of an alien process; unreadable bytes read as zero.
class Memory : public ByteSource {
public:
    explicit Memory(const FixtureProcess& program) : process_(program.process()) {}
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override {
        SIZE_T done = 0;
        ::ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(offset)), into,
                            size, &done);
        return done;
    }
    std::uint32_t U32(std::uint32_t address, std::int32_t offset = 0) {
        return Get<std::uint32_t>(address, offset);
    }
    std::uint16_t U16(std::uint32_t address, std::int32_t offset) {
        return Get<std::uint16_t>(address, offset);
    }
    std::uint8_t U8(std::uint32_t address, std::int32_t offset) { return Get<std::uint8_t>(address, offset); }
    std::string Short(std::uint32_t address) { return read_short_string(*this, address); }
    std::string Long(std::uint32_t address) {
        std::string text(U32(address, -4), '\0');
        text.resize(read(address, text.data(), text.size()));
        return text;
    }

private:
    template <class T>
    T Get(std::uint32_t address, std::int32_t offset) {
        T value = 0;
        read_le(*this, address + static_cast<std::uint32_t>(offset), value);
        return value;
    }
    HANDLE process_;
};

// Class-record slots of layouts A (version 3) and B (the others).
struct ClassSlot {
    std::int32_t a, b;
};
const ClassSlot SelfSlot{-64, -76}, NameSlot{-32, -44}, ParentSlot{-24, -36};

// The fixture's versions, each with the layout it is built in: "unknown" has that of 6 and 7.
const struct {
    const char* code;
    int layout;
} Versions[] = {{"3", 3}, {"5", 5}, {"6", 6}, {"7", 7}, {"unknown", 7}};

}  // namespace

TEST_CASE("the model program lays out its objects and marks its windows as the library does") {
    for (const auto& v : Versions) {
        const std::string version = v.code;
        CAPTURE(version);
        FixtureProcess& program = Vcl(version);
        Memory m(program);
        const auto at = [&](TField field) { return static_cast<std::int32_t>(OffsetIn(v.layout, field)); };
        const auto slot = [&](ClassSlot s) { return v.layout == 3 ? s.a : s.b; };
        const std::uint32_t button = program.value("button.object");
        const std::uint32_t form = program.value("form.object");

        // Class chain: self pointer, length-prefixed names, parent cells up to the root.
        std::vector<std::string> chain;
        std::uint32_t win_control = 0;
        for (std::uint32_t c = m.U32(button); c != 0 && chain.size() < 16;) {
            CHECK(m.U32(c, slot(SelfSlot)) == c);
            chain.push_back(m.Short(m.U32(c, slot(NameSlot))));
            if (chain.back() == "TWinControl") win_control = c;
            const std::uint32_t cell = m.U32(c, slot(ParentSlot));
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
        CHECK(m.U16(button, at(vcl::State)) == 0);
        CHECK(m.U32(button, at(vcl::Parent)) == form);
        CHECK(m.U32(button, at(vcl::Left)) == 16);
        CHECK(m.U32(button, at(vcl::Top)) == 8);
        CHECK(m.U32(button, at(vcl::Width)) == 75);
        CHECK(m.U32(button, at(vcl::Height)) == 25);
        CHECK(m.U8(button, at(vcl::Visible)) == 1);
        CHECK(m.U8(button, at(vcl::Enabled)) == 1);
        CHECK(m.Long(m.U32(button, at(vcl::Text))) == "Button1");
        CHECK(m.U32(button, at(vcl::Handle)) == Handle(program.window("button")));
        CHECK(m.U32(m.U32(button, at(vcl::Controls)), 8) == 0);

        // Its font: a graphics object over a shared resource record.
        const std::uint32_t font = m.U32(button, at(vcl::FontField));
        CHECK(m.Short(m.U32(m.U32(font), slot(NameSlot))) == "TFont");
        const std::uint32_t resource = m.U32(font, at(vcl::Resource));
        CHECK(m.U32(font, at(vcl::Color)) ==
              (version == "3" || version == "5" || version == "6" ? 0x80000008u : 0xFF000008u));
        CHECK(m.U32(font, at(vcl::PixelsPerInch)) == 96);
        CHECK(static_cast<std::int32_t>(m.U32(resource, 20)) == -11);
        CHECK(m.U8(resource, 25) == 1);
        CHECK(m.Short(resource + 27) == "MS Sans Serif");

        // The form's list holds its windowless children, in order.
        const std::uint32_t list = m.U32(form, at(vcl::Controls));
        REQUIRE(m.U32(list, 8) == 7);
        const char* const children[] = {
            "Label1",         "Label2", "LabelDisabled", "LabelDesign", "LabelDesignHidden",
            "LabelInvisible", "unnamed"};
        for (int i = 0; i < 7; ++i)
            CHECK(m.U32(m.U32(list, 4), 4 * i) == program.value(std::string(children[i]) + ".object"));

        // The marks: both properties, and the query answered from version 6 on only.
        HWND window = program.window("button");
        const std::string window_atom = "Delphi" + HexText8<char>(program.pid());
        const std::string control_atom = "ControlOfs" + HexText8<char>(program.value("instance")) +
                                         HexText8<char>(program.value("thread"));
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
        const char* text;
    } cases[] = {{"3", 3, "3"},
                 {"5", 5, "5"},
                 {"6", 6, "6"},
                 {"7", 7, "7"},
                 {"unknown", 0, "0"},
                 {"2009", TAlienApplication::ModernVersion, "2009 or later"},
                 {"xe2", TAlienApplication::ModernVersion, "XE2 or later"}};
    for (const auto& c : cases) {
        for (const char* window : {"form", "panel", "button"}) {
            CAPTURE(c.version);
            CAPTURE(window);
            FixtureProcess& program = Vcl(c.version);
            TWin32AlienPlatform platform;
            TAlienApplication app(platform, Handle(program.window(window)));
            CHECK(app.WindowAtomName() == "Delphi" + HexText8<char>(program.pid()));
            CHECK(app.ControlAtomName() == "ControlOfs" + HexText8<char>(program.value("instance")) +
                                               HexText8<char>(program.value("thread")));
            CHECK(app.IsVclWindow(app.Window()));
            // Versions 3 and 5, and the library from XE2 on, leave the query unanswered: the address
            // comes from the property.
            CHECK(app.ObjectAddressOf(app.Window()) == program.value(std::string(window) + ".object"));
            CHECK(app.Version() == c.recognised);
            CHECK(app.VersionText() == c.text);
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
    for (const char* version : {"3", "5", "6", "7", "2009", "xe2"}) {
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
    for (const char* version : {"3", "5", "6", "7", "2009", "xe2"}) {
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

TEST_CASE("hostile programs of the modern layout show nothing as if it were right, in bounded time") {
    for (const char* version : {"2009", "xe2"}) {
        CAPTURE(version);
        FixtureProcess& program = Vcl(version, "hostile");
        TWin32AlienPlatform platform;
        const auto started = Clock::now();
        const auto lookup = [&](const char* window, std::optional<TAlienPoint> point = std::nullopt) {
            TAlienApplication app(platform, Handle(program.window(window)));
            return NameAndClass(FindComponent(app, app.Window(), point));
        };
        CHECK(lookup("decoy") == "Decoy: TForm1");
        // Class records and type information that do not validate: not recognised at all.
        for (const char* window : {"cycle", "rootless", "shrinking", "junkname", "faketype", "lying"}) {
            CAPTURE(window);
            CHECK(TAlienApplication(platform, Handle(program.window(window))).Version() == 0);
        }
        // Recognised, but an object or a layout fails its checks: the lookup fails.
        for (const char* window : {"wrongparent", "wrongfont", "notwindow", "fields"}) {
            CAPTURE(window);
            CHECK_THROWS_AS(lookup(window), ui::EAbort);
        }
        // Of 2^31 - 1 list items only the real label counts.
        CHECK(lookup("strangers", TAlienPoint{20, 20}) == "Label1: TLabel");
        CHECK(lookup("strangers", TAlienPoint{150, 80}) == "Strangers: TForm1");
        // Texts end at the limit or with the readable memory; an unmapped font resource reads empty.
        TAlienApplication texts(platform, Handle(program.window("texts")));
        TAlienControl* form = FindComponent(texts, texts.Window(), std::nullopt);
        REQUIRE(form);
        CHECK(form->Name().compare(0, 5, "Texts") == 0);
        const std::string name = form->Name();
        const auto characters =
            std::count_if(name.begin(), name.end(), [](char c) { return (c & 0xC0) != 0x80; });
        CHECK(characters <= static_cast<std::ptrdiff_t>(TAlienApplication::MaxLongStringLength));
        TAlienControl* edge = FindComponent(texts, texts.Window(), TAlienPoint{20, 20});
        CHECK(edge->Text() == "EdgeText");
        CHECK(edge->Font()->Name().empty());
        const std::string long_face =
            FindComponent(texts, texts.Window(), TAlienPoint{20, 50})->Font()->Name();
        CHECK(long_face == std::string(std::string(version) == "xe2" ? 124 : 31, 'W'));
        CHECK(Clock::now() - started < std::chrono::seconds(5));
    }
}
