#include "components/GkNumEdit.h"

namespace {

wchar_t SystemDecimalSeparator() {
    wchar_t separator[4] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 0 && separator[0])
        return separator[0];
    return L'.';
}

bool ModifierHeld() {
    return ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0;
}

}  // namespace

TGkNumEdit::TGkNumEdit() : core_(SystemDecimalSeparator()) {}

void TGkNumEdit::create(HWND parent, const ui::Bounds& bounds) {
    creating_ = true;
    ui::Edit::create(parent, bounds, false, core_.AlignmentAsValue ? ES_RIGHT : ES_LEFT);
    hook_.install(handle(), [this](const ui::WindowHook::Call& call) { return HandleKey(call); });
    ::SetWindowTextW(handle(), L"0");
    core_.TextChanged(L"0");
    creating_ = false;
}

LRESULT TGkNumEdit::HandleKey(const ui::WindowHook::Call& call) {
    if (call.msg != WM_CHAR) return call.pass_on();
    const wchar_t typed = static_cast<wchar_t>(call.wp);
    const wchar_t passed = core_.FilterKey(typed, ModifierHeld(), text(), caret());
    if (passed == 0) return 0;  // refused: the edit box never sees it
    return call.pass_on(WM_CHAR, passed, call.lp);
}

void TGkNumEdit::command(WORD code) {
    if (validating_ || creating_) return;
    if (code == EN_UPDATE) {
        Validate();
    } else if (code == EN_CHANGE) {
        Validate();
        core_.TextChanged(text());
        if (on_change) on_change();
    }
}

void TGkNumEdit::Validate() {
    if (auto correction = core_.Validate(text()))
        WriteOwnText(correction->text, correction->sel_start, correction->sel_length);
}

void TGkNumEdit::WriteOwnText(const std::wstring& new_text, int sel_start, int sel_length) {
    validating_ = true;
    if (text() != new_text) ::SetWindowTextW(handle(), new_text.c_str());
    select(sel_start, sel_length);
    validating_ = false;
}

void TGkNumEdit::SetValueType(TGkValueType type) {
    if (auto new_text = core_.SetValueType(type)) set_text(*new_text);
}

void TGkNumEdit::SetFloatValue(long double value) { set_text(core_.SetFloatValue(value)); }

void TGkNumEdit::SetIntValue(std::int64_t value) { set_text(core_.SetIntValue(value)); }
