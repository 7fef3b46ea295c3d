// The Hierarchy page of the main window over the windows of the window fixture (another process) and
// of this process.
#include <windows.h>

#include <commctrl.h>
#include <doctest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/FinderInput.h"
#include "app/MainForm.h"
#include "base/WindowHandleValue.h"
#include "support/FixtureProcess.h"
#include "support/MainFormHarness.h"
#include "ui/Application.h"
#include "window/WindowEntryText.h"

using finder_test::Hex;

namespace {

std::wstring Entry(HWND window, const wchar_t* class_name, const wchar_t* caption) {
    return WindowEntryText(HandleValue(window), class_name, caption);
}

std::vector<std::wstring> ChildTexts(const ui::TreeView& tree, HTREEITEM item) {
    std::vector<std::wstring> texts;
    for (HTREEITEM child = tree.first_child(item); child; child = tree.next_sibling(child))
        texts.push_back(tree.text(child));
    return texts;
}

// What the tree view's custom draw would paint the item's text in.
COLORREF TextColor(const ui::TreeView& tree, HTREEITEM item) {
    NMTVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {tree.handle(), 0, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(item);
    draw.nmcd.lItemlParam = tree.data(item);
    draw.clrText = RGB(1, 2, 3);
    ::SendMessageW(::GetParent(tree.handle()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
}

// Opens the item's branch with the notifications a user's click on its button gives.
void Open(const ui::TreeView& tree, HTREEITEM item) {
    REQUIRE(item);
    TreeView_Expand(tree.handle(), item, TVE_EXPAND);
}

std::chrono::duration<double, std::milli> Timed(const std::function<void()>& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::steady_clock::now() - start;
}

// A click with the real mouse on the item's text. The button goes down and up in one go: the tree view
// follows a pressed button in a loop of its own until the button is released.
void ClickItem(const ui::TreeView& tree, HTREEITEM item) {
    TreeView_EnsureVisible(tree.handle(), item);
    RECT r{};
    REQUIRE(TreeView_GetItemRect(tree.handle(), item, &r, TRUE));
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(tree.handle(), &at);
    finder_test::MoveMouse(at);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
    finder_test::Settle();
}

struct HierarchyScene {
    HierarchyScene() { ClearSettings(); }
    FixtureProcess fixture{L"window_fixture.exe"};
    TMainForm form;
    THierarchyPage& page = form.Hierarchy;
    ui::TreeView& tree = form.Hierarchy.TreeWindows;
    HWND window(const char* name) const { return fixture.window(name); }
    HTREEITEM item(const char* name) const { return page.ItemOf(HandleValue(window(name))); }
};

}  // namespace

TEST_CASE_FIXTURE(
    HierarchyScene,
    "the tab between Link and PEInfo lists every window nested in z-order, hidden ones left out "
    "or greyed, and a hung one without waiting") {
    wchar_t caption[32] = {};
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption;
    tab.cchTextMax = 32;
    ::SendMessageW(form.PageControl.handle(), TCM_GETITEMW, 4, reinterpret_cast<LPARAM>(&tab));
    CHECK(std::wstring(caption) == L"Hierarchy");

    ChooseTab(form, TMainForm::PageHierarchy);
    REQUIRE(form.PageControl.active_page() == TMainForm::PageHierarchy);
    CHECK(page.CheckBoxVisibleOnly.checked());
    HTREEITEM parent = item("treeparent");
    REQUIRE(parent);
    CHECK(tree.parent(parent) == nullptr);
    CHECK(tree.text(parent) == Entry(window("treeparent"), L"FixtureTree", L"Tree parent"));
    // A branch's items are made when it opens.
    CHECK(tree.first_child(parent) == nullptr);
    Open(tree, parent);
    CHECK(ChildTexts(tree, parent) ==
          std::vector<std::wstring>{Entry(window("treeone"), L"FixtureTree", L"Tree child one"),
                                    Entry(window("treetwo"), L"Static", L"Tree child two")});
    Open(tree, item("treeone"));
    CHECK(ChildTexts(tree, item("treeone")) ==
          std::vector<std::wstring>{Entry(window("treegrandchild"), L"Button", L"Tree grandchild")});
    CHECK(item("treehidden") == nullptr);

    page.CheckBoxVisibleOnly.set_checked(false);
    parent = item("treeparent");
    CHECK(ChildTexts(tree, parent) ==
          std::vector<std::wstring>{Entry(window("treeone"), L"FixtureTree", L"Tree child one"),
                                    Entry(window("treehidden"), L"FixtureTree", L"Tree hidden child"),
                                    Entry(window("treetwo"), L"Static", L"Tree child two")});
    CHECK(TextColor(tree, item("treehidden")) == ::GetSysColor(COLOR_GRAYTEXT));
    CHECK(TextColor(tree, item("treeone")) == RGB(1, 2, 3));
    page.CheckBoxVisibleOnly.set_checked(true);

    // No message reaches the windows listed: a hung program costs the tree nothing.
    auto usual = Timed([&] { page.RefreshTree(); });
    for (int i = 0; i < 2; ++i) usual = std::min(usual, Timed([&] { page.RefreshTree(); }));
    fixture.hang("hangframe", 3000);
    const auto hung = Timed([&] { page.RefreshTree(); });
    MESSAGE("tree of " << page.Model().Tree().Nodes().size() << " windows: " << usual.count()
                       << " ms, with a hung window " << hung.count() << " ms");
    CHECK(hung.count() < 2 * usual.count() + 100);
    REQUIRE(item("hangframe"));
    Open(tree, item("hangframe"));
    CHECK(tree.text(item("hangframe")) == Entry(window("hangframe"), L"FixtureHang", L"Hang frame"));
    CHECK(ChildTexts(tree, item("hangframe")) ==
          std::vector<std::wstring>{Entry(window("hang"), L"FixtureHang", L"Hung child")});

    // The layout switch fits the tree to the page, 7 pixels from each side.
    for (int press = 0; press < 2; ++press) {
        form.ButtonExpand.click();
        RECT area{};
        ::GetClientRect(form.PageControl.page(TMainForm::PageHierarchy), &area);
        CHECK(tree.bounds().width == area.right - 14);
        CHECK(tree.bounds().left + tree.bounds().width + 7 == area.right);
        CHECK(tree.bounds().top + tree.bounds().height + 7 == area.bottom);
    }
}

TEST_CASE_FIXTURE(HierarchyScene,
                  "choosing a node makes its window the current one: a click adds it to the history, the "
                  "keyboard only when every touched window is to be added") {
    finder_test::PlaceForm(form);
    form.ButtonExpand.click();
    form.EditHandle.set_text(Hex(window("treegrandchild")));
    ChooseTab(form, TMainForm::PageHierarchy);
    const std::vector<std::string>& history = form.Attributes.HandleHistory.Entries();
    REQUIRE(history.empty());

    ClickItem(tree, item("treetwo"));
    CHECK(WaitUntil([&] { return form.EditHandle.text() == Hex(window("treetwo")); }));
    CHECK(form.Attributes.EditClassName.text() == L"Static");
    CHECK(form.StatusText() == L"Ready");
    REQUIRE(history.size() == 1);
    CHECK(history.back() == HandleHistoryEntry(HandleValue(window("treetwo")), L"Static", L"Tree child two"));

    // Up from the child two: the grandchild, then the child one.
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_UP, 0);
    CHECK(form.EditHandle.text() == Hex(window("treegrandchild")));
    CHECK(form.Attributes.EditCaption.text() == L"Tree grandchild");
    CHECK(history.size() == 1);
    form.Attributes.HandleHistory.AddAllTouched.set_checked(true);
    ::SendMessageW(tree.handle(), WM_KEYDOWN, VK_UP, 0);
    CHECK(form.EditHandle.text() == Hex(window("treeone")));
    REQUIRE(history.size() == 2);
    CHECK(history.back() ==
          HandleHistoryEntry(HandleValue(window("treeone")), L"FixtureTree", L"Tree child one"));
}

TEST_CASE("a window picked with the finder or typed into the handle box is selected when the tab is shown") {
    finder_test::FinderScene scene;
    TMainForm& form = scene.form;
    const ui::TreeView& tree = form.Hierarchy.TreeWindows;
    const auto item = [&](const char* name) {
        return form.Hierarchy.ItemOf(HandleValue(scene.fixture.window(name)));
    };
    finder_test::PressOnFinder(form);
    finder_test::MoveMouse(finder_test::Centre(scene.fixture.window("treegrandchild")));
    finder_test::ReleaseButton();
    REQUIRE(form.CurrentHandle() == scene.fixture.window("treegrandchild"));

    ChooseTab(form, TMainForm::PageHierarchy);
    CHECK(tree.selected() == item("treegrandchild"));
    CHECK(tree.expanded(item("treeone")));
    CHECK(tree.expanded(item("treeparent")));
    CHECK_FALSE(tree.expanded(item("hangframe")));

    ChooseTab(form, TMainForm::PageAttributes);
    form.EditHandle.set_text(Hex(scene.fixture.window("hang")));
    ChooseTab(form, TMainForm::PageHierarchy);
    CHECK(tree.selected() == item("hang"));
    CHECK(tree.expanded(item("hangframe")));
    CHECK(tree.expanded(item("treeone")));  // as the user left it
}

TEST_CASE_FIXTURE(HierarchyScene, "the filter box keeps the matches and their ancestors, opened") {
    ChooseTab(form, TMainForm::PageHierarchy);
    const int all = tree.count();
    page.EditFilter.set_text(L"GRANDchild");
    CHECK(tree.count() == 3);
    CHECK(tree.first_child(TVI_ROOT) == item("treeparent"));
    CHECK(tree.expanded(item("treeparent")));
    CHECK(tree.expanded(item("treeone")));
    CHECK(item("treegrandchild"));
    CHECK(item("treetwo") == nullptr);
    page.EditFilter.set_text(L"fixturetree");  // class names too
    CHECK(ChildTexts(tree, item("treeparent")) ==
          std::vector<std::wstring>{Entry(window("treeone"), L"FixtureTree", L"Tree child one")});
    page.EditFilter.set_text(L"");
    CHECK(tree.count() >= all);  // the items the filter made stay
    CHECK_FALSE(tree.expanded(item("treeparent")));
    CHECK(item("treetwo"));
}

TEST_CASE_FIXTURE(HierarchyScene,
                  "F5 and the Refresh button list the windows anew, keeping selection and expansion where "
                  "their windows remain") {
    finder_test::PlaceForm(form);
    ui::unique_hwnd own_parent(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"Own parent",
                                                 WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                                 nullptr, nullptr));
    HWND own_child = nullptr;
    for (const wchar_t* caption : {L"Own child", L"Own other child"})
        own_child = ::CreateWindowExW(0, L"STATIC", caption, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                      own_parent.get(), nullptr, nullptr, nullptr);
    form.EditHandle.set_text(Hex(window("treegrandchild")));
    ChooseTab(form, TMainForm::PageHierarchy);
    REQUIRE(page.ItemOf(HandleValue(own_parent.get())));
    CHECK_FALSE(tree.expanded(page.ItemOf(HandleValue(own_parent.get()))));

    ui::unique_hwnd newcomer(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"Newcomer",
                                               WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                               nullptr));
    ::SetForegroundWindow(form.handle());
    INPUT keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = VK_F5;
        keys[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(2, keys, sizeof(INPUT));
    CHECK(WaitUntil([&] { return page.ItemOf(HandleValue(newcomer.get())) != nullptr; }));
    CHECK(tree.selected() == item("treegrandchild"));
    CHECK(tree.expanded(item("treeparent")));

    newcomer.reset();
    ::SendMessageW(page.ButtonRefresh.handle(), BM_CLICK, 0, 0);
    CHECK(page.ItemOf(HandleValue(newcomer.get())) == nullptr);
    CHECK(tree.selected() == item("treegrandchild"));

    // The selected window goes: nothing is selected; its parent stays open over its other child.
    ChooseTab(form, TMainForm::PageAttributes);
    form.EditHandle.set_text(Hex(own_child));
    ChooseTab(form, TMainForm::PageHierarchy);
    CHECK(tree.selected() == page.ItemOf(HandleValue(own_child)));
    ::DestroyWindow(own_child);
    page.RefreshTree();
    CHECK(tree.selected() == nullptr);
    CHECK(tree.expanded(page.ItemOf(HandleValue(own_parent.get()))));
}
