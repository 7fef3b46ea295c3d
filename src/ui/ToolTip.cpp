#include "ui/ToolTip.h"

#include <commctrl.h>

namespace ui {
namespace {

// The first layout of the record that every version of the common controls takes.
TOOLINFOW ToolOf(HWND owner, HWND tool) {
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return info;
}

}  // namespace

void ToolTip::create() {
    hwnd_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

void ToolTip::add(HWND tool, const std::wstring& text) {
    TOOLINFOW info = ToolOf(::GetParent(tool), tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(handle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring ToolTip::text(HWND tool) const {
    // The control copies at most 80 characters into the buffer it is given.
    wchar_t buffer[80] = {};
    TOOLINFOW info = ToolOf(::GetParent(tool), tool);
    info.lpszText = buffer;
    ::SendMessageW(handle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

}  // namespace ui
