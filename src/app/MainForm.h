#pragma once
// The main window: the top strip (handle box, finder, pin, layout button), the pages, menu and status
// line. It owns the state the pages and tools share and routes every refresh of the current window to
// them; each page and tool is a class of its own.
#include <windows.h>

#include <string>

#include "alien/ComponentCatalogue.h"
#include "alien/ComponentLookup.h"
#include "alien/DelphiVclPage.h"
#include "app/FrameSettings.h"
#include "app/OptionsDialog.h"
#include "app/WindowFinder.h"
#include "color/ColorPage.h"
#include "components/GkDropFiles.h"
#include "components/GkInfoDialog.h"
#include "components/GkNumEdit.h"
#include "components/GkPositionRestore.h"
#include "components/GkUseSysFont.h"
#include "link/LinkPage.h"
#include "peinfo/PEInfoPage.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Handles.h"
#include "window/AttributesPage.h"
#include "window/HierarchyPage.h"

class TMainForm : public ui::Form,
                  private TAttributesHost,
                  private TWindowFinderHost,
                  private TColorHost,
                  private THierarchyHost,
                  private TOptionsHost {
public:
    TMainForm();
    ~TMainForm() override;

    // Page indices, in tab order; the process and miscellaneous pages are not shown.
    enum Page {
        PageAttributes,
        PageProcess,
        PageDelphiVcl,
        PageColor,
        PageLink,
        PageHierarchy,
        PageMiscellaneous,
        PagePEInfo,
        PageCount
    };

    // The handle box's change handler: the one place that turns its text into the current window.
    void RefreshWindowInfo();
    // Fills the catalogue from "CompRef.txt" beside the program; an error goes to the error box.
    void LoadComponentInfos();
    // The group "Information about the control" for a window's class.
    void ShowComponentInfo(const std::wstring& class_name);
    void PageControlChange();
    void ButtonExpandClick();
    void PinnerClick();
    void ButtonCloseOnEscapeClick();
    void ShortCutHelperClick();
    // The first dropped file goes to the Link or PEInfo page, whichever is shown.
    void FilesDropped(const std::vector<std::wstring>& files);
    void OptionsClick();
    void HelpInfoClick();

    void ShowStatus(const std::wstring& message) override;
    std::wstring StatusText() const { return StatusBar.panel_text(0); }
    HWND CurrentHandle() const override { return current_handle_; }
    bool Updating() const override { return updating_; }
    bool CurrentWindowResponds() const override;
    bool Expanded() const { return expanded_; }
    // The selection frame's settings, which the finder draws with and the options dialog changes.
    const TFrameSettings& FrameSettings() const override { return frame_settings_; }
    // The registry key of the settings, below HKEY_CURRENT_USER.
    const std::wstring& SettingsKey() const { return settings_key_; }
    // The component behind the current window, which the Delphi-VCL page shows.
    TComponentLookup& Components() override { return components_; }

    ui::Label LabelHandle;
    TGkNumEdit EditHandle;
    TWindowFinder Finder{*this};
    ui::ToggleButton Pinner;
    ui::Button ButtonExpand;
    ui::Button ButtonCloseOnEscape;
    ui::PageControl PageControl;
    ui::StatusBar StatusBar;
    TAttributesPage Attributes{*this};
    TDelphiVclPage DelphiVcl;
    TColorPage Color{*this};
    THierarchyPage Hierarchy{*this};
    TLinkPage Link;
    TPEInfoPage PEInfo;
    // The main window takes dropped files while the Link or PEInfo page is shown.
    TGkDropFiles DropFiles;
    TGkPositionRestore PositionRestore{*this, L"MainForm"};
    TGkUseSysFont UseSysFont{*this};
    TGkInfoDialog InfoDialog;

private:
    void FormCreate();
    void FormDestroy();
    void CreateControls();
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;

    // What the window finder asks of the main window.
    void ShowHandle(HWND window) override;
    void EnableHandleBox(bool enabled) override;
    void ShowCurrentComponent() override;
    void AddToHandleHistory(bool touched) override;
    // What the Hierarchy page asks of the main window.
    void PickFromTree(HWND window, bool touched) override;
    // Ctrl+C: the shown page's fields to the clipboard.
    void CopyShownPage();

    // What the options dialog changes.
    bool SavePosition() const override { return PositionRestore.SavePosition; }
    void SetSavePosition(bool save) override { PositionRestore.SavePosition = save; }
    void SetFrameSettings(const TFrameSettings& settings) override { frame_settings_ = settings; }

    bool updating_ = false;
    bool refresh_responds_ = false;  // the probe's answer, for the handlers a refresh runs
    HWND current_handle_ = nullptr;
    bool expanded_ = true;
    TComponentLookup components_;
    TComponentCatalogue component_catalogue_;
    TFrameSettings frame_settings_;
    std::wstring settings_key_;

    // The layout tables, indexed by expanded_ (0 collapsed, 1 expanded).
    int edit_widths_[2] = {190, 164};
    int client_widths_[2] = {286, 506};
    const wchar_t* expand_captions_[2] = {L"&>>", L"&<<"};

    ui::unique_image_list tab_images_;
    ui::unique_icon pin_up_, pin_down_;
};
