#include "link/LinkPage.h"

#include <shellapi.h>

#include "base/AsciiText.h"
#include "components/GkGeneral.h"
#include "link/Association.h"

TLinkPage::TLinkPage() {
    ShellOpen = [](const std::wstring& program, const std::wstring& parameters) {
        ::ShellExecuteW(nullptr, L"open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    };
}

void TLinkPage::Create(HWND page) {
    const auto labelled_box = [page](ui::Label& label, const wchar_t* caption, ui::Edit& box, int top,
                                     bool read_only) {
        label.create(page, caption, {8, top + 3, 70, 13});
        box.create(page, {80, top, 190, 21}, read_only);
    };
    labelled_box(LabelFileExt, L"File&extension:", EditFileExt, 8, false);
    labelled_box(LabelFileType, L"File&type:", EditFileType, 32, true);
    labelled_box(LabelProgramDescr, L"&Description:", EditProgramDescr, 104, true);
    labelled_box(LabelProgramFileName, L"&Filename:", EditProgramFileName, 128, true);
    ProgramIcon.create(page, {80, 62, 32, 32}, true);
    ButtonSearch.create(page, L"&Search target...", {80, 156, 110, 23});

    EditFileExt.on_change = [this] { EditFileExtChange(); };
    ButtonSearch.on_click = [this] { ButtonSearchClick(); };
}

void TLinkPage::ShowAssociation(const std::wstring& name) {
    TAssociation association = ReadAssociation(name);
    EditProgramFileName.set_text(association.ProgramFileName);
    EditFileType.set_text(association.TypeDescription);
    EditProgramDescr.set_text(association.ProgramDescription);
    ShowIcon(std::move(association.Icon));
}

void TLinkPage::ShowShortcut(const std::wstring& file) {
    if (!FileExists(file) || LowerAscii<wchar_t>(ExtractFileExt(file)) != L".lnk") return;
    EditProgramFileName.set_text(ResolveShortcut(file));
    ShowIcon(ui::unique_icon(ShortcutOverlayIcon()));
}

void TLinkPage::ShowIcon(ui::unique_icon icon) {
    ProgramIcon.set_icon(icon.get());
    icon_ = std::move(icon);
}

void TLinkPage::EditFileExtChange() {
    const std::wstring text = EditFileExt.text();
    ShowAssociation(text);
    ShowShortcut(text);
}

void TLinkPage::FileDropped(const std::wstring& file) {
    EditFileExt.set_text(ExtractFileExt(file));
    ShowAssociation(file);
    ShowShortcut(file);
}

void TLinkPage::ButtonSearchClick() {
    const std::wstring file = EditProgramFileName.text();
    // Quoted, so that a name with blanks or commas selects this file and not a part of its name.
    if (FileExists(file)) ShellOpen(L"explorer.exe", L"/select,\"" + file + L"\"");
}
