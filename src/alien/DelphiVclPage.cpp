#include "alien/DelphiVclPage.h"

#include <cstdio>

#include "alien/AlienAccess.h"
#include "color/ColorNames.h"
#include "ui/Text.h"
#include "window/AttributesPage.h"

namespace {

std::wstring NameAndClass(TAlienComponent* component) {
    if (!component) return L"nil";
    return ui::ansi_to_wide(component->Name() + ": " + component->ClassName());
}

RECT ToRect(const TAlienRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

std::string AlienFontText(const std::string& face, int size, unsigned style, std::int32_t color) {
    std::string text = face + ", " + std::to_string(size) + " pt";
    static const char* const kStyles[] = {"Bold", "Italic", "Underlined", "Striked out"};
    std::string styles;
    for (unsigned bit = 0; bit < 4; ++bit) {
        if (!(style & (1u << bit))) continue;
        if (!styles.empty()) styles += ", ";
        styles += kStyles[bit];
    }
    if (!styles.empty()) text += ", " + styles;
    return text + ", " + ColorToString(color);
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
    EditVersion.set_text(application ? std::to_wstring(application->Version()) : L"");
    ListHierarchy.clear();
    if (!component) {
        for (ui::Edit* box :
             {&EditText, &EditComponent, &EditFont, &EditBounds, &EditClient, &EditParent, &EditOwner})
            box->set_text(L"");
        return;
    }
    EditText.set_text(ui::ansi_to_wide(component->Text()));
    EditComponent.set_text(NameAndClass(component));
    // Intact controls always have a font; a pointer of 0 (a broken object) shows an empty line.
    TAlienFont* font = component->Font();
    EditFont.set_text(
        font ? ui::ansi_to_wide(AlienFontText(font->Name(), font->Size(), font->Style(), font->Color()))
             : L"");
    EditBounds.set_text(WindowRectText(ToRect(component->BoundsRect())));
    EditClient.set_text(ClientRectText(ToRect(component->ClientRect())));
    EditParent.set_text(NameAndClass(component->Parent()));
    EditOwner.set_text(NameAndClass(component->Owner()));
    for (const std::string& name : ClassHierarchy(component->ClassType()))
        ListHierarchy.add(ui::ansi_to_wide(name));
}
