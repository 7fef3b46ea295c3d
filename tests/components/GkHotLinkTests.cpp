// The hyperlink label on a form of this process, driven with the messages of real input.
#include <windows.h>

#include <doctest.h>

#include <optional>
#include <string>
#include <vector>

#include "components/GkHotLink.h"
#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/FileStream.h"
#include "ui/Form.h"
#include "ui/Handles.h"
#include "ui/Registry.h"
#include "ui/Text.h"

namespace {

const wchar_t kSettings[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

// Sets (or removes) the "Anchor Color" value for its lifetime, then puts back what was there.
class AnchorColor {
public:
    explicit AnchorColor(std::optional<std::wstring> value) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                          nullptr);
        DWORD size = sizeof saved_;
        had_ = ::RegQueryValueExW(key_, L"Anchor Color", nullptr, &type_, saved_, &size) == ERROR_SUCCESS;
        saved_size_ = size;
        if (value)
            ::RegSetValueExW(key_, L"Anchor Color", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                             static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(key_, L"Anchor Color");
    }
    // A value of another type than text.
    static AnchorColor Number() {
        AnchorColor scope(std::nullopt);
        const DWORD number = 128;
        ::RegSetValueExW(scope.key_, L"Anchor Color", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                         sizeof number);
        return scope;
    }
    AnchorColor(AnchorColor&& other) noexcept
        : key_(std::exchange(other.key_, nullptr)),
          had_(other.had_),
          type_(other.type_),
          saved_size_(other.saved_size_) {
        std::copy(std::begin(other.saved_), std::end(other.saved_), saved_);
    }
    ~AnchorColor() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExW(key_, L"Anchor Color", 0, type_, saved_, saved_size_);
        else
            ::RegDeleteValueW(key_, L"Anchor Color");
        ::RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD type_ = 0, saved_size_ = 0;
    BYTE saved_[512] = {};
};

struct LinkForm : ui::Form {
    LinkForm() { create_form({L"links", 300, 120}); }
};

// A link that records what it would open instead of calling the shell.
struct RecordingLink : TGkHotLink {
    std::vector<std::wstring> events;
    void OpenURL(const std::wstring& url, int show_command) override {
        events.push_back(L"open " + url + L" " + std::to_wstring(show_command));
    }
};

// The label as it paints itself.
std::vector<std::uint32_t> Painted(HWND label, int width, int height) {
    return PrintedClient(label, width, height, 0xFF00FF);
}

std::uint32_t AsPixel(COLORREF color) {
    return GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

void ClickOn(HWND window) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

}  // namespace

TEST_CASE("the link color comes from \"Anchor Color\" when it holds three components, else it is blue") {
    struct {
        std::optional<std::wstring> setting;
        COLORREF color;
    } cases[] = {
        {L"0,0,128", RGB(0, 0, 128)},
        {L"300,0,0", RGB(0, 0, 255)},
        {L"0,0", RGB(0, 0, 255)},  // a missing part
        {std::nullopt, RGB(0, 0, 255)},
    };
    LinkForm form;
    for (const auto& c : cases) {
        CAPTURE(c.setting.value_or(L"(none)"));
        AnchorColor setting(c.setting);
        TGkHotLink link;
        link.create(form.handle(), L"https://example.org/", {8, 8, 200, 16});
        CHECK(link.LinkColor() == c.color);

        // Drawn in that color, the font underlined: one row of the image is mostly link color.
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link.handle(), WM_GETFONT, 0, 0)), sizeof font,
                     &font);
        CHECK(font.lfUnderline);
        const std::vector<std::uint32_t> image = Painted(link.handle(), 200, 16);
        int longest_row = 0;
        for (int y = 0; y < 16; ++y) {
            int row = 0;
            for (int x = 0; x < 200; ++x)
                row += image[static_cast<std::size_t>(y * 200 + x)] == AsPixel(c.color);
            longest_row = std::max(longest_row, row);
        }
        CHECK(longest_row > 60);
    }
    {
        AnchorColor number = AnchorColor::Number();
        TGkHotLink link;
        link.create(form.handle(), L"x", {8, 8, 200, 16});
        CHECK(link.LinkColor() == RGB(0, 0, 255));
    }
}

TEST_CASE("a click runs the click event and then opens the URL with the browser state's show command") {
    LinkForm form;
    RecordingLink link;
    link.create(form.handle(), L"Example", {8, 8, 200, 16});
    link.on_click = [&] { link.events.push_back(L"click"); };

    ClickOn(link.handle());  // an empty URL opens nothing
    CHECK(link.events == std::vector<std::wstring>{L"click"});

    struct {
        TWindowState state;
        int show;
    } states[] = {
        {wsNormal, SW_SHOWNORMAL}, {wsMinimized, SW_SHOWMINIMIZED}, {wsMaximized, SW_SHOWMAXIMIZED}};
    link.URL = L"mailto:someone@example.org";
    for (const auto& s : states) {
        link.events.clear();
        link.BrowserState = s.state;
        ClickOn(link.handle());
        CHECK(link.events == std::vector<std::wstring>{
                                 L"click", L"open mailto:someone@example.org " + std::to_wstring(s.show)});
    }

    // The hand cursor over the link.
    ::SendMessageW(link.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_CASE(
    "with TabStop the link takes the focus on a mouse press and shows a focus rectangle until tabbed away") {
    LinkForm form;
    ui::Edit edit;
    edit.create(form.handle(), {8, 40, 100, 21});
    TGkHotLink link;
    link.create(form.handle(), L"Example", {8, 8, 200, 16});
    form.show();
    CHECK(link.TabOrder() == -1);
    const std::vector<std::uint32_t> plain = Painted(link.handle(), 200, 16);

    link.SetTabStop(true);
    REQUIRE(link.FocusWindow());
    CHECK(link.TabOrder() == 2);  // behind the label and the edit
    link.SetTabOrder(0);
    CHECK(link.TabOrder() == 0);
    edit.focus();
    ClickOn(link.handle());
    CHECK(::GetFocus() == link.FocusWindow());
    CHECK(Painted(link.handle(), 200, 16) != plain);

    // Tab, through the message loop as the keyboard sends it, moves on to the edit.
    ::PostMessageW(link.FocusWindow(), WM_KEYDOWN, VK_TAB, 1);
    CHECK(WaitUntil([&] { return ::GetFocus() == edit.handle(); }));
    CHECK(Painted(link.handle(), 200, 16) == plain);
    // And back again.
    ::PostMessageW(edit.handle(), WM_KEYDOWN, VK_TAB, 1);
    CHECK(WaitUntil([&] { return ::GetFocus() == link.FocusWindow(); }));

    link.SetTabStop(false);
    CHECK(link.FocusWindow() == nullptr);
    CHECK(link.TabOrder() == -1);
}

namespace {

struct NotepadSearch {
    std::wstring part;
    HWND found;
};

BOOL CALLBACK TakeNotepad(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<NotepadSearch*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) != L"Notepad" || ui::window_text(window).find(search->part) == std::wstring::npos)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

TEST_CASE("the shell opens a file whose name is outside the ANSI code page, maximized when asked") {
    TempFolder folder;
    const std::wstring name = L"link \u0416\u4E2D";
    const std::wstring file = folder.path() + name + L".txt";
    ui::write_file(file, {'h', 'i'});
    LinkForm form;
    TGkHotLink link;
    link.create(form.handle(), L"the file", {8, 8, 200, 16});
    link.URL = file;
    link.BrowserState = wsMaximized;
    ClickOn(link.handle());

    NotepadSearch search{name, nullptr};
    REQUIRE(WaitUntil(
        [&] {
            ::EnumWindows(TakeNotepad, reinterpret_cast<LPARAM>(&search));
            return search.found && ::IsWindowVisible(search.found);
        },
        std::chrono::milliseconds(15000)));
    CHECK(::IsZoomed(search.found));
    DWORD pid = 0;
    ::GetWindowThreadProcessId(search.found, &pid);
    ui::unique_kernel_handle notepad(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (notepad) CHECK(::WaitForSingleObject(notepad.get(), 10000) == WAIT_OBJECT_0);
}
