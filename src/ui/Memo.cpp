#include "ui/Memo.h"

namespace ui {

void Memo::create(HWND parent, const Bounds& bounds, bool read_only, bool vertical_scroll_bar) {
    create_control(WC_EDITW, L"",
                   WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                       (read_only ? ES_READONLY : 0) | (vertical_scroll_bar ? WS_VSCROLL : 0),
                   WS_EX_CLIENTEDGE, parent, bounds);
}

void Memo::set_lines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
    set_text(text);
}

std::vector<std::wstring> Memo::lines() const {
    std::vector<std::wstring> lines;
    const std::wstring all = text();
    if (all.empty()) return lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = all.find(L"\r\n", start);
        lines.push_back(all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return lines;
        start = end + 2;
    }
}

}  // namespace ui
