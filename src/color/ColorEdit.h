#pragma once
// A box of the Color tab: an edit box with a key filter of its own, a limit on the length a user can
// type, and an event when the focus leaves it.
#include <windows.h>

#include <functional>
#include <utility>

#include "ui/Controls.h"
#include "ui/WindowHook.h"

class TColorEdit : public ui::Edit {
public:
    // Answers the character to enter for a typed one, or 0 to drop it.
    using KeyFilter = std::function<wchar_t(wchar_t key, const TColorEdit& box)>;
    std::function<void()> on_exit;

    // A max_length of 0 sets no limit.
    void create(HWND parent, const ui::Bounds& bounds, int max_length, KeyFilter filter = {});
    void command(WORD code) override;

private:
    LRESULT FilterKey(const ui::WindowHook::Call& call);
    KeyFilter filter_;
    ui::WindowHook hook_;
};
