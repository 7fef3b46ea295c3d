// The component catalogue as Scrutel.exe loads it at start from its own folder: copies of the program
// in folders of the test's making, with and without a CompRef.txt.
#include <windows.h>

#include <doctest.h>

#include <optional>
#include <string>

#include "base/ValueText.h"
#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/FileStream.h"
#include "ui/Handles.h"
#include "ui/Text.h"

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

struct Search {
    const wchar_t* window_class;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK TakeChildWithText(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpiW(name, search->window_class) != 0 || (search->text && TextOf(window) != search->text))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND ChildWithText(HWND parent, const wchar_t* window_class, const wchar_t* text) {
    Search search{window_class, text, nullptr};
    ::EnumChildWindows(parent, TakeChildWithText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Scrutel.exe copied into a folder of its own, with the catalogue text given (none: no file), started.
class ScrutelCopy {
public:
    explicit ScrutelCopy(const std::optional<std::string>& catalogue) {
        const std::wstring exe = folder_.path() + L"Scrutel.exe";
        REQUIRE(::CopyFileW(BesideTests(L"Scrutel.exe").c_str(), exe.c_str(), FALSE));
        if (catalogue)
            ui::write_file(CatalogueFile(), std::vector<std::uint8_t>(catalogue->begin(), catalogue->end()));
        program_.emplace(exe);
    }
    ~ScrutelCopy() {
        if (main_) ::PostMessageW(main_, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::WaitForSingleObject(program_->process(), 5000);
    }
    std::wstring CatalogueFile() const { return folder_.path() + L"CompRef.txt"; }

    // The text of the error box shown at start, which is then closed; empty when the main window
    // came without one.
    std::wstring StartUpError() {
        std::wstring error;
        REQUIRE(WaitUntil([&] {
            const std::vector<HWND> boxes = VisibleDialogsOf(program_->pid());
            if (!boxes.empty()) {
                error = TextOf(::GetDlgItem(boxes.front(), 0xFFFF));
                ::PostMessageW(boxes.front(), WM_COMMAND, IDOK, 0);
                return true;
            }
            return (main_ = VisibleMainWindowOf(program_->pid())) != nullptr;
        }));
        REQUIRE(WaitUntil([&] { return (main_ = VisibleMainWindowOf(program_->pid())) != nullptr; }));
        return error;
    }

    struct ControlInfo {
        std::wstring author, package, website;
    };
    // Picks the window by typing its handle and reads the group "Information about the control".
    ControlInfo Pick(HWND window) {
        HWND handle_box = ChildWithText(main_, L"Edit", nullptr);  // the first box of the window
        REQUIRE(handle_box);
        const std::wstring handle =
            HandleText(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)));
        ::SendMessageW(handle_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(handle.c_str()));
        // The boxes follow their labels.
        const auto after = [&](const wchar_t* label) {
            HWND found = ChildWithText(main_, L"Static", label);
            REQUIRE(found);
            return TextOf(::GetWindow(found, GW_HWNDNEXT));
        };
        return {after(L"Author:"), after(L"Package:"), after(L"Website:")};
    }

private:
    TempFolder folder_;
    std::optional<StartedProgram> program_;
    HWND main_ = nullptr;
};

// A window of this thread whose class is named in the test's catalogues.
class ClassWindow {
public:
    explicit ClassWindow(const wchar_t* class_name) {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = ::DefWindowProcW;
        window_class.hInstance = ::GetModuleHandleW(nullptr);
        window_class.lpszClassName = class_name;
        ::RegisterClassW(&window_class);
        window_.reset(::CreateWindowExW(0, class_name, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
        REQUIRE(window_);
    }
    HWND get() const { return window_.get(); }

private:
    ui::unique_hwnd window_;
};

}  // namespace

TEST_CASE("Scrutel.exe shows the catalogue's entry of a window's class, and empty boxes without one") {
    ScrutelCopy scrutel(
        std::string("TScrutelProbe\r\n*\r\nprobe package\r\nhttps://probe.example/a?b&c\r\n-\r\n"
                    "TScrutelOther\r\nJane Roe\r\nother package\r\nhttps://other.example/"));
    CHECK(scrutel.StartUpError().empty());
    ClassWindow probe(L"TScrutelProbe"), other(L"TScrutelOther"), unknown(L"TScrutelUnknown");
    auto info = scrutel.Pick(probe.get());
    CHECK(info.author == L"Various authors");
    CHECK(info.package == L"probe package");
    CHECK(info.website == L"https://probe.example/a?b&c");
    info = scrutel.Pick(other.get());
    CHECK(info.author == L"Jane Roe");
    CHECK(info.website == L"https://other.example/");
    info = scrutel.Pick(unknown.get());
    CHECK(info.author.empty());
    CHECK(info.package.empty());
    CHECK(info.website.empty());
}

TEST_CASE("a last record cut short: one error box at start, the records before it and what it has are kept") {
    ScrutelCopy scrutel(
        std::string("TScrutelProbe\n*\nprobe package\nhttps://probe.example/\n\nTScrutelOther\nJane Roe\n"));
    CHECK(scrutel.StartUpError() == L"List index out of bounds (7)");
    ClassWindow probe(L"TScrutelProbe"), other(L"TScrutelOther");
    CHECK(scrutel.Pick(probe.get()).package == L"probe package");
    const auto info = scrutel.Pick(other.get());
    CHECK(info.author == L"Jane Roe");
    CHECK(info.package.empty());
    CHECK(info.website.empty());
}

TEST_CASE("without CompRef.txt Scrutel.exe starts after one error box and finds no entry") {
    ScrutelCopy scrutel(std::nullopt);
    CHECK(scrutel.StartUpError() == L"Cannot open file \"" + scrutel.CatalogueFile() + L"\". " +
                                        ui::system_error_message(ERROR_FILE_NOT_FOUND));
    ClassWindow button(L"TScrutelProbe");
    CHECK(scrutel.Pick(button.get()).author.empty());
}
