#include "ui/Controls.h"

#include "ui/Dpi.h"
#include "ui/Form.h"
#include "ui/Text.h"

namespace ui {

Control::~Control() { detach(hwnd_.get()); }

void Control::create_control(const wchar_t* window_class, const std::wstring& text, DWORD style,
                             DWORD ex_style, HWND parent, const Bounds& b, int id) {
    layout_ = b;
    Form* form = Form::of_window(parent);
    dpi_ = form ? form->dpi() : window_dpi(parent);
    const RECT place = scaled_rect(b, dpi_);
    // Every control gets an id of its own: the dialog keys (IsDialogMessage) look controls up by id,
    // and many controls sharing id 0 would be taken for one another (a radio button for the default
    // button, which then loses its style).
    static int next_id = 1000;
    if (id == 0) id = next_id++;
    hwnd_.reset(::CreateWindowExW(ex_style, window_class, text.c_str(), WS_CHILD | style, place.left,
                                  place.top, place.right - place.left, place.bottom - place.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ::GetModuleHandleW(nullptr), nullptr));
    if (hwnd_) {
        attach(hwnd_.get(), this);
        // Controls take the font of the form they sit on, however deep.
        HWND root = ::GetAncestor(parent, GA_ROOT);
        if (HFONT font = reinterpret_cast<HFONT>(::SendMessageW(root ? root : parent, WM_GETFONT, 0, 0)))
            apply_font(font);
    }
}

void Control::set_visible(bool visible) {
    if (this->visible() != visible) ::ShowWindow(handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::set_enabled(bool enabled) {
    if (this->enabled() != enabled) ::EnableWindow(handle(), enabled);
}

namespace {

RECT PlaceInParent(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

Bounds Control::bounds() const {
    const RECT now = PlaceInParent(handle());
    const RECT placed = scaled_rect(layout_, dpi_);
    if (::EqualRect(&now, &placed)) return layout_;
    const int left = UnscaleFromDpi(now.left, dpi_), top = UnscaleFromDpi(now.top, dpi_);
    return {left, top, UnscaleFromDpi(now.right, dpi_) - left, UnscaleFromDpi(now.bottom, dpi_) - top};
}

void Control::set_bounds(const Bounds& b) {
    layout_ = b;
    const RECT place = scaled_rect(b, dpi_);
    ::MoveWindow(handle(), place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

void Control::set_width(int width) {
    Bounds b = bounds();
    if (b.width == width) return;
    b.width = width;
    set_bounds(b);
}

void Control::apply_font(HFONT font) {
    ::SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::set_font(const FontSpec& font) {
    own_font_ = font;
    desktop_font_ = false;
    unique_font made = make_font(font, dpi_);
    apply_font(made.get());
    own_font_handle_ = std::move(made);
}

void Control::set_desktop_font() {
    set_font(ui::desktop_font());
    desktop_font_ = true;
}

FontSpec Control::font_spec() const {
    if (own_font_) return *own_font_;
    if (Form* form = Form::of_window(handle())) return form->font_spec();
    LOGFONTW logfont{};
    if (HFONT shown = font(); shown && ::GetObjectW(shown, sizeof logfont, &logfont))
        return font_of(logfont, dpi_);
    return FontSpec{};
}

void Control::parent_font_changed(HFONT form_font) {
    if (!own_font_) apply_font(form_font);
}

void Control::rescale(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    set_bounds(layout_);
    if (own_font_) {
        const bool desktop = desktop_font_;
        set_font(*own_font_);
        desktop_font_ = desktop;
    }
}

HBRUSH Control::colors(HDC dc, const Window::Background* background) {
    const bool own_color = own_font_ && own_font_->color != clWindowText;
    if (!own_color && !background) return nullptr;
    if (own_color) ::SetTextColor(dc, color_to_rgb(own_font_->color));
    if (background) {
        ::SetBkColor(dc, background->color);
        return background->brush.get();
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

std::wstring Control::text() const { return window_text(handle()); }

bool Control::set_text(const std::wstring& text) {
    if (this->text() == text) return false;
    ::SetWindowTextW(handle(), text.c_str());
    return true;
}

void Label::create(HWND parent, const std::wstring& caption, const Bounds& bounds, DWORD align) {
    create_control(WC_STATICW, caption, WS_VISIBLE | align, 0, parent, bounds);
}

void Edit::create(HWND parent, const Bounds& bounds, bool read_only, DWORD extra_style) {
    create_control(WC_EDITW, L"",
                   WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (read_only ? ES_READONLY : 0) | extra_style,
                   WS_EX_CLIENTEDGE, parent, bounds);
}

void Edit::command(WORD code) {
    if (code == EN_CHANGE && !suppress_change_ && on_change) on_change();
}

void Edit::set_read_only(bool read_only) { ::SendMessageW(handle(), EM_SETREADONLY, read_only, 0); }

void Edit::select(int start, int length) { ::SendMessageW(handle(), EM_SETSEL, start, start + length); }

int Edit::caret() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void CheckBox::create(HWND parent, const std::wstring& caption, const Bounds& bounds) {
    create_control(WC_BUTTONW, caption, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, parent, bounds);
}

void CheckBox::command(WORD code) {
    if (code == BN_CLICKED && on_click) on_click();
}

bool CheckBox::checked() const { return ::SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::set_checked(bool checked) {
    if (this->checked() == checked) return;
    ::SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (on_click) on_click();
}

void Button::create(HWND parent, const std::wstring& caption, const Bounds& bounds, Role role, int id) {
    if (role == Cancel && id == 0) id = IDCANCEL;
    if (role == Default && id == 0) id = IDOK;
    create_control(WC_BUTTONW, caption,
                   WS_VISIBLE | WS_TABSTOP | (role == Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, parent,
                   bounds, id);
}

void Button::command(WORD code) {
    if (code == BN_CLICKED) click();
}

void Button::click() {
    if (on_click) on_click();
}

void ToggleButton::create(HWND parent, const Bounds& bounds) {
    create_control(WC_BUTTONW, L"", WS_VISIBLE | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON | BS_FLAT, 0, parent,
                   bounds);
}

void ToggleButton::command(WORD code) {
    if (code == BN_CLICKED) {
        show_glyph();
        if (on_click) on_click();
    }
}

bool ToggleButton::down() const { return ::SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void ToggleButton::set_down(bool down) {
    if (this->down() == down) return;
    ::SendMessageW(handle(), BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    show_glyph();
    if (on_click) on_click();
}

void ToggleButton::set_glyphs(HICON up_glyph, HICON down_glyph) {
    up_glyph_ = up_glyph;
    down_glyph_ = down_glyph;
    show_glyph();
}

void ToggleButton::show_glyph() {
    HICON glyph = down() ? down_glyph_ : up_glyph_;
    if (glyph) ::SendMessageW(handle(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(glyph));
}

void GroupBox::create(HWND parent, const std::wstring& caption, const Bounds& bounds) {
    create_control(WC_BUTTONW, caption, WS_VISIBLE | BS_GROUPBOX, 0, parent, bounds);
}

void ListBox::create(HWND parent, const Bounds& bounds) {
    create_control(WC_LISTBOXW, L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                   WS_EX_CLIENTEDGE, parent, bounds);
}

void ListBox::command(WORD code) {
    if (code == LBN_SELCHANGE && on_click) on_click();
}

void ListBox::clear() { ::SendMessageW(handle(), LB_RESETCONTENT, 0, 0); }

void ListBox::add(const std::wstring& item) {
    ::SendMessageW(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ListBox::count() const { return static_cast<int>(::SendMessageW(handle(), LB_GETCOUNT, 0, 0)); }

int ListBox::selected() const {
    const LRESULT index = ::SendMessageW(handle(), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::set_selected(int index) { ::SendMessageW(handle(), LB_SETCURSEL, index, 0); }

std::wstring ListBox::item(int index) const {
    const LRESULT length = ::SendMessageW(handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void Picture::create(HWND parent, const Bounds& bounds, bool icon) {
    create_control(WC_STATICW, L"", WS_VISIBLE | SS_NOTIFY | (icon ? SS_ICON | SS_CENTERIMAGE : SS_BITMAP), 0,
                   parent, bounds);
}

void Picture::set_bitmap(HBITMAP bitmap) {
    ::SendMessageW(handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void Picture::set_icon(HICON icon) {
    if (this->icon() != icon) ::SendMessageW(handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

HICON Picture::icon() const { return reinterpret_cast<HICON>(::SendMessageW(handle(), STM_GETICON, 0, 0)); }

void StatusBar::create(HWND parent, const std::vector<int>& panel_widths) {
    create_control(STATUSCLASSNAMEW, L"", WS_VISIBLE | CCS_BOTTOM, 0, parent, {0, 0, 0, 0});
    panel_widths_ = panel_widths;
    set_parts();
}

void StatusBar::set_parts() {
    std::vector<int> rights;
    int right = 0;
    for (int width : panel_widths_) rights.push_back(width < 0 ? -1 : ScaleToDpi(right += width, dpi()));
    ::SendMessageW(handle(), SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
}

void StatusBar::rescale(int dpi) {
    Control::rescale(dpi);
    set_parts();
    // The bar places itself along the bottom of its parent.
    ::SendMessageW(handle(), WM_SIZE, 0, 0);
}

std::wstring StatusBar::panel_text(int panel) const {
    const LRESULT info = ::SendMessageW(handle(), SB_GETTEXTLENGTHW, panel, 0);
    const int length = LOWORD(info);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(handle(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void StatusBar::set_panel_text(int panel, const std::wstring& text) {
    if (panel_text(panel) != text)
        ::SendMessageW(handle(), SB_SETTEXTW, panel, reinterpret_cast<LPARAM>(text.c_str()));
}

void PageControl::create(HWND parent, const Bounds& bounds, HIMAGELIST images) {
    create_control(WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                   WS_EX_CONTROLPARENT, parent, bounds);
    if (images) TabCtrl_SetImageList(handle(), images);
}

int PageControl::add_page(const std::wstring& caption, bool visible, int image, PageContent* content) {
    Page page{caption, visible, image, std::make_unique<Panel>(), content};
    page.panel->create(handle(), 0, 0, 0, 0, false);
    pages_.push_back(std::move(page));
    const int index = static_cast<int>(pages_.size()) - 1;
    if (visible) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<wchar_t*>(pages_.back().caption.c_str());
        item.iImage = image;
        const int tab = TabCtrl_GetItemCount(handle());
        ::SendMessageW(handle(), TCM_INSERTITEMW, tab, reinterpret_cast<LPARAM>(&item));
    }
    layout_pages();
    if (content) content->Create(pages_.back().panel->handle());
    return index;
}

HWND PageControl::page(int index) const { return pages_.at(static_cast<std::size_t>(index)).panel->handle(); }

int PageControl::tab_of_page(int index) const {
    if (index < 0 || !pages_.at(static_cast<std::size_t>(index)).visible) return -1;
    int tab = 0;
    for (int i = 0; i < index; ++i) tab += pages_[static_cast<std::size_t>(i)].visible ? 1 : 0;
    return tab;
}

int PageControl::page_of_tab(int tab) const {
    for (int i = 0; i < page_count(); ++i) {
        if (!pages_[static_cast<std::size_t>(i)].visible) continue;
        if (tab-- == 0) return i;
    }
    return -1;
}

void PageControl::set_active_page(int index) {
    if (index == active_) return;
    if (active_ >= 0) ::ShowWindow(page(active_), SW_HIDE);
    active_ = index;
    const int tab = tab_of_page(index);
    if (tab >= 0 && TabCtrl_GetCurSel(handle()) != tab) TabCtrl_SetCurSel(handle(), tab);
    if (index < 0) return;
    ::ShowWindow(page(index), SW_SHOW);
    if (PageContent* content = pages_.at(static_cast<std::size_t>(index)).content) content->Shown();
}

void PageControl::resize(int width, int height) {
    Bounds b = bounds();
    b.width = width;
    b.height = height;
    set_bounds(b);
    layout_pages();
}

void PageControl::rescale(int dpi) {
    Control::rescale(dpi);
    layout_pages();
}

void PageControl::layout_pages() {
    RECT area{};
    ::GetClientRect(handle(), &area);
    TabCtrl_AdjustRect(handle(), FALSE, &area);
    for (auto& page : pages_)
        ::SetWindowPos(page.panel->handle(), nullptr, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PageControl::notify(const NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE) return false;
    const int index = page_of_tab(TabCtrl_GetCurSel(handle()));
    if (index >= 0) set_active_page(index);
    if (on_change) on_change();
    result = 0;
    return true;
}

}  // namespace ui
