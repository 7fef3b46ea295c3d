#pragma once
// Child controls over the system's window classes. A control's text or state is written only when it
// differs from what it shows; writing it from code raises the same event as the user's change does.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <memory>

#include "base/DpiScale.h"
#include "ui/Font.h"
#include "ui/Handles.h"
#include "ui/Window.h"

namespace ui {

// Where a control sits, in its parent's client area, in layout pixels (96 per inch): the control is
// placed at the DPI of the display its form is on.
struct Bounds {
    int left, top, width, height;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// The component library's notification that the system font changed; sent to every control of a
// form, so that filters in front of a control's procedure see it.
inline constexpr UINT CM_SYSFONTCHANGED = 0xB035;

class Control : public WindowObject {
public:
    Control() = default;
    ~Control() override;

    HWND handle() const noexcept { return hwnd_.get(); }

    // Notifications from the parent: WM_COMMAND codes, WM_NOTIFY headers, owner drawing.
    virtual void command(WORD) {}
    virtual bool notify(const NMHDR&, LRESULT&) { return false; }
    virtual bool draw_item(const DRAWITEMSTRUCT&) { return false; }
    // Colors of a static or button control (WM_CTLCOLOR...): its font's color, on the parent's own
    // background when the parent has one; null for the system's colors.
    virtual HBRUSH colors(HDC dc, const Window::Background* background);

    void set_visible(bool visible);
    // The control's own visibility, whether or not its parent is shown.
    bool visible() const { return (::GetWindowLongW(handle(), GWL_STYLE) & WS_VISIBLE) != 0; }
    void set_enabled(bool enabled);
    bool enabled() const { return ::IsWindowEnabled(handle()) != FALSE; }
    void set_bounds(const Bounds& bounds);
    // In layout pixels: where the control was placed, or where it is now when it moved or sized itself.
    Bounds bounds() const;
    void set_width(int width);
    void focus() { ::SetFocus(handle()); }

    // The font: the form's until the control is given one of its own.
    void set_font(const FontSpec& font);
    // The desktop font, now and again whenever the system font changes, until another font is set.
    void set_desktop_font();
    FontSpec font_spec() const;
    bool parent_font() const { return !own_font_.has_value(); }
    bool desktop_font() const { return desktop_font_; }
    HFONT font() const { return reinterpret_cast<HFONT>(::SendMessageW(handle(), WM_GETFONT, 0, 0)); }

    // The pixels per inch the control is placed and drawn for.
    int dpi() const { return dpi_; }
    // The form moved to a display of another DPI: place and draw the control for it.
    virtual void rescale(int dpi);
    // The form's font changed; a control with a font of its own keeps it.
    void parent_font_changed(HFONT form_font);

    std::wstring text() const;
    // Writes the text unless the control already shows it; returns whether it wrote.
    bool set_text(const std::wstring& text);

protected:
    void create_control(const wchar_t* window_class, const std::wstring& text, DWORD style, DWORD ex_style,
                        HWND parent, const Bounds& bounds, int id = 0);
    void apply_font(HFONT font);

private:
    unique_font own_font_handle_;  // declared first: the window goes before its font
    unique_hwnd hwnd_;
    Bounds layout_{};
    int dpi_ = LayoutDpi;
    std::optional<FontSpec> own_font_;
    bool desktop_font_ = false;
};

class Label : public Control {
public:
    void create(HWND parent, const std::wstring& caption, const Bounds& bounds,
                DWORD align = SS_LEFTNOWORDWRAP);
};

class Edit : public Control {
public:
    std::function<void()> on_change;
    void create(HWND parent, const Bounds& bounds, bool read_only = false, DWORD extra_style = 0);
    void command(WORD code) override;
    void set_read_only(bool read_only);
    void select(int start, int length);
    int caret() const;  // the selection's start

protected:
    // While set, notifications of the control's own corrections are not raised as changes.
    bool suppress_change_ = false;
};

class CheckBox : public Control {
public:
    std::function<void()> on_click;
    void create(HWND parent, const std::wstring& caption, const Bounds& bounds);
    void command(WORD code) override;
    bool checked() const;
    // Changes the state and raises on_click, like a click; nothing when the state is already shown.
    void set_checked(bool checked);
};

class Button : public Control {
public:
    enum Role { Plain, Default, Cancel };
    std::function<void()> on_click;
    void create(HWND parent, const std::wstring& caption, const Bounds& bounds, Role role = Plain,
                int id = 0);
    void command(WORD code) override;
    // Presses the button in code.
    void click();
};

// A flat button that stays down until pressed again, showing one glyph per state (icons, not owned).
class ToggleButton : public Control {
public:
    std::function<void()> on_click;
    void create(HWND parent, const Bounds& bounds);
    void command(WORD code) override;
    bool down() const;
    void set_down(bool down);
    void set_glyphs(HICON up_glyph, HICON down_glyph);

private:
    void show_glyph();
    HICON up_glyph_ = nullptr;
    HICON down_glyph_ = nullptr;
};

class GroupBox : public Control {
public:
    void create(HWND parent, const std::wstring& caption, const Bounds& bounds);
};

class ListBox : public Control {
public:
    std::function<void()> on_click;
    void create(HWND parent, const Bounds& bounds);
    void command(WORD code) override;
    void clear();
    void add(const std::wstring& item);
    int count() const;
    int selected() const;  // -1 when none
    void set_selected(int index);
    std::wstring item(int index) const;
};

// A static picture (bitmap or icon); mouse events come through a hook of the owner's choosing.
class Picture : public Control {
public:
    void create(HWND parent, const Bounds& bounds, bool icon = false);
    void set_bitmap(HBITMAP bitmap);  // not owned
    void set_icon(HICON icon);        // not owned
    HICON icon() const;
};

class StatusBar : public Control {
public:
    // Panel widths in layout pixels; -1 for a panel that takes the rest.
    void create(HWND parent, const std::vector<int>& panel_widths);
    std::wstring panel_text(int panel) const;
    void set_panel_text(int panel, const std::wstring& text);
    void rescale(int dpi) override;

private:
    void set_parts();
    std::vector<int> panel_widths_;
};

// What one page of a PageControl shows: made once on the page's panel, told each time the page is
// shown.
class PageContent {
public:
    virtual void Create(HWND panel) = 0;
    virtual void Shown() {}

protected:
    ~PageContent() = default;
};

// A tab control whose pages are panels; pages can be hidden (their tab is not shown).
class PageControl : public Control {
public:
    std::function<void()> on_change;
    void create(HWND parent, const Bounds& bounds, HIMAGELIST images);
    // Adds a page; its panel is created over the tab control's display area, and the content (when
    // there is one) is made on it.
    int add_page(const std::wstring& caption, bool visible, int image, PageContent* content = nullptr);
    HWND page(int index) const;
    int page_count() const { return static_cast<int>(pages_.size()); }
    int active_page() const { return active_; }
    // Shows the page without raising on_change (as setting the active page in code does); its content
    // is told.
    void set_active_page(int index);
    void resize(int width, int height);  // layout pixels
    bool notify(const NMHDR& header, LRESULT& result) override;
    void rescale(int dpi) override;
    std::wstring caption(int index) const { return pages_.at(index).caption; }
    bool page_visible(int index) const { return pages_.at(index).visible; }

private:
    struct Page {
        std::wstring caption;
        bool visible;
        int image;
        std::unique_ptr<Panel> panel;
        PageContent* content;
    };
    void layout_pages();
    int tab_of_page(int index) const;
    int page_of_tab(int tab) const;
    std::vector<Page> pages_;
    int active_ = -1;
};

}  // namespace ui
