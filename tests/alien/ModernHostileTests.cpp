// Corrupt or hostile programs of the modern layout, in memory: every structure the reader follows is
// damaged in turn. The program must then not be recognised, or its lookup must fail so that the page
// stays empty; what is not an object of the expected kind is never shown as one; every walk ends.
#include <doctest.h>

#include <functional>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"

namespace {

constexpr std::uint32_t Unmapped = 0xDEAD0000;

std::uint32_t U32(TAlienMemory& memory, std::uint32_t at) {
    std::uint32_t value = 0;
    read_le(memory, at, value);
    return value;
}

// The first place at or after from that holds bytes.
std::uint32_t Find(TAlienMemory& memory, std::uint32_t from, const std::string& bytes) {
    std::string all(memory.End() - from, '\0');
    memory.read(from, all.data(), all.size());
    const std::size_t at = all.find(bytes);
    REQUIRE(at != std::string::npos);
    return from + static_cast<std::uint32_t>(at);
}
std::string ShortText(const std::string& text) { return static_cast<char>(text.size()) + text; }

struct Damage {
    TModernProgram& program;
    TAlienMemory& memory = program.Memory;
    TModernModel& model = program.Model;

    std::uint32_t ClassOf(const char* name) { return model.ClassOf(name); }
    std::uint32_t TypeInfoOf(const char* name) { return U32(memory, ClassOf(name) - 72); }
    std::uint32_t FieldTableOf(const char* name) { return U32(memory, ClassOf(name) - 68); }
    // A published property's record in its class's type information.
    std::uint32_t Property(const char* cls, const char* property) {
        return Find(memory, TypeInfoOf(cls), ShortText(property)) - 26;
    }
    // The name of an extended field in its class's field table: offset before it, type cell before that.
    std::uint32_t Field(const char* cls, const char* field) {
        return Find(memory, FieldTableOf(cls), ShortText(field));
    }
    // Bytes placed at the very end of readable memory.
    std::uint32_t AtEnd(const std::string& bytes) {
        const std::uint32_t at = memory.Allocate(bytes.size());
        memory.PutBytes(at, bytes);
        REQUIRE(at + bytes.size() == memory.End());
        return at;
    }
};

enum class Outcome { NotRecognised, NothingShown };

struct Case {
    const char* what;
    TModernGeneration generation;
    std::uint32_t window;
    Outcome outcome;
    std::function<void(Damage&)> damage;
};

const TModernGeneration Y2009 = TModernGeneration::Delphi2009, XE2 = TModernGeneration::XE2;
const std::uint32_t Button = TModernProgram::ButtonWindow, Form = TModernProgram::FormWindow;

const Case Cases[] = {
    // Class records and their chain.
    {"a cycle in the parent chain", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TComponent") - 48, d.memory.Cell(d.ClassOf("TControl"))); }},
    {"a root not named TObject", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TObject") - 56, d.memory.Short("TRoot")); }},
    {"a TObject of 16 bytes", Y2009, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TObject") - 52, 16); }},
    {"sizes that shrink toward the leaf", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TButton") - 52, 400); }},
    {"a parent cell in unmapped memory", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TButtonControl") - 48, Unmapped); }},
    {"a class name with a NUL", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) {
         d.memory.Put32(d.ClassOf("TButton") - 56, d.memory.Short(std::string("TBut\0on", 7)));
     }},
    {"a class name with a blank", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TButton") - 56, d.memory.Short("TBut on")); }},
    {"a class name with a 0xFF byte", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.ClassOf("TButton") - 56, d.memory.Short("TBut\xFFon")); }},
    {"a name length of 255 at the end of readable memory", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) {
         d.memory.Put32(d.ClassOf("TButton") - 56, d.AtEnd("\xFF"
                                                           "TButton"));
     }},
    // Type information.
    {"type information of another class", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) { d.memory.Put32(d.TypeInfoOf("TButton") + 2 + 7, d.ClassOf("TPanel")); }},
    {"a property count of 0xFFFF", Y2009, Button, Outcome::NotRecognised,
     [](Damage& d) {
         d.memory.Put16(Find(d.memory, d.TypeInfoOf("TButton"), ShortText("StdCtrls")) + 9, 0xFFFF);
     }},
    {"a property record that runs into unmapped memory", XE2, Button, Outcome::NotRecognised,
     [](Damage& d) {
         // The type information copied to the end of memory, cut in the middle of its second record.
         const std::uint32_t info = d.TypeInfoOf("TButton");
         const std::uint32_t cut = d.Property("TButton", "Visible") + 10;
         std::string bytes(cut - info, '\0');
         d.memory.read(info, bytes.data(), bytes.size());
         d.memory.Put32(d.ClassOf("TButton") - 72, d.AtEnd(bytes));
     }},
    // Offsets from published properties.
    {"published Font getters beyond every instance", Y2009, Button, Outcome::NothingShown,
     [](Damage& d) {
         for (const char* cls : {"TForm", "TButton", "TLabel", "TPanel"})
             d.memory.Put32(d.Property(cls, "Font") + 4, 0xFF700000);
     }},
    {"an unaligned published Font getter", Y2009, Button, Outcome::NothingShown,
     [](Damage& d) {
         d.memory.Put32(d.Property("TButton", "Font") + 4, 0xFF000000 | (d.model.Offsets.Font + 1));
     }},
    {"a published Left of the wrong type", Y2009, Button, Outcome::NothingShown,
     [](Damage& d) {
         d.memory.Put32(d.Property("TControl", "Left"), d.memory.Cell(d.model.TypeOf("TFont")));
     }},
    {"a published Font that an extended field contradicts", XE2, Button, Outcome::NothingShown,
     [](Damage& d) {
         d.memory.Put32(d.Property("TButton", "Font") + 4, 0xFF000000 | (d.model.Offsets.Font + 4));
     }},
    // Extended field tables.
    {"an extended field count of 60000", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.memory.Put16(d.FieldTableOf("TControl") + 6, 60000); }},
    {"an extended field at offset 0x7FFFFFFF", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.memory.Put32(d.Field("TControl", "FParent") - 4, 0x7FFFFFFF); }},
    {"an extended field whose type cell is unmapped", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.memory.Put32(d.Field("TControl", "FParent") - 8, Unmapped); }},
    {"an extended field of the wrong class", XE2, Button, Outcome::NothingShown,
     [](Damage& d) {
         d.memory.Put32(d.Field("TControl", "FParent") - 8, d.memory.Cell(d.model.TypeOf("TFont")));
     }},
    {"attribute data of length 0", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.memory.Put16(d.Field("TControl", "FParent") + 8, 0); }},
    {"attribute data of length 1", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.memory.Put16(d.Field("TControl", "FParent") + 8, 1); }},
    {"a field table that counts 3 and ends after 1", XE2, Button, Outcome::NothingShown,
     [](Damage& d) {
         std::string table = std::string("\0\0\0\0\0\0\x03\0", 8);
         table += '\0' + std::string("\0\0\0\0", 4) + std::string("\x04\0\0\0", 4) + ShortText("FOwner") +
                  std::string("\x02\0", 2);
         d.memory.Put32(d.ClassOf("TComponent") - 68, d.AtEnd(table));
     }},
    // Objects.
    {"a parent field that points at a TFont", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.program.Put32(d.program.Button, &TModernOffsets::Parent, d.program.ButtonFont); }},
    {"a font field that points at a TList", Y2009, Button, Outcome::NothingShown,
     [](Damage& d) { d.program.Put32(d.program.Button, &TModernOffsets::Font, d.model.List({})); }},
    {"an owner in unmapped memory", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.program.Put32(d.program.Button, &TModernOffsets::Owner, Unmapped); }},
    {"an object that is not the window's", XE2, Button, Outcome::NothingShown,
     [](Damage& d) { d.program.Platform.Windows[TModernProgram::ButtonWindow].Object = d.program.Panel; }},
    {"a 2009 window whose handle no cell holds", Y2009, Form, Outcome::NothingShown,
     [](Damage& d) { d.program.Put32(d.program.Form, &TModernOffsets::Handle, 0); }},
    {"a query answer that differs from the property", Y2009, Button, Outcome::NotRecognised,
     [](Damage& d) { d.program.Platform.Windows[TModernProgram::ButtonWindow].Answer = d.program.Panel; }},
};

}  // namespace

TEST_CASE("damaged class records, type information and objects of the modern layout show nothing") {
    for (const Case& c : Cases) {
        CAPTURE(c.what);
        TModernProgram program(c.generation);
        Damage damage{program};
        c.damage(damage);
        const std::size_t before = program.Memory.Reads;
        TAlienApplication app(program.Platform, c.window);
        if (c.outcome == Outcome::NotRecognised) {
            CHECK(app.Version() == 0);
        } else {
            CHECK(app.IsModern());
            CHECK_THROWS_AS(FindComponent(app, c.window, TAlienPoint{20, 60}), ui::EAbort);
        }
        CHECK(program.Memory.Reads - before < 2000);
    }
}

TEST_CASE("hostile child lists: huge counts, holes, strangers and objects of other classes") {
    TModernProgram program(TModernGeneration::XE2);
    TModernModel& m = program.Model;
    // A label that names the panel as its parent, a font, 0, unmapped memory, and the real label.
    const std::uint32_t stranger = m.Control({.Class = "TLabel",
                                              .Name = "Stranger",
                                              .Parent = program.Panel,
                                              .Left = 10,
                                              .Top = 50,
                                              .Width = 100,
                                              .Height = 20});
    const std::uint32_t list = m.List({program.Label1, stranger, program.ButtonFont, 0, Unmapped});
    program.Put32(program.Form, &TModernOffsets::Controls, list);
    TAlienApplication app(program.Platform, TModernProgram::FormWindow);
    CHECK(FindComponent(app, TModernProgram::FormWindow, TAlienPoint{20, 60})->Name() == "Label1");
    // 2^31 items over that array: bounded, and nothing else is found.
    program.Memory.Put32(list + 8, 0x80000000u);
    TAlienApplication huge(program.Platform, TModernProgram::FormWindow);
    CHECK(FindComponent(huge, TModernProgram::FormWindow, TAlienPoint{20, 60})->Name() == "Form1");
    program.Memory.Put32(list + 8, 0x7FFFFFFF);
    TAlienApplication most(program.Platform, TModernProgram::FormWindow);
    CHECK(FindComponent(most, TModernProgram::FormWindow, TAlienPoint{20, 60})->Name() == "Label1");
}

TEST_CASE("a font resource in unmapped memory reads empty; a face name longer than its type is cut") {
    for (TModernGeneration generation : {TModernGeneration::Delphi2009, TModernGeneration::XE2}) {
        TModernProgram program(generation);
        TModernModel& m = program.Model;
        const std::uint32_t lost = m.Font("Lost", -11, 0, 0);
        program.Memory.Put32(lost + m.Offsets.FontResource, Unmapped);
        const std::uint32_t long_face = m.Font("F", -11, 0, 0);
        const std::uint32_t data =
            U32(program.Memory, long_face + m.Offsets.FontResource) + m.Offsets.FontData;
        program.Memory.Put8(data + 15, 200);
        // As many characters as the record holds behind the length byte.
        program.Memory.PutBytes(data + 16, std::string(generation == TModernGeneration::XE2 ? 128 : 32, 'W'));
        TAlienApplication app(program.Platform, TModernProgram::FormWindow);
        FindComponent(app, TModernProgram::FormWindow, std::nullopt);
        CHECK(app.FontProxy(lost)->Name().empty());
        CHECK(app.FontProxy(lost)->Size() == 0);
        // The face name's type allows 124 characters from XE2 on; the record of 2009 holds 31.
        CHECK(app.FontProxy(long_face)->Name() ==
              std::string(generation == TModernGeneration::XE2 ? 124 : 31, 'W'));
    }
}
