#pragma once
// The items of the tree view that shows a window tree model. Only what can be seen is made: the items of
// a closed branch are added when the branch is first opened. A small change of the filter removes, adds,
// opens and closes only the items that differ; a large one fills the tree view anew, parents before
// children, which a tree view takes far faster than opening many branches full of items.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "window/WindowTree.h"

// The tree view as the items see it.
class TTreeControl {
public:
    using Item = std::uintptr_t;  // 0: none
    static constexpr Item First = 0;
    static constexpr Item Last = ~Item{0};

    // Adds the node's item below parent (0: a root) after `after` (an item, First or Last); an item
    // whose children are not added yet still shows that it can be opened.
    virtual Item Insert(Item parent, Item after, int node, bool has_children, bool expanded) = 0;
    // Removes the item with every item below it.
    virtual void Remove(Item item) = 0;
    virtual void Clear() = 0;
    virtual void SetExpanded(Item item, bool expanded) = 0;
    virtual void SetHasChildren(Item item, bool has_children) = 0;

protected:
    ~TTreeControl() = default;
};

class TWindowTreeItems {
public:
    // The control holds no item (a new snapshot of the given number of nodes).
    void Reset(std::size_t nodes);
    // Brings the control to what the model shows. Without may_refill only the items that differ are
    // changed, as while the control opens a branch.
    void Sync(const TWindowTreeModel& model, TTreeControl& control, bool may_refill = true);
    // The user opened or closed the node's item.
    void Expanded(int node, bool expanded);
    // The node's item; 0 when it has none.
    TTreeControl::Item Item(int node) const;

private:
    struct TState {
        TTreeControl::Item item = 0;
        bool children = false;  // every shown child has its item
        bool expanded = false;
        bool has_children = false;
    };
    void Forget(const TWindowTree& tree, int node);
    std::vector<TState> nodes_;
};
