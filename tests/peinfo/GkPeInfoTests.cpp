#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/PeBuilder.h"
#include "peinfo/FileByteSource.h"
#include "base/AsciiText.h"
#include "peinfo/GkPeInfo.h"
#include "peinfo/ResourceDirectory.h"

namespace {

TPEFileInfo Load(const Bytes& bytes, TNumberStyle style = nsDecimal) {
    MemoryByteSource source(bytes.data(), bytes.size());
    return TPEFileInfo(source, "test.exe", style);
}

std::string LoadError(const Bytes& bytes) {
    try {
        Load(bytes);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(loaded)";
}

std::string Value(const std::vector<std::string>& rows, const std::string& label) {
    for (const std::string& row : rows)
        if (row.compare(0, label.size() + 1, label + '\t') == 0) return row.substr(label.size() + 1);
    return "(no row)";
}

std::vector<std::string> Values(const std::vector<std::string>& rows, const std::string& label) {
    std::vector<std::string> values;
    for (const std::string& row : rows)
        if (row.compare(0, label.size() + 1, label + '\t') == 0)
            values.push_back(row.substr(label.size() + 1));
    return values;
}

std::vector<std::string> Functions(const TImportExport& module) {
    std::vector<std::string> texts;
    for (const auto& item : module.Items())
        texts.push_back(item.FunctionName + "/" + std::to_string(item.OrdinalOrHint));
    return texts;
}

const std::size_t kLfanew = 0x80;

}  // namespace

TEST_CASE("files too short or without a signature fail with the reader's messages") {
    const Bytes good = PeBuilder().Build();
    auto truncated = [&](std::size_t size) { return Bytes(good.begin(), good.begin() + size); };
    auto withLfanew = [&](std::int32_t lfanew) {
        Bytes bytes = good;
        Patch(bytes, 60, lfanew);
        return bytes;
    };
    Bytes ne = truncated(kLfanew + 247);
    std::memcpy(ne.data() + kLfanew, "NE", 2);
    const struct {
        const char* what;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"10 bytes", truncated(10), "Invalid PE file format"},
        {"63 bytes", truncated(63), "Invalid PE file format"},
        {"e_lfanew past the end", withLfanew(0x10000), "Invalid PE file format: No PE signature found"},
        {"negative e_lfanew", withLfanew(-8), "Invalid PE file format: No PE signature found"},
        {"signature cut short", truncated(kLfanew + 3), "Invalid PE file format: No PE signature found"},
        {"file header cut short", truncated(kLfanew + 23), "Invalid PE file format"},
        {"optional header cut short", truncated(kLfanew + 247), "Invalid PE file format"},
        {"NE without a full optional header", ne, "Invalid PE file format"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.what);
        CHECK(LoadError(c.bytes) == c.message);
    }
    CHECK(LoadError(truncated(kLfanew + 248)) == "(loaded)");

    // A PE32+ image needs its whole 240-byte optional header.
    PeBuilder plus;
    plus.MakePe32Plus();
    const Bytes good64 = plus.Build();
    CHECK(LoadError(Bytes(good64.begin(), good64.begin() + kLfanew + 24 + 239)) == "Invalid PE file format");
    CHECK(LoadError(Bytes(good64.begin(), good64.begin() + kLfanew + 24 + 240)) == "(loaded)");
}

TEST_CASE("the signature and the optional-header magic classify the file") {
    const struct {
        const char* signature;
        std::uint16_t magic;
        const char* kind;
        bool pe;
    } cases[] = {
        {"PE\0\0", 0x10B, "Standard PE", true},
        {"PE\0\0", 0x107, "Standard PE", true},
        {"PE\0\0", 0x20B, "PE32+ (64-bit)", true},
        {"NE\1\2", 0x10B, "Unsupported 16-bit NE Format", false},
        {"LE\0\0", 0x10B, "Unsupported LE Format", false},
        {"PE\0\1", 0x10B, "Unsupported (Unknown)", false},
        {"MZ\0\0", 0x10B, "Unsupported (Unknown)", false},
    };
    for (const auto& c : cases) {
        CAPTURE(c.kind);
        PeBuilder pe;
        std::memcpy(pe.Signature, c.signature, 4);
        if (c.magic == 0x20B) pe.MakePe32Plus();
        pe.Optional.Magic = c.magic;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        pe.AddExports({1, {0x1000}, {{"f", 0}}});
        const TPEFileInfo info = Load(pe.Build());
        CHECK(info.IsPE() == c.pe);
        CHECK(info.IsPEPlus() == (c.magic == 0x20B && c.pe));
        CHECK(info.IsNE() == (c.signature[0] == 'N'));
        CHECK(info.IsLE() == (c.signature[0] == 'L'));
        CHECK(info.IsMZ());
        CHECK(info.DosHeaderList().size() == 17);
        if (c.pe) {
            CHECK(info.PEHeaderList().front() == std::string("Executable format\t") + c.kind);
            CHECK(info.ImportList().size() == 1);
            CHECK(info.ExportList().size() == 1);
        } else {
            CHECK(info.PEHeaderList() ==
                  std::vector<std::string>{std::string("Executable format\t") + c.kind});
            CHECK(info.OptionalHeaderList().empty());
            CHECK(info.ImportList().empty());
            CHECK(info.ExportList().empty());
            CHECK(info.GetMachineName().empty());
        }
    }
}

TEST_CASE("a file without the MZ magic is still read") {
    PeBuilder pe;
    pe.Dos.e_magic = 0x4D5A;
    const TPEFileInfo info = Load(pe.Build());
    CHECK_FALSE(info.IsMZ());
    CHECK(info.IsPE());
    CHECK(Value(info.DosHeaderList(), "Magic number") == "19802");
}

TEST_CASE("numbers are widened to signed 32 bits before they are shown") {
    const TPEFileInfo decimal = Load(PeBuilder().Build());
    const TPEFileInfo hex = Load(PeBuilder().Build(), nsHex);
    const struct {
        std::int32_t value;
        const char* decimal;
        const char* hex;
    } cases[] = {
        {0, "0", "$0"},
        {0x5A4D, "23117", "$5A4D"},
        {-1, "-1", "$FFFFFFFF"},
        {INT32_MIN, "-2147483648", "$80000000"},
    };
    for (const auto& c : cases) {
        CHECK(decimal.FormatNumber(c.value) == c.decimal);
        CHECK(hex.FormatNumber(c.value) == c.hex);
    }
    CHECK(Value(hex.DosHeaderList(), "Magic number") == "$5A4D");

    PeBuilder pe;
    pe.Dos.e_ss = 0x8000;
    pe.File.TimeDateStamp = 0x80000000;
    pe.File.NumberOfSymbols = 0xFFFFFFFF;
    pe.Optional.MajorLinkerVersion = 255;
    pe.Optional.MajorImageVersion = 0xFFFE;
    pe.Optional.ImageBase = 0x80000000;
    const TPEFileInfo info = Load(pe.Build());
    CHECK(Value(info.DosHeaderList(), "Maximum extra paragraphs") == "-1");
    CHECK(Value(info.DosHeaderList(), "Initial (relative) SS value") == "-32768");
    CHECK(Value(info.PEHeaderList(), "Time/Date stamp") == "-2147483648");
    CHECK(Value(info.PEHeaderList(), "Number of symbols") == "-1");
    CHECK(Value(info.OptionalHeaderList(), "Major linker version") == "255");
    CHECK(Value(info.OptionalHeaderList(), "Major image version") == "-2");
    CHECK(Value(info.OptionalHeaderList(), "Image base") == "-2147483648");
}

TEST_CASE("the MS-DOS and file header rows carry their labels in order") {
    PeBuilder pe;
    pe.File.Characteristics = 0x818E;
    pe.AddSection(".text", Bytes(4));
    const TPEFileInfo info = Load(pe.Build());
    CHECK(info.DosHeaderList() == std::vector<std::string>{
                                      "Magic number\t23117",
                                      "Bytes on last page of file\t144",
                                      "Pages in file\t3",
                                      "Relocations\t0",
                                      "Size of header in paragraphs\t4",
                                      "Minimum extra paragraphs\t0",
                                      "Maximum extra paragraphs\t-1",
                                      "Initial (relative) SS value\t0",
                                      "Initial SP value\t184",
                                      "Checksum\t0",
                                      "Initial IP value\t0",
                                      "Initial (relative) CS value\t0",
                                      "File address of relocation table\t64",
                                      "Overlay number\t0",
                                      "OEM identifier\t0",
                                      "OEM information\t0",
                                      "PE header address\t128",
                                  });
    CHECK(info.PEHeaderList() == std::vector<std::string>{
                                     "Executable format\tStandard PE",
                                     "Machine\tIntel 80386 or later",
                                     "Number of sections\t1",
                                     "Time/Date stamp\t1593835520",
                                     "Address of symbol table\t0",
                                     "Number of symbols\t0",
                                     "Size of optional header\t224",
                                     "Characteristics\t-32370",
                                     "  Characteristic\tFile is valid and can be run",
                                     "  Characteristic\tCOFF line numbers have been removed",
                                     "  Characteristic\tCOFF symbol table entries have been removed",
                                     "  Characteristic\tLow bytes of machine word are reversed",
                                     "  Characteristic\tMachine based on 32-bit word architecture",
                                     "  Characteristic\tHigh bytes of machine word are reversed",
                                 });
}

TEST_CASE("the optional header rows carry their labels in order") {
    PeBuilder pe;
    pe.Optional.DllCharacteristics = 0xFFFF;
    pe.Optional.LoaderFlags = 2;
    pe.Optional.Subsystem = 2;
    const TPEFileInfo info = Load(pe.Build());
    CHECK(info.OptionalHeaderList() == std::vector<std::string>{
                                           "Magic\t267 (PE format)",
                                           "Major linker version\t14",
                                           "Minor linker version\t0",
                                           "Size of Code\t0",
                                           "Size of initialized data\t0",
                                           "Size of uninitialized data\t0",
                                           "Address of entry point\t4096",
                                           "Base of code\t4096",
                                           "Base of data\t0",
                                           "Image base\t4194304",
                                           "Section alignment\t4096",
                                           "File alignment\t512",
                                           "Major OS version\t4",
                                           "Minor OS version\t0",
                                           "Major image version\t0",
                                           "Minor image version\t0",
                                           "Major subsystem version\t4",
                                           "Minor subsystem version\t0",
                                           "Win32 Version\t0",
                                           "Size of image\t4096",
                                           "Size of headers\t1024",
                                           "CRC Checksum\t0",
                                           "Subsystem\tWindows GUI subsystem required",
                                           "DLL Characteristics\tPer-process library initialization",
                                           "DLL Characteristics\tPer-process library termination",
                                           "DLL Characteristics\tPer-thread library initialization",
                                           "DLL Characteristics\tPer-thread library termination",
                                           "DLL Characteristics\tDo not bind image",
                                           "DLL Characteristics\tWDM Driver",
                                           "DLL Characteristics\tTerminal Server aware",
                                           "Size of stack reserve\t1048576",
                                           "Size of stack commit\t4096",
                                           "Size of heap reserve\t1048576",
                                           "Size of heap commit\t4096",
                                           "Loader Flags\tInvoke a debugger after process has been loaded",
                                           "Number of entries in data directory\t16",
                                       });
}

TEST_CASE("header values that are spelled out") {
    using Setup = std::function<void(PeBuilder&)>;
    auto machine = [](std::uint16_t v) -> Setup { return [=](PeBuilder& pe) { pe.File.Machine = v; }; };
    auto subsystem = [](std::uint16_t v) -> Setup {
        return [=](PeBuilder& pe) { pe.Optional.Subsystem = v; };
    };
    auto loader = [](std::uint32_t v) -> Setup {
        return [=](PeBuilder& pe) { pe.Optional.LoaderFlags = v; };
    };
    auto magic = [](std::uint16_t v) -> Setup { return [=](PeBuilder& pe) { pe.Optional.Magic = v; }; };
    const struct {
        Setup setup;
        const char* label;
        const char* value;
    } cases[] = {
        {machine(0x0000), "Machine", "Any architecture"},
        {machine(0x014C), "Machine", "Intel 80386 or later"},
        {machine(0x0500), "Machine", "AMD K8 (64-bit)"},
        {machine(0x0CEF), "Machine", "CEF"},
        {machine(0x8664), "Machine", "x64"},
        {machine(0xAA64), "Machine", "ARM64"},
        {machine(0x01C4), "Machine", "ARM Thumb-2"},
        {machine(0xA641), "Machine", "ARM64EC"},
        {machine(0x8665), "Machine", "Unknown CPU"},
        {machine(0xFFFF), "Machine", "Unknown CPU"},
        {subsystem(0), "Subsystem", "Unknown"},
        {subsystem(1), "Subsystem", "Native, no subsystem required"},
        {subsystem(8), "Subsystem", "Native, no subsystem required"},
        {subsystem(4), "Subsystem", "Unknown"},
        {subsystem(3), "Subsystem", "Windows console subsystem required"},
        {subsystem(14), "Subsystem", "XBox"},
        {subsystem(15), "Subsystem", "Unknown"},
        {subsystem(0xFFFF), "Subsystem", "Unknown"},
        {loader(0), "Loader Flags", "No flags set"},
        {loader(1), "Loader Flags", "Invoke a breakpoint before starting process"},
        {loader(2), "Loader Flags", "Invoke a debugger after process has been loaded"},
        {loader(3), "Loader Flags", "No flags set"},
        {magic(0x107), "Magic", "263 (ROM image)"},
        {magic(0x8001), "Magic", "-32767"},
    };
    for (const auto& c : cases) {
        PeBuilder pe;
        c.setup(pe);
        const TPEFileInfo info = Load(pe.Build());
        CAPTURE(c.value);
        const auto& rows =
            std::string(c.label) == "Machine" ? info.PEHeaderList() : info.OptionalHeaderList();
        CHECK(Value(rows, c.label) == c.value);
    }
    PeBuilder none;
    none.Optional.DllCharacteristics = 0x0140;  // none of the bits that are shown
    CHECK(Values(Load(none.Build()).OptionalHeaderList(), "DLL Characteristics").empty());
}

TEST_CASE("the section table follows SizeOfOptionalHeader, as the loader takes it") {
    // 144 bytes: an EFI image with six data directories; 328: a packer's header with a gap before the table.
    const struct {
        std::uint16_t size;
        std::uint32_t directories;
    } cases[] = {{144, 6}, {224, 16}, {240, 16}, {328, 29}};
    for (const auto& c : cases) {
        CAPTURE(c.size);
        PeBuilder pe;
        pe.File.SizeOfOptionalHeader = c.size;
        pe.Optional.NumberOfRvaAndSizes = c.directories;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        pe.AddExports({1, {0x1000}, {{"f", 0}}});
        pe.AddResources({{"DVCLAL", 0, {1, 2, 3, 4}}});
        const Bytes bytes = pe.Build();
        const TPEFileInfo info = Load(bytes);
        CHECK(info.SectionTableOffset() == std::int64_t{kLfanew} + 24 + c.size);
        REQUIRE(info.Sections().size() == 3);
        CHECK(std::string(info.Sections()[2].Name) == ".rsrc");
        REQUIRE(info.ImportList().size() == 1);
        CHECK(Functions(*info.ImportList()[0]) == std::vector<std::string>{"ExitProcess/1"});
        CHECK(info.ExportList() == std::vector<std::string>{"f\t1\t4096"});
        CHECK(Value(info.OptionalHeaderList(), "Number of entries in data directory") ==
              std::to_string(c.directories));
        MemoryByteSource source(bytes.data(), bytes.size());
        CHECK(TResourceDirectory(source, info.Image()).HasRcData("DVCLAL"));

        TImageSectionHeader section;
        CHECK(info.FindSection(0x1000, section));
        CHECK(std::string(section.Name) == ".idata");
        CHECK_FALSE(info.FindSection(0x0FFF, section));
        CHECK_FALSE(info.FindSection(0x1000 + section.VirtualSize, section));
    }
}

TEST_CASE("data directories at or beyond NumberOfRvaAndSizes count as empty") {
    for (std::uint32_t count : {0u, 1u, 2u, 3u, 0x7FFFFFFFu}) {
        CAPTURE(count);
        PeBuilder pe;
        pe.Optional.NumberOfRvaAndSizes = count;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        pe.AddExports({1, {0x1000}, {{"f", 0}}});
        pe.AddResources({{"DVCLAL", 0, {1, 2, 3, 4}}});
        const Bytes bytes = pe.Build();
        const TPEFileInfo info = Load(bytes);
        MemoryByteSource source(bytes.data(), bytes.size());
        CHECK(info.ExportList().size() == (count > 0 ? 1u : 0u));
        CHECK(info.ImportList().size() == (count > 1 ? 1u : 0u));
        CHECK(TResourceDirectory(source, info.Image()).HasRcData("DVCLAL") == (count > 2));
    }
}

TEST_CASE("FindSection sees no sections when NumberOfSections is zero or negative") {
    for (std::uint16_t count : {std::uint16_t{0}, std::uint16_t{0x8001}}) {
        PeBuilder pe;
        pe.AddSection(".text", Bytes(16));
        Bytes bytes = pe.Build();
        Patch(bytes, kLfanew + 6, count);
        const TPEFileInfo info = Load(bytes);
        TImageSectionHeader section;
        CHECK_FALSE(info.FindSection(0x1000, section));
        CHECK(info.Sections().empty());
    }
}

TEST_CASE("imports are grouped by module ignoring case and sorted byte-wise with letters folded") {
    PeBuilder pe;
    pe.AddImports({
        {"user32.dll", true, {{"MessageBoxA", 7}}},
        {"KERNEL32.dll", true, {{"ExitProcess", 0x0120}, {"GetModuleHandleA", 0x8001}}},
        {"_internal.dll", true, {{"", 0x8012}, {"", 1}}},
        {"kernel32.DLL", false, {{"Sleep", 3}}},
        {"Zlib.dll", true, {{"inflate", 0xFFFF}}},
    });
    const TPEFileInfo info = Load(pe.Build());
    std::vector<std::string> modules;
    for (const auto& module : info.ImportList()) modules.push_back(module->ModuleName);
    CHECK(modules == std::vector<std::string>{"_internal.dll", "KERNEL32.dll", "user32.dll", "Zlib.dll"});
    CHECK(Functions(*info.ImportList()[1]) ==
          std::vector<std::string>{"ExitProcess/288", "GetModuleHandleA/-32767", "Sleep/3"});
    CHECK(Functions(*info.ImportList()[0]) == std::vector<std::string>{"/32786", "/1"});
    CHECK(Functions(*info.ImportList()[3]) == std::vector<std::string>{"inflate/-1"});
    // The last module added anew (Zlib) has a lookup table; kernel32.DLL added none.
    CHECK_FALSE(info.ImportsWithoutLookupTable());
}

TEST_CASE("ImportsWithoutLookupTable follows the last module that was added anew") {
    const struct {
        std::vector<bool> lookupTables;
        bool expected;
    } cases[] = {{{}, false}, {{true, false}, true}, {{false, true}, false}, {{false}, true}};
    for (const auto& c : cases) {
        PeBuilder pe;
        std::vector<ImportModule> modules;
        std::string name = "a.dll";
        for (bool lookup : c.lookupTables) {
            modules.push_back({name, lookup, {{"f", 0}}});
            ++name[0];
        }
        if (!modules.empty()) pe.AddImports(modules);
        const TPEFileInfo info = Load(pe.Build());
        CHECK(info.ImportList().size() == c.lookupTables.size());
        CHECK(info.ImportsWithoutLookupTable() == c.expected);
    }
}

TEST_CASE("CompareTextAscii folds only ASCII letters, byte by byte") {
    CHECK(CompareTextAscii("_a", "a") < 0);
    CHECK(CompareTextAscii("ABC", "abc") == 0);
    CHECK(CompareTextAscii("abc", "ABD") < 0);
    CHECK(CompareTextAscii("ab", "ABC") < 0);
    CHECK(CompareTextAscii("Z", "[") > 0);  // as 'z', so after '[' and '_'
    CHECK(CompareTextAscii("\xC4", "\xE4") < 0);
    CHECK(CompareTextAscii("a\xFF", "A\x01") > 0);
}

TEST_CASE("exports: named entries only, ordinal from Base, entry point through the ordinal table") {
    PeBuilder pe;
    ExportTable table;
    table.Base = 1;
    for (std::uint32_t i = 0; i < 10; ++i) table.Functions.push_back(0x1000 + 0x10 * i);
    table.Functions[9] = 0x80000000;
    table.Names = {{"zeta", 0}, {"_alpha", 4}, {"Beta", 9}};
    pe.AddExports(table);
    const TPEFileInfo info = Load(pe.Build());
    CHECK(info.ExportList() ==
          std::vector<std::string>{"_alpha\t5\t4160", "Beta\t10\t-2147483648", "zeta\t1\t4096"});
}

TEST_CASE("export directories that give no rows") {
    auto build = [](const ExportTable& table, auto patch) {
        PeBuilder pe;
        pe.AddExports(table);
        Bytes bytes = pe.Build();
        patch(bytes);
        return Load(bytes);
    };
    const ExportTable two{1, {0x1000, 0x1010}, {{"a", 0}, {"b", 1}}};
    const std::size_t directory = PeBuilder::kHeaders;
    CHECK(build(two, [](Bytes&) {}).ExportList().size() == 2);
    CHECK(build(two, [&](Bytes& b) { Patch(b, directory, std::uint32_t{1}); }).ExportList().empty());
    CHECK(build(two, [&](Bytes& b) { Patch(b, directory + 20, std::uint32_t{0}); }).ExportList().empty());
    CHECK(build(two, [&](Bytes& b) { Patch(b, directory + 24, std::uint32_t{0x80000000}); })
              .ExportList()
              .empty());
    // A name whose ordinal index lies past the address table exports nothing; the other name still does.
    const ExportTable pastTable{1, {0x1000, 0x1010}, {{"a", 0}, {"b", 5}}};
    CHECK(build(pastTable, [](Bytes&) {}).ExportList() == std::vector<std::string>{"a\t1\t4096"});
}

TEST_CASE("export tables that run past the end of the file fail with a stream read error") {
    PeBuilder pe;
    pe.AddExports({1, {0x1000}, {{"a", 0}}});
    const Bytes good = pe.Build();
    const std::size_t directory = PeBuilder::kHeaders;
    const struct {
        const char* what;
        std::size_t field;
        std::uint32_t value;
    } cases[] = {
        {"name ordinal table", 36, 0x7FFFFF00},
        {"name pointer table", 32, 0x7FFFFF00},
        {"address table", 28, 0x7FFFFF00},
        {"name ordinal table below its section", 36, 0x10},
        // Both counts huge: the list is sized by what the file holds, then its tables run out.
        {"NumberOfFunctions and NumberOfNames", 20, 0x7FFFFFFF},
    };
    for (const auto& c : cases) {
        CAPTURE(c.what);
        Bytes bytes = good;
        Patch(bytes, directory + c.field, c.value);
        if (c.field == 20) Patch(bytes, directory + 24, c.value);
        CHECK(LoadError(bytes) == "Stream read error");
    }
}

TEST_CASE("hostile import tables stay within the file") {
    SUBCASE("RVAs below the section's delta and names running into the end of the file") {
        PeBuilder pe;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        Bytes bytes = pe.Build();
        const std::size_t descriptor = PeBuilder::kHeaders;
        Patch(bytes, descriptor + 0, std::uint32_t{0x10});   // lookup table below the delta
        Patch(bytes, descriptor + 12, std::uint32_t{0x20});  // module name below the delta
        const TPEFileInfo info = Load(bytes);
        REQUIRE(info.ImportList().size() == 1);
        CHECK(info.ImportList()[0]->ModuleName.empty());
        CHECK(info.ImportList()[0]->Count() == 0);
    }
    SUBCASE("a name without a terminating zero at the end of the file") {
        PeBuilder pe;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        Bytes bytes = pe.Build();
        const char module[] = "KERNEL32.dll";
        const auto name = std::search(bytes.begin(), bytes.end(), module, module + 12);
        bytes.erase(name + 4, bytes.end());
        // The module name comes last in the section; the thunks before it are whole.
        const TPEFileInfo info = Load(bytes);
        REQUIRE(info.ImportList().size() == 1);
        CHECK(info.ImportList()[0]->ModuleName == "KERN");
        CHECK(Functions(*info.ImportList()[0]) == std::vector<std::string>{"ExitProcess/1"});
    }
    SUBCASE("thousands of descriptors sharing one long thunk array") {
        // 4096 thunks, each naming the same 255-character function, shared by every descriptor.
        PeBuilder pe;
        Bytes data(0x20000);
        const std::uint32_t rva = pe.NextRva();
        const std::uint32_t thunks = 0x10000, name = 0x1F000;
        for (std::uint32_t i = 0; i < 4096; ++i) Patch(data, thunks + 4 * i, rva + name);
        std::memset(data.data() + name + 2, 'x', 255);
        for (std::uint32_t d = 0; d * 20 + 20 < thunks; ++d) {
            const std::uint32_t descriptor[5] = {rva + thunks, 0, 0, rva + name + 2, rva + thunks};
            std::memcpy(data.data() + 20 * d, descriptor, sizeof descriptor);
        }
        pe.Optional.DataDirectory[IMAGE_DIRECTORY_IMPORT] = {rva, 20};
        pe.AddSection(".idata", data);
        const Bytes bytes = pe.Build();
        const TPEFileInfo info = Load(bytes);
        REQUIRE(info.ImportList().size() == 1);
        std::size_t characters = 0;
        for (const auto& item : info.ImportList()[0]->Items()) characters += item.FunctionName.size();
        CHECK(characters <= bytes.size() + 4096);
        CHECK(info.ImportList()[0]->Count() > 100);
    }
}

TEST_CASE("the reader reads headers and tables, not the whole file, and notices a Rich record") {
    PeBuilder pe;
    pe.RichHeader = true;
    pe.AddSection(".text", Bytes(1 << 20, 0xCC));
    pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
    const Bytes bytes = pe.Build();
    const TPEFileInfo info = Load(bytes);
    CHECK(info.HasRichHeader());
    CHECK(info.BytesRead() < 4096);
    CHECK_FALSE(Load(PeBuilder().Build()).HasRichHeader());
}

TEST_CASE("a file on disk is read through its path, and an open failure names it") {
    const auto dir = std::filesystem::temp_directory_path() / "scrutel-pe1-tests";
    std::filesystem::create_directories(dir);
    const auto file = dir / "sample.exe";
    {
        PeBuilder pe;
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        const Bytes bytes = pe.Build();
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const TPEFileInfo info(file, nsDecimal);
    CHECK(info.FileName() == file);
    CHECK(info.ImportList().size() == 1);

    for (const auto& missing : {dir / "missing.exe", dir}) {
        try {
            TPEFileInfo failed(missing, nsDecimal);
            FAIL("loaded " << missing);
        } catch (const EStreamError& e) {
            const std::string message = e.what();
            const std::string name = missing.filename().string();
            CHECK(message.rfind("Cannot open file \"", 0) == 0);
            CHECK(message.find(name + "\": ") != std::string::npos);
        }
    }
    std::filesystem::remove_all(dir);
}

TEST_CASE("a file source gives the same bytes as memory across its cached blocks and at its end") {
    const auto file = std::filesystem::temp_directory_path() / "scrutel-pe1-blocks.bin";
    Bytes bytes(3 * 4096 + 100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    {
        FileByteSource source(file);
        MemoryByteSource memory(bytes.data(), bytes.size());
        CHECK(source.size() == bytes.size());
        const struct {
            std::uint64_t offset;
            std::size_t size;
        } reads[] = {
            {0, 64},   {4090, 12},         {100, 3 * 4096},     {3 * 4096 + 90, 20}, {3 * 4096 + 100, 1},
            {4095, 1}, {70 * 4096 + 5, 4}, {UINT64_MAX - 2, 8}, {8191, 8193},        {0, 0}};
        for (const auto& r : reads) {
            CAPTURE(r.offset);
            Bytes fromFile(r.size + 1, 0xEE), fromMemory(r.size + 1, 0xEE);
            CHECK(source.read(r.offset, fromFile.data(), r.size) ==
                  memory.read(r.offset, fromMemory.data(), r.size));
            CHECK(fromFile == fromMemory);
        }
    }
    std::filesystem::remove(file);
}
