// A corrupt or hostile alien program: every walk ends, every text and list is capped, and unreadable
// memory reads as zeros.
#include <doctest.h>

#include <climits>
#include <string>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"

namespace {

constexpr std::uint32_t Unmapped = 0xDEAD0000;

}  // namespace

TEST_CASE("a cyclic class chain ends recognition and the class hierarchy") {
    TVclImage image(6);
    const std::uint32_t a = image.Class("TLoopA", 0);
    const std::uint32_t b = image.Class("TLoopB", a);
    const std::uint32_t cell = image.Memory.Allocate(4);
    image.Memory.Put32(cell, b);
    image.Memory.Put32(a - 36, cell);  // TLoopA's parent is TLoopB again
    TAlienImagePlatform platform(image.Memory);
    platform.Windows[1] = TAlienWindow{.Object = image.Control({.Class = a})};
    const std::size_t before = image.Memory.Reads;
    TAlienApplication app(platform, 1);
    CHECK(app.Version() == 0);
    CHECK(image.Memory.Reads - before < 8u * TAlienApplication::MaxClassDepth);

    // The same loop under an object of a recognised program.
    TAlienProgram program(6);
    const std::uint32_t x = program.Image.Class("TSelfParent", 0);
    const std::uint32_t self_cell = program.Image.Memory.Allocate(4);
    program.Image.Memory.Put32(self_cell, x);
    program.Image.Memory.Put32(x - 36, self_cell);
    TAlienApplication vcl(program.Platform, TAlienProgram::FormWindow);
    CHECK(ClassHierarchy(vcl.ClassProxy(x)) == std::vector<std::string>{"TSelfParent"});
}

TEST_CASE("a hostile child-control list is capped to what one bounded read gives") {
    TAlienProgram program(7);
    TVclImage& image = program.Image;
    TAlienMemory& memory = image.Memory;
    const std::uint32_t big_array = memory.Allocate(4 * (TAlienList::MaxItems + 16));
    auto list_with = [&](std::uint32_t items, std::uint32_t count) {
        const std::uint32_t list = memory.Allocate(16);
        memory.Put32(list + 4, items);
        memory.Put32(list + 8, count);
        return list;
    };
    struct {
        const char* what;
        std::uint32_t list;
        std::int32_t count;
    } cases[] = {
        {"count 2^31 (negative)", list_with(big_array, 0x80000000u), 0},
        {"count 2^31 - 1", list_with(big_array, 0x7FFFFFFFu), TAlienList::MaxItems},
        {"array into unmapped memory", list_with(Unmapped, 1000), 0},
        {"list header unmapped", Unmapped, 0},
    };
    // The array running into the end of mapped memory keeps the items before it.
    const std::uint32_t near_end = memory.Allocate(8);
    const std::uint32_t truncated = list_with(near_end, 0x7FFFFFFFu);
    const auto readable_items = static_cast<std::int32_t>((memory.End() - near_end) / 4);

    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    for (const auto& c : cases) {
        CAPTURE(c.what);
        CHECK(app.ListProxy(c.list)->Count() == c.count);
    }
    CHECK(app.ListProxy(truncated)->Count() == readable_items);

    // ControlAtPos over a huge list of garbage children finds nothing and ends.
    for (std::uint32_t i = 0; i < TAlienList::MaxItems; ++i)
        memory.Put32(big_array + 4 * i, Unmapped + 4 * i);
    image.Put32(program.Form, vcl::Controls, list_with(big_array, 0x7FFFFFFFu));
    TAlienApplication fresh(program.Platform, TAlienProgram::FormWindow);
    CHECK(fresh.WinControlOf(TAlienProgram::FormWindow)->ControlAtPos({5, 5}, true) == nullptr);
}

TEST_CASE("texts with hostile lengths are cut, never allocated whole") {
    TAlienProgram program(6);
    TAlienMemory& memory = program.Image.Memory;
    const std::uint32_t huge = memory.LongString(std::string(5000, 'n'));
    memory.Put32(huge - 4, 0x7FFFFFFF);
    const std::uint32_t negative = memory.LongString("abc");
    memory.Put32(negative - 4, 0x80000000u);
    const std::uint32_t control = program.Image.Control({.Class = program.Image.TLabel});
    program.Image.Put32(control, vcl::Name, huge);
    const std::uint32_t short_at_end = memory.Allocate(4);
    memory.Put8(short_at_end, 255);
    memory.PutBytes(short_at_end + 1, "abc");

    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.ControlProxy(control)->Name() == std::string(TAlienApplication::MaxLongStringLength, 'n'));
    CHECK(app.ReadLongString(negative).empty());
    CHECK(app.ReadShortString(short_at_end) == "abc");
}

TEST_CASE("pointers into unmapped memory read as zeros and missing objects") {
    TAlienProgram program(6);
    TVclImage& image = program.Image;
    const std::uint32_t bad_font = image.Memory.Allocate(40);
    image.Put32(bad_font, vcl::Resource, Unmapped);
    image.Put32(bad_font, vcl::PixelsPerInch, 96);
    const std::uint32_t control =
        image.Control({.Class = Unmapped, .Owner = Unmapped + 0x100, .Font = bad_font});
    image.Put32(control, vcl::Name, Unmapped);
    image.Put32(control, vcl::Text, Unmapped);
    image.Put32(control, vcl::Parent, Unmapped + 0x200);

    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    TAlienControl* c = app.ControlProxy(control);
    CHECK(c->Name().empty());
    CHECK(c->Text().empty());
    CHECK(ClassHierarchy(c->ClassType()) == std::vector<std::string>{""});
    CHECK(c->Owner()->Name().empty());
    CHECK(c->Parent()->Handle() == 0);
    CHECK(c->Parent()->Controls()->Count() == 0);
    CHECK(c->Font()->Name().empty());
    CHECK(c->Font()->Size() == 0);

    TAlienControl* nowhere = app.ControlProxy(Unmapped);
    CHECK(nowhere->ClassType() == nullptr);
    CHECK(nowhere->ClassName().empty());
    CHECK(nowhere->BoundsRect() == TAlienRect{});
    CHECK(nowhere->Font() == nullptr);
    // An object at the top of the address space is not read around the end.
    CHECK(app.WinControlProxy(0xFFFFFFF0)->Controls()->Count() == 0);
}

TEST_CASE("extreme coordinates neither overflow nor hit") {
    TAlienProgram program(6);
    const std::uint32_t wide = program.Image.Control({.Class = program.Image.TLabel,
                                                      .Name = "Wide",
                                                      .Left = INT_MIN,
                                                      .Top = INT_MAX,
                                                      .Width = INT_MAX,
                                                      .Height = -5});
    program.SetChildren({wide});
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.ControlProxy(wide)->BoundsRect() == TAlienRect{INT_MIN, INT_MAX, -1, INT_MAX - 5});
    TAlienWinControl* form = app.WinControlOf(TAlienProgram::FormWindow);
    CHECK(form->ControlAtPos({INT_MAX, INT_MIN}, true) == nullptr);
    CHECK(form->ControlAtPos({0, INT_MAX}, true) == nullptr);
}
