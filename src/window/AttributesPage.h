#pragma once
// The Attributes page: the picked window's attributes, and editing of its caption, visibility and
// enabled state.
#include <windows.h>

#include <string>

#include "base/ValueText.h"
#include "ui/Controls.h"
#include "window/HandleHistory.h"
#include "window/WindowInformation.h"

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

    // Event handlers.
    void EditCaptionChange();
    void CheckBoxVisibleClick();
    void CheckBoxEnabledClick();
    void ButtonCopyClick();

    ui::Label LabelCaption, LabelClassName, LabelID, LabelFont, LabelWindowRect, LabelClientRect,
        LabelAppInstance, LabelParentWnd, LabelOwnerWnd;
    ui::Edit EditCaption, EditClassName, EditID, EditFont, EditWindowRect, EditClientRect, EditAppInstance,
        EditParentWnd, EditOwnerWnd;
    ui::Picture IconBig, IconSmall;
    ui::Button ButtonSaveIcon, ButtonCopy;
    ui::CheckBox CheckBoxEnabled, CheckBoxVisible, CheckBoxUnicode;

    ui::GroupBox GroupControlInfo;
    ui::Label LabelAuthor, LabelPackage, LabelWebSite, LabelAuthorValue, LabelPackageValue, LabelWebSiteValue;
    THandleHistory HandleHistory;
    ui::Label LabelStyle, LabelExStyle;
    ui::Button ButtonStyle, ButtonExStyle, ButtonProperties;

private:
    TAttributesHost& host_;
};
