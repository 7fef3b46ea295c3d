#pragma once
// The Attributes page: the picked window's attributes, editing of its caption, visibility and enabled
// state, its styles spelled out, its icons and the catalogue's information about its class.
#include <windows.h>

#include <memory>
#include <string>

#include "base/ValueText.h"
#include "components/GkHotLink.h"
#include "ui/Controls.h"
#include "ui/FileDialogs.h"
#include "window/HandleHistory.h"
#include "window/WindowInformation.h"
#include "window/WindowStylesDialog.h"

// What the page needs of the main window.
class TAttributesHost {
public:
    virtual HWND CurrentHandle() const = 0;
    virtual bool Updating() const = 0;
    // WindowResponds for the current window; during a refresh, the answer the refresh just got.
    virtual bool CurrentWindowResponds() const = 0;
    virtual void ShowStatus(const std::wstring& message) = 0;

protected:
    ~TAttributesHost() = default;
};

class TAttributesPage : public ui::PageContent {
public:
    explicit TAttributesPage(TAttributesHost& host) : host_(host) {}
    void Create(HWND page) override;

    // Writes every box and control from info, each only where its text or state differs.
    void ShowWindowInformation(const TWindowInformation& info);
    // The collapsed layout shows only the left column, with wider boxes.
    void SetLayout(bool expanded, int edit_width);
    int EditWidth() const { return EditCaption.bounds().width; }
    // Adds the current window as the boxes show it.
    void AddToHandleHistory();
    // Every field of the page as "Label: value" lines, whichever layout shows them.
    std::wstring CopyText() const;
    // The group "Information about the control": the catalogue's entry for the window's class, or
    // three empty texts when it has none.
    void ShowComponentInfo(const std::wstring& author, const std::wstring& package,
                           const std::wstring& website);

    // Event handlers.
    void EditCaptionChange();
    void CheckBoxVisibleClick();
    void CheckBoxEnabledClick();
    void ButtonCopyClick();
    void ButtonWindowStyleClick();
    void ButtonSaveIconClick();

    ui::Label LabelCaption, LabelClassName, LabelID, LabelFont, LabelWindowRect, LabelClientRect,
        LabelAppInstance, LabelParentWnd, LabelOwnerWnd;
    ui::Edit EditCaption, EditClassName, EditID, EditFont, EditWindowRect, EditClientRect, EditAppInstance,
        EditParentWnd, EditOwnerWnd;
    ui::Picture IconBig, IconSmall;
    ui::Button ButtonSaveIcon, ButtonCopy;
    ui::CheckBox CheckBoxEnabled, CheckBoxVisible, CheckBoxUnicode;

    ui::GroupBox GroupControlInfo;
    ui::Label LabelAuthor, LabelPackage, LabelWebsite;
    ui::Edit EditAuthor, EditPackage;
    TGkHotLink HotLinkWebsite;
    THandleHistory HandleHistory;
    ui::Label LabelStyle, LabelExStyle;
    ui::Button ButtonStyle, ButtonExStyle, ButtonProperties;

    // What "Save..." asks for the file name; tests put one of their own here.
    std::unique_ptr<ui::SaveFileDialog> SaveDialog = std::make_unique<ui::SystemSaveFileDialog>();
    // The dialog "Styles", made when it is first needed.
    TWindowStylesDialog* FormWindowStyles() const { return styles_dialog_.get(); }

private:
    TAttributesHost& host_;
    std::unique_ptr<TWindowStylesDialog> styles_dialog_;
    bool icons_shown_ = false;  // a refresh has handed the pictures their icons (0 included)
};
