// The tree view's items over a window tree model, against a tree view of the tests' own making.
#include <doctest.h>

#include <map>
#include <string>
#include <vector>

#include "base/ValueText.h"
#include "window/WindowTreeItems.h"

namespace {

// The last two hexadecimal digits of a handle and a line break.
std::string Last2(std::uint32_t handle) {
    const std::string digits = HexText8<char>(handle);
    return {digits[6], digits[7], '\n'};
}

// A tree view that keeps its items in order and counts what it is asked to do.
class FakeTreeControl : public TTreeControl {
public:
    explicit FakeTreeControl(const TWindowTreeModel& model) : model_(model) {}
    int inserted = 0, removed = 0, toggled = 0, cleared = 0;

    Item Insert(Item parent, Item after, int node, bool has_children, bool expanded) override {
        const Item item = ++last_;
        items_[item] = {node, parent, has_children, expanded, {}};
        std::vector<Item>& siblings = parent ? items_.at(parent).children : roots_;
        auto at = siblings.begin();
        if (after == Last)
            at = siblings.end();
        else if (after != First)
            at = std::find(siblings.begin(), siblings.end(), after) + 1;
        siblings.insert(at, item);
        ++inserted;
        return item;
    }
    void Remove(Item item) override {
        std::vector<Item>& siblings =
            items_.at(item).parent ? items_.at(items_.at(item).parent).children : roots_;
        siblings.erase(std::find(siblings.begin(), siblings.end(), item));
        Drop(item);
        ++removed;
    }
    void Clear() override {
        items_.clear();
        roots_.clear();
        ++cleared;
    }
    void SetExpanded(Item item, bool expanded) override {
        items_.at(item).expanded = expanded;
        ++toggled;
    }
    void SetHasChildren(Item item, bool has_children) override {
        items_.at(item).has_children = has_children;
    }

    // Every item, indented by level: "-" open, "+" closed with children, " " a leaf; the last two hex
    // digits of each handle.
    std::string Outline() const {
        std::string text;
        Write(roots_, 0, text);
        return text;
    }

private:
    struct Entry {
        int node;
        Item parent;
        bool has_children, expanded;
        std::vector<Item> children;
    };
    void Drop(Item item) {
        for (Item child : items_.at(item).children) Drop(child);
        items_.erase(item);
    }
    void Write(const std::vector<Item>& items, std::size_t depth, std::string& text) const {
        for (Item item : items) {
            const Entry& entry = items_.at(item);
            const std::uint32_t handle = model_.Tree().Nodes()[static_cast<std::size_t>(entry.node)].Handle;
            text.append(depth * 2, ' ');
            text += entry.expanded ? '-' : entry.has_children ? '+' : ' ';
            text += Last2(handle);
            Write(entry.children, depth + 1, text);
        }
    }
    const TWindowTreeModel& model_;
    std::map<Item, Entry> items_;
    std::vector<Item> roots_;
    Item last_ = 0;
};

// Two top-level windows of three levels each, and a hidden one.
class Lister : public TWindowLister {
public:
    std::vector<std::uint32_t> TopLevelWindows(std::size_t) override { return {0x10, 0x20, 0x30}; }
    std::vector<TChild> Descendants(std::uint32_t top, std::size_t) override {
        if (top == 0x30) return {};
        return {{top + 1, top}, {top + 2, top + 1}, {top + 3, top + 1}, {top + 4, top}, {top + 5, top + 4}};
    }
    std::optional<TListedWindow> Describe(std::uint32_t window) override {
        const wchar_t* caption = window % 16 == 3 ? L"needle" : L"hay";
        return TListedWindow{L"Window", caption, window != 0x30};
    }
};

// A model over the lister's windows and a control that shows its first state.
struct Shown {
    explicit Shown(TWindowLister& lister) {
        model.Rebuild(lister);
        items.Reset(model.Tree().Nodes().size());
        items.Sync(model, control);
    }
    TWindowTreeModel model;
    FakeTreeControl control{model};
    TWindowTreeItems items;
};

}  // namespace

TEST_CASE(
    "only the open branches have items; opening one adds its children, a filter changes only what differs") {
    Lister lister;
    Shown shown(lister);
    TWindowTreeModel& model = shown.model;
    FakeTreeControl& control = shown.control;
    TWindowTreeItems& items = shown.items;
    CHECK(control.Outline() == "+10\n+20\n");

    // As the page does for the user: the branch's items are made before the control opens it.
    const auto user_opens = [&](std::uint32_t handle, bool open) {
        const int node = model.Tree().Find(handle);
        model.SetExpanded(node, open);
        items.Expanded(node, open);
        items.Sync(model, control);
        control.SetExpanded(items.Item(node), open);
    };
    user_opens(0x10, true);
    user_opens(0x11, true);
    CHECK(control.Outline() == "-10\n  -11\n     12\n     13\n  +14\n+20\n");
    CHECK(items.Item(model.Tree().Find(0x15)) == 0);

    // A filter shows the matches opened, their ancestors kept; one more item for the second window.
    control.inserted = control.removed = 0;
    model.SetFilter({true, L"needle", {}});
    items.Sync(model, control);
    CHECK(control.Outline() == "-10\n  -11\n     13\n-20\n  -21\n     23\n");
    CHECK(control.removed == 2);   // 12, and 14 with nothing below it made
    CHECK(control.inserted == 2);  // 21 and 23

    // The same filter again changes nothing.
    control.inserted = control.removed = control.toggled = 0;
    items.Sync(model, control);
    CHECK(control.inserted + control.removed + control.toggled == 0);

    // Without the filter, what it opened closes again and the items it made stay, in z-order among the
    // new ones; with hidden windows shown, the hidden top-level window comes last.
    model.SetFilter({false, L"", {}});
    items.Sync(model, control);
    CHECK(control.Outline() ==
          "-10\n  -11\n     12\n     13\n  +14\n+20\n  +21\n     22\n     23\n  +24\n 30\n");
    CHECK(control.removed == 0);
    CHECK(control.inserted == 5);

    // A closed branch keeps its items; selecting a window opens its ancestors.
    user_opens(0x11, false);
    CHECK(control.Outline() ==
          "-10\n  +11\n     12\n     13\n  +14\n+20\n  +21\n     22\n     23\n  +24\n 30\n");
    model.Select(0x25);
    items.Sync(model, control);
    CHECK(control.Outline() ==
          "-10\n  +11\n     12\n     13\n  +14\n-20\n  +21\n     22\n     23\n  -24\n     25\n 30\n");
    CHECK(items.Item(model.Tree().Find(0x25)) != 0);
}

TEST_CASE("a change that would open many branches fills the control anew, parents first") {
    // Twenty top-level windows with one child each.
    class Many : public TWindowLister {
    public:
        std::vector<std::uint32_t> TopLevelWindows(std::size_t) override {
            std::vector<std::uint32_t> tops;
            for (std::uint32_t i = 1; i <= 20; ++i) tops.push_back(i * 0x10);
            return tops;
        }
        std::vector<TChild> Descendants(std::uint32_t top, std::size_t) override { return {{top + 1, top}}; }
        std::optional<TListedWindow> Describe(std::uint32_t window) override {
            return TListedWindow{L"Window", window % 16 ? L"child" : L"top", true};
        }
    } many;
    Shown shown(many);
    TWindowTreeModel& model = shown.model;
    FakeTreeControl& control = shown.control;
    TWindowTreeItems& items = shown.items;
    CHECK(control.inserted == 20);

    model.SetFilter({true, L"child", {}});
    items.Sync(model, control);
    CHECK(control.cleared == 1);
    std::string outline;
    for (std::uint32_t i = 1; i <= 20; ++i) {
        outline += '-';
        outline += Last2(i * 0x10);
        outline += "   ";
        outline += Last2(i * 0x10 + 1);
    }
    CHECK(control.Outline() == outline);
    CHECK(control.inserted == 60);
    CHECK(control.toggled == 0);  // inserted open

    // Closing keeps the items; while the control opens a branch, the same change is made item by item.
    model.SetFilter({true, L"", {}});
    items.Sync(model, control);
    CHECK(control.cleared == 1);
    CHECK(control.Outline().substr(0, 10) == "+10\n   11\n");
    model.SetFilter({true, L"child", {}});
    items.Sync(model, control, false);
    CHECK(control.cleared == 1);
    CHECK(control.Outline() == outline);
}
