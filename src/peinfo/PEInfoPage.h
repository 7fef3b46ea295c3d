#pragma once
// The PEInfo page: a file name box with a browse button, a tree of the file's parts and a list of the
// selected part's rows. Tree and list show the nodes of PeInfoNodes, the same that scrutel-pe prints,
// whatever nodes the model has.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "peinfo/GkPeInfo.h"
#include "peinfo/PackageInfo.h"
#include "peinfo/PeInfoNodes.h"
#include "ui/Controls.h"
#include "ui/FileDialogs.h"
#include "ui/ReportListView.h"
#include "ui/Splitter.h"
#include "ui/TextTree.h"

class TPEInfoPage : public ui::PageContent {
public:
    TPEInfoPage();
    void Create(HWND page) override;

    // Event handlers. A change of the name that names an existing file loads it; selecting a part
    // shows its rows; browsing writes the chosen name into the box.
    void EditPEFileNameChange();
    void TreePartsChange(HTREEITEM node);
    void ButtonOpenDialogClick();

    // The open dialog, or what a test answers instead (not owned; null: the dialog again).
    void SetFileChooser(ui::FileChooser* chooser) { chooser_ = chooser ? chooser : &open_dialog_; }
    // The reader of the file on show; null before the first load and after a failed one.
    const TPEFileInfo* PEFileInfo() const { return PEFileInfo_.get(); }

    ui::Label LabelPEFileName;
    ui::Edit EditPEFileName;
    ui::Button ButtonOpenDialog;
    ui::Panel PanelParts;
    ui::TextTree TreeParts;
    ui::Splitter SplitterParts;
    ui::ReportListView ListFields;

private:
    void BuildTree();
    // The rows of "Miscellaneous" come from producer detection, run anew each time they are shown.
    void DetectProducer(TPeInfoNode& node);
    std::wstring CellText(int row, int column) const;

    ui::OpenFileDialog open_dialog_;
    ui::FileChooser* chooser_ = &open_dialog_;
    std::unique_ptr<TPEFileInfo> PEFileInfo_;
    TPackageInfo packages_;
    std::vector<TPeInfoNode> nodes_;
    const TPeInfoNode* shown_ = nullptr;  // whose rows the list shows
};
