#pragma once
// Real mouse and keyboard input and screen pixels for the finder's tests.
#include <windows.h>

#include <chrono>
#include <string>

#include "app/MainForm.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Registry.h"

namespace finder_test {

inline std::wstring Hex(HWND window) {
    return HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
}

// Handles the input this thread has been sent, so that a check may follow that nothing happened.
inline void Settle() {
    WaitUntil([] { return HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0; }, std::chrono::milliseconds(2000));
}

inline void SendMouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Rounded up, so that the system's conversion back lands on the same pixel.
        const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (at.x * 65536 + width - 1) / width;
        input.mi.dy = (at.y * 65536 + height - 1) / height;
    }
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
    Settle();
}

inline void MoveMouse(POINT at) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
    WaitUntil([&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == at.x && now.y == at.y;
    });
    Settle();
}

inline POINT Centre(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline POINT Offset(HWND window, int dx, int dy) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.left + dx, r.top + dy};
}

inline void PressOnFinder(TMainForm& form) {
    MoveMouse(Centre(form.Finder.Picture.handle()));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

inline void ReleaseButton() { SendMouse(MOUSEEVENTF_LEFTUP); }

// Shift down, Print Screen down and up, Shift up: one key event at a time, each handled before the next.
inline void PressCaptureHotKey() {
    const WORD codes[4] = {VK_SHIFT, VK_SNAPSHOT, VK_SNAPSHOT, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = codes[i];
        key.ki.dwFlags =
            (codes[i] == VK_SNAPSHOT ? KEYEVENTF_EXTENDEDKEY : 0) | (i >= 2 ? KEYEVENTF_KEYUP : 0);
        ::SendInput(1, &key, sizeof key);
        Settle();
    }
}

// The cursor the system shows now (handles differ between processes).
inline HCURSOR CurrentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    ::GetCursorInfo(&info);
    return info.hCursor;
}

inline COLORREF ScreenPixel(POINT at) {
    ui::released_dc screen(nullptr);
    return ::GetPixel(screen.get(), at.x, at.y);
}

// The form, shown where the fixture windows of the finder tests leave room for it.
inline void PlaceForm(TMainForm& form) {
    form.show();
    ::SetWindowPos(form.handle(), HWND_TOP, 0, 560, 0, 0, SWP_NOSIZE);
    WaitUntil([&] { return ::IsWindowVisible(form.handle()) != FALSE; });
}

// Settings the next main window starts with; red shows as pure red on white.
inline void UseFrameSettings(int type, std::uint32_t color = 0x0000FF, bool fill = false) {
    ClearSettings();
    ui::Registry registry;
    registry.open_key(SettingsKeyOfTests(), true);
    registry.write_integer(L"SelFrameType", type);
    registry.write_integer(L"SelFrameColor", static_cast<int>(color));
    registry.write_integer(L"FillSelFrame", fill ? 1 : 0);
}

// Waits until the window has painted itself white at its centre.
inline bool PaintedWhite(HWND window) {
    return WaitUntil([&] { return ScreenPixel(Centre(window)) == RGB(255, 255, 255); });
}

struct FrameSettingsStored {
    FrameSettingsStored(int type, std::uint32_t color, bool fill) { UseFrameSettings(type, color, fill); }
};

// The window fixture and a main window beside its windows, started with the given frame settings.
struct FinderScene : FrameSettingsStored {
    explicit FinderScene(int type = 0, std::uint32_t color = 0x0000FF, bool fill = false)
        : FrameSettingsStored(type, color, fill) {
        PlaceForm(form);
    }
    FixtureProcess fixture{L"window_fixture.exe"};
    TMainForm form;
};

}  // namespace finder_test
