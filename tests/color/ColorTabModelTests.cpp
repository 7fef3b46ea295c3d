#include <doctest.h>

#include "color/ColorTabModel.h"
#include "support/WideStringMaker.h"

namespace {

// Button face, menu and 3D light share a grey; window text and button text are black; every other
// system color has a value of its own.
std::uint32_t TestSystemColor(int index) {
    if (index == 15 || index == 4 || index == 22) return 0xD4D0C8;
    if (index == 8 || index == 18) return 0x000000;
    return 0x010203u * static_cast<unsigned>(index + 1);
}

// The seven boxes' texts joined by "|", in the order web, hex, decimal, name, red, green, blue.
void CheckTexts(const TColorUpdate& update, std::wstring_view expected) {
    std::wstring joined;
    for (const std::wstring& text : update.Texts) joined += (joined.empty() ? L"" : L"|") + text;
    CHECK(joined == expected);
}

struct Tab {
    TColorTabModel model{TestSystemColor};
    Tab() { model.Start(); }
};

}  // namespace

TEST_CASE("the tab opens on black") {
    TColorTabModel model(TestSystemColor);
    const TColorUpdate start = model.Start();
    CheckTexts(start, L"#000000|000000|0|clBlack|0|0|0");
    REQUIRE(start.View);
    CHECK(start.View->SwatchRgb == 0);
    CHECK_FALSE(start.View->WebUnsafe);
    CHECK(start.View->SystemColors == std::vector<std::wstring>{L"clBtnText", L"clWindowText"});
    CHECK(model.LastColor() == 0);
}

TEST_CASE("an edited notation box keeps its text and the others follow") {
    struct {
        TColorBox box;
        const wchar_t* typed;
        const wchar_t* texts;
        bool web_unsafe;
    } cases[] = {
        {cbHex, L"ff0000", L"#0000FF|ff0000|16711680|clBlue|0|0|255", false},
        {cbWebColor, L"#FF8000", L"#FF8000|0080FF|33023|(None)|255|128|0", true},
        {cbWebColor, L"#33CC66", L"#33CC66|66CC33|6736947|(None)|51|204|102", false},
        {cbDecimal, L"99999999", L"#FFFFFF|FFFFFF|99999999|clWhite|255|255|255", false},
        {cbName, L"CLRED", L"#FF0000|0000FF|255|CLRED|255|0|0", false},
        // Values above 24 bits are shown as one update: the web and component boxes hold their low bytes.
        {cbName, L"clnone", L"#FFFFFF|1FFFFFFF|536870911|clnone|255|255|255", false},
        {cbName, L"clDefault", L"#000000|20000000|536870912|clDefault|0|0|0", false},
        {cbHex, L"FF00000F", L"#0F0000|FF00000F|-16777201|clBtnFace|15|0|0", true},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.typed));
        Tab tab;
        const TColorUpdate update = tab.model.EditChanged(c.box, c.typed);
        CheckTexts(update, c.texts);
        CHECK(update.Status == L"Ready");
        CHECK_FALSE(update.Error);
        REQUIRE(update.View);
        CHECK(update.View->WebUnsafe == c.web_unsafe);
        CHECK(tab.model.Texts() == update.Texts);
    }
}

TEST_CASE("the nearest web-safe color is applied as if typed") {
    Tab tab;
    CHECK(tab.model.EditChanged(cbWebColor, L"#FF8000").View->WebUnsafe);
    const TColorUpdate snapped = tab.model.WebUnsafeClick();
    CheckTexts(snapped, L"#FF9900|0099FF|39423|(None)|255|153|0");
    REQUIRE(snapped.View);
    CHECK_FALSE(snapped.View->WebUnsafe);
}

TEST_CASE("a system color name applies its current value") {
    Tab tab;
    const TColorUpdate update = tab.model.EditChanged(cbName, L"clbtnface");
    CheckTexts(update, L"#C8D0D4|D4D0C8|13947080|clbtnface|200|208|212");
    REQUIRE(update.View);
    CHECK(update.View->SwatchRgb == 0xD4D0C8);
    CHECK(update.View->SystemColors == std::vector<std::wstring>{L"clBtnFace", L"clMenu", L"cl3DLight"});
    CHECK(tab.model.EditChanged(cbHex, L"123456").View->SystemColors.empty());
}

TEST_CASE("names that apply nothing") {
    Tab tab;
    tab.model.EditChanged(cbHex, L"ff0000");
    const TColorBoxTexts before = tab.model.Texts();
    for (const wchar_t* name : {L"clNon", L"(none)", L"", L"cl\u00E9"}) {
        CAPTURE(std::wstring(name));
        const TColorUpdate update = tab.model.EditChanged(cbName, name);
        CHECK(update.Status == L"Invalid color value");
        CHECK_FALSE(update.View);
        CHECK(update.Texts[cbHex] == before[cbHex]);
        CHECK(update.Texts[cbName] == name);
    }
    const TColorUpdate none = tab.model.EditChanged(cbName, L"(None)");
    CHECK(none.Status == L"Ready");
    CHECK_FALSE(none.View);
    CHECK(tab.model.LastColor() == 0xFF0000);
    CHECK(tab.model.EditChanged(cbHex, L"FFFFFFFF").Status == L"Invalid color value");
    CHECK(tab.model.LastColor() == 0xFF0000);
}

TEST_CASE("a text the integer conversion refuses leaves the color") {
    struct {
        TColorBox box;
        const wchar_t* typed;
        const wchar_t* error;
    } cases[] = {
        {cbHex, L"ff 0", L"'$ff 0' is not a valid integer value"},
        {cbWebColor, L"#12 4", L"'$12 4' is not a valid integer value"},
        {cbWebColor, L"##1", L"'$#1' is not a valid integer value"},
        {cbGreen, L"1-", L"'1-' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        CAPTURE(std::wstring(c.typed));
        Tab tab;
        tab.model.EditChanged(cbHex, L"123456");
        const TColorUpdate update = tab.model.EditChanged(c.box, c.typed);
        CHECK(update.Error == c.error);
        CHECK_FALSE(update.Status);
        CHECK_FALSE(update.View);
        CHECK(update.Texts[c.box] == c.typed);
        CHECK(update.Texts[cbDecimal] == L"1193046");
        CHECK(tab.model.LastColor() == 0x123456);
    }
}

TEST_CASE("component boxes clamp, wait while one is empty and become 0 when left empty") {
    Tab tab;
    CheckTexts(tab.model.EditChanged(cbRed, L"300"), L"#FF0000|0000FF|255|clRed|255|0|0");
    CHECK(tab.model.EditChanged(cbRed, L"-5").Texts[cbRed] == L"0");
    CHECK(tab.model.EditChanged(cbBlue, L"+07").Texts[cbBlue] == L"7");

    tab.model.EditChanged(cbHex, L"123456");
    const TColorUpdate emptied = tab.model.EditChanged(cbGreen, L"");
    CHECK_FALSE(emptied.View);
    CHECK(emptied.Texts[cbHex] == L"123456");
    CHECK(tab.model.EditExit(cbRed).Texts == emptied.Texts);  // only an empty box is filled
    const TColorUpdate left = tab.model.EditExit(cbGreen);
    CheckTexts(left, L"#560012|120056|1179734|(None)|86|0|18");
    CHECK(left.Status == L"Ready");

    // The red box is clamped before the green box's text is refused.
    tab.model.EditChanged(cbGreen, L"1x");
    const TColorUpdate refused = tab.model.EditChanged(cbRed, L"999");
    CHECK(refused.Error == L"'1x' is not a valid integer value");
    CHECK(refused.Texts[cbRed] == L"255");
    CHECK(tab.model.LastColor() == 0x120056);
}

TEST_CASE("colors from the pipette fill every box") {
    Tab tab;
    tab.model.EditChanged(cbHex, L"ff0000");
    CheckTexts(tab.model.ShowColor(0x00FF00), L"#00FF00|00FF00|65280|clLime|0|255|0");
    CHECK_FALSE(tab.model.ShowColor(0x00FF00).View);  // the color last shown
    CHECK_FALSE(tab.model.ShowColor(-1).View);        // a failed pixel read
    tab.model.ForgetLastColor();
    CHECK(tab.model.LastColor() == -1);
    CHECK_FALSE(tab.model.ShowColor(-1).View);
    const TColorUpdate again = tab.model.ShowColor(0x00FF00);
    REQUIRE(again.View);
    CHECK(again.Status == L"Ready");
    CHECK(tab.model.View().Color == 0x00FF00);
}
