#include "ui/Window.h"

#include "ui/Application.h"
#include "ui/Controls.h"

namespace ui {
namespace {

const wchar_t kWindowClass[] = L"ScrutelWindow";

}  // namespace

Window::~Window() {
    // The object is going: later messages of the dying window go to the default procedure.
    detach(hwnd_.get());
}

void Window::create_window(DWORD ex_style, const wchar_t* caption, DWORD style, int x, int y, int width,
                           int height, HWND parent, HMENU menu_or_id) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &Window::procedure;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    ::CreateWindowExW(ex_style, kWindowClass, caption, style, x, y, width, height, parent, menu_or_id,
                      ::GetModuleHandleW(nullptr), this);
}

LRESULT Window::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFONT) {
        font_ = reinterpret_cast<HFONT>(wp);
        return 0;
    }
    if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font_);
    if (msg == WM_ERASEBKGND && background_.brush) {
        RECT area{};
        ::GetClientRect(handle(), &area);
        ::FillRect(reinterpret_cast<HDC>(wp), &area, background_.brush.get());
        return 1;
    }
    LRESULT result = 0;
    if (reflect_notification(msg, wp, lp, result)) return result;
    return default_message(msg, wp, lp);
}

bool Window::reflect_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && lp) {
        if (Control* control = WindowObject::of<Control>(reinterpret_cast<HWND>(lp))) {
            control->command(HIWORD(wp));
            result = 0;
            return true;
        }
    } else if (msg == WM_NOTIFY && lp) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (Control* control = WindowObject::of<Control>(header->hwndFrom))
            return control->notify(*header, result);
    } else if (msg == WM_DRAWITEM && lp) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (Control* control = WindowObject::of<Control>(item->hwndItem);
            control && control->draw_item(*item)) {
            result = TRUE;
            return true;
        }
    } else if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        if (Control* control = WindowObject::of<Control>(reinterpret_cast<HWND>(lp))) {
            if (HBRUSH brush = control->colors(reinterpret_cast<HDC>(wp), background())) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
    }
    return false;
}

void Window::set_background(COLORREF color) {
    background_.color = color;
    background_.brush.reset(::CreateSolidBrush(color));
    if (handle()) ::InvalidateRect(handle(), nullptr, TRUE);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        attach(hwnd, self);
        self->hwnd_.reset(hwnd);
    } else {
        // Only windows of our class run this procedure, so what is attached is a Window.
        self = static_cast<Window*>(attached(hwnd));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->handle_message(msg, wp, lp);
    } catch (...) {
        Application::instance().handle_exception(std::current_exception());
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        self->detach(hwnd);
        self->hwnd_.release();
    }
    return result;
}

void Panel::create(HWND parent, int x, int y, int width, int height, bool visible) {
    create_window(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), x, y,
                  width, height, parent, nullptr);
}

LRESULT Panel::handle_message(UINT msg, WPARAM wp, LPARAM lp) { return Window::handle_message(msg, wp, lp); }

}  // namespace ui
