#include "alien/DelphiVclPage.h"

#include <algorithm>

#include "alien/AlienAccess.h"
#include "base/ValueText.h"
#include "color/ColorNames.h"
#include "ui/Text.h"

namespace {

// Texts of the library up to version 7 are in the other program's code page, later ones UTF-8.
std::wstring Wide(const TAlienApplication& application, const std::string& text) {
    if (!application.TextsAreUtf8() || text.empty()) return ui::ansi_to_wide(text);
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::wstring NameAndClass(TAlienComponent* component) {
    if (!component) return L"nil";
    return Wide(component->Application(), component->Name() + ": " + component->ClassName());
}

}  // namespace

std::string AlienFontText(const std::string& face, int size, unsigned style, std::int32_t color) {
    // The library's font style set: bold, italic, underline and strike-out in bits 0 to 3.
    const TFontStyleWords words{style & 1 ? "Bold" : nullptr, (style & 2) != 0, (style & 4) != 0,
                                (style & 8) != 0};
    return FontText(face, size, words) + ", " + ColorToString(color);
}

void TDelphiVclPage::Create(HWND page) {
    struct Row {
        ui::Label& label;
        const wchar_t* caption;
        ui::Edit& edit;
    };
    const Row rows[] = {
        {LabelText, L"&Text/Caption:", EditText},
        {LabelComponent, L"&Component:", EditComponent},
        {LabelFont, L"&Font:", EditFont},
        {LabelBounds, L"&Bounds-Rect:", EditBounds},
        {LabelClient, L"&Client-Rect:", EditClient},
        {LabelParent, L"&Parent:", EditParent},
        {LabelOwner, L"&Owner:", EditOwner},
        {LabelVersion, L"&Version:", EditVersion},
    };
    int y = 10;
    for (const Row& row : rows) {
        row.label.create(page, row.caption, {8, y + 2, 70, 13});
        row.edit.create(page, {80, y, 190, 18}, true);
        y += 24;
    }
    LabelHierarchy.create(page, L"Class hierarchy:", {282, 10, 209, 13});
    ListHierarchy.create(page, {282, 26, 209, 172});
}

void TDelphiVclPage::Show(TAlienApplication* application, TAlienControl* component) {
    EditVersion.set_text(application ? ui::ansi_to_wide(application->VersionText()) : L"");
    ListHierarchy.clear();
    if (!component) {
        for (ui::Edit* box :
             {&EditText, &EditComponent, &EditFont, &EditBounds, &EditClient, &EditParent, &EditOwner})
            box->set_text(L"");
        return;
    }
    const TAlienApplication& alien = component->Application();
    EditText.set_text(Wide(alien, component->Text()));
    EditComponent.set_text(NameAndClass(component));
    // Intact controls always have a font; a pointer of 0 (a broken object) shows an empty line.
    TAlienFont* font = component->Font();
    EditFont.set_text(
        font ? Wide(alien, AlienFontText(font->Name(), font->Size(), font->Style(), font->Color())) : L"");
    const TAlienRect bounds = component->BoundsRect(), client = component->ClientRect();
    EditBounds.set_text(WindowRectText(bounds.Left, bounds.Top, bounds.Right, bounds.Bottom));
    EditClient.set_text(ClientRectText(client.Left, client.Top, client.Right, client.Bottom));
    EditParent.set_text(NameAndClass(component->Parent()));
    EditOwner.set_text(NameAndClass(component->Owner()));
    for (const std::string& name : ClassHierarchy(component->ClassType()))
        ListHierarchy.add(Wide(alien, name));
}
