#include "alien/DelphiVclCopy.h"

#include "alien/DelphiVclPage.h"
#include "base/FieldLines.h"

std::wstring DelphiVclCopyText(const TDelphiVclPage& page) {
    const std::pair<const ui::Label&, const ui::Edit&> boxes[] = {
        {page.LabelText, page.EditText},     {page.LabelComponent, page.EditComponent},
        {page.LabelFont, page.EditFont},     {page.LabelBounds, page.EditBounds},
        {page.LabelClient, page.EditClient}, {page.LabelParent, page.EditParent},
        {page.LabelOwner, page.EditOwner},   {page.LabelVersion, page.EditVersion},
    };
    std::wstring lines;
    for (const auto& [label, box] : boxes) AppendFieldLine(lines, label.text(), box.text());
    std::wstring classes;
    for (int i = 0; i < page.ListHierarchy.count(); ++i)
        classes += (i ? L", " : L"") + page.ListHierarchy.item(i);
    AppendFieldLine(lines, page.LabelHierarchy.text(), classes);
    return lines;
}
