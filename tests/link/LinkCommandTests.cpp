#include <doctest.h>

#include <string>
#include <vector>

#include "link/LinkCommand.h"
#include "support/WideStringMaker.h"

TEST_CASE("the program is cut out of an open command") {
    const struct {
        const wchar_t* command;
        const wchar_t* program;
    } cases[] = {
        {L"\"C:\\Program Files\\Editor\\edit.exe\" \"%1\"", L"C:\\Program Files\\Editor\\edit.exe"},
        {L"notepad.exe %1", L"notepad.exe"},
        {L"%SystemRoot%\\system32\\notepad.exe %1", L"%SystemRoot%\\system32\\notepad.exe"},
        {L"\"%1\" %*", L"%1"},
        {L"C:\\tools\\view.exe", L"C:\\tools\\view.exe"},      // no blank: the whole command
        {L"run \"C:\\a b\\x.exe\" z", L"run C:\\a b\\x.exe"},  // the quotes need not come first
        {L"\"C:\\unclosed\\x.exe %1", L"C:\\unclosed\\x.exe %1"},
        {L"", L""},
    };
    for (const auto& c : cases) CHECK(ProgramFromCommand(c.command) == c.program);
}

TEST_CASE("a bare program name is looked for here, then along the search path") {
    CHECK(ProgramCandidates(L"edit.exe", L"C:\\bin;;D:\\tools\\;E:;  ") ==
          std::vector<std::wstring>{L"edit.exe", L"C:\\bin\\edit.exe", L"D:\\tools\\edit.exe", L"E:edit.exe",
                                    L"  \\edit.exe"});
    CHECK(ProgramCandidates(L"edit.exe", L"") == std::vector<std::wstring>{L"edit.exe"});
    CHECK(ProgramCandidates(L"", L"C:\\bin").empty());

    CHECK_FALSE(HasDirectoryPart(L"edit.exe"));
    CHECK_FALSE(HasDirectoryPart(L"%1"));
    CHECK(HasDirectoryPart(L"C:edit.exe"));
    CHECK(HasDirectoryPart(L"bin\\edit.exe"));
    CHECK(HasDirectoryPart(L"bin/edit.exe"));
}
