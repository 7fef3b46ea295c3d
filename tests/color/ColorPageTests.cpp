// The Color tab in the main window of this process, driven with the messages typing produces.
#include <windows.h>

#include <doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "color/ColorNames.h"
#include "support/MainFormHarness.h"
#include "support/WideStringMaker.h"
#include "ui/Application.h"

namespace {

std::vector<std::wstring> shown_errors;
void CollectError(const std::wstring&, const std::wstring& text) { shown_errors.push_back(text); }

struct NoStoredSettings {
    NoStoredSettings() { ClearSettings(); }
};

// A fresh main window on the Color tab, shown (the swatch is read from the screen), error boxes
// collected.
struct ColorTab : NoStoredSettings {
    ColorTab() {
        shown_errors.clear();
        ui::Application::instance().set_error_sink(CollectError);
        form.show();
        ::SetWindowPos(form.handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
        ChooseTab(form, TMainForm::PageColor);
        ui::Application::instance().process_messages();
    }
    ~ColorTab() { ui::Application::instance().set_error_sink(nullptr); }

    // The seven boxes joined by "|": web, hex, decimal, name, red, green, blue.
    std::wstring Texts() {
        std::wstring joined;
        for (int i = 0; i < static_cast<int>(kColorBoxCount); ++i)
            joined += (i ? L"|" : L"") + page.Box(static_cast<TColorBox>(i)).text();
        return joined;
    }
    // Replaces a box's text by typing, character by character.
    void Retype(TColorBox box, const std::wstring& characters) {
        TColorEdit& edit = page.Box(box);
        edit.focus();
        SelectAll(edit);
        ::SendMessageW(edit.handle(), WM_CHAR, VK_BACK, 0);
        Type(edit, characters);
    }
    COLORREF Swatch() {
        ::UpdateWindow(page.ColorView.handle());
        ui::released_dc dc(page.ColorView.handle());
        return ::GetPixel(dc.get(), 15, 40);
    }
    std::vector<std::wstring> SystemColorList() {
        std::vector<std::wstring> items;
        for (int i = 0; i < page.ListBoxSysColors.count(); ++i)
            items.push_back(page.ListBoxSysColors.item(i));
        return items;
    }

    TMainForm form;
    TColorPage& page = form.Color;
};

// The names of the system colors whose current value is rgb, in the table's order.
std::vector<std::wstring> SystemColorsOf(COLORREF rgb) {
    std::vector<std::wstring> names;
    for (const TColorName& entry : ColorNames) {
        const auto value = static_cast<std::uint32_t>(entry.Value);
        if (value >> 24 == 0xFF && ::GetSysColor(static_cast<int>(value & 0xFF)) == rgb) {
            const std::string_view name = entry.Name;
            names.emplace_back(name.begin(), name.end());
        }
    }
    return names;
}

}  // namespace

TEST_CASE_FIXTURE(ColorTab, "the Color tab opens on black, with its controls as the user sees them") {
    CHECK(Texts() == L"#000000|000000|0|clBlack|0|0|0");
    CHECK(Swatch() == RGB(0, 0, 0));
    CHECK_FALSE(page.ImageWebUnsafe.visible());
    CHECK(SystemColorList() == SystemColorsOf(RGB(0, 0, 0)));
    CHECK_FALSE(SystemColorList().empty());
    CHECK(form.StatusText() == L"Ready");
    CHECK(page.Hints().text(page.ImageWebUnsafe.handle()) == L"Click to get nearest WebColor");
    // What the user can type into the notation boxes.
    const std::pair<TColorBox, LRESULT> limits[] = {{cbWebColor, 7}, {cbHex, 6}, {cbDecimal, 8}};
    for (const auto& [box, limit] : limits)
        CHECK(::SendMessageW(page.Box(box).handle(), EM_GETLIMITTEXT, 0, 0) == limit);
    CHECK_FALSE(page.CheckBoxEmptyPipette.checked());
    CHECK(page.CheckBoxEmptyPipette.text() == L"Empty pipette in color dialog");
    CHECK(page.ComboBoxZoomFactor.count() == 4);
    CHECK(page.ComboBoxZoomFactor.selected_text() == L"2");
    CHECK(page.ComboBoxZoomFactor.item(3) == L"8");
    CHECK(page.Label21.text() == L"Ctrl-key magnifies the part under the pipette");
    CHECK(page.LabelSysColors.text() == L"Matching system colors:");
    CHECK(ui::Application::instance().cursor(2) != nullptr);
}

TEST_CASE_FIXTURE(ColorTab, "typing into the notation boxes: every other box follows, the typed text stays") {
    Retype(cbHex, L"ff0000");
    CHECK(Texts() == L"#0000FF|ff0000|16711680|clBlue|0|0|255");
    CHECK(Swatch() == RGB(0, 0, 255));
    CHECK(form.StatusText() == L"Ready");
    Type(page.EditColorHex, L"0");  // a seventh digit is not taken
    Type(page.EditColorHex, L"g");  // nor a letter beyond F
    CHECK(page.EditColorHex.text() == L"ff0000");

    Retype(cbWebColor, L"#FF8000");
    CHECK(Texts() == L"#FF8000|0080FF|33023|(None)|255|128|0");
    CHECK(page.ImageWebUnsafe.visible());
    // A click on the indicator: the nearest web-safe color, written into the web box as if typed.
    ::SendMessageW(page.ImageWebUnsafe.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(page.ImageWebUnsafe.handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    CHECK(Texts() == L"#FF9900|0099FF|39423|(None)|255|153|0");
    CHECK_FALSE(page.ImageWebUnsafe.visible());
    CHECK(Swatch() == RGB(255, 153, 0));

    // "#" only into an empty box; a text without it is held to six characters.
    Type(page.EditWebColor, L"#");
    CHECK(page.EditWebColor.text() == L"#FF9900");
    Retype(cbWebColor, L"33CC66");
    Type(page.EditWebColor, L"1");
    CHECK(Texts() == L"33CC66|66CC33|6736947|(None)|51|204|102");
    CHECK_FALSE(page.ImageWebUnsafe.visible());

    // Eight nines exceed 0xFFFFFF: white; a ninth digit is not taken.
    Retype(cbDecimal, L"999999999");
    CHECK(Texts() == L"#FFFFFF|FFFFFF|99999999|clWhite|255|255|255");
    CHECK(shown_errors.empty());

    // What a failed screen read gives is no color.
    page.ShowColor(static_cast<std::int32_t>(CLR_INVALID));
    CHECK(Texts() == L"#FFFFFF|FFFFFF|99999999|clWhite|255|255|255");
}

TEST_CASE_FIXTURE(ColorTab, "a color name: a system color applies its current value and lists its peers") {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    Retype(cbName, L"clbtnface");
    CHECK(page.EditColorTColor.text() == L"clbtnface");
    CHECK(page.Model().LastColor() == static_cast<std::int32_t>(face));
    CHECK(page.EditColorR.text() == std::to_wstring(GetRValue(face)));
    CHECK(page.EditColorB.text() == std::to_wstring(GetBValue(face)));
    CHECK(Swatch() == face);
    const std::vector<std::wstring> peers = SystemColorsOf(face);
    CHECK(SystemColorList() == peers);
    CHECK(std::find(peers.begin(), peers.end(), L"clBtnFace") != peers.end());

    // Each character typed runs the lookup: on the way to clNone nothing is applied.
    Retype(cbName, L"clNon");
    CHECK(form.StatusText() == L"Invalid color value");
    CHECK(page.Model().LastColor() == static_cast<std::int32_t>(face));
    Type(page.EditColorTColor, L"e");
    CHECK(form.StatusText() == L"Ready");
    CHECK(Texts() == L"#FFFFFF|1FFFFFFF|536870911|clNone|255|255|255");
}

TEST_CASE_FIXTURE(ColorTab, "component boxes: clamped where typed, waiting while empty, 0 when left empty") {
    Retype(cbRed, L"300");
    CHECK(page.EditColorR.text() == L"255");
    CHECK(page.EditColorR.caret() == 3);  // the caret stays at the end of what was typed
    CHECK(Texts() == L"#FF0000|0000FF|255|clRed|255|0|0");
    ::SetWindowTextW(page.EditColorR.handle(), L"-5");  // pasted
    CHECK(page.EditColorR.text() == L"0");
    CHECK(page.EditColorHex.text() == L"000000");

    Retype(cbHex, L"123456");
    page.EditColorG.focus();
    SelectAll(page.EditColorG);
    ::SendMessageW(page.EditColorG.handle(), WM_CHAR, VK_BACK, 0);
    CHECK(page.EditColorG.text() == L"");
    CHECK(page.EditColorHex.text() == L"123456");
    page.EditColorB.focus();  // leaving the emptied box
    CHECK(page.EditColorG.text() == L"0");
    CHECK(Texts() == L"#560012|120056|1179734|(None)|86|0|18");
    CHECK(shown_errors.empty());
}

TEST_CASE_FIXTURE(ColorTab, "a text the integer conversion refuses goes to the error box; the color stays") {
    Retype(cbHex, L"123456");
    ::SetWindowTextW(page.EditColorHex.handle(), L"ff 0");  // pasted: the blank would pass the key filter too
    REQUIRE(shown_errors.size() == 1);
    CHECK(shown_errors[0] == L"'$ff 0' is not a valid integer value.");
    CHECK(Texts() == L"#563412|ff 0|1193046|(None)|86|52|18");

    // The next edit applies again.
    Retype(cbDecimal, L"255");
    CHECK(Texts() == L"#FF0000|0000FF|255|clRed|255|0|0");
    CHECK(shown_errors.size() == 1);
}
