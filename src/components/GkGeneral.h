#pragma once
// Small shared helpers of the component library that need Win32: platform facts, whether another
// program's window still answers, and shortcut files. The portable text helpers are in GkGeneralText.h.
#include <windows.h>

#include <string>

#include "components/GkGeneralText.h"

// Platform facts, fixed once at start.
bool IsWinNT();         // VER_PLATFORM_WIN32_NT: text goes through the W functions
bool IsWin9x();         // VER_PLATFORM_WIN32_WINDOWS
bool IsWinXPOrLater();  // system version 5.1 or later

// WM_NULL with SendMessageTimeoutA, SMTO_ABORTIFHUNG, 100 ms: true when the window answered.
bool WindowResponds(HWND window);

// Target path of a shortcut file through the shell link object; empty on any failure.
std::wstring ResolveShortcut(const std::wstring& file);
// Whether the registered class of a file extension (with its dot) is marked "IsShortcut".
bool IsShortcut(const std::wstring& extension);
// The shell's shortcut overlay arrow; the caller owns (and destroys) the icon.
HICON ShortcutOverlayIcon();

// Whether name names an existing file; a directory does not count.
bool FileExists(const std::wstring& name);
// ExpandEnvironmentReferences over the process environment, for any Unicode text and variable.
std::wstring ExpandEnvironmentReferences(const std::wstring& text);
// The program file's own path.
std::wstring ProgramFile();
