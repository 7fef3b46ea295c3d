#pragma once
// The main window: the top strip (handle box, finder, pin, layout button), the pages, menu and
// status line; it owns the state the pages share.
#include <windows.h>

#include <cstdint>
#include <string>

#include <memory>

#include "alien/DelphiVclPage.h"
#include "app/FrameSettings.h"
#include "app/HandleHistory.h"
#include "app/SelectionFrame.h"
#include "components/GkNumEdit.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Handles.h"
#include "ui/WindowHook.h"
#include "window/AttributesPage.h"

class TAlienApplication;
class TAlienControl;

class TMainForm : public ui::Form, private TAttributesHost {
public:
    TMainForm();
    ~TMainForm() override;

    // Page indices, in tab order.
    enum Page {
        TabSheetEigenschaften,
        TabSheet1,
        TabSheet2,
        TabSheetFarbe,
        TabSheetLink,
        TabSheetHierarchie,
        TabSheetSonstiges,
        TabSheetPEInfo,
        PageCount
    };

    // The handle box's change handler: the one place that turns its text into the current window.
    void RefreshWindowInfo();
    void PageControlChange();
    void ButtonExpandClick();
    void PinnerClick();
    void ButtonCloseOnEscapeClick();
    void ShortCutHelperClick();

    // Picking by pointing (WindowFinder.cpp, HandleHistory.cpp): the finder picture's mouse handlers,
    // the capture hotkey (WM_HOTKEY) and the handle history.
    void WindowFinderMouseDown();
    void WindowFinderMouseMove();
    void WindowFinderMouseUp();
    void CaptureHotKey(WPARAM id);
    void AddToHandleHistory();
    void HandleHistoryListBoxClick();
    void SupressSameHandlesClick();
    HWND FinderWindow() const { return FinderWindow_; }
    POINT PickPoint() const { return PickPoint_; }
    bool PickingByPoint() const { return PickingByPoint_; }
    bool FinderDragging() const { return Dragging_; }
    const TSelectionFrame& SelectionFrame() const { return SelectionFrame_; }
    const THandleHistory& HandleHistory() const { return HandleHistory_; }

    // The foreign component behind a window and a screen point ((-1, -1): no point), and the
    // Delphi-VCL page that shows CurrentComponent.
    TAlienControl* FindAlienControl(HWND window, POINT point);
    void ShowAlienControl();
    TAlienControl* CurrentComponent() const { return CurrentComponent_; }

    void ShowStatus(const std::wstring& message) override;
    std::wstring StatusText() const { return StatusBar.panel_text(0); }
    HWND CurrentHandle() const override { return CurrentHandle_; }
    bool Updating() const override { return Updating_; }
    bool CurrentWindowResponds() const override;
    bool Expanded() const { return Expanded_; }
    const TFrameSettings& FrameSettings() const { return FrameSettings_; }
    // The registry key of the settings, below HKEY_CURRENT_USER.
    const std::wstring& SettingsKey() const { return SettingsKey_; }

    ui::Label LabelHandle;
    TGkNumEdit EditHandle;
    ui::Picture WindowFinder;
    ui::ToggleButton Pinner;
    ui::Button ButtonExpand;
    ui::Button ButtonCloseOnEscape;
    ui::PageControl PageControl;
    ui::StatusBar StatusBar;
    TAttributesPage Attributes{*this};
    TDelphiVclPage DelphiVcl;
    TAlienApplication* AlienApp() const { return AlienApp_.get(); }

private:
    void FormCreate();
    void FormDestroy();
    void CreateControls();
    LRESULT handle_message(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT WindowFinderMessage(const ui::WindowHook::Call& call);
    bool IsOwnWindow(HWND window) const;
    void EndFinderDrag();

    // Shared state.
    bool Updating_ = false;
    bool RefreshResponds_ = false;  // the probe's answer, for the handlers a refresh runs
    bool PickingByPoint_ = false;
    std::unique_ptr<TAlienApplication> AlienApp_;  // access to the process of the window last looked up
    TAlienControl* CurrentComponent_ = nullptr;    // owned by AlienApp_'s caches
    HWND CurrentHandle_ = nullptr;
    bool Expanded_ = true;
    DWORD OwnProcessId_ = 0;
    TFrameSettings FrameSettings_;
    std::wstring SettingsKey_;

    // The layout tables, indexed by Expanded (0 collapsed, 1 expanded).
    int EditWidths_[2] = {190, 164};
    int ClientWidths_[2] = {286, 506};
    const wchar_t* ExpandCaptions_[2] = {L"&>>", L"&<<"};

    ui::unique_image_list TabImages_;
    ui::unique_bitmap FinderIdle_, FinderDragging_;
    ui::unique_icon PinUp_, PinDown_;
    ui::unique_cursor FinderCursor_, PipetteCursor_;

    // Picking by pointing.
    HWND FinderWindow_ = nullptr;  // the window under the last finder move or hotkey pick
    POINT PickPoint_{};
    bool Dragging_ = false;
    bool HotKeyRegistered_ = false;
    TSelectionFrame SelectionFrame_;
    THandleHistory HandleHistory_{Attributes.HandleHistoryListBox, Attributes.SupressSameHandles};
    ui::WindowHook FinderHook_;  // the finder picture's mouse messages
};
