#include <doctest.h>

#include <string>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"

namespace {

constexpr std::uint32_t Window = 0x00020002;

// The version recognised for a window whose VCL object is `object`.
std::int32_t RecognisedVersion(TVclImage& image, std::uint32_t object) {
    TAlienImagePlatform platform(image.Memory);
    TAlienWindow w;
    w.Object = object;
    platform.Windows[Window] = w;
    return TAlienApplication(platform, Window).Version();
}

std::uint32_t ObjectOfClass(TVclImage& image, std::uint32_t cls) { return image.Control({.Class = cls}); }

}  // namespace

TEST_CASE("the atoms and the query message are named after the window's instance, thread and process") {
    TAlienProgram program(7);
    TAlienApplication app(program.Platform, TAlienProgram::ButtonWindow);
    CHECK(app.Window() == TAlienProgram::ButtonWindow);
    CHECK(app.ThreadId() == 0x4D2);
    CHECK(app.ProcessId() == 0x10F0);
    CHECK(app.Instance() == 0x00400000);
    CHECK(app.ControlAtomName() == "ControlOfs00400000000004D2");
    CHECK(app.WindowAtomName() == "Delphi000010F0");
    CHECK(app.ObjectMessage() == program.Platform.Messages.at("ControlOfs00400000000004D2"));
    CHECK(app.Version() == 7);
}

TEST_CASE("versions 3, 5, 6 and 7 are recognised from the class records, no other") {
    for (int version : {3, 5, 6, 7, 4}) {
        CAPTURE(version);
        TAlienProgram program(version);
        CHECK(TAlienApplication(program.Platform, TAlienProgram::FormWindow).Version() ==
              (version == 4 ? 0 : version));
        CHECK(TAlienApplication(program.Platform, TAlienProgram::ButtonWindow).Version() ==
              (version == 4 ? 0 : version));
    }
}

TEST_CASE("layout B recognition walks to TWinControl and reads its size and dynamic-method count") {
    TVclImage image(6);
    struct {
        const char* name;
        std::uint32_t size;
        std::uint16_t entries;
        std::int32_t version;
    } cases[] = {
        {"TWinControl", 492, 0, 5},   {"TWINCONTROL", 516, 104, 6}, {"twincontrol", 516, 105, 7},
        {"TWinControl", 516, 106, 0}, {"TWinControl", 500, 104, 0}, {"TWinControls", 492, 0, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.name);
        CAPTURE(c.size);
        CAPTURE(c.entries);
        const std::uint32_t win_control = image.Class(c.name, image.TControl, c.size, c.entries);
        const std::uint32_t panel = image.Class("TPanel", image.Class("TCustomPanel", win_control));
        CHECK(RecognisedVersion(image, ObjectOfClass(image, panel)) == c.version);
    }
    // A chain that ends without TWinControl, at a parent cell of 0 or a cell holding 0.
    CHECK(RecognisedVersion(image, ObjectOfClass(image, image.TControl)) == 0);
    const std::uint32_t empty_cell = image.Memory.Allocate(4);
    const std::uint32_t orphan = image.Class("TOrphan", 0);
    image.Memory.Put32(orphan - 36, empty_cell);
    CHECK(RecognisedVersion(image, ObjectOfClass(image, orphan)) == 0);
}

TEST_CASE("a self pointer at -64 means version 3 without further tests; no self pointer means none") {
    TVclImage image(6);
    const std::uint32_t layout_a = image.Memory.Allocate(80) + 64;
    image.Memory.Put32(layout_a - 64, layout_a);
    CHECK(RecognisedVersion(image, ObjectOfClass(image, layout_a)) == 3);

    const std::uint32_t no_self = image.Memory.Allocate(80) + 76;
    CHECK(RecognisedVersion(image, ObjectOfClass(image, no_self)) == 0);
    CHECK(RecognisedVersion(image, ObjectOfClass(image, 0)) == 0);
    CHECK(RecognisedVersion(image, 0) == 0);
}

TEST_CASE("a process that cannot be opened reads nothing and gives version 0") {
    TAlienProgram program(6);
    program.Platform.Windows[TAlienProgram::FormWindow].Process = 0x999;
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.Version() == 0);
    CHECK(app.ReadPointer(program.Form) == 0);
}

TEST_CASE("the window's object is found by the query message, else by the object property") {
    TAlienProgram program(6);
    TAlienWindow& form = program.Platform.Windows[TAlienProgram::FormWindow];
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.IsVclWindow(TAlienProgram::FormWindow));
    CHECK(app.ObjectAddressOf(TAlienProgram::FormWindow) == program.Form);
    CHECK(app.WinControlOf(TAlienProgram::FormWindow)->Address() == program.Form);

    form.Answers = false;
    CHECK(app.ObjectAddressOf(TAlienProgram::FormWindow) == program.Form);
    CHECK(TAlienApplication(program.Platform, TAlienProgram::FormWindow).Version() == 6);

    form.Marked = false;
    CHECK_FALSE(app.IsVclWindow(TAlienProgram::FormWindow));
    CHECK_THROWS_AS(app.WinControlOf(TAlienProgram::FormWindow), ui::EAbort);
}

TEST_CASE("a window without the VCL gives version 0 and no component") {
    TAlienProgram program(6);
    program.Platform.Windows[0x30003] = TAlienWindow{.Object = 0, .Marked = false};
    TAlienApplication app(program.Platform, 0x30003);
    CHECK(app.Version() == 0);
    CHECK_FALSE(app.IsVclWindow(0x30003));
    CHECK_THROWS_AS(app.WinControlOf(0x30003), ui::EAbort);
    // Marked, but of a version not recognised.
    TAlienProgram unknown(4);
    TAlienApplication unknown_app(unknown.Platform, TAlienProgram::FormWindow);
    CHECK_THROWS_AS(unknown_app.WinControlOf(TAlienProgram::FormWindow), ui::EAbort);
}

TEST_CASE("primitive reads") {
    TVclImage image(6);
    TAlienMemory& memory = image.Memory;
    const std::uint32_t short_text = memory.ShortString("Hello");
    const std::uint32_t empty_short = memory.ShortString("");
    const std::uint32_t long_text = memory.LongString("Button1");
    const std::uint32_t negative_long = memory.LongString("abc");
    memory.Put32(negative_long - 4, 0xFFFFFFFF);
    const std::uint32_t long_pchar = memory.PChar(std::string(5000, 'x'));
    const std::uint32_t tail = memory.PChar("tail");  // the last bytes mapped
    TAlienImagePlatform platform(memory);
    platform.Windows[Window] = {};
    TAlienApplication app(platform, Window);

    const std::size_t before = memory.Reads;
    CHECK(app.ReadShortString(0).empty());
    CHECK(app.ReadLongString(0).empty());
    CHECK(app.ReadPCharString(0).empty());
    CHECK(memory.Reads == before);

    CHECK(app.ReadShortString(short_text) == "Hello");
    CHECK(app.ReadShortString(empty_short).empty());
    CHECK(app.ReadLongString(long_text) == "Button1");
    CHECK(app.ReadLongString(negative_long).empty());
    CHECK(app.ReadPCharString(long_pchar) == std::string(4096, 'x'));
    CHECK(app.ReadPCharString(tail) == "tail");
    CHECK(app.ReadPointer(memory.End() - 2) == 0);
    CHECK(app.ReadPointer(0xDEAD0000) == 0);
    CHECK(app.ReadShortString(0xDEAD0000).empty());
}

TEST_CASE("versions below 7 mark system colors with bit 31") {
    struct {
        int version;
        std::uint32_t stored, shown;
    } cases[] = {
        {5, 0x8000000F, 0xFF00000F}, {5, 0x00FF0000, 0x00FF0000}, {3, 0x80000005, 0xFF000005},
        {6, 0x80000008, 0xFF000008}, {7, 0x8000000F, 0x8000000F}, {7, 0xFF000008, 0xFF000008},
    };
    for (const auto& c : cases) {
        CAPTURE(c.version);
        TAlienProgram program(c.version);
        TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
        CHECK(static_cast<std::uint32_t>(app.ConvertColor(static_cast<std::int32_t>(c.stored))) == c.shown);
    }
}

TEST_CASE("lookups without a recognised version") {
    TAlienProgram program(4);
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    REQUIRE(app.Version() == 0);
    CHECK_THROWS_AS(app.ComponentProxy(0), ui::EAbort);
    CHECK_THROWS_AS(app.ControlProxy(0), ui::EAbort);
    CHECK_THROWS_AS(app.WinControlProxy(0), ui::EAbort);
    CHECK_THROWS_AS(app.WinControlProxy(program.Form), ui::EAbort);
    CHECK(app.UndefinedPropertyError().message() == L"Not defined in version 0 of the VCL");
    // The lookups without a version test hand out proxies whose version-bound accessors refuse.
    TAlienFont* font = app.FontProxy(program.ButtonFont);
    REQUIRE(font);
    CHECK_THROWS_AS(font->Color(), EUndefinedProperty);
    try {
        app.ClassProxy(program.Image.TButton)->ClassName();
        FAIL("no exception");
    } catch (const EUndefinedProperty& e) {
        CHECK(e.message() == L"Not defined in version 0 of the VCL");
    }
}

TEST_CASE("each lookup answers one proxy per address, of the kind it makes") {
    TAlienProgram program(6);
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.WinControlProxy(0) == nullptr);
    CHECK(app.ComponentProxy(0) == nullptr);
    CHECK(app.ControlProxy(0) == nullptr);
    CHECK(app.FontProxy(0) == nullptr);
    TAlienList* empty = app.ListProxy(0);
    REQUIRE(empty);
    CHECK(empty->Count() == 0);
    CHECK(app.ListProxy(0) == empty);

    TAlienWinControl* button = app.WinControlProxy(program.Button);
    CHECK(app.WinControlProxy(program.Button) == button);
    TAlienControl* as_control = app.ControlProxy(program.Button);
    CHECK(app.ControlProxy(program.Button) == as_control);
    CHECK(dynamic_cast<TAlienWinControl*>(as_control) == nullptr);
    CHECK(app.ComponentProxy(program.Button) == app.ComponentProxy(program.Button));
    CHECK(app.FontProxy(program.ButtonFont) == button->Font());
    CHECK(app.ClassProxy(program.Image.TButton) == button->ClassType());
}

TEST_CASE("each proxy copies each of its slices with one read") {
    TAlienProgram program(7);
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    TAlienMemory& memory = program.Image.Memory;
    auto reads_of = [&](auto make) {
        const std::size_t before = memory.Reads;
        make();
        return memory.Reads - before;
    };
    CHECK(reads_of([&] { app.ComponentProxy(program.Button); }) == 1);
    CHECK(reads_of([&] { app.ControlProxy(program.Button); }) == 2);
    CHECK(reads_of([&] { app.WinControlProxy(program.Button); }) == 3);
    CHECK(reads_of([&] { app.FontProxy(program.ButtonFont); }) == 3);  // header, resource, own fields
    TAlienWinControl* form = app.WinControlProxy(program.Form);
    CHECK(reads_of([&] { form->Controls(); }) == 2);  // header, item array
    CHECK(reads_of([&] { form->Controls()->Items(0); }) == 0);
}

TEST_CASE("a repeated lookup of the same window reads nothing") {
    TAlienProgram program(6);
    const std::uint32_t label = program.Image.Control({.Class = program.Image.TLabel,
                                                       .Name = "Label1",
                                                       .Owner = program.Form,
                                                       .Parent = program.Form,
                                                       .Left = 120,
                                                       .Top = 40,
                                                       .Width = 50,
                                                       .Height = 13,
                                                       .Text = "Name:",
                                                       .Font = program.ButtonFont});
    program.SetChildren({program.Button, label});
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    auto find = [&](TAlienPoint point) -> TAlienControl* {
        TAlienWinControl* own = app.WinControlOf(TAlienProgram::FormWindow);
        TAlienControl* child = own->ControlAtPos(point, true);
        return child ? child : own;
    };
    auto show = [](TAlienControl* c) {
        return std::to_string(c->Left()) + c->ClassName() + c->Font()->Name() +
               std::to_string(c->Font()->Size()) + std::to_string(c->Parent() ? c->Parent()->Handle() : 0) +
               std::to_string(c->Visible());
    };
    TAlienControl* first = find({125, 45});
    REQUIRE(first->Address() == label);
    const std::string shown = show(first);
    const std::size_t reads = program.Image.Memory.Reads;
    CHECK(find({125, 45}) == first);
    CHECK(find({130, 50}) == first);
    CHECK(show(first) == shown);
    CHECK(program.Image.Memory.Reads == reads);
}
