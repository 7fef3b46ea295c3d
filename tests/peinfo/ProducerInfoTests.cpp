#include <doctest.h>

#include "fixtures/PeBuilder.h"
#include "peinfo/ProducerInfo.h"

namespace {

constexpr std::uint32_t kPersonal = 0x235D7823, kProfessional = 0x98DF8CA2, kEnterprise = 0x384F3D26;

TProducerEvidence Dvclal(std::optional<std::uint32_t> word, bool withoutLookupTable,
                         std::optional<std::uint32_t> packageFlags = std::nullopt) {
    TProducerEvidence e;
    e.ModuleLoaded = true;
    e.HasNamedDvclal = true;
    e.DvclalWord = word;
    e.ImportsWithoutLookupTable = withoutLookupTable;
    e.PackageInfoFlags = packageFlags;
    e.ImportModules = {"kernel32.dll"};
    return e;
}

TProducerEvidence Imports(std::vector<std::string> modules, std::uint8_t linkerMajor = 14, bool rich = true) {
    TProducerEvidence e;
    e.ModuleLoaded = true;
    e.ImportModules = std::move(modules);
    e.MajorLinkerVersion = linkerMajor;
    e.RichHeaderPresent = rich;
    return e;
}

// A module linked by Microsoft's linker 14.38 from C and C++ objects, or one of the other linkers.
TProducerEvidence Msvc(std::vector<std::string> modules, std::vector<TRichEntry> entries) {
    TProducerEvidence e = Imports(std::move(modules), 14);
    e.MinorLinkerVersion = 38;
    e.RichEntries = std::move(entries);
    e.PeHeaderOffset = 0x100;
    return e;
}
TProducerEvidence Lld(std::vector<std::string> modules) {
    TProducerEvidence e = Imports(std::move(modules), 14, false);
    e.PeHeaderOffset = 0x78;
    return e;
}
TProducerEvidence GnuLd(std::vector<std::string> modules) {
    TProducerEvidence e = Imports(std::move(modules), 2, false);
    e.MinorLinkerVersion = 40;
    e.PeHeaderOffset = 0x80;
    return e;
}

const std::vector<TRichEntry> kCompiledAndLinked = {
    {0x0105, 33145, 12}, {0x0104, 33145, 3}, {0x0102, 33145, 1}};
const std::vector<std::string> kUcrt = {"api-ms-win-crt-runtime-l1-1-0.dll", "KERNEL32.dll"};

std::string Producer(const TProducerEvidence& e) {
    std::vector<std::string> texts;
    GetProducerInfo(e, texts);
    std::string joined;
    for (const std::string& t : texts) joined += t + "|";
    return joined;
}

}  // namespace

TEST_CASE("PosInList looks only at the first entry that contains the text") {
    const std::vector<std::string> imports = {"KERNEL32.dll", "libmsvcrt.dll", "MSVCRT.dll"};
    CHECK(PosInList("msvcrt", imports) == 4);
    CHECK(PosInList("Kernel", imports) == 1);
    CHECK(PosInList("32.D", imports) == 7);
    CHECK(PosInList("user32", imports) == 0);
    CHECK(PosInList("", imports) == 0);
    CHECK(PosInList("msvcrt", {}) == 0);
}

TEST_CASE("producer texts from resources, import names and linker") {
    TProducerEvidence notLoaded = Imports({});
    notLoaded.ModuleLoaded = false;
    TProducerEvidence noReader = Imports({"msvcrt.dll"});
    noReader.HasReader = false;
    TProducerEvidence packageOnly = Imports({"vcl70.bpl"});
    packageOnly.PackageInfoFlags = 0x0C000000;
    TProducerEvidence noImports = Dvclal(kPersonal, false);
    noImports.ImportModules.clear();

    struct Case {
        const char* what;
        TProducerEvidence evidence;
        const char* texts;
    } cases[] = {
        {"DVCLAL, no lookup table", Dvclal(kProfessional, true), "Delphi Professional|Object Pascal||"},
        {"DVCLAL with lookup table", Dvclal(kProfessional, false), "C++ Builder Professional|C/C++||"},
        {"DVCLAL, no imports", noImports, "C++ Builder Standard (Personal)|C/C++||"},
        {"unknown edition marker", Dvclal(0x12345678, true), "Delphi |Object Pascal||"},
        {"DVCLAL too short for a marker", Dvclal(std::nullopt, true), "Delphi |Object Pascal||"},
        // The module's own PACKAGEINFO producer field decides over the lookup-table test.
        {"Delphi PACKAGEINFO, lookup table", Dvclal(kEnterprise, false, 0xCC000000),
         "Delphi Client/Server (Enterprise)|Object Pascal||"},
        {"C++ Builder PACKAGEINFO, no lookup table", Dvclal(kEnterprise, true, 0x48000000),
         "C++ Builder Client/Server (Enterprise)|C/C++||"},
        {"PACKAGEINFO field 1 leaves it to the lookup table", Dvclal(kEnterprise, true, 0x44000000),
         "Delphi Client/Server (Enterprise)|Object Pascal||"},
        {"PACKAGEINFO only, Delphi", packageOnly, "Delphi|Object Pascal||"},
        {"not loadable (NE)", notLoaded, "(Unknown)|(Unknown)|"},
        {"no reader", noReader, "(Unknown)|(Unknown)|"},
        {"Microsoft linker", Imports({"KERNEL32.dll", "MSVCRT.dll"}), "Visual C++|C/C++|"},
        {"GNU ld", Imports({"KERNEL32.dll", "msvcrt.dll"}, 2, false), "MinGW (GNU C/C++)|C/C++|"},
        {"linker 2.x with a Rich record", Imports({"msvcrt.dll"}, 2, true), "Visual C++|C/C++|"},
        {"libmsvcrt sorts first", Imports({"libmsvcrt.dll", "msvcrt.dll"}), "(Unknown)|(Unknown)|"},
        {"Visual Basic 6", Imports({"KERNEL32.dll", "MSVBVM60.DLL"}), "Visual Basic|Basic|"},
        {"Visual Basic runtime", Imports({"msvbrt.dll"}), "Visual Basic|Basic|"},
        {"nothing known", Imports({"KERNEL32.dll"}), "(Unknown)|(Unknown)|"},
        // Today's tool chains, after the rules above.
        {"Visual C++ with the universal CRT", Msvc({"KERNEL32.dll", "VCRUNTIME140.dll"}, kCompiledAndLinked),
         "Microsoft Visual C++ (linker 14.38)|C/C++|"},
        {"Visual C++, statically linked", Msvc({"KERNEL32.dll"}, {{0x00E1, 40629, 20}}),
         "Microsoft Visual C++ (linker 14.38)|C/C++|"},
        {"Microsoft linker without compiled objects",
         Msvc({"KERNEL32.dll"}, {{0x00FF, 1, 1}, {0x0102, 1, 1}}), "(Unknown)|(Unknown)|"},
        {"Visual C++ importing msvcrt stays with its rule", Msvc({"msvcrt.dll"}, kCompiledAndLinked),
         "Visual C++|C/C++|"},
        {"LLVM linker with msvcrt", Lld({"KERNEL32.dll", "msvcrt.dll"}), "MinGW (LLVM linker)|C/C++|"},
        {"LLVM linker with the universal CRT", Lld(kUcrt), "MinGW (LLVM linker)|C/C++|"},
        {"LLVM linker with Visual C++'s runtime",
         Lld({"api-ms-win-crt-runtime-l1-1-0.dll", "vcruntime140.dll"}), "(Unknown)|(Unknown)|"},
        {"GNU ld with the universal CRT", GnuLd({"KERNEL32.dll", "ucrtbase.dll"}),
         "MinGW (GNU C/C++)|C/C++|"},
        {"GNU ld without a C runtime", GnuLd({"KERNEL32.dll", "ntdll.dll"}), "(Unknown)|(Unknown)|"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        CHECK(Producer(c.evidence) == c.texts);
    }
}

TEST_CASE("Rich record products of Microsoft's C and C++ compilers") {
    const struct {
        std::uint16_t id;
        bool compiler;
    } cases[] = {
        {0x000A, true},  {0x000B, true},  {0x005F, true},  {0x0083, true},  {0x00AA, true},  {0x00AB, true},
        {0x00AE, true},  {0x00CE, true},  {0x00E0, true},  {0x00F3, true},  {0x0104, true},  {0x0105, true},
        {0x0108, true},  {0x010E, true},  {0x0000, false}, {0x0001, false}, {0x000D, false}, {0x0091, false},
        {0x0093, false}, {0x009D, false}, {0x009E, false}, {0x00B0, false}, {0x00DE, false}, {0x00FF, false},
        {0x0102, false}, {0x0103, false}, {0x010A, false}, {0x010F, false}, {0xFFFF, false},
    };
    for (const auto& c : cases) {
        CAPTURE(c.id);
        CHECK(IsMicrosoftCompilerProduct(c.id) == c.compiler);
    }
}

TEST_CASE("component library and target system") {
    const auto library = [](std::vector<TPackageName> names, std::vector<std::string> imports) {
        TProducerEvidence e;
        e.PackageNames = std::move(names);
        e.ImportModules = std::move(imports);
        std::string text;
        GetComponentLibrary(e, text);
        return text;
    };
    CHECK(library({{"SysUtils", ntContainsUnit}, {"CONTROLS", ntContainsUnit}}, {}) == "VCL");
    CHECK(library({{"controls", ntRequiresPackage}, {"QControls", ntContainsUnit}}, {}) == "VCL");
    CHECK(library({{"QControls", ntContainsUnit}}, {}) == "CLX");
    CHECK(library({}, {"kernel32.dll", "VisualCLX.bpl"}) == "CLX");
    CHECK(library({}, {"libvisualclx.bpl", "visualclx.bpl"}) == "");
    CHECK(library({{"Controls2", ntContainsUnit}}, {}) == "");
    // From XE2 on the library's units carry the "Vcl." prefix.
    CHECK(library({{"System.Classes", ntContainsUnit}, {"Vcl.Controls", ntContainsUnit}}, {}) == "VCL");
    CHECK(library({{"VCL.CONTROLS", ntContainsUnit}}, {}) == "VCL");
    CHECK(library({{"Vcl.Controls.Extra", ntContainsUnit}, {"Fmx.Controls", ntContainsUnit}}, {}) == "");

    CHECK(TargetSystemText({"kernel32.dll", "qtintf70.dll"}) == "Qt (Crossplatform)");
    CHECK(TargetSystemText({"libqtintf.dll"}) == "Windows");
}

TEST_CASE("Miscellaneous rows show library and target only with a library") {
    using Rows = std::vector<std::pair<std::string, std::string>>;
    const Rows head = {{"MZ  (Id of a DOS EXE)", "Yorrelind"},
                       {"PE  (Id of a Win32 EXE)", "Portable Executable"}};

    TProducerEvidence clx = Dvclal(kProfessional, true);
    clx.ImportModules = {"kernel32.dll", "qtintf70.dll"};
    clx.PackageNames = {{"QControls", ntContainsUnit}};
    Rows expected = head;
    expected.insert(expected.end(), {{"Compiled with", "Delphi Professional"},
                                     {"Language", "Object Pascal"},
                                     {"Component library", "CLX"},
                                     {"Target system", "Qt (Crossplatform)"}});
    CHECK(MiscellaneousRows(clx) == expected);

    // PACKAGEINFO field 0: empty producer and language, yet the library decision is made.
    TProducerEvidence vcl = Imports({"kernel32.dll"});
    vcl.PackageInfoFlags = 0;
    vcl.PackageNames = {{"Controls", ntContainsUnit}};
    expected = head;
    expected.insert(expected.end(), {{"Compiled with", ""},
                                     {"Language", ""},
                                     {"Component library", "VCL"},
                                     {"Target system", "Windows"}});
    CHECK(MiscellaneousRows(vcl) == expected);

    expected = head;
    expected.insert(expected.end(), {{"Compiled with", "(Unknown)"}, {"Language", "(Unknown)"}});
    CHECK(MiscellaneousRows(Imports({})) == expected);
}

TEST_CASE("ReadResourceEvidence takes DVCLAL and PACKAGEINFO from the file") {
    struct Case {
        const char* what;
        Bytes file;
        bool loaded, named;
        std::optional<std::uint32_t> word, flags;
    } cases[] = {
        {"both",
         ResourceImage(
             {{"DVCLAL", 0, DwordBytes(kProfessional)}, {"PACKAGEINFO", 0, DwordBytes(0xCC000001)}}),
         true, true, kProfessional, 0xCC000001},
        {"short DVCLAL data", ResourceImage({{"DVCLAL", 0, {1, 2}}}), true, true, std::nullopt, std::nullopt},
        {"DVCLAL by number", ResourceImage({{"", 10, DwordBytes(kProfessional)}}), true, false, std::nullopt,
         std::nullopt},
        {"DVCLAL in lower case", ResourceImage({{"dvclal", 0, DwordBytes(kProfessional)}}), true, false,
         std::nullopt, std::nullopt},
        {"not a PE file", Bytes(300, 'N'), false, false, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        MemoryByteSource source(c.file.data(), c.file.size());
        TProducerEvidence e;
        e.DvclalWord = 7;  // stale values from an earlier file are replaced
        ReadResourceEvidence(source, TPEImage(source), e);
        CHECK(e.ModuleLoaded == c.loaded);
        CHECK(e.HasNamedDvclal == c.named);
        CHECK(e.DvclalWord == c.word);
        CHECK(e.PackageInfoFlags == c.flags);
    }
}
