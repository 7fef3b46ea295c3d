#include "components/GkHotLink.h"

#include <shellapi.h>

#include "components/GkHotLinkColor.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Form.h"
#include "ui/Registry.h"

COLORREF HotLinkColor() {
    ui::Registry registry;
    try {
        if (registry.open_key_read_only(L"Software\\Microsoft\\Internet Explorer\\Settings") &&
            registry.value_exists(L"Anchor Color"))
            return static_cast<COLORREF>(HotLinkColorFromSetting(registry.read_string(L"Anchor Color")));
    } catch (const ui::ERegistryException&) {
        // A value that is no text is as good as none.
    }
    return static_cast<COLORREF>(kDefaultHotLinkColor);
}

// A transparent static window over the label that can take the keyboard focus: it draws nothing, lets
// the mouse through to the label, and has the label redrawn when it gains or loses the focus.
struct TGkHotLink::FocusWindowPart {
    ui::unique_hwnd window;
    ui::WindowHook hook;
};

TGkHotLink::TGkHotLink() : color_(static_cast<COLORREF>(kDefaultHotLinkColor)) {}

TGkHotLink::~TGkHotLink() = default;

void TGkHotLink::create(HWND parent, const std::wstring& caption, const ui::Bounds& bounds) {
    Label::create(parent, caption, bounds, SS_LEFTNOWORDWRAP | SS_NOTIFY);
    if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND))
        ui::Application::instance().register_cursor(crHandPoint, hand);
    color_ = HotLinkColor();
    hook_.install(handle(), [this](const ui::WindowHook::Call& call) { return LabelMessage(call); });
    // The font the label took from its form, now underlined.
    ui::FontSpec font = font_spec();
    font.underline = true;
    set_font(font);
}

void TGkHotLink::command(WORD code) {
    if (code == STN_CLICKED) Click();
}

void TGkHotLink::Click() {
    if (on_click) on_click();
    if (URL.empty()) return;
    const int show = BrowserState == wsMinimized   ? SW_SHOWMINIMIZED
                     : BrowserState == wsMaximized ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
    OpenURL(URL, show);
}

void TGkHotLink::OpenURL(const std::wstring& url, int show_command) {
    ui::Form* main = ui::Application::instance().main_form();
    ::ShellExecuteW(main ? main->handle() : nullptr, nullptr, url.c_str(), nullptr, nullptr, show_command);
}

void TGkHotLink::SetUnderlinedFont(HFONT font, LPARAM redraw, const ui::WindowHook::Call& call) {
    LOGFONTW description{};
    if (!font || ::GetObjectW(font, sizeof description, &description) != sizeof description) {
        call.pass_on();
        return;
    }
    description.lfUnderline = TRUE;
    ui::unique_font underlined(::CreateFontIndirectW(&description));
    if (!underlined) {
        call.pass_on();
        return;
    }
    call.pass_on(WM_SETFONT, reinterpret_cast<WPARAM>(underlined.get()), redraw);
    font_ = std::move(underlined);
}

LRESULT TGkHotLink::LabelMessage(const ui::WindowHook::Call& call) {
    switch (call.msg) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(call.hwnd, &paint);
            Paint(dc);
            ::EndPaint(call.hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(call.wp));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the whole label is painted in WM_PAINT
        case WM_SETFONT:
            SetUnderlinedFont(reinterpret_cast<HFONT>(call.wp), call.lp, call);
            return 0;
        case WM_SETCURSOR: {
            ui::Application& app = ui::Application::instance();
            // A cursor the program holds for all its windows (the finder's) comes first.
            if (!app.show_cursor_override()) ::SetCursor(app.cursor(Cursor));
            return TRUE;
        }
        case WM_LBUTTONDOWN: {
            const LRESULT result = call.pass_on();
            if (TabStop()) ::SetFocus(FocusWindow());
            return result;
        }
        case WM_ENABLE:
        case WM_SETTEXT: {
            const LRESULT result = call.pass_on();
            ::InvalidateRect(call.hwnd, nullptr, TRUE);
            return result;
        }
        default:
            return call.pass_on();
    }
}

void TGkHotLink::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(handle(), &client);
    HBRUSH background = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(handle()), WM_CTLCOLORSTATIC,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(handle())));
    ::FillRect(dc, &client, background ? background : ::GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring caption = text();
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(handle(), WM_GETFONT, 0, 0));
    {
        ui::selected_object selected(dc,
                                     font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, enabled() ? color_ : ::GetSysColor(COLOR_GRAYTEXT));
        // Addresses often hold "&": it is shown, not taken as a mnemonic.
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (TabStop() && ::GetFocus() == FocusWindow()) ::DrawFocusRect(dc, &client);
}

void TGkHotLink::SetTabStop(bool tab_stop) {
    if (tab_stop == TabStop() || !handle()) return;
    if (!tab_stop) {
        focus_window_.reset();
        ::InvalidateRect(handle(), nullptr, TRUE);
        return;
    }
    // Exactly over the label, in the parent's pixels.
    RECT b{};
    ::GetWindowRect(handle(), &b);
    ::MapWindowPoints(nullptr, ::GetParent(handle()), reinterpret_cast<POINT*>(&b), 2);
    auto part = std::make_unique<FocusWindowPart>();
    part->window.reset(::CreateWindowExW(WS_EX_TRANSPARENT, WC_STATICW, L"",
                                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, b.left, b.top,
                                         b.right - b.left, b.bottom - b.top, ::GetParent(handle()), nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr));
    if (!part->window) return;
    HWND label = handle();
    part->hook.install(part->window.get(), [label](const ui::WindowHook::Call& call) -> LRESULT {
        switch (call.msg) {
            case WM_SETFOCUS:
            case WM_KILLFOCUS: {
                const LRESULT result = call.pass_on();
                ::InvalidateRect(label, nullptr, TRUE);  // the focus rectangle follows
                return result;
            }
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT paint;
                ::BeginPaint(call.hwnd, &paint);
                ::EndPaint(call.hwnd, &paint);
                return 0;
            }
            default:
                return call.pass_on();
        }
    });
    focus_window_ = std::move(part);
    if (tab_order_ >= 0) PlaceFocusWindow();
}

HWND TGkHotLink::FocusWindow() const { return focus_window_ ? focus_window_->window.get() : nullptr; }

int TGkHotLink::TabOrder() const {
    HWND window = FocusWindow();
    if (!window) return -1;
    int position = 0;
    for (HWND sibling = ::GetWindow(window, GW_HWNDPREV); sibling;
         sibling = ::GetWindow(sibling, GW_HWNDPREV))
        ++position;
    return position;
}

void TGkHotLink::SetTabOrder(int tab_order) {
    tab_order_ = tab_order;
    if (TabStop() && tab_order_ >= 0) PlaceFocusWindow();
}

void TGkHotLink::PlaceFocusWindow() {
    HWND window = FocusWindow();
    // The tab order is the order of the parent's children: the window goes behind the one before it.
    HWND after = HWND_TOP;
    int position = 0;
    for (HWND sibling = ::GetWindow(::GetParent(window), GW_CHILD); sibling && position < tab_order_;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == window) continue;
        after = sibling;
        ++position;
    }
    ::SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
