// Shortcut resolution, the shortcut mark of file types, the overlay icon, and the resources that the
// build puts into Scrutel.exe.
#include <doctest.h>

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "Resource.h"
#include "components/GkGeneral.h"
#include "components/GkGeneralShortcut.h"
#include "support/TempFolder.h"
#include "ui/Exceptions.h"
#include "ui/Handles.h"

namespace {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Whether this thread's COM is uninitialised: a first CoInitialize answers S_OK, a nested one S_FALSE.
bool ComIsUninitialised() {
    const HRESULT result = ::CoInitialize(nullptr);
    if (SUCCEEDED(result)) ::CoUninitialize();
    return result == S_OK;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    REQUIRE((length > 0 && length < MAX_PATH));
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The icon drawn on white, pixel by pixel, so two icons can be compared by what they show.
std::vector<COLORREF> IconPixels(HICON icon) {
    const int size = 32;
    ui::released_dc screen(nullptr);
    ui::unique_memory_dc dc(::CreateCompatibleDC(screen.get()));
    ui::unique_bitmap bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
    REQUIRE((dc && bitmap));
    const ui::selected_object selected(dc.get(), bitmap.get());
    const RECT all{0, 0, size, size};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    REQUIRE(::DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(::GetPixel(dc.get(), x, y));
    return pixels;
}

std::vector<COLORREF> ExtractedIconPixels(const std::wstring& file, UINT index) {
    const ui::unique_icon icon(::ExtractIconW(::GetModuleHandleW(nullptr), file.c_str(), index));
    REQUIRE(reinterpret_cast<UINT_PTR>(icon.get()) > 1);
    return IconPixels(icon.get());
}

// Sets (or, with nullptr, removes) the shell's overlay setting for one test, and removes it again.
class OverlaySetting {
public:
    explicit OverlaySetting(const wchar_t* value, DWORD type = REG_SZ) {
        HKEY key = nullptr;
        REQUIRE(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr) == ERROR_SUCCESS);
        key_.reset(key);
        if (!value) {
            ::RegDeleteValueW(key, L"29");
        } else if (type == REG_DWORD) {
            const DWORD number = 29;
            REQUIRE(::RegSetValueExW(key, L"29", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                     sizeof number) == ERROR_SUCCESS);
        } else {
            const auto bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
            REQUIRE(::RegSetValueExW(key, L"29", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) ==
                    ERROR_SUCCESS);
        }
    }
    ~OverlaySetting() { ::RegDeleteValueW(key_.get(), L"29"); }

private:
    static constexpr const wchar_t* kPath =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons";
    ui::unique_key key_;
};

// A file type of this test, registered under the classes root and removed again.
class TestFileType {
public:
    TestFileType(const std::wstring& extension, const wchar_t* class_name, DWORD type, bool shortcut)
        : extension_(extension), class_(L"ScrutelTestType") {
        HKEY key = nullptr;
        REQUIRE(::RegCreateKeyExW(HKEY_CLASSES_ROOT, extension_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr) == ERROR_SUCCESS);
        const ui::unique_key extension_key(key);
        if (type == REG_DWORD) {
            const DWORD number = 1;
            REQUIRE(::RegSetValueExW(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                     sizeof number) == ERROR_SUCCESS);
        } else {
            const auto bytes = static_cast<DWORD>((std::wcslen(class_name) + 1) * sizeof(wchar_t));
            REQUIRE(::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(class_name),
                                     bytes) == ERROR_SUCCESS);
        }
        REQUIRE(::RegCreateKeyExW(HKEY_CLASSES_ROOT, class_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr) == ERROR_SUCCESS);
        const ui::unique_key class_key(key);
        if (shortcut) REQUIRE(::RegSetValueExW(key, L"IsShortcut", 0, REG_SZ, nullptr, 0) == ERROR_SUCCESS);
    }
    ~TestFileType() {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, extension_.c_str());
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, class_.c_str());
    }

private:
    std::wstring extension_, class_;
};

}  // namespace

TEST_CASE("ResolveShortcut gives a shortcut's target through either link interface") {
    TempFolder folder;
    const std::wstring target = folder.file(L"target.txt", "target\r\n");
    const std::wstring link = folder.shortcut(L"target.lnk", target);

    for (const auto which : {LinkInterface::Wide, LinkInterface::Ansi}) {
        CAPTURE(static_cast<int>(which));
        CHECK(Narrow(ResolveShortcutWith(link, which)) == Narrow(target));
        CHECK(ComIsUninitialised());
    }
    CHECK(Narrow(ResolveShortcut(link)) == Narrow(target));

    SUBCASE("a caller that has COM running keeps it") {
        REQUIRE(::CoInitialize(nullptr) == S_OK);
        CHECK(Narrow(ResolveShortcut(link)) == Narrow(target));
        CHECK(::CoInitialize(nullptr) == S_FALSE);  // still initialised, now twice
        ::CoUninitialize();
        ::CoUninitialize();
    }
}

TEST_CASE("ResolveShortcut gives an empty text for what is no shortcut, and leaves COM as it was") {
    TempFolder folder;
    static const char link_start[] = "L\0\0\0garbage that only starts like a link";
    const std::wstring files[] = {
        folder.path() + L"missing.lnk",
        folder.file(L"empty.lnk", ""),
        folder.file(L"garbage.lnk", std::string(link_start, sizeof link_start - 1)),
        folder.file(L"text.lnk", "[InternetShortcut]\r\nURL=file:///C:/\r\n"),
        folder.path(),  // a folder
        L"",
    };
    for (const auto& file : files) {
        for (const auto which : {LinkInterface::Wide, LinkInterface::Ansi}) {
            CAPTURE(Narrow(file));
            CAPTURE(static_cast<int>(which));
            CHECK(ResolveShortcutWith(file, which).empty());
            CHECK(ComIsUninitialised());
        }
    }
}

TEST_CASE("IsShortcut follows an extension to its class and looks for the IsShortcut mark") {
    struct {
        const wchar_t* extension;
        bool shortcut;
    } registered[] = {
        {L".lnk", true}, {L".txt", false}, {L".exe", false}, {L".scrutel-unregistered", false}, {L"", false},
    };
    for (const auto& c : registered) {
        CAPTURE(Narrow(c.extension));
        CHECK(IsShortcut(c.extension) == c.shortcut);
    }

    SUBCASE("a class of our own") {
        const TestFileType marked(L".scrutel-marked", L"ScrutelTestType", REG_SZ, true);
        CHECK(IsShortcut(L".scrutel-marked"));
        CHECK(IsShortcut(L".SCRUTEL-MARKED"));  // registry names ignore case
    }
    SUBCASE("a class key without the mark") {
        const TestFileType unmarked(L".scrutel-unmarked", L"ScrutelTestType", REG_SZ, false);
        CHECK_FALSE(IsShortcut(L".scrutel-unmarked"));
    }
    SUBCASE("an extension naming a class that does not exist") {
        const TestFileType dangling(L".scrutel-dangling", L"ScrutelNoSuchType", REG_SZ, false);
        CHECK_FALSE(IsShortcut(L".scrutel-dangling"));
    }
    SUBCASE("a class name stored as a number raises the registry error") {
        const TestFileType numeric(L".scrutel-numeric", nullptr, REG_DWORD, false);
        CHECK_THROWS_AS(IsShortcut(L".scrutel-numeric"), ui::ERegistryException);
    }
}

TEST_CASE("ShortcutOverlayIcon takes the shell's setting and falls back to shell32.dll icon 29") {
    const std::wstring exe = ProgramFolder() + L"Scrutel.exe";
    const std::wstring icon_file = ProgramFolder() + L"..\\res\\PipetteFull.ico";
    const auto fallback = ExtractedIconPixels(L"shell32.dll", 29);

    const ui::unique_icon from_file(
        static_cast<HICON>(::LoadImageW(nullptr, icon_file.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
    REQUIRE(from_file);
    const auto pipette = IconPixels(from_file.get());
    REQUIRE(pipette != fallback);
    const auto shell32_3 = ExtractedIconPixels(L"shell32.dll", 3);
    REQUIRE(shell32_3 != fallback);
    const auto app_icon = ExtractedIconPixels(exe, 0);  // the first icon of Scrutel.exe
    REQUIRE(app_icon != pipette);

    struct {
        const wchar_t* what;
        std::wstring setting;
        DWORD type;
        const std::vector<COLORREF>* shows;
    } cases[] = {
        {L"no setting", {}, REG_NONE, &fallback},
        {L"an icon file", icon_file, REG_SZ, &pipette},
        {L"file and index, with blanks", L"  shell32.dll , 3 ", REG_SZ, &shell32_3},
        {L"an index that is no number reads as 0", exe + L",first", REG_SZ, &app_icon},
        {L"index -1 would count icons", L"shell32.dll,-1", REG_SZ, &fallback},
        {L"a file that does not exist", L"C:\\no\\such\\overlay.ico", REG_SZ, &fallback},
        {L"a file with no icons", ProgramFolder() + L"..\\res\\Pin.bmp,0", REG_SZ, &fallback},
        {L"a setting of another type", {}, REG_DWORD, &fallback},
    };
    for (const auto& c : cases) {
        CAPTURE(Narrow(c.what));
        const OverlaySetting setting(c.type == REG_NONE ? nullptr : c.setting.c_str(), c.type);
        const ui::unique_icon icon(ShortcutOverlayIcon());
        REQUIRE(icon);
        CHECK(IconPixels(icon.get()) == *c.shows);
    }
}

TEST_CASE("Scrutel.exe carries its version, pictures and cursors") {
    const std::wstring exe = ProgramFolder() + L"Scrutel.exe";

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<BYTE> info(size);
    REQUIRE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
    const auto text = [&](const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(info.data(), path.c_str(), &value, &length) || !value) return std::string();
        return Narrow(static_cast<const wchar_t*>(value));
    };
    CHECK(text(L"ProductName") == "Scrutel");
    CHECK(text(L"CompanyName") == "Orvane");
    CHECK(text(L"FileVersion") == "1.0.0.0");
    CHECK_FALSE(text(L"FileDescription").empty());
    CHECK_FALSE(text(L"LegalCopyright").empty());

    const ui::unique_module module(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    REQUIRE(module);

    struct {
        int id;
        int width, height, bits;
    } bitmaps[] = {
        {IDB_FINDER_IDLE, 31, 28, 4}, {IDB_FINDER_DRAG, 31, 28, 4}, {IDB_PIN, 64, 16, 24},
        {IDB_TABS, 96, 16, 24},       {IDB_LOGO, 61, 32, 24},
    };
    for (const auto& b : bitmaps) {
        CAPTURE(b.id);
        const ui::unique_bitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageW(module.get(), MAKEINTRESOURCEW(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        REQUIRE(bitmap);
        DIBSECTION dib{};
        REQUIRE(::GetObjectW(bitmap.get(), sizeof dib, &dib) == sizeof dib);
        CHECK(dib.dsBm.bmWidth == b.width);
        CHECK(dib.dsBm.bmHeight == b.height);
        CHECK(dib.dsBm.bmBitsPixel == b.bits);
    }

    struct {
        int id;
        DWORD hot_x, hot_y;
    } cursors[] = {{IDC_FINDER, 15, 16}, {IDC_PIPETTE, 8, 23}};
    for (const auto& c : cursors) {
        CAPTURE(c.id);
        const ui::unique_cursor cursor(
            static_cast<HCURSOR>(::LoadImageW(module.get(), MAKEINTRESOURCEW(c.id), IMAGE_CURSOR, 0, 0, 0)));
        REQUIRE(cursor);
        ICONINFO icon_info{};
        REQUIRE(::GetIconInfo(cursor.get(), &icon_info));
        const ui::unique_bitmap mask(icon_info.hbmMask), color(icon_info.hbmColor);
        CHECK_FALSE(icon_info.fIcon);
        CHECK(icon_info.xHotspot == c.hot_x);
        CHECK(icon_info.yHotspot == c.hot_y);
        BITMAP bits{};
        REQUIRE(::GetObjectW(mask.get(), sizeof bits, &bits) == sizeof bits);
        CHECK(bits.bmWidth == 32);
        CHECK(bits.bmHeight == (color ? 32 : 64));  // a monochrome cursor stacks its two masks
    }

    // The manifest asks for per-monitor DPI awareness (v2), and system awareness where that is unknown.
    HRSRC manifest = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    REQUIRE(manifest);
    const auto* xml = static_cast<const char*>(::LockResource(::LoadResource(module.get(), manifest)));
    const std::string manifest_text(xml, ::SizeofResource(module.get(), manifest));
    CHECK(manifest_text.find(">PerMonitorV2</dpiAwareness>") != std::string::npos);
    CHECK(manifest_text.find(">true</dpiAware>") != std::string::npos);

    for (const int id : {IDI_SCRUTEL, IDI_PIPETTE_FULL, IDI_PIPETTE_EMPTY}) {
        CAPTURE(id);
        const ui::unique_icon icon(
            static_cast<HICON>(::LoadImageW(module.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0)));
        CHECK(icon);
    }
}
