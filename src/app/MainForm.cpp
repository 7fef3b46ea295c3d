#include "app/MainForm.h"

#include <cwchar>

#include "Resource.h"
#include "alien/AlienAccess.h"
#include "alien/AlienPlatformWin.h"
#include "app/WindowFinder.h"
#include "components/GkGeneral.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace {

constexpr int kDesignClientWidth = 506, kDesignClientHeight = 401, kStripHeight = 38;

// The product name under which settings are kept: the program file's name without its extension.
std::wstring ProductName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    const auto slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name.empty() ? L"Scrutel" : name;
}

// A 16-color picture whose six fixed colors follow the system's color scheme.
HBITMAP LoadSystemColoredBitmap(int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return nullptr;
    struct Mapping {
        COLORREF fixed;
        int system_color;
    };
    static const Mapping kMappings[] = {
        {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}, {RGB(192, 192, 192), COLOR_BTNFACE},
        {RGB(128, 128, 128), COLOR_BTNSHADOW},    {RGB(0, 0, 0), COLOR_BTNTEXT},
        {RGB(0, 0, 255), COLOR_ACTIVECAPTION},    {RGB(0, 255, 0), COLOR_WINDOW},
    };
    ui::unique_memory_dc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return bitmap;
    ui::selected_object selected(dc.get(), bitmap);
    RGBQUAD table[16] = {};
    const UINT entries = ::GetDIBColorTable(dc.get(), 0, 16, table);
    for (UINT i = 0; i < entries; ++i) {
        const COLORREF color = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
        for (const Mapping& mapping : kMappings) {
            if (color != mapping.fixed) continue;
            const COLORREF system = ::GetSysColor(mapping.system_color);
            table[i] = RGBQUAD{GetBValue(system), GetGValue(system), GetRValue(system), 0};
            break;
        }
    }
    if (entries) ::SetDIBColorTable(dc.get(), 0, entries, table);
    return bitmap;
}

// A strip of 16x16 glyphs whose fuchsia pixels are transparent.
HIMAGELIST LoadGlyphStrip(int id) {
    return ::ImageList_LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), 16, 0, RGB(255, 0, 255),
                                  IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

HCURSOR LoadOwnCursor(int id) {
    return static_cast<HCURSOR>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

TMainForm::TMainForm() {
    create_form({L"Scrutel", kDesignClientWidth, kDesignClientHeight, true});
    CreateControls();
    on_destroy = [this] { FormDestroy(); };
    FormCreate();
}

TMainForm::~TMainForm() {
    // Destroy the window while the object is whole, so that the shut-down sequence runs.
    if (handle()) ::DestroyWindow(handle());
}

void TMainForm::CreateControls() {
    HWND form = handle();
    LabelHandle.create(form, L"&Handle:", {8, 13, 42, 13});
    EditHandle.create(form, {52, 9, 96, 21});
    EditHandle.SetValueType(vtHex);
    EditHandle.SetMaxValue(4294967295.0L);
    EditHandle.SetMinValue(0);
    EditHandle.on_change = [this] { RefreshWindowInfo(); };

    WindowFinder.create(form, {156, 5, 31, 28});
    Pinner.create(form, {194, 7, 25, 25});
    Pinner.on_click = [this] { PinnerClick(); };
    ButtonExpand.create(form, L"&<<", {232, 8, 46, 23});
    ButtonExpand.on_click = [this] { ButtonExpandClick(); };
    // Off screen and out of the Tab order: only the Escape key reaches it.
    ButtonCloseOnEscape.create(form, L"CloseOnEscape", {-200, -200, 75, 25}, ui::Button::Cancel);
    ::SetWindowLongW(ButtonCloseOnEscape.handle(), GWL_STYLE,
                     ::GetWindowLongW(ButtonCloseOnEscape.handle(), GWL_STYLE) & ~WS_TABSTOP);
    ButtonCloseOnEscape.on_click = [this] { ButtonCloseOnEscapeClick(); };
    set_cancel_button(&ButtonCloseOnEscape);

    StatusBar.create(form, {170});
    StatusBar.set_panel_text(0, L"Ready");
    RECT status{};
    ::GetWindowRect(StatusBar.handle(), &status);
    const int status_height = status.bottom - status.top;

    TabImages_.reset(LoadGlyphStrip(IDB_TABS));
    PageControl.create(
        form, {0, kStripHeight, kDesignClientWidth, kDesignClientHeight - kStripHeight - status_height},
        TabImages_.get());
    struct PageSpec {
        const wchar_t* caption;
        bool visible;
        int image;
    };
    const PageSpec pages[PageCount] = {
        {L"Attributes", true, IMAGE_TAB_ATTRIBUTES},
        {L"Process", false, -1},
        {L"Delphi-VCL", true, IMAGE_TAB_DELPHI_VCL},
        {L"Color", true, IMAGE_TAB_COLOR},
        {L"Link", true, IMAGE_TAB_LINK},
        {L"Hierarchy", false, IMAGE_TAB_SPARE},
        {L"Miscellaneous", false, -1},
        {L"PEInfo", true, IMAGE_TAB_PEINFO},
    };
    for (const PageSpec& page : pages) PageControl.add_page(page.caption, page.visible, page.image);
    PageControl.on_change = [this] { PageControlChange(); };
    PageControl.set_active_page(TabSheetEigenschaften);
    Attributes.Create(PageControl.page(TabSheetEigenschaften));
    DelphiVcl.Create(PageControl.page(TabSheet2));

    HMENU bar = menu_bar();
    // The options dialog and the about box are not part of this build yet: their items stay grey.
    add_menu_item(bar, L"&Options", [] {});
    ::EnableMenuItem(bar, 0, MF_BYPOSITION | MF_GRAYED);
    HMENU help = add_submenu(bar, L"&?");
    add_menu_item(help, L"&Info...", [] {});
    ::EnableMenuItem(help, 0, MF_BYPOSITION | MF_GRAYED);
    ::DrawMenuBar(form);
    // ShortCutHelper: a hidden menu item whose Alt+H moves the focus to the handle box.
    add_shortcut(FALT, 'H', [this] { ShortCutHelperClick(); });

    // Keep the client area at its design size now that the menu bar takes its share of the frame.
    RECT frame{0, 0, kDesignClientWidth, kDesignClientHeight};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(form, GWL_STYLE)), TRUE,
                         static_cast<DWORD>(::GetWindowLongW(form, GWL_EXSTYLE)));
    ::SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::FormCreate() {
    ui::Application& app = ui::Application::instance();
    app.set_title(ui::window_text(handle()));
    EditWidths_[1] = Attributes.EditCaption.bounds().width;
    ClientWidths_[1] = client_size().cx;

    SettingsKey_ = L"Software\\Orvane\\" + ProductName();
    FrameSettings_ = ReadFrameSettings(SettingsKey_);

    DWORD process = 0;
    ::GetWindowThreadProcessId(handle(), &process);
    OwnProcessId_ = process;

    // Shared icons of our own module: the system keeps them as long as the program runs.
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    for (const auto& [kind, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}})
        ::SendMessageW(handle(), WM_SETICON, kind,
                       reinterpret_cast<LPARAM>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_SCRUTEL),
                                                             IMAGE_ICON, size, size, LR_SHARED)));

    FinderIdle_.reset(LoadSystemColoredBitmap(IDB_FINDER_IDLE));
    FinderDragging_.reset(LoadSystemColoredBitmap(IDB_FINDER_DRAG));
    WindowFinder.set_bitmap(FinderIdle_.get());
    FinderCursor_.reset(LoadOwnCursor(IDC_FINDER));
    PipetteCursor_.reset(LoadOwnCursor(IDC_PIPETTE));
    app.register_cursor(1, FinderCursor_.get());
    app.register_cursor(2, PipetteCursor_.get());
    FinderHook_.install(WindowFinder.handle(),
                        [this](const ui::WindowHook::Call& call) { return WindowFinderMessage(call); });

    if (ui::unique_image_list pins{LoadGlyphStrip(IDB_PIN)}) {
        // The strip holds the glyphs up, disabled, down and held.
        PinUp_.reset(::ImageList_GetIcon(pins.get(), 0, ILD_TRANSPARENT));
        PinDown_.reset(::ImageList_GetIcon(pins.get(), 2, ILD_TRANSPARENT));
    }
    Pinner.set_glyphs(PinUp_.get(), PinDown_.get());

    Attributes.HandleHistoryListBox.on_click = [this] { HandleHistoryListBoxClick(); };
    Attributes.SupressSameHandles.on_click = [this] { SupressSameHandlesClick(); };

    PageControlChange();

    HotKeyRegistered_ = ::RegisterHotKey(handle(), kCaptureHotKeyId, MOD_SHIFT, VK_SNAPSHOT) != FALSE;

    Expanded_ = true;
    ButtonExpand.click();
    PageControl.set_active_page(TabSheetEigenschaften);
}

void TMainForm::FormDestroy() {
    ui::Application& app = ui::Application::instance();
    try {
        WriteFrameSettings(SettingsKey_, FrameSettings_);
    } catch (...) {
        app.handle_exception(std::current_exception());
    }
    CurrentComponent_ = nullptr;
    AlienApp_.reset();
    // Released with the window it belongs to, so that the hotkey works for as long as Scrutel runs.
    if (HotKeyRegistered_) ::UnregisterHotKey(handle(), kCaptureHotKeyId);
    app.register_cursor(1, nullptr);
    app.register_cursor(2, nullptr);
}

void TMainForm::PageControlChange() {
    ButtonExpand.set_enabled(true);
    if (PageControl.active_page() == TabSheetPEInfo) {
        Expanded_ = false;
        ButtonExpand.click();
        ButtonExpand.set_enabled(false);
    }
}

void TMainForm::ButtonExpandClick() {
    Expanded_ = !Expanded_;
    const int index = Expanded_ ? 1 : 0;
    Attributes.SetLayout(Expanded_, EditWidths_[index]);
    set_client_width(ClientWidths_[index]);
    const SIZE client = client_size();
    PageControl.resize(client.cx, PageControl.bounds().height);
    ::SendMessageW(StatusBar.handle(), WM_SIZE, 0, 0);
    ButtonExpand.set_text(ExpandCaptions_[index]);
}

void TMainForm::PinnerClick() {
    // The window is never anything but a normal top-level form, so the guard of pinning an owned or
    // child form cannot trigger here.
    ::SetWindowPos(handle(), Pinner.down() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMainForm::ButtonCloseOnEscapeClick() { ui::Application::instance().terminate(); }

void TMainForm::ShortCutHelperClick() { EditHandle.focus(); }

LRESULT TMainForm::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HOTKEY) {
        CaptureHotKey(wp);
        return 0;
    }
    return Form::handle_message(msg, wp, lp);
}

TAlienControl* TMainForm::FindAlienControl(HWND window, POINT point) {
    if (!WindowResponds(window)) return nullptr;
    const std::uint32_t handle = AlienWindowHandle(window);
    if (AlienApp_ && AlienApp_->Window() != handle) {
        CurrentComponent_ = nullptr;  // it belongs to the access object going now
        AlienApp_.reset();
    }
    try {
        if (!AlienApp_) AlienApp_ = std::make_unique<TAlienApplication>(Win32AlienPlatform(), handle);
        TAlienControl* result = AlienApp_->WinControlOf(handle);
        if ((point.x == -1 && point.y == -1) || !result) return result;
        ::ScreenToClient(window, &point);
        if (TAlienControl* child =
                static_cast<TAlienWinControl*>(result)->ControlAtPos({point.x, point.y}, true))
            result = child;
        return result;
    } catch (...) {
        // A window without the library, an unknown version or a broken object: nothing to show.
        CurrentComponent_ = nullptr;
        AlienApp_.reset();
        return nullptr;
    }
}

void TMainForm::ShowAlienControl() { DelphiVcl.Show(AlienApp_.get(), CurrentComponent_); }

bool TMainForm::CurrentWindowResponds() const {
    return Updating_ ? RefreshResponds_ : WindowResponds(CurrentHandle_);
}

void TMainForm::ShowStatus(const std::wstring& message) { StatusBar.set_panel_text(0, message); }

void TMainForm::RefreshWindowInfo() {
    struct UpdatingScope {
        bool& flag;
        explicit UpdatingScope(bool& f) : flag(f) { flag = true; }
        ~UpdatingScope() { flag = false; }
    } updating(Updating_);

    const std::wstring text = EditHandle.text();
    if (text.empty()) return;
    // The box holds only hexadecimal digits up to FFFFFFFF; the handle is the value's 32 bits.
    const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 16);
    CurrentHandle_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(static_cast<std::uint32_t>(value)));
    const bool responds = WindowResponds(CurrentHandle_);
    RefreshResponds_ = responds;
    if (::IsWindow(CurrentHandle_)) {
        ShowStatus(responds ? L"Ready" : L"Some information is missing, as the window does not respond");
        TWindowInformation info;
        // One probe per refresh: the reader and the handlers that the boxes' changes run take its answer.
        ReadWindowInformation(CurrentHandle_, info, responds);
        Attributes.ShowWindowInformation(info);
        if (!PickingByPoint_) {
            CurrentComponent_ = FindAlienControl(CurrentHandle_, POINT{-1, -1});
            ShowAlienControl();
        }
    } else if (CurrentHandle_) {
        ShowStatus(L"Error: Unassigned handle!");
    }
}
