// Programs built with the component library of 2009 and later, in memory: recognition from the class
// records, field offsets learnt from the program's own type information, UnicodeString texts.
#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"
#include "base/ValueText.h"

namespace {

constexpr TModernGeneration Generations[] = {TModernGeneration::Delphi2009, TModernGeneration::XE2};

std::string NameAndClass(TAlienComponent* component) {
    return component ? component->Name() + ": " + component->ClassName() : "nil";
}

std::string GenerationName(TModernGeneration generation) {
    return generation == TModernGeneration::XE2 ? "XE2" : "2009";
}

// What the Delphi-VCL page shows of the component found for window and a point in it.
struct Shown {
    std::string component, text, font, parent, owner;
    TAlienRect bounds, client;
    std::vector<std::string> hierarchy;
};
Shown Show(TAlienApplication& app, std::uint32_t window, std::optional<TAlienPoint> point = std::nullopt) {
    TAlienControl* c = FindComponent(app, window, point);
    REQUIRE(c);
    Shown shown{NameAndClass(c),
                c->Text(),
                "",
                NameAndClass(c->Parent()),
                NameAndClass(c->Owner()),
                c->BoundsRect(),
                c->ClientRect(),
                ClassHierarchy(c->ClassType())};
    if (TAlienFont* font = c->Font())
        shown.font = font->Name() + " " + std::to_string(font->Size()) + " pt, style " +
                     std::to_string(font->Style()) + ", " +
                     HexText8<char>(static_cast<std::uint32_t>(font->Color()));
    return shown;
}

}  // namespace

TEST_CASE("programs of 2009 and later are recognised from their class records, named by their units") {
    for (TModernGeneration generation : Generations) {
        CAPTURE(GenerationName(generation));
        TModernProgram program(generation);
        for (std::uint32_t window :
             {TModernProgram::FormWindow, TModernProgram::ButtonWindow, TModernProgram::PanelWindow}) {
            CAPTURE(window);
            TAlienApplication app(program.Platform, window);
            CHECK(app.Version() == TAlienApplication::ModernVersion);
            CHECK(app.IsModern());
            CHECK(app.VersionText() ==
                  (generation == TModernGeneration::XE2 ? "XE2 or later" : "2009 or later"));
            // Programs since XE2 leave the query unanswered: the object comes from the property.
            CHECK(app.WinControlOf(window)->Handle() == window);
        }
    }
}

TEST_CASE("the page's values of windowed and windowless controls, in both generations") {
    for (TModernGeneration generation : Generations) {
        CAPTURE(GenerationName(generation));
        TModernProgram program(generation);
        const std::vector<std::string> button_chain = {
            "TButton", "TButtonControl", "TWinControl", "TControl", "TComponent", "TPersistent", "TObject"};
        TAlienApplication button_app(program.Platform, TModernProgram::ButtonWindow);
        const Shown button = Show(button_app, TModernProgram::ButtonWindow);
        CHECK(button.component == "Button1: TButton");
        CHECK(button.text == "Button1");  // the window's own text: the text field of a window control is nil
        CHECK(button.font == "MS Sans Serif 8 pt, style 1, FF000008");
        CHECK(button.bounds == TAlienRect{16, 8, 91, 33});
        CHECK(button.client == TAlienRect{0, 0, 75, 25});
        CHECK(button.parent == "Form1: TForm1");
        CHECK(button.owner == "Form1: TForm1");
        CHECK(button.hierarchy == button_chain);

        TAlienApplication form_app(program.Platform, TModernProgram::FormWindow);
        const Shown form = Show(form_app, TModernProgram::FormWindow);
        CHECK(form.component == "Form1: TForm1");
        CHECK(form.parent == "nil");
        CHECK(form.owner == ": TApplication");
        CHECK(form.hierarchy.front() == "TForm1");
        CHECK(form.hierarchy.size() == 9);

        // Windowless controls under a point: their own UTF-16 text, bounds in the parent's client area.
        const Shown label = Show(form_app, TModernProgram::FormWindow, TAlienPoint{20, 60});
        CHECK(label.component == "Label1: TLabel");
        CHECK(label.text == "Na\xC3\xAFve caption");
        CHECK(label.font == "Tahoma 10 pt, style 6, 00123456");
        CHECK(label.bounds == TAlienRect{10, 50, 110, 70});
        CHECK(label.client == TAlienRect{0, 0, 100, 20});
        CHECK(label.parent == "Form1: TForm1");
        CHECK(Show(form_app, TModernProgram::FormWindow, TAlienPoint{20, 230}).component == ": TBevel");
        CHECK(Show(form_app, TModernProgram::FormWindow, TAlienPoint{300, 250}).component == "Form1: TForm1");

        TAlienApplication panel_app(program.Platform, TModernProgram::PanelWindow);
        const Shown inside = Show(panel_app, TModernProgram::PanelWindow, TAlienPoint{20, 70});
        CHECK(inside.component == "Label3: TLabel");
        CHECK(inside.parent == "Panel1: TPanel");
        CHECK(inside.text == "Inside");
    }
}

TEST_CASE("each offset comes from a published property, an extended field or a measured rule") {
    using S = TOffsetSource;
    struct {
        const char* field;
        S in_2009;
        const char* evidence_2009;
        S in_xe2;
        const char* evidence_xe2;
    } cases[] = {
        {"Owner", S::StructuralRule, "first field of TComponent", S::ExtendedField, "FOwner"},
        {"Name", S::PublishedProperty, "Name", S::PublishedProperty, "Name"},
        {"ComponentState", S::StructuralRule, "Tag + 16", S::ExtendedField, "FComponentState"},
        {"Parent", S::StructuralRule, "Left - 16", S::ExtendedField, "FParent"},
        {"Left", S::PublishedProperty, "Left", S::PublishedProperty, "Left"},
        {"ControlStyle", S::StructuralRule, "Height + 4", S::ExtendedField, "FControlStyle"},
        {"Visible", S::PublishedProperty, "Visible", S::PublishedProperty, "Visible"},
        {"Enabled", S::StructuralRule, "Visible + 1", S::ExtendedField, "FEnabled"},
        {"Text", S::StructuralRule, "HelpContext + 12", S::ExtendedField, "FText"},
        {"Font", S::PublishedProperty, "Font", S::PublishedProperty, "Font"},
        {"Controls", S::StructuralRule, "TabStop - 12", S::ExtendedField, "FControls"},
        {"Handle", S::WindowHandle, "the cell holding the window handle", S::ExtendedField, "FHandle"},
        {"Resource", S::StructuralRule, "Color - 8", S::ExtendedField, "FResource"},
        {"PixelsPerInch", S::StructuralRule, "Color + 4", S::ExtendedField, "FPixelsPerInch"},
        {"FontResource", S::RecordShape, "height at 20, style at 29, face name at 31", S::RecordType,
         "TResource.Font: Height, Style, Name"},
    };
    for (TModernGeneration generation : Generations) {
        CAPTURE(GenerationName(generation));
        const bool xe2 = generation == TModernGeneration::XE2;
        TModernProgram program(generation);
        TAlienApplication app(program.Platform, TModernProgram::ButtonWindow);
        TAlienControl* button = FindComponent(app, TModernProgram::ButtonWindow, std::nullopt);
        REQUIRE(button);
        std::vector<TOffsetOrigin> origins = app.ModernLayoutOf(program.Button)->Origins;
        const std::vector<TOffsetOrigin> font = app.ModernLayoutOf(program.ButtonFont)->Origins;
        origins.insert(origins.end(), font.begin(), font.end());
        for (const auto& c : cases) {
            CAPTURE(c.field);
            auto found = std::find_if(origins.begin(), origins.end(),
                                      [&](const TOffsetOrigin& o) { return o.Field == c.field; });
            REQUIRE(found != origins.end());
            CHECK(found->Source == (xe2 ? c.in_xe2 : c.in_2009));
            CHECK(found->Evidence == (xe2 ? c.evidence_xe2 : c.evidence_2009));
        }
        const TObjectLayout& layout = app.ModernLayoutOf(program.Button)->Layout;
        const TModernOffsets& o = program.Model.Offsets;
        CHECK(std::vector<std::uint32_t>{layout.Parent, layout.Text, layout.Controls, layout.Handle} ==
              std::vector<std::uint32_t>{o.Parent, o.Text, o.Controls, o.Handle});
    }
}

TEST_CASE("a form that publishes no TabStop learns it from the classes of its components") {
    TModernProgram program(TModernGeneration::Delphi2009);
    TAlienApplication app(program.Platform, TModernProgram::FormWindow);
    TAlienWinControl* form = app.WinControlOf(TModernProgram::FormWindow);
    REQUIRE(form);
    CHECK(form->Controls()->Count() == 2);

    // Without components whose class publishes it, the form's layout stays unknown: nothing is shown.
    TModernProgram alone(TModernGeneration::Delphi2009);
    alone.Model.SetComponents(alone.Form, {alone.Label1});
    TAlienApplication alone_app(alone.Platform, TModernProgram::FormWindow);
    CHECK(alone_app.IsModern());
    CHECK_THROWS_AS(FindComponent(alone_app, TModernProgram::FormWindow, std::nullopt), ui::EAbort);
    // Once a button's window was looked up, its class has taught the offset to the whole program.
    FindComponent(alone_app, TModernProgram::ButtonWindow, std::nullopt);
    CHECK(FindComponent(alone_app, TModernProgram::FormWindow, std::nullopt)->Name() == "Form1");
}

TEST_CASE("class knowledge is read once; a repeated lookup reads nothing") {
    for (TModernGeneration generation : Generations) {
        CAPTURE(GenerationName(generation));
        TModernProgram program(generation);
        TAlienApplication app(program.Platform, TModernProgram::FormWindow);
        auto reads_of = [&](auto lookup) {
            const std::size_t before = program.Memory.Reads;
            lookup();
            return program.Memory.Reads - before;
        };
        const std::size_t first = reads_of([&] {
            FindComponent(app, TModernProgram::FormWindow, TAlienPoint{20, 60});
        });
        CHECK(reads_of([&] { FindComponent(app, TModernProgram::FormWindow, TAlienPoint{20, 60}); }) == 0);
        // Another object of known classes costs only its own slices.
        const std::uint32_t second = program.Model.Control(
            {.Class = "TLabel", .Name = "Label2", .Parent = program.Form, .Width = 5, .Height = 5});
        const std::size_t other = reads_of([&] { app.ControlProxy(second)->Name(); });
        MESSAGE("reads: first lookup " << first << ", a label of a known class " << other);
        CHECK(other <= 4);  // class pointer, component part, control part, name
        CHECK(first > other);
    }
}

TEST_CASE("UnicodeStrings and UTF-16 texts are read bounded") {
    TModernProgram program(TModernGeneration::XE2);
    TModelMemory& memory = program.Memory;
    const auto unicode = [&](std::uint16_t code_page, std::uint16_t element, std::uint32_t length,
                             const std::u16string& units) {
        const std::uint32_t block = memory.Allocate(12 + 2 * units.size() + 2) + 12;
        memory.Put16(block - 12, code_page);
        memory.Put16(block - 10, element);
        memory.Put32(block - 4, length);
        for (std::size_t i = 0; i < units.size(); ++i)
            memory.Put16(block + 2 * static_cast<std::uint32_t>(i), units[i]);
        return block;
    };
    const std::u16string long_text(5000, u'x');
    struct {
        const char* what;
        std::uint32_t at;
        std::string text;
    } cases[] = {
        {"plain", unicode(1200, 2, 5, u"Hello"), "Hello"},
        {"a surrogate pair and a lone surrogate", unicode(1200, 2, 4, u"\U0001F600a\xD800"),
         "\xF0\x9F\x98\x80"
         "a\xEF\xBF\xBD"},
        {"a length of 2^31 - 1", unicode(1200, 2, 0x7FFFFFFF, long_text), std::string(4096, 'x')},
        {"a negative length", unicode(1200, 2, 0x80000000, u"abc"), ""},
        {"element size 1", unicode(1200, 1, 3, u"abc"), ""},
        {"another code page", unicode(1252, 2, 3, u"abc"), ""},
        {"unmapped", 0xDEAD0000, ""},
    };
    TAlienApplication app(program.Platform, TModernProgram::FormWindow);
    for (const auto& c : cases) {
        CAPTURE(c.what);
        CHECK(app.ReadUnicodeString(c.at) == c.text);
    }
    // Texts that run into the end of readable memory keep what could be read.
    const std::uint32_t tail_name = unicode(1200, 2, 1000, u"edge");
    const std::uint32_t tail_text = memory.Allocate(6);
    memory.Write(tail_text, "o\0k\0!\0", 6);
    CHECK(app.ReadUnicodeString(tail_name).size() == (program.Memory.End() - tail_name) / 2);
    CHECK(app.ReadPWideCharString(tail_text) == "ok!");
    CHECK(app.ReadPWideCharString(program.Model.WideText(std::string(5000, 'y'))) == std::string(4096, 'y'));
}
