// Scrutel only reads other programs: its own import table names no function that writes into or runs
// code in another process.
#include <windows.h>

#include <doctest.h>

#include <string>

#include "peinfo/GkPeInfo.h"
#include "support/MainFormHarness.h"

TEST_CASE("Scrutel.exe imports nothing that writes into another process or runs code there") {
    const TPEFileInfo exe(std::filesystem::path(BesideTests(L"Scrutel.exe")), nsDecimal);
    REQUIRE(exe.IsPE());
    const char* const forbidden[] = {"WriteProcessMemory", "VirtualAllocEx", "CreateRemoteThread"};
    bool reads_memory = false;
    std::size_t functions = 0;
    for (const auto& module : exe.ImportList()) {
        for (const TImportExportItem& item : module->Items()) {
            ++functions;
            const std::string& name = item.FunctionName;
            CAPTURE(name);
            for (const char* word : forbidden) CHECK(name != word);
            CHECK(name.rfind("SetWindowsHookEx", 0) != 0);
            reads_memory |= name == "ReadProcessMemory";
        }
    }
    CHECK(functions > 100);
    CHECK(reads_memory);
}
