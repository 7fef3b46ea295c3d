#include "app/MainForm.h"

#include <windowsx.h>

#include <cwchar>

#include "Resource.h"
#include "alien/CatalogueFile.h"
#include "alien/DelphiVclCopy.h"
#include "base/ScopeGuard.h"
#include "base/ValueText.h"
#include "base/WindowHandleValue.h"
#include "components/GkGeneral.h"
#include "ui/Application.h"
#include "ui/Clipboard.h"
#include "ui/Resources.h"
#include "ui/Text.h"

namespace {

constexpr int kDesignClientWidth = 506, kDesignClientHeight = 401, kStripHeight = 38;

}  // namespace

TMainForm::TMainForm() {
    create_form({L"Scrutel", kDesignClientWidth, kDesignClientHeight, true});
    CreateControls();
    on_destroy = [this] { FormDestroy(); };
    // The stored position is put back before the creation handler, the system font taken right after.
    PositionRestore.Loaded();
    // Ctrl shows the magnifier while the pipette is held; releasing any key hides it.
    on_key_down = [this](WPARAM key) {
        if (key != VK_CONTROL && ::GetKeyState(VK_CONTROL) >= 0) return;
        const DWORD at = ::GetMessagePos();  // the key message's own cursor position
        Color.ShowMagnifier(POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)});
    };
    on_key_up = [this](WPARAM) { Color.HideMagnifier(); };
    FormCreate();
    UseSysFont.FormCreated();
    InfoDialog.DevelopmentState = dsFinal;
    InfoDialog.Years = L"2026";
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

    Finder.Create(form, {156, 5, 31, 28});
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
    const int status_height = StatusBar.bounds().height;

    tab_images_.reset(ui::load_glyph_strip(IDB_TABS));
    PageControl.create(
        form, {0, kStripHeight, kDesignClientWidth, kDesignClientHeight - kStripHeight - status_height},
        tab_images_.get());
    struct PageSpec {
        const wchar_t* caption;
        bool visible;
        int image;
        ui::PageContent* content;
    };
    const PageSpec pages[PageCount] = {
        {L"Attributes", true, IMAGE_TAB_ATTRIBUTES, &Attributes},
        {L"Process", false, -1, nullptr},
        {L"Delphi-VCL", true, IMAGE_TAB_DELPHI_VCL, &DelphiVcl},
        {L"Color", true, IMAGE_TAB_COLOR, &Color},
        {L"Link", true, IMAGE_TAB_LINK, &Link},
        {L"Hierarchy", true, IMAGE_TAB_SPARE, &Hierarchy},
        {L"Miscellaneous", false, -1, nullptr},
        {L"PEInfo", true, IMAGE_TAB_PEINFO, &PEInfo},
    };
    for (const PageSpec& page : pages)
        PageControl.add_page(page.caption, page.visible, page.image, page.content);
    PageControl.on_change = [this] { PageControlChange(); };
    DropFiles.OnDropFiles = [this](TGkDropFiles&, const std::vector<std::wstring>& files, int, int) {
        FilesDropped(files);
    };
    PageControl.set_active_page(PageAttributes);
    Attributes.HandleHistory.on_pick = [this](std::uint32_t handle) {
        EditHandle.set_text(HandleText(handle));
    };

    HMENU bar = menu_bar();
    add_menu_item(bar, L"&Options", [this] { OptionsClick(); });
    HMENU help = add_submenu(bar, L"&?");
    add_menu_item(help, L"&Info...", [this] { HelpInfoClick(); });
    ::DrawMenuBar(form);
    // ShortCutHelper: a hidden menu item whose Alt+H moves the focus to the handle box.
    add_shortcut(FALT, 'H', [this] { ShortCutHelperClick(); });
    add_shortcut(FCONTROL, 'C', [this] { CopyShownPage(); });
    add_shortcut(0, VK_F5, [this] {
        if (PageControl.active_page() == PageHierarchy) Hierarchy.RefreshTree();
    });

    // Keep the client area at its design size now that the menu bar takes its share of the frame.
    set_client_size(kDesignClientWidth, kDesignClientHeight);
}

void TMainForm::FormCreate() {
    ui::Application& app = ui::Application::instance();
    app.set_title(ui::window_text(handle()));
    edit_widths_[1] = Attributes.EditWidth();
    client_widths_[1] = client_size().cx;

    settings_key_ = L"Software\\Orvane\\" + PositionRestore.Product();
    frame_settings_ = ReadFrameSettings(settings_key_);
    // Saving the position is on exactly when a stored position was found, until the user changes it.
    PositionRestore.SavePosition = PositionRestore.Restored();

    // Shared icons of our own module: the system keeps them as long as the program runs.
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    for (const auto& [kind, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}})
        ::SendMessageW(handle(), WM_SETICON, kind,
                       reinterpret_cast<LPARAM>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_SCRUTEL),
                                                             IMAGE_ICON, size, size, LR_SHARED)));

    if (ui::unique_image_list pins{ui::load_glyph_strip(IDB_PIN)}) {
        // The strip holds the glyphs up, disabled, down and held.
        pin_up_.reset(::ImageList_GetIcon(pins.get(), 0, ILD_TRANSPARENT));
        pin_down_.reset(::ImageList_GetIcon(pins.get(), 2, ILD_TRANSPARENT));
    }
    Pinner.set_glyphs(pin_up_.get(), pin_down_.get());

    Color.Start();
    PageControlChange();

    Finder.RegisterCaptureHotKey(handle());

    expanded_ = true;
    ButtonExpand.click();
    PageControl.set_active_page(PageAttributes);

    // Last: the window is complete, so that it works on with an empty catalogue after an error.
    LoadComponentInfos();
}

void TMainForm::LoadComponentInfos() {
    try {
        component_catalogue_.LoadComponentInfos(CatalogueFileReader(ComponentCatalogueFileName()));
    } catch (...) {
        ui::Application::instance().handle_exception(std::current_exception());
    }
}

void TMainForm::ShowComponentInfo(const std::wstring& class_name) {
    // A class name with characters outside the system's code page names no entry.
    const std::string name = ui::wide_to_ansi(class_name);
    const TComponentInfo* info =
        ui::ansi_to_wide(name) == class_name ? component_catalogue_.FindComponentInfo(name) : nullptr;
    if (info)
        Attributes.ShowComponentInfo(ui::ansi_to_wide(AuthorText(*info)), ui::ansi_to_wide(info->Package),
                                     ui::ansi_to_wide(info->Website));
    else
        Attributes.ShowComponentInfo(L"", L"", L"");
}

void TMainForm::FormDestroy() {
    ui::Application& app = ui::Application::instance();
    try {
        WriteFrameSettings(settings_key_, frame_settings_);
    } catch (...) {
        app.handle_exception(std::current_exception());
    }
    components_.Reset();
    // Released with the window it belongs to, so that the hotkey works for as long as Scrutel runs.
    Finder.ReleaseCaptureHotKey();
}

void TMainForm::PageControlChange() {
    ButtonExpand.set_enabled(true);
    const int page = PageControl.active_page();
    DropFiles.SetTarget(page == PageLink || page == PagePEInfo ? handle() : nullptr);
    if (page == PagePEInfo) {
        expanded_ = false;
        ButtonExpand.click();
        ButtonExpand.set_enabled(false);
    }
}

void TMainForm::FilesDropped(const std::vector<std::wstring>& files) {
    if (files.empty()) return;
    if (PageControl.active_page() == PageLink)
        Link.FileDropped(files.front());
    else if (PageControl.active_page() == PagePEInfo)
        PEInfo.EditPEFileName.set_text(files.front());
}

void TMainForm::ButtonExpandClick() {
    expanded_ = !expanded_;
    const int index = expanded_ ? 1 : 0;
    Attributes.SetLayout(expanded_, edit_widths_[index]);
    set_client_width(client_widths_[index]);
    const SIZE client = client_size();
    PageControl.resize(client.cx, PageControl.bounds().height);
    ::SendMessageW(StatusBar.handle(), WM_SIZE, 0, 0);
    Hierarchy.FitToPage();
    ButtonExpand.set_text(expand_captions_[index]);
}

void TMainForm::PinnerClick() {
    // The window is never anything but a normal top-level form, so the guard of pinning an owned or
    // child form cannot trigger here.
    ::SetWindowPos(handle(), Pinner.down() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMainForm::ButtonCloseOnEscapeClick() { ui::Application::instance().terminate(); }

void TMainForm::ShortCutHelperClick() { EditHandle.focus(); }

void TMainForm::OptionsClick() {
    // Made for each showing: a window that the main window owns, even a hidden one, keeps Wine from
    // pinning the main window above the others.
    TOptionsDialog dialog(*this, handle());
    dialog.ShowModal();
}

void TMainForm::HelpInfoClick() { InfoDialog.Execute(); }

LRESULT TMainForm::handle_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HOTKEY) {
        Finder.CaptureHotKey(wp);
        return 0;
    }
    return Form::handle_message(msg, wp, lp);
}

void TMainForm::ShowHandle(HWND window) {
    EditHandle.set_text(window ? HandleText(HandleValue(window)) : L"");
}

void TMainForm::EnableHandleBox(bool enabled) { EditHandle.set_enabled(enabled); }

void TMainForm::ShowCurrentComponent() {
    DelphiVcl.Show(components_.Application(), components_.CurrentComponent());
}

void TMainForm::AddToHandleHistory(bool touched) {
    if (!touched || Attributes.HandleHistory.AddAllTouchedWindows()) Attributes.AddToHandleHistory();
}

void TMainForm::PickFromTree(HWND window, bool touched) {
    EditHandle.set_text(HandleText(HandleValue(window)));
    // A window gone since the tree was listed leaves the boxes as they were: there is no entry to add.
    if (::IsWindow(window)) AddToHandleHistory(touched);
}

void TMainForm::CopyShownPage() {
    // In an edit box with a selection, Ctrl+C copies the selection, as it does everywhere.
    HWND focus = ::GetFocus();
    if (ui::edit_has_selection(focus)) {
        ::SendMessageW(focus, WM_COPY, 0, 0);
        return;
    }
    std::wstring text;
    switch (PageControl.active_page()) {
        case PageAttributes:
            text = Attributes.CopyText();
            break;
        case PageDelphiVcl:
            text = DelphiVclCopyText(DelphiVcl);
            break;
        case PageHierarchy:
            text = Hierarchy.CopyText();
            break;
        case PagePEInfo:
            text = PEInfo.ListFields.copy_text();
            break;
        default:
            return;
    }
    if (!text.empty() && !ui::copy_to_clipboard(handle(), text)) ShowStatus(L"Cannot open the clipboard");
}

bool TMainForm::CurrentWindowResponds() const {
    return updating_ ? refresh_responds_ : WindowResponds(current_handle_);
}

void TMainForm::ShowStatus(const std::wstring& message) { StatusBar.set_panel_text(0, message); }

void TMainForm::RefreshWindowInfo() {
    ScopedFlag updating(updating_);
    const std::wstring text = EditHandle.text();
    if (text.empty()) return;
    // The box holds only hexadecimal digits up to FFFFFFFF; the handle is the value's 32 bits.
    const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 16);
    current_handle_ = HandleFromValue<HWND>(static_cast<std::uint32_t>(value));
    const bool responds = WindowResponds(current_handle_);
    refresh_responds_ = responds;
    if (::IsWindow(current_handle_)) {
        ShowStatus(responds ? L"Ready" : L"Some information is missing, as the window does not respond");
        TWindowInformation info;
        // One probe per refresh: the reader and the handlers that the boxes' changes run take its answer.
        ReadWindowInformation(current_handle_, info, responds);
        Attributes.ShowWindowInformation(info);
        ShowComponentInfo(info.ClassName);
        if (!Finder.PickingByPoint()) {
            components_.SetCurrentComponent(components_.Find(current_handle_, std::nullopt));
            ShowCurrentComponent();
        }
    } else if (current_handle_) {
        ShowStatus(L"Error: Unassigned handle!");
    }
}
