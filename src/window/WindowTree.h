#pragma once
// The tree of every window on the desktop: one bounded snapshot taken through a window lister, the
// filter that keeps the branches leading to a match, and what the tree view keeps from one snapshot to
// the next (the selected window and the expanded branches).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What the tree shows of one window.
struct TListedWindow {
    std::wstring ClassName;
    std::wstring Caption;
    // As the lister reports it, the window's own visible style; in the tree, whether the window and
    // all its ancestors have it, as the system counts a window visible.
    bool Visible = false;
};

// Where the windows come from. Nothing here may wait on the programs that own them.
class TWindowLister {
public:
    struct TChild {
        std::uint32_t Window = 0, Parent = 0;
    };
    // The desktop's top-level windows in z-order, topmost first; at most limit of them.
    virtual std::vector<std::uint32_t> TopLevelWindows(std::size_t limit) = 0;
    // The descendants of a top-level window with their parents, each parent before its children and
    // siblings in z-order; at most limit of them.
    virtual std::vector<TChild> Descendants(std::uint32_t top_level, std::size_t limit) = 0;
    // None when the window no longer exists.
    virtual std::optional<TListedWindow> Describe(std::uint32_t window) = 0;

protected:
    ~TWindowLister() = default;
};

struct TWindowNode {
    std::uint32_t Handle = 0;
    TListedWindow Window;
    int Parent = -1;            // -1 for a top-level window
    std::vector<int> Children;  // in z-order
};

// The windows of one snapshot; a parent always stands before its children.
class TWindowTree {
public:
    // The system's table of window handles has 65,536 entries, so a snapshot never needs more; the
    // limit also ends the walk that a program creating windows without end would keep going.
    static constexpr std::size_t Limit = 65536;

    // Lists each window once. A window that is gone when it is described is left out with its
    // descendants, and so is a window whose parent was not listed before it.
    static TWindowTree Build(TWindowLister& lister, std::size_t limit = Limit);

    const std::vector<TWindowNode>& Nodes() const { return nodes_; }
    const std::vector<int>& Roots() const { return roots_; }
    // -1 when the snapshot holds no such window.
    int Find(std::uint32_t handle) const;
    // The node's line in the form of a handle history entry; control characters (line breaks in a
    // caption) show as spaces, so that every node stays one line.
    std::wstring Text(int node) const;

private:
    void Add(std::uint32_t handle, TListedWindow window, int parent);
    std::vector<TWindowNode> nodes_;
    std::vector<int> roots_;
    std::unordered_map<std::uint32_t, int> index_;
};

// Which windows the tree shows.
struct TWindowTreeFilter {
    // Hidden windows are left out with their descendants.
    bool VisibleOnly = true;
    // When not empty, the windows whose class name or caption contains it, letter case aside, and
    // their ancestors.
    std::wstring Text;
    // Lower-cases a text in place; when empty, ASCII letters are folded.
    std::function<void(std::wstring&)> Fold;
};

class TWindowTreeModel {
public:
    // A new snapshot. The selected window and the expanded branches stay where their windows are still
    // listed.
    void Rebuild(TWindowLister& lister, std::size_t limit = TWindowTree::Limit);
    void SetFilter(TWindowTreeFilter filter);
    const TWindowTreeFilter& Filter() const { return filter_; }
    const TWindowTree& Tree() const { return tree_; }

    bool Shown(int node) const { return node >= 0 && shown_.at(static_cast<std::size_t>(node)) != 0; }
    // Whether the node shows its children: under a filter text every shown node does; otherwise the
    // ones the user left expanded and the ancestors of the selected window.
    bool Expanded(int node) const;
    // The user expanded or collapsed a node; under a filter text this is not kept.
    void SetExpanded(int node, bool expanded);
    // Makes the window the selected one and expands its ancestors; false when it is not shown.
    bool Select(std::uint32_t handle);
    // The shown node of the selected window; -1 when none.
    int SelectedNode() const;
    // The node and its shown descendants, one line each, indented by two spaces a level, each line
    // ended by CR LF; empty for a node that is not shown.
    std::wstring BranchText(int node) const;

private:
    void ApplyFilter();
    bool Matches(const TWindowNode& node, const std::wstring& folded_text) const;
    void Fold(std::wstring& text) const;

    TWindowTree tree_;
    TWindowTreeFilter filter_;
    std::vector<char> shown_;
    std::unordered_set<std::uint32_t> expanded_;
    std::optional<std::uint32_t> selected_;
};
