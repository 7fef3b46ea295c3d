#include "peinfo/PEInfoPage.h"

#include <exception>
#include <map>
#include <utility>

#include "base/ScopeGuard.h"
#include "components/GkGeneral.h"
#include "peinfo/FileByteSource.h"
#include "peinfo/ProducerInfo.h"
#include "ui/Application.h"
#include "ui/Text.h"

namespace {

// Tree items made for a path prefix that no node of the model names carry this instead of a node.
constexpr LPARAM kGroupOnly = -1;
constexpr int kFirstColumnWidth = 172;

std::vector<std::wstring> Wide(const std::vector<std::string>& texts) {
    std::vector<std::wstring> wide;
    for (const std::string& text : texts) wide.push_back(ui::ansi_to_wide(text));
    return wide;
}

}  // namespace

TPEInfoPage::TPEInfoPage()
    : open_dialog_({
          {L"PE binary files (*.exe; *.dll; *.bpl; *.dpl; *.ocx)", L"*.exe;*.dll;*.bpl;*.dpl;*.ocx"},
          {L"Executables (*.exe)", L"*.exe"},
          {L"Libraries (*.dll)", L"*.dll"},
          {L"Packages (*.bpl; *.dpl)", L"*.bpl;*.dpl"},
          {L"ActiveX controls (*.ocx)", L"*.ocx"},
      }) {}

void TPEInfoPage::Create(HWND page) {
    LabelPEFileName.create(page, L"&PE-filename:", {8, 12, 70, 13});
    EditPEFileName.create(page, {80, 8, 386, 21});
    ButtonOpenDialog.create(page, L"...", {470, 9, 18, 18});
    PanelParts.create(page, 8, 36, 482, 270);
    HWND panel = PanelParts.handle();
    TreeParts.create(panel, {0, 0, 145, 270});
    ListFields.create(panel, {149, 0, 333, 270});
    SplitterParts.create(panel, {145, 0, 4, 270}, TreeParts, ListFields);
    ListFields.set_columns({L"Field", L"Value"}, kFirstColumnWidth);
    ListFields.cell_text = [this](int row, int column) { return CellText(row, column); };

    EditPEFileName.on_change = [this] { EditPEFileNameChange(); };
    ButtonOpenDialog.on_click = [this] { ButtonOpenDialogClick(); };
    TreeParts.on_change = [this](HTREEITEM node) { TreePartsChange(node); };
    SplitterParts.on_moved = [this] { ListFields.fit_columns(); };
}

void TPEInfoPage::EditPEFileNameChange() {
    int position = 0;
    if (HTREEITEM selected = TreeParts.selected(); selected && !TreeParts.parent_of(selected)) {
        for (HTREEITEM item = TreeParts.first_child(nullptr); item && item != selected;
             item = TreeParts.next_sibling(item))
            ++position;
    }
    const std::wstring name = EditPEFileName.text();
    if (!FileExists(name)) return;

    TreeParts.clear();
    shown_ = nullptr;
    nodes_.clear();
    packages_.Clear();
    PEFileInfo_.reset();
    std::unique_ptr<FileByteSource> file;
    try {
        file = std::make_unique<FileByteSource>(std::filesystem::path(name));
        PEFileInfo_ = std::make_unique<TPEFileInfo>(*file, name, nsDecimal);
    } catch (...) {
        ui::Application::instance().handle_exception(std::current_exception());
        return;
    }
    try {
        packages_.ReadPackageInfo(*file, PEFileInfo_->Image());
        nodes_ = BuildPeInfoNodes(*PEFileInfo_, CollectProducerEvidence(*PEFileInfo_, *file, packages_),
                                  packages_);
        BuildTree();
    } catch (...) {
        // A tree that cannot be built leaves nothing on show, and nothing is said.
        TreeParts.clear();
        nodes_.clear();
        packages_.Clear();
        PEFileInfo_.reset();
        return;
    }
    file.reset();
    HTREEITEM item = TreeParts.first_child(nullptr);
    for (int i = 0; item && i < position; ++i) item = TreeParts.next_sibling(item);
    TreeParts.select(item);
}

void TPEInfoPage::BuildTree() {
    // Every node goes below the item its path names first; a prefix that no node names gets an item
    // of its own, which a later node of that path takes over.
    std::map<std::pair<HTREEITEM, std::string>, HTREEITEM> items, groups;
    for (std::size_t index = 0; index < nodes_.size(); ++index) {
        const std::vector<std::string>& path = nodes_[index].Path;
        HTREEITEM parent = nullptr;
        for (std::size_t depth = 0; depth < path.size(); ++depth) {
            const auto key = std::make_pair(parent, path[depth]);
            const bool last = depth + 1 == path.size();
            if (last) {
                if (auto group = groups.find(key); group != groups.end()) {
                    TreeParts.set_data(group->second, static_cast<LPARAM>(index));
                    groups.erase(group);
                    break;
                }
                items[key] = TreeParts.add(parent, ui::ansi_to_wide(path[depth]), static_cast<LPARAM>(index));
                break;
            }
            auto found = items.find(key);
            if (found == items.end()) {
                HTREEITEM group = TreeParts.add(parent, ui::ansi_to_wide(path[depth]), kGroupOnly);
                found = items.emplace(key, group).first;
                groups[key] = group;
            }
            parent = found->second;
        }
    }
}

void TPEInfoPage::TreePartsChange(HTREEITEM item) {
    ::SendMessageW(ListFields.handle(), WM_SETREDRAW, FALSE, 0);
    const ScopeExit redraw([this] {
        ::SendMessageW(ListFields.handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(ListFields.handle(), nullptr, TRUE);
    });
    shown_ = nullptr;
    ListFields.set_row_count(0);
    const LPARAM index = item ? TreeParts.data(item) : kGroupOnly;
    if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size() ||
        nodes_[static_cast<std::size_t>(index)].Columns.empty()) {
        // Nothing to show: the captions stay, but a column beyond the first two belongs to the part before.
        ListFields.keep_columns(2);
        ListFields.fit_columns();
        return;
    }
    TPeInfoNode& node = nodes_[static_cast<std::size_t>(index)];
    if (node.Path == std::vector<std::string>{"Miscellaneous"}) DetectProducer(node);
    ListFields.set_columns(Wide(node.Columns), kFirstColumnWidth);
    shown_ = &node;
    ListFields.set_row_count(static_cast<int>(node.Rows.size()));
}

void TPEInfoPage::DetectProducer(TPeInfoNode& node) {
    if (!PEFileInfo_) return;
    TProducerEvidence evidence;
    try {
        FileByteSource file(PEFileInfo_->FileName());
        evidence = CollectProducerEvidence(*PEFileInfo_, file, packages_);
    } catch (const std::exception&) {
        // The file is gone or locked: no resources to look at, the import names still count.
        MemoryByteSource nothing("", 0);
        evidence = CollectProducerEvidence(*PEFileInfo_, nothing, packages_);
    }
    node.Rows.clear();
    for (auto& [field, value] : MiscellaneousRows(evidence)) node.Rows.push_back({field, value});
}

std::wstring TPEInfoPage::CellText(int row, int column) const {
    if (!shown_ || row < 0 || column < 0 || static_cast<std::size_t>(row) >= shown_->Rows.size()) return {};
    const std::vector<std::string>& cells = shown_->Rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size()
               ? ui::ansi_to_wide(cells[static_cast<std::size_t>(column)])
               : std::wstring();
}

void TPEInfoPage::ButtonOpenDialogClick() {
    std::wstring name;
    if (chooser_->choose(::GetAncestor(EditPEFileName.handle(), GA_ROOT), name))
        EditPEFileName.set_text(name);
}
