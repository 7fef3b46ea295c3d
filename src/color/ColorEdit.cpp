#include "color/ColorEdit.h"

void TColorEdit::create(HWND parent, const ui::Bounds& bounds, int max_length, KeyFilter filter) {
    Edit::create(parent, bounds);
    if (max_length > 0) ::SendMessageW(handle(), EM_LIMITTEXT, static_cast<WPARAM>(max_length), 0);
    filter_ = std::move(filter);
    if (filter_)
        hook_.install(handle(), [this](const ui::WindowHook::Call& call) { return FilterKey(call); });
}

void TColorEdit::command(WORD code) {
    if (code == EN_KILLFOCUS && on_exit) on_exit();
    Edit::command(code);
}

LRESULT TColorEdit::FilterKey(const ui::WindowHook::Call& call) {
    if (call.msg != WM_CHAR) return call.pass_on();
    const wchar_t passed = filter_(static_cast<wchar_t>(call.wp), *this);
    if (!passed) return 0;
    return call.pass_on(WM_CHAR, passed, call.lp);
}
