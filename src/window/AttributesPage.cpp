#include "window/AttributesPage.h"

#include <utility>

#include "base/FieldLines.h"
#include "base/WindowHandleValue.h"
#include "components/GkGeneral.h"
#include "ui/Clipboard.h"
#include "ui/Text.h"
#include "window/WindowIcons.h"
#include "window/WindowStyleNames.h"

namespace {

// Pixel layout of the expanded page; the collapsed layout widens the left column's boxes.
constexpr int kLabelX = 6, kLabelWidth = 72, kEditX = 80, kEditWidth = 164, kRowHeight = 24, kRight = 252;

ui::Bounds LabelRow(int row) { return {kLabelX, 11 + row * kRowHeight, kLabelWidth, 13}; }
ui::Bounds EditRow(int row) { return {kEditX, 8 + row * kRowHeight, kEditWidth, 21}; }

}  // namespace

void TAttributesPage::Create(HWND page) {
    struct Row {
        ui::Label& label;
        const wchar_t* caption;
        ui::Edit& edit;
        bool read_only;
    };
    const Row rows[] = {
        {LabelCaption, L"&Text/Caption:", EditCaption, false},
        {LabelClassName, L"Class&name:", EditClassName, true},
        {LabelID, L"&ID:", EditID, true},
        {LabelFont, L"&Font:", EditFont, true},
        {LabelWindowRect, L"&Window-Rect:", EditWindowRect, true},
        {LabelClientRect, L"&Client-Rect:", EditClientRect, true},
        {LabelAppInstance, L"App-&Instance:", EditAppInstance, true},
        {LabelParentWnd, L"&ParentWnd:", EditParentWnd, true},
        {LabelOwnerWnd, L"&OwnerWnd:", EditOwnerWnd, true},
    };
    int row = 0;
    for (const Row& r : rows) {
        r.label.create(page, r.caption, LabelRow(row));
        r.edit.create(page, EditRow(row), r.read_only);
        ++row;
    }
    const int icons_top = 8 + row * kRowHeight + 4;
    IconBig.create(page, {kEditX, icons_top, 32, 32}, true);
    IconSmall.create(page, {kEditX + 40, icons_top, 32, 32}, true);
    ButtonSaveIcon.create(page, L"Save...", {kEditX + 84, icons_top + 5, 70, 23});
    ButtonCopy.create(page, L"Copy", {kLabelX, icons_top + 5, 66, 23});
    const int checks_top = icons_top + 42;
    CheckBoxEnabled.create(page, L"Enabled", {kLabelX, checks_top, 70, 17});
    CheckBoxVisible.create(page, L"Visible", {kEditX, checks_top, 64, 17});
    CheckBoxUnicode.create(page, L"Unicode", {kEditX + 84, checks_top, 70, 17});
    CheckBoxUnicode.set_enabled(false);

    GroupControlInfo.create(page, L"Information about the control", {kRight, 2, 240, 84});
    LabelAuthor.create(page, L"Author:", {kRight + 8, 20, 56, 13});
    EditAuthor.create(page, {kRight + 66, 16, 166, 21}, true);
    LabelPackage.create(page, L"Package:", {kRight + 8, 44, 56, 13});
    EditPackage.create(page, {kRight + 66, 40, 166, 21}, true);
    LabelWebsite.create(page, L"Website:", {kRight + 8, 66, 56, 13});
    HotLinkWebsite.create(page, L"", {kRight + 66, 66, 166, 13});

    HandleHistory.Create(page, kRight, 92);

    LabelStyle.create(page, L"Window-Style:", {kRight, 250, 110, 13});
    // Without a caption until the first refresh.
    ButtonStyle.create(page, L"", {kRight, 266, 110, 23});
    LabelExStyle.create(page, L"ExtWnd-Style:", {kRight + 130, 250, 110, 13});
    ButtonExStyle.create(page, L"", {kRight + 130, 266, 110, 23});
    ButtonProperties.create(page, L"Properties", {kRight, 296, 110, 23});
    ButtonProperties.set_visible(false);

    EditCaption.on_change = [this] { EditCaptionChange(); };
    CheckBoxVisible.on_click = [this] { CheckBoxVisibleClick(); };
    CheckBoxEnabled.on_click = [this] { CheckBoxEnabledClick(); };
    ButtonCopy.on_click = [this] { ButtonCopyClick(); };
    ButtonStyle.on_click = [this] { ButtonWindowStyleClick(); };
    ButtonExStyle.on_click = [this] { ButtonWindowStyleClick(); };
    ButtonSaveIcon.on_click = [this] { ButtonSaveIconClick(); };
}

void TAttributesPage::SetLayout(bool expanded, int edit_width) {
    ui::Control* right_column[] = {&GroupControlInfo, &LabelAuthor, &LabelPackage,   &LabelWebsite,
                                   &EditAuthor,       &EditPackage, &HotLinkWebsite, &LabelStyle,
                                   &LabelExStyle,     &ButtonStyle, &ButtonExStyle};
    for (ui::Control* control : right_column) control->set_visible(expanded);
    HandleHistory.SetVisible(expanded);
    ui::Edit* boxes[] = {&EditCaption,    &EditClassName,   &EditID,        &EditFont,    &EditWindowRect,
                         &EditClientRect, &EditAppInstance, &EditParentWnd, &EditOwnerWnd};
    for (ui::Edit* box : boxes) box->set_width(edit_width);
}

void TAttributesPage::ShowWindowInformation(const TWindowInformation& info) {
    EditCaption.set_text(info.Caption);
    EditClassName.set_text(info.ClassName);
    EditID.set_text(HexText8(static_cast<std::uint32_t>(info.ID)));
    EditFont.set_text(ui::ansi_to_wide(info.Font));
    CheckBoxEnabled.set_checked(info.Enabled);
    CheckBoxVisible.set_checked(info.Visible);
    CheckBoxUnicode.set_checked(info.Unicode);
    EditWindowRect.set_text(WindowRectText(info.WindowRect));
    EditClientRect.set_text(ClientRectText(info.ClientRect));
    EditAppInstance.set_text(HexText8(info.AppInstance));
    EditParentWnd.set_text(HexText8(HandleValue(info.ParentWnd)));
    EditOwnerWnd.set_text(HexText8(HandleValue(info.OwnerWnd)));
    // The icons belong to the inspected window: shown, never destroyed.
    IconBig.set_icon(info.IconBig);
    IconSmall.set_icon(info.IconSmall);
    icons_shown_ = true;
    ButtonStyle.set_text(HexText8(info.Style));
    ButtonExStyle.set_text(HexText8(info.ExStyle));
}

void TAttributesPage::AddToHandleHistory() {
    HandleHistory.Add(
        HandleHistoryEntry(HandleValue(host_.CurrentHandle()), EditClassName.text(), EditCaption.text()));
}

std::wstring TAttributesPage::CopyText() const {
    const auto box = [](const ui::Control& label, const ui::Control& value) {
        return std::pair{label.text(), value.text()};
    };
    const auto check = [](const ui::CheckBox& box) {
        return std::pair{box.text(), std::wstring(box.checked() ? L"Yes" : L"No")};
    };
    const std::pair<std::wstring, std::wstring> fields[] = {
        box(LabelCaption, EditCaption),
        box(LabelClassName, EditClassName),
        box(LabelID, EditID),
        box(LabelFont, EditFont),
        box(LabelWindowRect, EditWindowRect),
        box(LabelClientRect, EditClientRect),
        box(LabelAppInstance, EditAppInstance),
        box(LabelParentWnd, EditParentWnd),
        box(LabelOwnerWnd, EditOwnerWnd),
        check(CheckBoxEnabled),
        check(CheckBoxVisible),
        check(CheckBoxUnicode),
        box(LabelStyle, ButtonStyle),
        box(LabelExStyle, ButtonExStyle),
        box(LabelAuthor, EditAuthor),
        box(LabelPackage, EditPackage),
        box(LabelWebsite, HotLinkWebsite),
    };
    std::wstring lines;
    for (const auto& [caption, value] : fields) AppendFieldLine(lines, caption, value);
    return lines;
}

void TAttributesPage::ButtonCopyClick() {
    if (!ui::copy_to_clipboard(::GetAncestor(ButtonCopy.handle(), GA_ROOT), CopyText()))
        host_.ShowStatus(L"Cannot open the clipboard");
}

void TAttributesPage::ShowComponentInfo(const std::wstring& author, const std::wstring& package,
                                        const std::wstring& website) {
    EditAuthor.set_text(author);
    EditPackage.set_text(package);
    HotLinkWebsite.set_text(website);
    HotLinkWebsite.URL = website;
}

void TAttributesPage::ButtonWindowStyleClick() {
    const std::wstring style = ButtonStyle.text(), ex_style = ButtonExStyle.text();
    // Before the first refresh the buttons have no caption, and there is nothing to spell out.
    if (!StyleFromCaption(style) || !StyleFromCaption(ex_style)) return;
    if (!styles_dialog_) styles_dialog_ = std::make_unique<TWindowStylesDialog>();
    styles_dialog_->Execute(::GetAncestor(ButtonStyle.handle(), GA_ROOT), style, ex_style);
}

void TAttributesPage::ButtonSaveIconClick() {
    const std::optional<std::wstring> file_name =
        SaveDialog->execute(::GetAncestor(ButtonSaveIcon.handle(), GA_ROOT), {{L"Icons", L"*.ico"}});
    if (!file_name || !icons_shown_) return;
    SaveIconToFile(IconBig.icon(), *file_name);
}

void TAttributesPage::EditCaptionChange() {
    HWND target = host_.CurrentHandle();
    if (!host_.CurrentWindowResponds()) {
        host_.ShowStatus(L"Cannot change caption, as the window does not respond");
        return;
    }
    host_.ShowStatus(L"Ready");
    const std::wstring caption = EditCaption.text();
    if (!::IsWindow(target) || caption.empty() || host_.Updating()) return;
    if (IsWinNT()) {
        ::SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
    } else {
        const std::string ansi = ui::wide_to_ansi(caption);
        ::SendMessageA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
    }
    // The notification a control of the component library receives after its own text changed.
    constexpr UINT CM_TEXTCHANGED = 0xB012;
    ::SendMessageA(target, CM_TEXTCHANGED, 0, 0);
}

void TAttributesPage::CheckBoxVisibleClick() {
    ::ShowWindowAsync(host_.CurrentHandle(), CheckBoxVisible.checked() ? SW_SHOW : SW_HIDE);
}

void TAttributesPage::CheckBoxEnabledClick() {
    HWND target = host_.CurrentHandle();
    const bool enable = CheckBoxEnabled.checked();
    // EnableWindow waits for the window's thread to take WM_ENABLE: re-applying the state a window
    // already has would freeze Scrutel on a hung window for nothing, and a real change waits for it
    // only when it answers.
    if (::IsWindow(target) && (::IsWindowEnabled(target) != FALSE) == enable) return;
    if (::IsWindow(target) && !host_.CurrentWindowResponds()) {
        host_.ShowStatus(L"Cannot change the enabled state, as the window does not respond");
        return;
    }
    ::EnableWindow(target, enable);
}
