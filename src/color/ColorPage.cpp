#include "color/ColorPage.h"

#include <algorithm>
#include <vector>

#include "Resource.h"
#include "base/IntegerText.h"
#include "base/ScopeGuard.h"
#include "color/ColorDialogFill.h"
#include "color/ColorKeyFilters.h"
#include "color/Magnifier.h"
#include "ui/Application.h"

namespace {

constexpr int kLabelX = 8, kLabelWidth = 70, kEditX = 80, kRowHeight = 24;

ui::Bounds LabelRow(int row) { return {kLabelX, 11 + row * kRowHeight, kLabelWidth, 13}; }
ui::Bounds EditRow(int row, int width) { return {kEditX, 8 + row * kRowHeight, width, 21}; }

std::uint32_t CurrentSystemColor(int index) { return static_cast<std::uint32_t>(::GetSysColor(index)); }

std::vector<std::wstring> ListItems(const ui::ListBox& list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < list.count(); ++i) items.push_back(list.item(i));
    return items;
}

}  // namespace

void TClickablePicture::command(WORD code) {
    if ((code == STN_CLICKED || code == STN_DBLCLK) && on_click) on_click();
}

TColorPage::TColorPage(TColorHost& host) : host_(host), model_(CurrentSystemColor) {}

void TColorPage::Create(HWND page) {
    const TColorEdit::KeyFilter web = [](wchar_t key, const TColorEdit& box) {
        return FilterWebColorKey(key, box.text(), box.caret());
    };
    const TColorEdit::KeyFilter hex = [](wchar_t key, const TColorEdit&) { return FilterHexKey(key); };
    const TColorEdit::KeyFilter decimal = [](wchar_t key, const TColorEdit&) {
        return FilterDecimalKey(key);
    };
    struct Row {
        ui::Label& label;
        const wchar_t* caption;
        TColorEdit& edit;
        int width, max_length;
        const TColorEdit::KeyFilter& filter;
    };
    const TColorEdit::KeyFilter none;
    const Row rows[kColorBoxCount] = {
        {LabelWebColor, L"W&eb color:", EditWebColor, 70, 7, web},
        {LabelColorHex, L"He&x value:", EditColorHex, 70, 6, hex},
        {LabelColorDez, L"&Decimal:", EditColorDez, 70, 8, decimal},
        {LabelColorTColor, L"Color &name:", EditColorTColor, 130, 0, none},
        {LabelColorR, L"&Red:", EditColorR, 40, 0, decimal},
        {LabelColorG, L"&Green:", EditColorG, 40, 0, decimal},
        {LabelColorB, L"&Blue:", EditColorB, 40, 0, decimal},
    };
    for (int i = 0; i < static_cast<int>(kColorBoxCount); ++i) {
        const Row& row = rows[i];
        row.label.create(page, row.caption, LabelRow(i));
        row.edit.create(page, EditRow(i, row.width), row.max_length, row.filter);
        const auto box = static_cast<TColorBox>(i);
        row.edit.on_change = [this, box] { EditColorChange(box); };
        if (box == cbRed || box == cbGreen || box == cbBlue)
            row.edit.on_exit = [this, box] { EditColorRGBExit(box); };
    }

    // The swatch paints 31 by 87 pixels inside its bevel.
    ColorView.create(page, {130, 104, 35, 91}, true);
    ColorView.on_paint = [this](HDC dc, const RECT& client) { ColorViewPaint(dc, client); };
    ImageWebUnsafe.create(page, {176, 104, 32, 32}, true);
    web_unsafe_icon_.reset(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_WEB_UNSAFE), IMAGE_ICON, 32, 32, 0)));
    ImageWebUnsafe.set_icon(web_unsafe_icon_.get());
    ImageWebUnsafe.set_visible(false);
    ImageWebUnsafe.on_click = [this] { ImageWebUnsafeClick(); };
    hints_.create();
    hints_.add(ImageWebUnsafe.handle(), L"Click to get nearest WebColor");

    Pipette.Create(page, {214, 8, 33, 33});
    CheckBoxEmptyPipette.create(page, L"Empty pipette in color dialog", {kLabelX, 200, 200, 17});
    LabelZoomFactor.create(page, L"Zoomfactor:", {kLabelX, 225, 60, 13});
    ComboBoxZoomFactor.create(page, {70, 221, 42, 21}, 4);
    for (const wchar_t* factor : {L"2", L"4", L"6", L"8"}) ComboBoxZoomFactor.add(factor);
    ComboBoxZoomFactor.set_selected(0);
    ComboBoxZoomFactor.on_change = [this] { ComboBoxZoomFactorChange(); };
    Label21.create(page, L"Ctrl-key magnifies the part under the pipette", {120, 219, 150, 28}, SS_CENTER);

    LabelSysColors.create(page, L"Matching system colors:", {kLabelX, 252, 150, 13});
    ListBoxSysColors.create(page, {kLabelX, 268, 262, 40});

    page_hook_.install(page, [this](const ui::WindowHook::Call& call) { return PageMessage(call); });
}

LRESULT TColorPage::PageMessage(const ui::WindowHook::Call& call) {
    // The magnifier's note is written in blue.
    if (call.msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(call.lp) == Label21.handle()) {
        const LRESULT brush = call.pass_on();
        ::SetTextColor(reinterpret_cast<HDC>(call.wp), RGB(0, 0, 255));
        return brush;
    }
    return call.pass_on();
}

TColorEdit& TColorPage::Box(TColorBox box) {
    TColorEdit* boxes[kColorBoxCount] = {&EditWebColor, &EditColorHex, &EditColorDez, &EditColorTColor,
                                         &EditColorR,   &EditColorG,   &EditColorB};
    return *boxes[box];
}

void TColorPage::Start() { Apply(model_.Start()); }

void TColorPage::ShowColor(std::int32_t color) { Apply(model_.ShowColor(color)); }

void TColorPage::EditColorChange(TColorBox box) {
    if (!writing_) Apply(model_.EditChanged(box, Box(box).text()));
}

void TColorPage::EditColorRGBExit(TColorBox box) {
    if (!writing_) Apply(model_.EditExit(box));
}

void TColorPage::ImageWebUnsafeClick() { Apply(model_.WebUnsafeClick()); }

void TColorPage::ColorViewPaint(HDC dc, const RECT& client) {
    ui::unique_brush brush(::CreateSolidBrush(model_.View().SwatchRgb));
    ::FillRect(dc, &client, brush.get());
}

void TColorPage::Apply(const TColorUpdate& update) {
    {
        ScopedFlag writing(writing_);
        for (std::size_t i = 0; i < kColorBoxCount; ++i) WriteBox(static_cast<TColorBox>(i), update.Texts[i]);
    }
    if (update.View) {
        ColorView.repaint();
        ImageWebUnsafe.set_visible(update.View->WebUnsafe);
        if (ListItems(ListBoxSysColors) != update.View->SystemColors) {
            ListBoxSysColors.clear();
            for (const std::wstring& name : update.View->SystemColors) ListBoxSysColors.add(name);
        }
    }
    if (update.Status) host_.ShowStatus(*update.Status);
    if (update.Error) ui::Application::instance().show_error(*update.Error);
}

void TColorPage::WriteBox(TColorBox box, const std::wstring& text) {
    TColorEdit& edit = Box(box);
    if (edit.text() == text) return;
    // A box rewritten while the user types in it ("300" clamped to "255") keeps the caret where it was,
    // as far as the new text reaches.
    const bool typing = ::GetFocus() == edit.handle();
    DWORD start = 0, end = 0;
    ::SendMessageW(edit.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    edit.set_text(text);
    if (typing) edit.select(std::min(static_cast<int>(end), static_cast<int>(text.size())), 0);
}

void TColorPage::UseMagnifier(TMagnifierForm* magnifier) {
    magnifier_ = magnifier;
    if (magnifier_) ComboBoxZoomFactorChange();
}

void TColorPage::ComboBoxZoomFactorChange() {
    const std::optional<std::int32_t> factor = ReadInteger(ComboBoxZoomFactor.selected_text());
    if (magnifier_ && factor) magnifier_->SetZoom(*factor);
}

void TColorPage::ShowMagnifier(std::optional<POINT> cursor) {
    if (!Pipette.Active() || !magnifier_ || magnifier_->Visible()) return;
    if (cursor) {
        magnifier_->ShowAt(*cursor, *cursor);
        return;
    }
    POINT at{};
    ::GetCursorPos(&at);
    magnifier_->ShowAt(at, ScreenCursorPos());
}

void TColorPage::HideMagnifier() {
    if (magnifier_ && magnifier_->Visible()) magnifier_->Hide();
}

void TColorPage::PipetteStarted() { model_.ForgetLastColor(); }

void TColorPage::PipetteMoved(POINT at) {
    if (CheckBoxEmptyPipette.checked()) return;
    // A failed read is no color: it is not shown.
    if (const std::optional<COLORREF> pixel = ReadScreenPixel(at))
        ShowColor(static_cast<std::int32_t>(*pixel));
}

void TColorPage::PipetteReleased(POINT at) {
    if (!CheckBoxEmptyPipette.checked()) return;
    // The mode serves one release.
    CheckBoxEmptyPipette.set_checked(false);
    FillColorDialog(::RealChildWindowFromPoint(::GetDesktopWindow(), at), EditColorR.text(),
                    EditColorG.text(), EditColorB.text());
}
