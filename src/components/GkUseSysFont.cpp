#include "components/GkUseSysFont.h"

#include "base/AsciiText.h"

namespace {

// The direct children of a window, in their order.
std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

}  // namespace

void TGkUseSysFont::FormCreated() {
    owner_.set_desktop_font();
    const ui::FontSpec desktop = owner_.font_spec();
    for (HWND child : DirectChildren(owner_.handle())) {
        ui::Control* control = ui::WindowObject::of<ui::Control>(child);
        if (!control) continue;
        const ui::FontSpec font = control->font_spec();
        if (ui::is_default_font(font) || font == desktop || ForceSystemFont) {
            control->set_desktop_font();
        } else if (SameTextAscii<wchar_t>(font.face, L"MS Sans Serif")) {
            auto filter = std::make_unique<ui::WindowHook>();
            filter->install(child, [control](const ui::WindowHook::Call& call) {
                return KeepDifferences(*control, call);
            });
            filters_.push_back(std::move(filter));
            ::SendMessageW(child, ui::CM_SYSFONTCHANGED, 0, 0);
        }
    }
}

LRESULT TGkUseSysFont::KeepDifferences(ui::Control& control, const ui::WindowHook::Call& call) {
    if (call.msg == ui::CM_SYSFONTCHANGED) {
        const ui::FontSpec kept = control.font_spec();
        ui::FontSpec font = ui::desktop_font();
        if (kept.color != ui::clWindowText) font.color = kept.color;
        if (kept.size() != 8) font.set_size(kept.size());
        if (kept.has_style()) {
            font.bold = kept.bold;
            font.italic = kept.italic;
            font.underline = kept.underline;
            font.strike_out = kept.strike_out;
        }
        control.set_font(font);
    }
    return call.pass_on();
}
