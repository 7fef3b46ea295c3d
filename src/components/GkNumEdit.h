#pragma once
// The numeric edit box: an edit control that filters keys, checks every change and keeps its text
// in canonical form, over the window-free logic of GkNumEditCore.
#include <windows.h>

#include <functional>
#include <string>

#include "components/GkNumEditCore.h"
#include "ui/Controls.h"
#include "ui/WindowHook.h"

class TGkNumEdit : public ui::Edit {
public:
    TGkNumEdit();
    void create(HWND parent, const ui::Bounds& bounds);

    TGkNumEditCore& core() { return core_; }
    const TGkNumEditCore& core() const { return core_; }

    void SetValueType(TGkValueType type);
    void SetMaxValue(long double value) { core_.MaxValue = value; }
    void SetMinValue(long double value) { core_.MinValue = value; }
    void SetFloatValue(long double value);
    void SetIntValue(std::int64_t value);
    long double FloatValue() const { return core_.FloatValue; }
    std::int64_t IntValue() const { return core_.IntValue(); }

    void command(WORD code) override;

private:
    LRESULT HandleKey(const ui::WindowHook::Call& call);
    void Validate();
    void WriteOwnText(const std::wstring& text, int sel_start, int sel_length);
    TGkNumEditCore core_;
    ui::WindowHook hook_;
    bool validating_ = false;
    bool creating_ = false;
};
