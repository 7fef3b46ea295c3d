// Files read and written whole through the platform, and the errors the error box shows for them.
#include <windows.h>

#include <doctest.h>

#include <string>
#include <vector>

#include "support/MainFormHarness.h"
#include "support/TempFolder.h"
#include "support/WideStringMaker.h"
#include "ui/FileStream.h"

namespace {

template <class E, class F>
std::wstring MessageOf(F action) {
    try {
        action();
    } catch (const E& e) {
        return e.message();
    }
    return L"(nothing raised)";
}

}  // namespace

TEST_CASE("files are written and read whole; a missing, oversized or uncreatable file raises its error") {
    TempFolder folder;
    const std::wstring name = folder.path() + L"five";
    ui::write_file(name, {'a', 'b', 'c', 'd', 'e'});
    CHECK(ui::read_file(name, 5) == std::vector<unsigned char>{'a', 'b', 'c', 'd', 'e'});
    ui::write_file(name, {'z'});  // replaced, not appended to
    CHECK(ui::read_file(name, 5) == std::vector<unsigned char>{'z'});

    const std::wstring missing = folder.path() + L"missing";
    CHECK(MessageOf<ui::EFOpenError>([&] { ui::read_file(missing, 5); }) ==
          L"Cannot open file \"" + missing + L"\". " + ui::system_error_message(ERROR_FILE_NOT_FOUND));
    ui::write_file(name, std::vector<std::uint8_t>(3u << 20, 'x'));
    CHECK(MessageOf<ui::EFOpenError>([&] {
              ui::read_file(name, 2u << 20);
          }).starts_with(L"Cannot open file \"" + name + L"\". "));

    const std::wstring nowhere = folder.path() + L"no folder\\file";
    CHECK(MessageOf<ui::EFCreateError>([&] { ui::write_file(nowhere, {'x'}); }) ==
          L"Cannot create file \"" + nowhere + L"\". " + ui::system_error_message(ERROR_PATH_NOT_FOUND));
    CHECK(ui::system_error_message(ERROR_FILE_NOT_FOUND).back() != L'\n');
}
