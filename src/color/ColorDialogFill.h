#pragma once
// The system's color selection dialog, in this or another program, recognised by what it holds: a
// dialog window (class "#32770") with the edit boxes of the red, green and blue values, whose ids the
// system's own dialog template fixes. Its size, the order of its boxes and the module that made it
// differ between platforms, and the module of another process's window cannot be named on the
// NT-family systems, so none of them is asked.
#include <windows.h>

#include <string>

inline constexpr int kColorDialogRedId = 706, kColorDialogGreenId = 707, kColorDialogBlueId = 708;

bool IsColorDialog(HWND window);

// Writes the three texts into the dialog's red, green and blue boxes; false, with nothing written, for
// a window that is not a color dialog or does not answer.
bool FillColorDialog(HWND window, const std::wstring& red, const std::wstring& green,
                     const std::wstring& blue);
