// The Link page of a main window in this process, against file types this test registers in its own
// Wine prefix (and removes again), and programs it copies into its own folder.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/TestRegistry.h"
#include "support/WideStringMaker.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

// A search path with the test's folder in front (written without its "\", after an empty entry),
// restored when the test is done.
class SearchPath {
public:
    explicit SearchPath(std::wstring folder) : saved_(Environment(L"PATH")) {
        folder.pop_back();
        ::SetEnvironmentVariableW(L"PATH", (L";" + folder + L";" + saved_).c_str());
    }
    ~SearchPath() { ::SetEnvironmentVariableW(L"PATH", saved_.c_str()); }

private:
    std::wstring saved_;
};

std::wstring DefaultValue(const std::wstring& key) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.empty() ? nullptr : key.c_str(), nullptr, RRF_RT_REG_SZ,
                       nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// A file type: the extension names the class, which has a description and an open command.
void RegisterType(TestRegistry& registry, const std::wstring& extension, const std::wstring& class_name,
                  const std::wstring& command, DWORD command_type = REG_SZ) {
    registry.set(HKEY_CLASSES_ROOT, extension, L"", class_name);
    registry.set(HKEY_CLASSES_ROOT, class_name, L"", class_name + L" files");
    registry.set(HKEY_CLASSES_ROOT, class_name + L"\\shell\\open\\command", L"", command, command_type);
}

// Programs to find, file types that name them, and the main window on its Link page.
struct LinkFixture {
    LinkFixture() {
        ClearSettings();
        const std::wstring scrutel = BesideTests(L"Scrutel.exe");
        // Beyond the ANSI code page: only the wide calls find this program and its resources.
        quoted = folder.copy(L"\u0416\u4E2D programs\\Scrutel, copy.exe",
                             (folder.folder(L"\u0416\u4E2D programs"), scrutel));
        bare = folder.copy(L"on the path\\scrutelprobe.exe", (folder.folder(L"on the path"), scrutel));
        notepad = Environment(L"SystemRoot") + L"\\system32\\notepad.exe";
        RegisterType(registry, L".scrutelquoted", L"Scrutel.Quoted", L"\"" + quoted + L"\" \"%1\"");
        RegisterType(registry, L".scrutelbare", L"Scrutel.Bare", L"scrutelprobe.exe %1");
        RegisterType(registry, L".scrutelexpand", L"Scrutel.Expand",
                     L"%SystemRoot%\\system32\\notepad.exe %1", REG_EXPAND_SZ);
        RegisterType(registry, L".scrutelexe", L"Scrutel.Exe", L"\"%1\" %*");
        RegisterType(registry, L".scrutelchoice", L"Scrutel.Plain", L"notepad.exe %1");
        registry.set(
            HKEY_CURRENT_USER,
            L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.scrutelchoice\\UserChoice",
            L"ProgId", L"Scrutel.Quoted");
        registry.set(HKEY_CLASSES_ROOT, L".scrutelnumber", L"", L"Scrutel.Number");
        registry.set(HKEY_CLASSES_ROOT, L"Scrutel.Number", L"", L"Scrutel.Number files");
        registry.set_number(HKEY_CLASSES_ROOT, L"Scrutel.Number\\shell\\open\\command", L"", 1);
        ChooseTab(form, TMainForm::PageLink);
    }
    TempFolder folder;
    std::wstring quoted, bare, notepad;
    TestRegistry registry;
    SearchPath path{folder.path() + L"on the path\\"};
    TMainForm form;
    TLinkPage& page = form.Link;
};

}  // namespace

TEST_CASE("the Link page shows the program that opens a type, its description, file name and icon") {
    LinkFixture fixture;
    const std::wstring link =
        fixture.folder.shortcut(L"to target.lnk", fixture.folder.file(L"target.txt", "x"));
    struct {
        const char* what;
        std::wstring typed;
        std::wstring program, type, description;
        bool icon;
    } cases[] = {
        {"a quoted command", L".scrutelquoted", fixture.quoted, L"Scrutel.Quoted files",
         L"Scrutel window inspector", true},
        {"any file name counts by its extension", L"C:\\some where\\file.scrutelquoted", fixture.quoted,
         L"Scrutel.Quoted files", L"Scrutel window inspector", true},
        {"a bare program name found along the path", L".scrutelbare", fixture.bare, L"Scrutel.Bare files",
         L"Scrutel window inspector", true},
        // Wine's notepad has no version resource: its icon, but no description.
        {"a command stored as REG_EXPAND_SZ", L".scrutelexpand", fixture.notepad, L"Scrutel.Expand files",
         L"", true},
        {"the executable's command starts with \"%1\"", L".scrutelexe", L"", L"Scrutel.Exe files", L"",
         false},
        {"the user's choice wins over the extension's class", L".SCRUTELCHOICE", fixture.quoted,
         L"Scrutel.Quoted files", L"Scrutel window inspector", true},
        {"a command of another type ends the lookup", L".scrutelnumber", L"", L"Scrutel.Number files", L"",
         false},
        {"an extension without its dot is no extension", L"scrutelquoted", L"", DefaultValue(L""), L"",
         false},
        {"an unregistered extension", L".scrutel-unregistered", L"", DefaultValue(L""), L"", false},
        {"a shortcut shows its target and the shortcut arrow", link, fixture.folder.path() + L"target.txt",
         DefaultValue(DefaultValue(L".lnk")), L"", true},
    };
    for (const auto& c : cases) {
        CAPTURE(std::string(c.what));
        fixture.page.EditFileExt.set_text(c.typed);
        CHECK(fixture.page.EditProgramFileName.text() == c.program);
        CHECK(fixture.page.EditFileType.text() == c.type);
        CHECK(fixture.page.EditProgramDescr.text() == c.description);
        CHECK((fixture.page.ProgramIcon.icon() != nullptr) == c.icon);
    }
}

TEST_CASE("the icon shown is released when another replaces it") {
    LinkFixture fixture;
    fixture.page.EditFileExt.set_text(L".scrutelquoted");
    HICON first = fixture.page.ProgramIcon.icon();
    REQUIRE(first);
    ICONINFO info{};
    REQUIRE(::GetIconInfo(first, &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    fixture.page.EditFileExt.set_text(L".scrutelexe");
    CHECK(fixture.page.ProgramIcon.icon() == nullptr);
    CHECK_FALSE(::GetIconInfo(first, &info));
}

TEST_CASE("Search target selects the shown file in the shell's browser, its name quoted") {
    LinkFixture fixture;
    std::vector<std::wstring> started;
    fixture.page.ShellOpen = [&](const std::wstring& program, const std::wstring& parameters) {
        started.push_back(program + L" " + parameters);
    };
    fixture.page.EditFileExt.set_text(L".scrutelquoted");
    fixture.page.ButtonSearch.click();
    CHECK(started == std::vector<std::wstring>{L"explorer.exe /select,\"" + fixture.quoted + L"\""});

    // Nothing for a name that names no file.
    started.clear();
    fixture.page.EditFileExt.set_text(L".scrutelexe");
    fixture.page.ButtonSearch.click();
    fixture.page.EditProgramFileName.set_text(fixture.folder.path() + L"gone.exe");
    fixture.page.ButtonSearch.click();
    CHECK(started.empty());
}
