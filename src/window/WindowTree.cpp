#include "window/WindowTree.h"

#include <utility>

#include "base/AsciiText.h"
#include "window/WindowEntryText.h"

namespace {

std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c < L' ' || c == 0x7F) c = L' ';
    return text;
}

}  // namespace

TWindowTree TWindowTree::Build(TWindowLister& lister, std::size_t limit) {
    TWindowTree tree;
    for (const std::uint32_t top : lister.TopLevelWindows(limit)) {
        if (tree.nodes_.size() >= limit) break;
        if (tree.index_.count(top)) continue;
        std::optional<TListedWindow> window = lister.Describe(top);
        if (!window) continue;
        tree.Add(top, std::move(*window), -1);
        for (const TWindowLister::TChild& child : lister.Descendants(top, limit - tree.nodes_.size())) {
            if (tree.nodes_.size() >= limit) break;
            if (tree.index_.count(child.Window)) continue;
            const auto parent = tree.index_.find(child.Parent);
            if (parent == tree.index_.end()) continue;
            std::optional<TListedWindow> described = lister.Describe(child.Window);
            if (described) tree.Add(child.Window, std::move(*described), parent->second);
        }
    }
    return tree;
}

void TWindowTree::Add(std::uint32_t handle, TListedWindow window, int parent) {
    const int node = static_cast<int>(nodes_.size());
    if (parent >= 0)
        window.Visible = window.Visible && nodes_[static_cast<std::size_t>(parent)].Window.Visible;
    nodes_.push_back({handle, std::move(window), parent, {}});
    index_.emplace(handle, node);
    if (parent < 0)
        roots_.push_back(node);
    else
        nodes_[static_cast<std::size_t>(parent)].Children.push_back(node);
}

int TWindowTree::Find(std::uint32_t handle) const {
    const auto found = index_.find(handle);
    return found == index_.end() ? -1 : found->second;
}

std::wstring TWindowTree::Text(int node) const {
    const TWindowNode& n = nodes_.at(static_cast<std::size_t>(node));
    return WindowEntryText(n.Handle, OneLine(n.Window.ClassName), OneLine(n.Window.Caption));
}

void TWindowTreeModel::Rebuild(TWindowLister& lister, std::size_t limit) {
    tree_ = TWindowTree::Build(lister, limit);
    std::erase_if(expanded_, [&](std::uint32_t handle) { return tree_.Find(handle) < 0; });
    if (selected_ && tree_.Find(*selected_) < 0) selected_.reset();
    ApplyFilter();
}

void TWindowTreeModel::SetFilter(TWindowTreeFilter filter) {
    filter_ = std::move(filter);
    ApplyFilter();
}

void TWindowTreeModel::Fold(std::wstring& text) const {
    if (filter_.Fold)
        filter_.Fold(text);
    else
        for (wchar_t& c : text) c = FoldAscii(c);
}

bool TWindowTreeModel::Matches(const TWindowNode& node, const std::wstring& folded_text) const {
    for (std::wstring text : {node.Window.ClassName, node.Window.Caption}) {
        Fold(text);
        if (text.find(folded_text) != std::wstring::npos) return true;
    }
    return false;
}

void TWindowTreeModel::ApplyFilter() {
    const std::vector<TWindowNode>& nodes = tree_.Nodes();
    std::vector<char> visible(nodes.size(), 0);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        visible[i] = !filter_.VisibleOnly || nodes[i].Window.Visible;
    if (filter_.Text.empty()) {
        shown_ = std::move(visible);
        return;
    }
    std::wstring folded = filter_.Text;
    Fold(folded);
    shown_.assign(nodes.size(), 0);
    // Children stand after their parents: going backward, each match keeps its ancestors.
    for (std::size_t i = nodes.size(); i-- > 0;) {
        if (!visible[i] || !(shown_[i] || Matches(nodes[i], folded))) continue;
        shown_[i] = 1;
        if (nodes[i].Parent >= 0) shown_[static_cast<std::size_t>(nodes[i].Parent)] = 1;
    }
}

bool TWindowTreeModel::Expanded(int node) const {
    if (!Shown(node)) return false;
    if (!filter_.Text.empty()) return true;
    return expanded_.count(tree_.Nodes()[static_cast<std::size_t>(node)].Handle) != 0;
}

void TWindowTreeModel::SetExpanded(int node, bool expanded) {
    if (!filter_.Text.empty() || node < 0) return;
    const std::uint32_t handle = tree_.Nodes().at(static_cast<std::size_t>(node)).Handle;
    if (expanded)
        expanded_.insert(handle);
    else
        expanded_.erase(handle);
}

bool TWindowTreeModel::Select(std::uint32_t handle) {
    const int node = tree_.Find(handle);
    if (node < 0) return false;
    selected_ = handle;
    for (int parent = tree_.Nodes()[static_cast<std::size_t>(node)].Parent; parent >= 0;
         parent = tree_.Nodes()[static_cast<std::size_t>(parent)].Parent)
        expanded_.insert(tree_.Nodes()[static_cast<std::size_t>(parent)].Handle);
    return Shown(node);
}

int TWindowTreeModel::SelectedNode() const {
    const int node = selected_ ? tree_.Find(*selected_) : -1;
    return Shown(node) ? node : -1;
}

std::wstring TWindowTreeModel::BranchText(int node) const {
    std::wstring lines;
    if (!Shown(node)) return lines;
    // Depth first without recursion: a program can nest its windows as deep as it likes.
    std::vector<std::pair<int, std::size_t>> stack{{node, 0}};
    while (!stack.empty()) {
        const auto [current, depth] = stack.back();
        stack.pop_back();
        lines.append(depth * 2, L' ');
        lines += tree_.Text(current);
        lines += L"\r\n";
        const std::vector<int>& children = tree_.Nodes()[static_cast<std::size_t>(current)].Children;
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            if (Shown(*child)) stack.emplace_back(*child, depth + 1);
    }
    return lines;
}
