#pragma once
// The Delphi-VCL page: the alien component behind the picked window, its font, rectangles, parent,
// owner, the recognised library version and the class hierarchy.
#include <windows.h>

#include <string>

#include "ui/Controls.h"

class TAlienApplication;
class TAlienControl;

class TDelphiVclPage : public ui::PageContent {
public:
    void Create(HWND page) override;
    // Fills the page from the access object (none: empty version box) and the component (none:
    // empty boxes).
    void Show(TAlienApplication* application, TAlienControl* component);

    ui::Label LabelText, LabelComponent, LabelFont, LabelBounds, LabelClient, LabelParent, LabelOwner,
        LabelVersion, LabelHierarchy;
    ui::Edit EditText, EditComponent, EditFont, EditBounds, EditClient, EditParent, EditOwner, EditVersion;
    ui::ListBox ListHierarchy;
};

// The font line: face, size, style words and the color's constant name or "$" and eight digits.
std::string AlienFontText(const std::string& face, int size, unsigned style, std::int32_t color);
