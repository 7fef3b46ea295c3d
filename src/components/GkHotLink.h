#pragma once
// A label that behaves like a hyperlink: hand cursor, underlined text in the link color of the user's
// browser settings, and a click that opens its URL (a web address, a mailto: address or a file)
// through the shell. With TabStop it takes part in keyboard focus through a transparent window laid
// over it, and shows a focus rectangle while that window has the focus.
//
// A label becomes a link by being made as one:
//     TGkHotLink LinkWeb;
//     LinkWeb.create(parent, L"https://example.org/", {8, 80, 200, 13});
//     LinkWeb.URL = L"https://example.org/";
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/Handles.h"
#include "ui/WindowHook.h"

// How the window of the program that opens the URL is shown.
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// The number of the hand cursor in the application's cursor list.
inline constexpr int crHandPoint = -21;

// The link color: the "Anchor Color" setting of HKEY_CURRENT_USER\Software\Microsoft\Internet
// Explorer\Settings when it holds three components from 0 to 255, else blue.
COLORREF HotLinkColor();

class TGkHotLink : public ui::Label {
public:
    TGkHotLink();
    ~TGkHotLink() override;

    void create(HWND parent, const std::wstring& caption, const ui::Bounds& bounds);

    std::wstring URL;  // empty: a click opens nothing
    TWindowState BrowserState = wsNormal;
    int Cursor = crHandPoint;        // a number of the application's cursor list
    std::function<void()> on_click;  // runs before the URL opens

    bool TabStop() const { return focus_window_ != nullptr; }
    void SetTabStop(bool tab_stop);  // after create
    // The position of the focus window among its parent's children (the tab order); -1 without one.
    // A position set while TabStop is off is applied when it is turned on.
    int TabOrder() const;
    void SetTabOrder(int tab_order);
    // The window laid over the label while TabStop is on; null otherwise.
    HWND FocusWindow() const;

    COLORREF LinkColor() const { return color_; }
    // Runs on_click, then opens the URL unless it is empty.
    void Click();
    void command(WORD code) override;

protected:
    // The shell call that opens the URL; the result is not examined.
    virtual void OpenURL(const std::wstring& url, int show_command);

private:
    struct FocusWindowPart;
    void Paint(HDC dc);
    LRESULT LabelMessage(const ui::WindowHook::Call& call);
    void SetUnderlinedFont(HFONT font, LPARAM redraw, const ui::WindowHook::Call& call);
    void PlaceFocusWindow();

    ui::WindowHook hook_;
    ui::unique_font font_;  // the label's font, underlined
    COLORREF color_;
    std::unique_ptr<FocusWindowPart> focus_window_;
    int tab_order_ = -1;
};
