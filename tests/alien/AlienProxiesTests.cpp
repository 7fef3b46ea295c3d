#include <doctest.h>

#include <string>
#include <vector>

#include "alien/AlienAccess.h"
#include "alien/AlienImage.h"

namespace {

std::string NameOf(const TAlienControl* control) { return control ? control->Name() : "(none)"; }

}  // namespace

TEST_CASE("a window control's fields in every layout") {
    for (int version : {3, 5, 6, 7}) {
        CAPTURE(version);
        TAlienProgram program(version);
        TVclImage& image = program.Image;
        const std::uint32_t label = image.Control({.Class = image.TLabel,
                                                   .Owner = program.Form,
                                                   .State = 0x0102,
                                                   .Parent = program.Form,
                                                   .Left = 30,
                                                   .Top = 40,
                                                   .Width = 50,
                                                   .Height = 13,
                                                   .Style = 0x00120400,
                                                   .Visible = true,
                                                   .Enabled = false,
                                                   .Text = "Caption"});
        program.SetChildren({program.Button, label});
        TAlienApplication app(program.Platform, TAlienProgram::ButtonWindow);
        TAlienWinControl* button = app.WinControlOf(TAlienProgram::ButtonWindow);
        REQUIRE(button);
        CHECK(button->Name() == "Button1");
        CHECK(button->ClassName() == "TButton");
        CHECK(button->Text() == "Button1");
        CHECK(button->Handle() == TAlienProgram::ButtonWindow);
        CHECK(button->BoundsRect() == TAlienRect{16, 8, 91, 33});
        CHECK(button->ClientRect() == TAlienRect{0, 0, 75, 25});
        CHECK(button->Visible());
        CHECK(button->Enabled());
        CHECK(button->Controls()->Count() == 0);
        REQUIRE(button->Owner());
        CHECK(button->Owner()->Name() == "Form1");
        TAlienWinControl* form = button->Parent();
        REQUIRE(form);
        CHECK(form->Address() == program.Form);
        CHECK(form->Handle() == TAlienProgram::FormWindow);
        CHECK(form->Parent() == nullptr);
        CHECK(form->Owner() == nullptr);
        CHECK(form->ClientRect() == TAlienRect{0, 0, 392, 273});
        CHECK(ClassHierarchy(button->ClassType()) ==
              std::vector<std::string>{"TButton", "TButtonControl", "TWinControl", "TControl", "TComponent",
                                       "TPersistent", "TObject"});

        TAlienFont* font = button->Font();
        REQUIRE(font);
        CHECK(font->Name() == "MS Sans Serif");
        CHECK(font->Size() == 8);
        CHECK(font->PixelsPerInch() == 96);
        CHECK(font->Style() == 0x01);
        CHECK(static_cast<std::uint32_t>(font->Color()) == 0xFF000008u);

        REQUIRE(form->Controls()->Count() == 2);
        TAlienControl* child = app.ControlProxy(form->Controls()->Items(1));
        CHECK(child->Name().empty());
        CHECK(child->ClassName() == "TLabel");
        CHECK(child->ComponentState() == 0x0102);
        CHECK(child->ControlStyle() == (version == 3 ? 0x0400u : 0x00120400u));
        CHECK(child->Visible());
        CHECK_FALSE(child->Enabled());
        CHECK(child->Font() == nullptr);
        CHECK(child->BoundsRect() == TAlienRect{30, 40, 80, 53});
        CHECK(child->ClientRect() == TAlienRect{0, 0, 50, 13});
    }
}

TEST_CASE("font size, style and face from the resource record") {
    struct {
        std::int32_t height, pixels_per_inch, size;
    } sizes[] = {{-11, 96, 8}, {-13, 96, 10}, {-16, 120, 10}, {16, 96, -12}, {-11, 0, 1}};
    for (const auto& c : sizes) {
        CAPTURE(c.height);
        CAPTURE(c.pixels_per_inch);
        TAlienProgram program(5);
        const std::uint32_t font =
            program.Image.Font({.Height = c.height, .PixelsPerInch = c.pixels_per_inch});
        TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
        CHECK(app.FontProxy(font)->Size() == c.size);
    }
    TAlienProgram program(3);
    const std::uint32_t long_face = program.Image.Font({.Face = std::string(40, 'F'), .Style = 0x05});
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    CHECK(app.FontProxy(long_face)->Name() == std::string(32, 'F'));
    CHECK(app.FontProxy(long_face)->Style() == 0x05);
    CHECK(app.FontProxy(long_face)->Height() == -11);
}

TEST_CASE("list items are checked against the count") {
    TAlienProgram program(6);
    TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
    TAlienList* list = app.ListProxy(program.Image.List({0x1111, 0x2222}));
    CHECK(list->Count() == 2);
    CHECK(list->Items(1) == 0x2222);
    for (std::int32_t index : {2, -1}) {
        try {
            list->Items(index);
            FAIL("no exception");
        } catch (const EListError& e) {
            CHECK(e.message() == L"List index out of bounds (" + std::to_wstring(index) + L")");
        }
    }
}

TEST_CASE("ControlAtPos answers the last child under the point that is shown or designed") {
    for (int version : {3, 5, 6, 7}) {
        CAPTURE(version);
        TAlienProgram program(version);
        TVclImage& image = program.Image;
        auto child = [&](const char* name, std::int32_t left, std::int32_t top, TControlSpec shape = {}) {
            shape.Class = shape.Class ? shape.Class : image.TLabel;
            shape.Name = name;
            shape.Parent = program.Form;
            shape.Left = left;
            shape.Top = top;
            shape.Width = 50;
            shape.Height = 20;
            return image.Control(shape);
        };
        const std::uint32_t inner = child("Inner", 0, 0);
        const std::uint32_t panel = image.WinControl({.Class = image.TWinControl,
                                                      .Name = "Panel1",
                                                      .Left = 400,
                                                      .Width = 100,
                                                      .Height = 100,
                                                      .Children = {inner}});
        program.SetChildren({
            child("Under", 0, 0),
            child("Over", 10, 5),
            child("Disabled", 100, 0, {.Enabled = false}),
            child("Designed", 200, 0, {.State = 0x10, .Visible = false}),
            child("DesignHidden", 250, 0, {.State = 0x10, .Style = 0x400, .Visible = false}),
            child("Hidden", 300, 0, {.Visible = false}),
            child("DesignShown", 350, 0, {.State = 0x10, .Style = 0x400, .Visible = true, .Enabled = false}),
            0,
            panel,
        });
        struct {
            TAlienPoint point;
            bool allow_disabled;
            const char* found;
        } cases[] = {
            {{15, 10}, true, "Over"},         {{5, 2}, true, "Under"},      {{59, 24}, true, "Over"},
            {{60, 10}, true, "(none)"},  // right edge of Over
            {{5, 25}, true, "(none)"},        {{105, 5}, true, "Disabled"}, {{105, 5}, false, "(none)"},
            {{205, 5}, false, "Designed"},    {{255, 5}, true, "(none)"},   {{305, 5}, true, "(none)"},
            {{355, 5}, false, "DesignShown"}, {{410, 10}, true, "Panel1"},  {{-1, -1}, true, "(none)"},
        };
        TAlienApplication app(program.Platform, TAlienProgram::FormWindow);
        TAlienWinControl* form = app.WinControlOf(TAlienProgram::FormWindow);
        for (const auto& c : cases) {
            CAPTURE(c.point.X);
            CAPTURE(c.point.Y);
            CAPTURE(c.allow_disabled);
            CHECK(NameOf(form->ControlAtPos(c.point, c.allow_disabled)) == c.found);
        }
        // Children are control proxies even when they have a window of their own.
        CHECK(dynamic_cast<TAlienWinControl*>(form->ControlAtPos({410, 10}, true)) == nullptr);
    }
}
