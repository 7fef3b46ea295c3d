// The drop component on a window of this process, given drop handles built as the shell builds them.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "components/GkDropFiles.h"
#include "support/MainFormHarness.h"
#include "support/ShellDrop.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/Window.h"

namespace {

struct DropWindow : ui::Panel {
    DropWindow() { create_window(0, L"drop test", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr); }
};

struct Drop {
    std::vector<std::wstring> files;
    POINT at{};
};

// Posts a drop to the window and waits until the component reported it.
std::vector<Drop> DropOn(TGkDropFiles& component, HWND window, const std::vector<std::wstring>& files,
                         POINT at = {0, 0}) {
    std::vector<Drop> reported;
    component.OnDropFiles = [&](TGkDropFiles& sender, const std::vector<std::wstring>& names, int x, int y) {
        CHECK(&sender == &component);
        reported.push_back({names, {x, y}});
    };
    REQUIRE(::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(ShellDrop(files, at)), 0));
    WaitUntil([&] { return !reported.empty(); }, std::chrono::milliseconds(2000));
    component.OnDropFiles = nullptr;
    return reported;
}

}  // namespace

TEST_CASE("dropped files arrive as wide names in the shell's order, with the drop point") {
    TempFolder folder;
    DropWindow window;
    TGkDropFiles drop;
    drop.SetTarget(window.handle());
    CHECK(drop.Target() == window.handle());
    CHECK(AcceptsFiles(window.handle()));

    const std::vector<std::wstring> three = {folder.file(L"b.txt", "b"), folder.file(L"a.txt", "a"),
                                             folder.file(L"c.dat", "c")};
    auto drops = DropOn(drop, window.handle(), three, {37, 52});
    REQUIRE(drops.size() == 1);
    CHECK(drops[0].files == three);
    CHECK(drops[0].at.x == 37);
    CHECK(drops[0].at.y == 52);

    // Names outside the ANSI code page, a file that does not exist, and a folder arrive as they are.
    const std::wstring unicode = folder.file(L"\u0416\u4E2D\u00E9 \u03A9.txt", "u");
    const std::vector<std::wstring> others = {unicode, folder.path() + L"\u0436 missing.lnk.txt",
                                              folder.path()};
    drops = DropOn(drop, window.handle(), others);
    REQUIRE(drops.size() == 1);
    CHECK(drops[0].files == others);
}

TEST_CASE("dropped shortcuts are their targets while ResolveLinks is set") {
    TempFolder folder;
    // Wine's shell link keeps a target's name in the ANSI code page only: plain names here.
    const std::wstring target = folder.file(L"target.txt", "target");
    const std::wstring link = folder.shortcut(L"target.lnk", target);
    static const char link_start[] = "L\0\0\0garbage that only starts like a link";
    const std::wstring broken = folder.file(L"broken.lnk", std::string(link_start, sizeof link_start - 1));
    const std::wstring plain = folder.file(L"plain.txt", "plain");
    DropWindow window;
    TGkDropFiles drop;
    drop.SetTarget(window.handle());

    CHECK(drop.ResolveLinks);
    auto drops = DropOn(drop, window.handle(), {link, plain, broken});
    REQUIRE(drops.size() == 1);
    CHECK(drops[0].files == std::vector<std::wstring>{target, plain, L""});

    drop.ResolveLinks = false;
    drops = DropOn(drop, window.handle(), {link, broken});
    REQUIRE(drops.size() == 1);
    CHECK(drops[0].files == std::vector<std::wstring>{link, broken});
}

TEST_CASE("a cleared target refuses drops, a new target takes them, and a window that goes lets go") {
    DropWindow first, second;
    TGkDropFiles drop;
    drop.SetTarget(first.handle());
    drop.SetTarget(second.handle());
    CHECK_FALSE(AcceptsFiles(first.handle()));
    CHECK(AcceptsFiles(second.handle()));
    drop.SetTarget(second.handle());  // again: the same as before
    CHECK(AcceptsFiles(second.handle()));
    CHECK(DropOn(drop, second.handle(), {L"C:\\x.txt"}).size() == 1);

    drop.SetTarget(nullptr);
    CHECK(drop.Target() == nullptr);
    // The shell drops only on windows that accept files; the message itself no longer reaches the
    // component either.
    CHECK_FALSE(AcceptsFiles(second.handle()));
    int reported = 0;
    drop.OnDropFiles = [&](TGkDropFiles&, const std::vector<std::wstring>&, int, int) { ++reported; };
    HDROP unwanted = ShellDrop({L"C:\\x.txt"}, {0, 0});
    ::SendMessageW(second.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(unwanted), 0);
    CHECK(reported == 0);
    ::DragFinish(unwanted);

    {
        DropWindow short_lived;
        drop.SetTarget(short_lived.handle());
    }
    CHECK(drop.Target() == nullptr);
}
