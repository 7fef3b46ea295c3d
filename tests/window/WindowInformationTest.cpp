#include <doctest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "components/GkGeneral.h"
#include "fixtures/FixtureWindows.h"
#include "support/FixtureProcess.h"
#include "window/WindowInformation.h"

namespace {

// One fixture process serves every case here; only the hang case makes one of its threads busy.
FixtureProcess& Remote() {
    static FixtureProcess fixture(L"window_fixture.exe");
    return fixture;
}

// The same windows on a thread of this process. Wine 8 does not carry WM_GETFONT and WM_GETICON
// between processes (it has no cross-process GDI and icon handles), so fonts and icons are read here.
class LocalWindows {
public:
    LocalWindows() {
        created_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(::CreateThread(nullptr, 0, Host, this, 0, nullptr));
        REQUIRE(thread_);
        REQUIRE(::WaitForSingleObject(created_.get(), 10000) == WAIT_OBJECT_0);
    }
    ~LocalWindows() {
        ::PostMessageW(window("main"), WM_CLOSE, 0, 0);
        ::WaitForSingleObject(thread_.get(), 10000);
    }
    std::uintptr_t value(const std::string& name) const { return values_.at(name); }
    HWND window(const std::string& name) const { return reinterpret_cast<HWND>(value(name)); }

private:
    static DWORD WINAPI Host(void* parameter) {
        auto* self = static_cast<LocalWindows*>(parameter);
        FixtureWindows windows(::GetModuleHandleW(nullptr));
        self->values_.insert(windows.values().begin(), windows.values().end());
        ::SetEvent(self->created_.get());
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        return 0;
    }
    ui::unique_kernel_handle created_;
    ui::unique_kernel_handle thread_;
    std::map<std::string, std::uintptr_t> values_;
};

LocalWindows& Local() {
    static LocalWindows windows;
    return windows;
}

std::string Ascii(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

template <class Host>
TWindowInformation Read(const Host& host, const std::string& name,
                        const TReaderPlatform& platform = {IsWinNT(), IsWinXPOrLater()}) {
    TWindowInformation info;
    ReadWindowInformation(host.window(name), info, platform);
    return info;
}

std::string RectText(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

const TReaderPlatform Wide{true, true};
const TReaderPlatform Ansi{false, true};

}  // namespace

TEST_CASE("the platform facts say NT and 5.1 or later under Wine") {
    CHECK(IsWinNT());
    CHECK_FALSE(IsWin9x());
    CHECK(IsWinXPOrLater());
}

TEST_CASE("a dialog's button is read from another process, its font from another thread") {
    const TWindowInformation info = Read(Remote(), "button");
    CHECK(Ascii(info.Caption) == "OK");
    CHECK(Ascii(info.ClassName) == "Button");
    CHECK(info.ID == 1001);
    CHECK(info.Enabled);
    CHECK(info.Visible);
    CHECK(info.Unicode);
    CHECK(info.AppInstance == Remote().value("instance"));
    CHECK(info.ParentWnd == Remote().window("dialog"));
    CHECK(info.OwnerWnd == nullptr);
    CHECK((info.Style & (WS_CHILD | BS_TYPEMASK)) == (WS_CHILD | BS_PUSHBUTTON));

    CHECK(Read(Local(), "button").Font == "Tahoma, 8 pt, Normal");
}

TEST_CASE("fonts are described by face, point size and styles") {
    struct {
        const char* window;
        const char* font;
    } cases[] = {
        {"weight550", "Tahoma, 9 pt"},  // a weight without a name adds nothing
        {"italic0", "Tahoma, 9 pt, Italic"},
        {"cellheight", "Tahoma, -11 pt, Normal"},  // a cell height counts the other way round
        {"styled", "Tahoma, 10 pt, Bold, Italic, Underlined, Striked out"},
        {"rect", "(none or System Font)"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.window);
        CHECK(Read(Local(), c.window).Font == c.font);
    }
}

TEST_CASE("a font handle that is no font is named, not described") {
    char expected[64];
    std::snprintf(expected, sizeof expected, "(font %08lX cannot be read)",
                  static_cast<unsigned long>(Local().value("wrongfont_answer")));
    CHECK(Read(Local(), "wrongfont").Font == expected);
}

TEST_CASE("font descriptions name exactly the nine weights and keep a face name of 32 characters") {
    struct {
        LONG height, weight;
        BYTE italic, underline, strike;
        int resolution;
        const char* text;
    } cases[] = {
        {-11, 100, 0, 0, 0, 96, "F, 8 pt, Thin"},
        {-11, 200, 0, 0, 0, 96, "F, 8 pt, Ultralight"},
        {-11, 300, 0, 0, 0, 96, "F, 8 pt, Light"},
        {-11, 400, 0, 0, 0, 96, "F, 8 pt, Normal"},
        {-11, 500, 0, 0, 0, 96, "F, 8 pt, Medium"},
        {-11, 600, 0, 0, 0, 96, "F, 8 pt, Semibold"},
        {-11, 700, 0, 0, 0, 96, "F, 8 pt, Bold"},
        {-11, 800, 0, 0, 0, 96, "F, 8 pt, Extrabold"},
        {-11, 900, 0, 0, 0, 96, "F, 8 pt, Black"},
        {-11, 0, 0, 0, 0, 96, "F, 8 pt"},
        {-11, 401, 0, 0, 0, 96, "F, 8 pt"},
        {-11, 1000, 0, 0, 0, 96, "F, 8 pt"},
        {-11, 0, 0, 1, 0, 96, "F, 8 pt, Underlined"},
        {-11, 0, 0, 0, 1, 96, "F, 8 pt, Striked out"},
        {-20, 700, 1, 0, 1, 120, "F, 12 pt, Bold, Italic, Striked out"},
        {0, 400, 0, 0, 0, 96, "F, 0 pt, Normal"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        LOGFONTA font{};
        font.lfHeight = c.height;
        font.lfWeight = c.weight;
        font.lfItalic = c.italic;
        font.lfUnderline = c.underline;
        font.lfStrikeOut = c.strike;
        font.lfFaceName[0] = 'F';
        CHECK(DescribeFont(font, c.resolution) == c.text);
    }

    LOGFONTA unterminated{};
    unterminated.lfHeight = -16;
    std::memset(unterminated.lfFaceName, 'x', LF_FACESIZE);
    CHECK(DescribeFont(unterminated, 96) == std::string(LF_FACESIZE, 'x') + ", 12 pt");
}

TEST_CASE("captions end inside the buffer, whatever the window answers") {
    std::string long_text;
    while (long_text.size() < 300) long_text += "0123456789";
    struct {
        const char* window;
        std::string caption;
    } cases[] = {
        {"rect", "Known rectangle"},
        {"notext", "Text kept by the system"},    // WM_GETTEXT answered 0: the system's copy
        {"longtext", long_text.substr(0, 255)},   // the buffer holds 255 characters and the NUL
        {"unterminated", std::string(255, 'u')},  // no NUL and an answer past the buffer
    };
    for (const auto& platform : {Wide, Ansi}) {
        for (const auto& c : cases) {
            CAPTURE(c.window);
            CAPTURE(platform.WinNT);
            const TWindowInformation info = Read(Remote(), c.window, platform);
            CHECK(Ascii(info.Caption) == c.caption);
        }
    }
    CHECK(Ascii(Read(Remote(), "notext", Ansi).ClassName) == "FixtureNoText");
}

TEST_CASE("a top-level window's rectangles, styles, parent and owner") {
    const TWindowInformation info = Read(Remote(), "rect");
    CHECK(RectText(info.WindowRect) == "(10, 20)-(110, 70)");
    CHECK(RectText(info.ClientRect) == "(0, 0)-(100, 50)");
    CHECK(Ascii(info.ClassName) == "FixturePlain");
    CHECK(info.ID == 0);
    CHECK((info.Style & (WS_POPUP | WS_VISIBLE | WS_CHILD)) == (WS_POPUP | WS_VISIBLE));
    CHECK((info.ExStyle & WS_EX_TOOLWINDOW) != 0);
    // GetParent answers the owner of an owned pop-up window.
    CHECK(info.OwnerWnd == Remote().window("main"));
    CHECK(info.ParentWnd == Remote().window("main"));
}

TEST_CASE("icons are the window's own, the small one asked by system version") {
    const auto icon = [](const char* name) { return reinterpret_cast<HICON>(Local().value(name)); };
    const TWindowInformation icons = Read(Local(), "icons");
    CHECK(icons.IconBig == icon("icon_big"));
    CHECK(icons.IconSmall == icon("icon_small"));

    const TWindowInformation xp = Read(Local(), "iconprobe", TReaderPlatform{true, true});
    CHECK(xp.IconBig == icon("probe_big"));
    CHECK(xp.IconSmall == icon("probe_small2"));
    const TWindowInformation w2000 = Read(Local(), "iconprobe", TReaderPlatform{true, false});
    CHECK(w2000.IconBig == icon("probe_big"));
    CHECK(w2000.IconSmall == icon("probe_small"));

    CHECK(Read(Local(), "rect").IconBig == nullptr);  // no icon of its own, and no class icon is asked
}

TEST_CASE("a hung window costs one probe and still shows what needs no answer") {
    using namespace std::chrono;
    Remote().hang("hang", 3000);

    TWindowInformation info;
    const auto start = steady_clock::now();
    ReadWindowInformation(Remote().window("hang"), info);
    const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
    MESSAGE("reading a hung window took " << elapsed << " ms");
    CHECK(elapsed < 1000);

    CHECK(Ascii(info.Caption) == "(not available)");
    CHECK(Ascii(info.ClassName) == "(not available)");
    CHECK(info.Font == "(not available)");
    CHECK(info.IconBig == nullptr);
    CHECK(info.IconSmall == nullptr);
    CHECK(RectText(info.WindowRect) == "(510, 30)-(590, 60)");
    CHECK(RectText(info.ClientRect) == "(0, 0)-(80, 30)");
    CHECK(info.ID == 77);
    CHECK(info.ParentWnd == Remote().window("hangframe"));
    CHECK(info.OwnerWnd == nullptr);
    CHECK(info.Style == (WS_CHILD | WS_VISIBLE));
    CHECK(info.Visible);
    CHECK(info.AppInstance == Remote().value("instance"));

    TWindowInformation frame;
    ReadWindowInformation(Remote().window("hangframe"), frame);
    CHECK(Ascii(frame.Caption) == "(not available)");
    CHECK(frame.OwnerWnd == Remote().window("main"));
}

TEST_CASE("a destroyed window does not respond and leaves nothing of an earlier read") {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"short-lived", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    REQUIRE(window);
    CHECK(WindowResponds(window));
    ::DestroyWindow(window);

    const auto start = std::chrono::steady_clock::now();
    CHECK_FALSE(WindowResponds(window));
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::milliseconds(50));

    TWindowInformation info;
    ReadWindowInformation(Remote().window("button"), info);
    ReadWindowInformation(window, info);
    CHECK(Ascii(info.Caption) == "(not available)");
    CHECK(info.ID == 0);
    CHECK(info.AppInstance == 0);
    CHECK(info.ParentWnd == nullptr);
    CHECK(info.Style == 0);
    CHECK(RectText(info.WindowRect) == "(0, 0)-(0, 0)");
}
