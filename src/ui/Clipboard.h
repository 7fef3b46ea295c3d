#pragma once
// Text for other programs: the clipboard, as Unicode text.
#include <windows.h>

#include <string>

namespace ui {

// Replaces the clipboard's contents by the text (CF_UNICODETEXT); false when the clipboard could not
// be had, for example while another program holds it open.
bool copy_to_clipboard(HWND owner, const std::wstring& text);

// Whether the window is an edit box with selected text, which its own Ctrl+C copies.
bool edit_has_selection(HWND window);

}  // namespace ui
