#include "color/ColorDialogFill.h"

#include <string_view>
#include <utility>

#include "base/AsciiText.h"
#include "components/GkGeneral.h"

namespace {

bool HasClass(HWND window, std::wstring_view name) {
    wchar_t class_name[32] = {};
    const int length = window ? ::GetClassNameW(window, class_name, 32) : 0;
    return length > 0 && SameTextAscii(std::wstring_view(class_name, static_cast<std::size_t>(length)), name);
}

}  // namespace

bool IsColorDialog(HWND window) {
    if (!HasClass(window, L"#32770")) return false;
    for (int id : {kColorDialogRedId, kColorDialogGreenId, kColorDialogBlueId})
        if (!HasClass(::GetDlgItem(window, id), L"Edit")) return false;
    return true;
}

bool FillColorDialog(HWND window, const std::wstring& red, const std::wstring& green,
                     const std::wstring& blue) {
    if (!IsColorDialog(window) || !WindowResponds(window)) return false;
    const std::pair<int, const std::wstring*> fields[] = {
        {kColorDialogRedId, &red}, {kColorDialogGreenId, &green}, {kColorDialogBlueId, &blue}};
    for (const auto& [id, text] : fields)
        ::SendMessageW(::GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text->c_str()));
    return true;
}
