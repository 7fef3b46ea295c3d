#pragma once
// What the Attributes page shows about one window, read from a window of any process.
#include <windows.h>

#include <cstdint>
#include <string>

struct TWindowInformation {
    std::wstring Caption;    // at most 255 characters
    std::wstring ClassName;  // at most 255 characters
    std::int32_t ID = 0;
    std::string Font;
    bool Enabled = false;
    bool Visible = false;
    bool Unicode = false;
    RECT WindowRect{};  // screen coordinates
    RECT ClientRect{};
    std::uint32_t AppInstance = 0;
    HWND ParentWnd = nullptr;
    HWND OwnerWnd = nullptr;
    HICON IconBig = nullptr;  // both icons belong to the inspected window: never destroyed here
    HICON IconSmall = nullptr;
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
};

// The platform facts the reader depends on; the two-argument overload uses the running system's.
struct TReaderPlatform {
    bool WinNT = true;      // text through the W functions, else the A functions and the system code page
    bool XPOrLater = true;  // small icon asked as ICON_SMALL2, else as ICON_SMALL
};

// Fills info for window; raises nothing. Fields the window cannot give stay empty or zero, so no value
// of a previously read window survives.
void ReadWindowInformation(HWND window, TWindowInformation& info);
void ReadWindowInformation(HWND window, TWindowInformation& info, const TReaderPlatform& platform);
// For a caller that has just asked WindowResponds itself: the answer is taken instead of a second probe,
// so a window that does not answer costs one time-out, not two.
void ReadWindowInformation(HWND window, TWindowInformation& info, bool responds);
void ReadWindowInformation(HWND window, TWindowInformation& info, const TReaderPlatform& platform,
                           bool responds);

// The font description of the Font field for a logical font and the vertical resolution it is shown at.
std::string DescribeFont(const LOGFONTA& font, int pixels_per_inch);
