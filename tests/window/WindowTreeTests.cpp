// The window tree over a list of windows of the tests' own making.
#include <doctest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "window/WindowTree.h"

namespace {

struct FakeWindow {
    std::uint32_t handle, parent;  // parent 0: a top-level window
    std::wstring class_name, caption;
    bool visible = true;
};

// Windows in listing order (each parent before its children); some go away before they are described.
class FakeLister : public TWindowLister {
public:
    explicit FakeLister(std::vector<FakeWindow> windows) : windows_(std::move(windows)) {}
    std::set<std::uint32_t> gone;
    int described = 0;

    std::vector<std::uint32_t> TopLevelWindows(std::size_t limit) override {
        std::vector<std::uint32_t> tops;
        for (const FakeWindow& w : windows_)
            if (w.parent == 0 && tops.size() < limit) tops.push_back(w.handle);
        return tops;
    }
    std::vector<TChild> Descendants(std::uint32_t top, std::size_t limit) override {
        std::vector<TChild> children;
        for (const FakeWindow& w : windows_)
            if (w.parent != 0 && TopOf(w.handle) == top && children.size() < limit)
                children.push_back({w.handle, w.parent});
        return children;
    }
    std::optional<TListedWindow> Describe(std::uint32_t handle) override {
        ++described;
        if (gone.count(handle)) return std::nullopt;
        for (const FakeWindow& w : windows_)
            if (w.handle == handle) return TListedWindow{w.class_name, w.caption, w.visible};
        return std::nullopt;
    }

private:
    std::uint32_t TopOf(std::uint32_t handle) const {
        for (int steps = 0; steps < 100; ++steps) {
            std::uint32_t parent = 0;
            for (const FakeWindow& w : windows_)
                if (w.handle == handle) parent = w.parent;
            if (parent == 0) return handle;
            handle = parent;
        }
        return 0;
    }
    std::vector<FakeWindow> windows_;
};

// A form with a panel of two buttons and a hidden edit, a tool window, a hidden top-level window.
std::vector<FakeWindow> Desktop() {
    return {
        {0x100, 0, L"TForm1", L"Main form"},       {0x110, 0x100, L"TPanel", L"Tools"},
        {0x111, 0x110, L"Button", L"&OK"},         {0x112, 0x110, L"Button", L"Cancel"},
        {0x120, 0x100, L"Edit", L"secret", false}, {0x121, 0x120, L"Button", L"inside hidden"},
        {0x200, 0, L"ToolWindow", L"Palette"},     {0x300, 0, L"Hidden", L"", false},
    };
}

std::vector<std::wstring> Texts(const TWindowTree& tree, const std::vector<int>& nodes) {
    std::vector<std::wstring> texts;
    for (int node : nodes) texts.push_back(tree.Text(node));
    return texts;
}

std::vector<std::uint32_t> ShownHandles(const TWindowTreeModel& model) {
    std::vector<std::uint32_t> handles;
    for (std::size_t i = 0; i < model.Tree().Nodes().size(); ++i)
        if (model.Shown(static_cast<int>(i))) handles.push_back(model.Tree().Nodes()[i].Handle);
    return handles;
}

}  // namespace

TEST_CASE("a snapshot nests the windows in z-order and names each as the handle history does") {
    FakeLister lister(Desktop());
    const TWindowTree tree = TWindowTree::Build(lister);
    REQUIRE(tree.Nodes().size() == 8);
    CHECK(Texts(tree, tree.Roots()) == std::vector<std::wstring>{L"00000100 {TForm1} \"Main form\"",
                                                                 L"00000200 {ToolWindow} \"Palette\"",
                                                                 L"00000300 {Hidden} \"\""});
    const TWindowNode& form = tree.Nodes()[static_cast<std::size_t>(tree.Find(0x100))];
    CHECK(Texts(tree, form.Children) ==
          std::vector<std::wstring>{L"00000110 {TPanel} \"Tools\"", L"00000120 {Edit} \"secret\""});
    const int panel = tree.Find(0x110);
    CHECK(Texts(tree, tree.Nodes()[static_cast<std::size_t>(panel)].Children) ==
          std::vector<std::wstring>{L"00000111 {Button} \"&OK\"", L"00000112 {Button} \"Cancel\""});
    CHECK(tree.Nodes()[static_cast<std::size_t>(tree.Find(0x112))].Parent == panel);
    // A window is visible when its ancestors are too.
    CHECK(tree.Nodes()[static_cast<std::size_t>(tree.Find(0x111))].Window.Visible);
    CHECK_FALSE(tree.Nodes()[static_cast<std::size_t>(tree.Find(0x121))].Window.Visible);
    CHECK(tree.Find(0x999) == -1);
}

TEST_CASE(
    "windows that go away, come twice or lose their parent are left out; control characters show as spaces") {
    FakeLister lister({
        {0x100, 0, L"Main", L"two\r\nlines\t"},
        {0x110, 0x100, L"Gone", L"goes away"},
        {0x111, 0x110, L"Orphan", L"its parent went"},
        {0x120, 0x100, L"Kept", L"stays"},
        {0x200, 0, L"GoneTop", L""},
        {0x210, 0x200, L"Child", L"of a gone top-level window"},
        {0x300, 0, L"Other", L""},
        {0x310, 0x999, L"Stray", L"parent never listed"},
    });
    lister.gone = {0x110, 0x200};
    const TWindowTree tree = TWindowTree::Build(lister);
    std::vector<std::uint32_t> handles;
    for (const TWindowNode& node : tree.Nodes()) handles.push_back(node.Handle);
    CHECK(handles == std::vector<std::uint32_t>{0x100, 0x120, 0x300});
    CHECK(tree.Text(0) == L"00000100 {Main} \"two  lines \"");

    // A window reparented between the two lists is listed once, where it was met first.
    class Twice : public FakeLister {
    public:
        Twice() : FakeLister({{0x1, 0, L"A", L""}, {0x2, 0, L"B", L""}}) {}
        std::vector<TChild> Descendants(std::uint32_t top, std::size_t) override {
            if (top == 0x1) return {{0x2, 0x1}, {0x3, 0x1}, {0x3, 0x1}};
            return {};
        }
        std::optional<TListedWindow> Describe(std::uint32_t) override {
            return TListedWindow{L"C", L"", true};
        }
    } twice;
    const TWindowTree moved = TWindowTree::Build(twice);
    CHECK(moved.Nodes().size() == 3);
    CHECK(moved.Roots().size() == 1);
}

TEST_CASE("a program that makes windows without end cannot keep the walk going") {
    // Every list it is asked for is longer than the limit allows.
    class Flood : public TWindowLister {
    public:
        int described = 0;
        std::vector<std::uint32_t> TopLevelWindows(std::size_t) override {
            std::vector<std::uint32_t> tops;
            for (std::uint32_t i = 1; i <= 1000; ++i) tops.push_back(i * 0x10000);
            return tops;
        }
        std::vector<TChild> Descendants(std::uint32_t top, std::size_t) override {
            std::vector<TChild> children;
            for (std::uint32_t i = 1; i <= 1000; ++i) children.push_back({top + i, top});
            return children;
        }
        std::optional<TListedWindow> Describe(std::uint32_t) override {
            ++described;
            return TListedWindow{L"Flood", L"", true};
        }
    } flood;
    const TWindowTree tree = TWindowTree::Build(flood, 2500);
    CHECK(tree.Nodes().size() == 2500);
    CHECK(tree.Roots().size() == 3);
    CHECK(flood.described == 2500);
}

TEST_CASE("the filter keeps the ancestors of every match and drops the branches without one") {
    FakeLister lister(Desktop());
    TWindowTreeModel model;
    model.Rebuild(lister);
    struct {
        bool visible_only;
        const wchar_t* text;
        std::vector<std::uint32_t> shown;
    } cases[] = {
        {true, L"", {0x100, 0x110, 0x111, 0x112, 0x200}},
        {false, L"", {0x100, 0x110, 0x111, 0x112, 0x120, 0x121, 0x200, 0x300}},
        {true, L"cancel", {0x100, 0x110, 0x112}},         // a caption, letter case aside
        {true, L"BUTTON", {0x100, 0x110, 0x111, 0x112}},  // a class name
        {true, L"tool", {0x100, 0x110, 0x200}},           // "Tools" and "ToolWindow": no buttons below
        {true, L"inside", {}},                            // only under a hidden window
        {false, L"inside", {0x100, 0x120, 0x121}},
        {true, L"nowhere", {}},
    };
    for (const auto& c : cases) {
        CAPTURE(c.visible_only);
        CAPTURE(std::string(c.text, c.text + std::wcslen(c.text)));
        model.SetFilter({c.visible_only, c.text, {}});
        CHECK(ShownHandles(model) == c.shown);
        // Under a filter text every branch is open, so that each match can be seen.
        if (*c.text)
            for (std::uint32_t handle : c.shown) CHECK(model.Expanded(model.Tree().Find(handle)));
    }

    // A fold of the caller's choice decides what "letter case aside" means beyond ASCII.
    FakeLister cyrillic({{0x1, 0, L"Static", L"\u0416\u0443\u043A"}});
    model.Rebuild(cyrillic);
    model.SetFilter({true, L"\u0436\u0443\u043A", {}});
    CHECK(ShownHandles(model).empty());
    model.SetFilter({true, L"\u0436\u0443\u043A", [](std::wstring& text) {
                         for (wchar_t& c : text)
                             if (c >= 0x410 && c <= 0x42F) c = static_cast<wchar_t>(c + 0x20);
                     }});
    CHECK(ShownHandles(model) == std::vector<std::uint32_t>{0x1});
}

TEST_CASE("selection and expansion stay across snapshots where their windows still exist") {
    std::vector<FakeWindow> windows = Desktop();
    FakeLister first(windows);
    TWindowTreeModel model;
    model.Rebuild(first);
    CHECK(model.SelectedNode() == -1);
    CHECK_FALSE(model.Expanded(model.Tree().Find(0x100)));

    // Selecting a button opens its form and its panel.
    CHECK(model.Select(0x112));
    CHECK(model.Expanded(model.Tree().Find(0x100)));
    CHECK(model.Expanded(model.Tree().Find(0x110)));
    model.SetExpanded(model.Tree().Find(0x200), true);
    model.SetExpanded(model.Tree().Find(0x110), false);

    // The next snapshot: the panel's windows are the same, the tool window went, a window came.
    windows.erase(windows.begin() + 6);
    windows.insert(windows.begin(), {0x400, 0, L"New", L"first in z-order"});
    FakeLister second(windows);
    model.Rebuild(second);
    CHECK(model.Tree().Nodes()[static_cast<std::size_t>(model.SelectedNode())].Handle == 0x112);
    CHECK(model.Expanded(model.Tree().Find(0x100)));
    CHECK_FALSE(model.Expanded(model.Tree().Find(0x110)));
    CHECK_FALSE(model.Expanded(model.Tree().Find(0x400)));

    // A filter that hides the selected window: no node is selected until the filter lets it be seen;
    // what the user folds under the filter is not kept.
    model.SetFilter({true, L"tools", {}});
    CHECK(model.SelectedNode() == -1);
    model.SetExpanded(model.Tree().Find(0x100), false);
    model.SetFilter({true, L"", {}});
    CHECK(model.Tree().Nodes()[static_cast<std::size_t>(model.SelectedNode())].Handle == 0x112);
    CHECK(model.Expanded(model.Tree().Find(0x100)));

    // The selected window goes away: nothing is selected, also when a window of that handle returns.
    windows.erase(windows.begin() + 4);
    FakeLister third(windows);
    model.Rebuild(third);
    CHECK(model.SelectedNode() == -1);
    model.Rebuild(second);
    CHECK(model.SelectedNode() == -1);
    // A hidden window is selected all the same; it shows once hidden windows are shown.
    CHECK_FALSE(model.Select(0x121));
    model.SetFilter({false, L"", {}});
    CHECK(model.Tree().Nodes()[static_cast<std::size_t>(model.SelectedNode())].Handle == 0x121);
}

TEST_CASE("a branch copies as indented lines of what the tree shows") {
    FakeLister lister(Desktop());
    TWindowTreeModel model;
    model.Rebuild(lister);
    CHECK(model.BranchText(model.Tree().Find(0x100)) ==
          L"00000100 {TForm1} \"Main form\"\r\n"
          L"  00000110 {TPanel} \"Tools\"\r\n"
          L"    00000111 {Button} \"&OK\"\r\n"
          L"    00000112 {Button} \"Cancel\"\r\n");
    CHECK(model.BranchText(model.Tree().Find(0x112)) == L"00000112 {Button} \"Cancel\"\r\n");
    CHECK(model.BranchText(model.Tree().Find(0x120)).empty());
    model.SetFilter({false, L"inside", {}});
    CHECK(model.BranchText(model.Tree().Find(0x100)) ==
          L"00000100 {TForm1} \"Main form\"\r\n"
          L"  00000120 {Edit} \"secret\"\r\n"
          L"    00000121 {Button} \"inside hidden\"\r\n");
    CHECK(model.BranchText(-1).empty());
}
