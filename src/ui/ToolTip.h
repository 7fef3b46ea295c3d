#pragma once
// Hints: a tooltip control that shows a window's hint text while the pointer rests on that window.
#include <windows.h>

#include <string>

#include "ui/Handles.h"

namespace ui {

class ToolTip {
public:
    // The tooltip is owned by no window: under Wine a form that owns a topmost window cannot itself be
    // made topmost any more (SetWindowPos with HWND_TOPMOST leaves its style unchanged).
    void create();
    // The hint of a window of the owner's (a static control needs SS_NOTIFY to be seen).
    void add(HWND tool, const std::wstring& text);
    std::wstring text(HWND tool) const;
    HWND handle() const noexcept { return hwnd_.get(); }

private:
    unique_hwnd hwnd_;
};

}  // namespace ui
