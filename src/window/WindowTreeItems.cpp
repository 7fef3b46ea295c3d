#include "window/WindowTreeItems.h"

namespace {

// Beyond these, filling the control anew is quicker than changing it: an item added inside an open
// branch, or a branch opened over its items, makes the control lay out everything below it again.
constexpr std::size_t kMostAddedInOpenBranches = 256;
constexpr std::size_t kMostOpened = 8;

}  // namespace

void TWindowTreeItems::Reset(std::size_t nodes) { nodes_.assign(nodes, TState{}); }

TTreeControl::Item TWindowTreeItems::Item(int node) const {
    return node >= 0 && static_cast<std::size_t>(node) < nodes_.size()
               ? nodes_[static_cast<std::size_t>(node)].item
               : 0;
}

void TWindowTreeItems::Expanded(int node, bool expanded) {
    if (node >= 0 && static_cast<std::size_t>(node) < nodes_.size())
        nodes_[static_cast<std::size_t>(node)].expanded = expanded;
}

void TWindowTreeItems::Forget(const TWindowTree& tree, int node) {
    std::vector<int> stack{node};
    while (!stack.empty()) {
        const auto current = static_cast<std::size_t>(stack.back());
        stack.pop_back();
        if (!nodes_[current].item) continue;
        nodes_[current] = TState{};
        for (int child : tree.Nodes()[current].Children) stack.push_back(child);
    }
}

void TWindowTreeItems::Sync(const TWindowTreeModel& model, TTreeControl& control, bool may_refill) {
    const TWindowTree& tree = model.Tree();
    const std::vector<TWindowNode>& nodes = tree.Nodes();
    if (nodes_.size() != nodes.size()) Reset(nodes.size());
    std::vector<char> has_children(nodes.size(), 0);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].Parent >= 0 && model.Shown(static_cast<int>(i)))
            has_children[static_cast<std::size_t>(nodes[i].Parent)] = 1;
    const auto open = [&](int node) {
        return model.Expanded(node) && has_children[static_cast<std::size_t>(node)];
    };
    const auto state = [&](int node) -> TState& { return nodes_[static_cast<std::size_t>(node)]; };
    const auto children_of = [&](int parent) -> const std::vector<int>& {
        return parent < 0 ? tree.Roots() : nodes[static_cast<std::size_t>(parent)].Children;
    };

    // Parents stand before their children: a removed item takes the items below it along.
    bool any_item = false;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes_[i].item && !model.Shown(static_cast<int>(i))) {
            control.Remove(nodes_[i].item);
            Forget(tree, static_cast<int>(i));
        }
        any_item = any_item || nodes_[i].item;
    }

    if (may_refill && any_item) {
        std::size_t added_in_open = 0, opened = 0;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const int node = static_cast<int>(i), parent = nodes[i].Parent;
            if (!model.Shown(node)) continue;
            if (!nodes_[i].item && (parent < 0 || (state(parent).item && state(parent).expanded)))
                ++added_in_open;
            if (nodes_[i].item && !nodes_[i].expanded && open(node)) ++opened;
        }
        if (added_in_open > kMostAddedInOpenBranches || opened > kMostOpened) {
            control.Clear();
            Reset(nodes.size());
        }
    }

    // Depth first, each item right after its shown elder sibling; where no later sibling has an item
    // yet, at the end, so that filling an empty control only ever appends.
    struct TFrame {
        int parent;
        std::size_t next = 0;
        std::size_t last_with_item = 0;  // one past the last child that had an item
        TTreeControl::Item after = TTreeControl::First;
    };
    const auto frame_of = [&](int parent) {
        TFrame frame{parent};
        const std::vector<int>& children = children_of(parent);
        for (std::size_t k = 0; k < children.size(); ++k)
            if (state(children[k]).item) frame.last_with_item = k + 1;
        return frame;
    };
    std::vector<TFrame> frames{frame_of(-1)};
    while (!frames.empty()) {
        TFrame& frame = frames.back();
        const std::vector<int>& children = children_of(frame.parent);
        if (frame.next >= children.size()) {
            if (frame.parent >= 0) state(frame.parent).children = true;
            frames.pop_back();
            continue;
        }
        const std::size_t index = frame.next++;
        const int node = children[index];
        if (!model.Shown(node)) continue;
        TState& current = state(node);
        const bool children_shown = has_children[static_cast<std::size_t>(node)] != 0;
        if (!current.item) {
            current.expanded = open(node);
            current.has_children = children_shown;
            const TTreeControl::Item parent_item = frame.parent < 0 ? 0 : state(frame.parent).item;
            current.item =
                control.Insert(parent_item, index >= frame.last_with_item ? TTreeControl::Last : frame.after,
                               node, children_shown, current.expanded);
        } else if (current.has_children != children_shown) {
            current.has_children = children_shown;
            control.SetHasChildren(current.item, children_shown);
        }
        frame.after = current.item;
        // Below a node that has its children's items, or is to show them.
        if (current.children || open(node)) frames.push_back(frame_of(node));  // invalidates frame
    }

    for (std::size_t i = 0; i < nodes.size(); ++i) {
        TState& item = nodes_[i];
        if (!item.item || item.expanded == open(static_cast<int>(i))) continue;
        item.expanded = !item.expanded;
        control.SetExpanded(item.item, item.expanded);
    }
}
