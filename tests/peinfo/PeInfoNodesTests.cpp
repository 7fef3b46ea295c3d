#include <doctest.h>

#include <string>
#include <vector>

#include "fixtures/PeBuilder.h"
#include "peinfo/PeInfoNodes.h"

namespace {

using Row = std::vector<std::string>;

std::vector<TPeInfoNode> Nodes(const Bytes& bytes, TNumberStyle style = nsDecimal) {
    MemoryByteSource source(bytes.data(), bytes.size());
    const TPEFileInfo info(source, "test.exe", style);
    TPackageInfo packages;
    packages.ReadPackageInfo(source, info.Image());
    return BuildPeInfoNodes(info, CollectProducerEvidence(info, source, packages), packages);
}

const std::vector<std::string> kStandardNodes = {"MS-DOS Header", "PE Header",         "PE Optional Header",
                                                 "Imports",       "Exports",           "Miscellaneous",
                                                 "Package info",  "Package info/Units"};

std::vector<std::string> Paths(const std::vector<TPeInfoNode>& nodes) {
    std::vector<std::string> paths;
    for (const auto& node : nodes) {
        std::string path;
        for (const auto& part : node.Path) path += (path.empty() ? "" : "/") + part;
        paths.push_back(path);
    }
    return paths;
}

const TPeInfoNode& Node(const std::vector<TPeInfoNode>& nodes, const std::string& path) {
    const auto paths = Paths(nodes);
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (paths[i] == path) return nodes[i];
    FAIL("no node " << path);
    return nodes.front();
}

}  // namespace

TEST_CASE("display rows split like the page's list: leading blanks and controls go before every field") {
    const struct {
        const char* row;
        std::size_t fields;
        Row expected;
    } cases[] = {
        {"Machine\tIntel 80386 or later", 2, {"Machine", "Intel 80386 or later"}},
        {"  Characteristic\tImage is a DLL", 2, {"Characteristic", "Image is a DLL"}},
        {"name\t5\t4096", 3, {"name", "5", "4096"}},
        {"\t5\t4096", 3, {"5", "4096", ""}},  // an export without a name
        {"a\t\tc", 3, {"a", "c", ""}},
        {"a\t b\tc\td", 2, {"a", "b"}},
        {"only", 2, {"only", ""}},
        {"", 2, {"", ""}},
        {"x\t\x01\x1F value \t", 3, {"x", "value ", ""}},
    };
    for (const auto& c : cases) {
        CAPTURE(c.row);
        CHECK(SplitDisplayRow(c.row, c.fields) == c.expected);
    }
}

TEST_CASE("export rows keep their three columns, whatever the name holds") {
    const struct {
        const char* row;
        Row expected;
    } cases[] = {
        {"Run\t5\t4096", {"Run", "5", "4096"}},
        {"\t5\t4096", {"", "5", "4096"}},
        {"  \x01\t5\t4096", {"", "5", "4096"}},
        {"a\tb\t5\t4096", {"a\tb", "5", "4096"}},  // a TAB inside the name stays in the name
        {"\t\t", {"", "", ""}},
        {"odd\t5", {"odd", "5", ""}},  // not an export row: split as any other row
    };
    for (const auto& c : cases) {
        CAPTURE(c.row);
        CHECK(SplitExportRow(c.row) == c.expected);
    }
}

TEST_CASE("the nodes of a standard image, in tree order, with the page's captions") {
    PeBuilder pe;
    pe.AddImports({{"user32.dll", true, {{"", 0x8012}}}, {"KERNEL32.dll", true, {{"ExitProcess", 0x8001}}}});
    pe.AddExports({0x10, {0x1000, 0x2000}, {{"", 1}, {"Run", 0}}});
    const auto nodes = Nodes(pe.Build(), nsHex);
    CHECK(Paths(nodes) == std::vector<std::string>{"MS-DOS Header", "PE Header", "PE Optional Header",
                                                   "Imports", "Imports/KERNEL32.dll", "Imports/user32.dll",
                                                   "Exports", "Miscellaneous", "Package info",
                                                   "Package info/Units"});
    CHECK(Node(nodes, "Imports").Columns.empty());  // it only groups the modules
    CHECK(Node(nodes, "Imports").Rows.empty());
    CHECK(Node(nodes, "PE Header").Columns == Row{"Field", "Value"});
    CHECK(Node(nodes, "PE Header").Rows.back() ==
          Row{"Characteristic", "Machine based on 32-bit word architecture"});
    // Ordinals and hints stay decimal although the reader formats numbers in hex.
    CHECK(Node(nodes, "Imports/KERNEL32.dll").Columns == Row{"Function name", "Ordinal"});
    CHECK(Node(nodes, "Imports/KERNEL32.dll").Rows == std::vector<Row>{{"ExitProcess", "-32767"}});
    CHECK(Node(nodes, "Imports/user32.dll").Rows == std::vector<Row>{{"", "32786"}});
    const TPeInfoNode& exports = Node(nodes, "Exports");
    CHECK(exports.Columns == Row{"Function name", "Ordinal", "Entry point"});
    // The export with an empty name keeps its ordinal and entry point in their columns.
    CHECK(exports.Rows == std::vector<Row>{{"", "$11", "$2000"}, {"Run", "$10", "$1000"}});
}

TEST_CASE("an NE file and a file without MZ still get every node") {
    PeBuilder ne;
    std::memcpy(ne.Signature, "NE\0\0", 4);
    ne.Dos.e_magic = 0;
    const auto nodes = Nodes(ne.Build());
    CHECK(Paths(nodes) == kStandardNodes);
    CHECK(Node(nodes, "MS-DOS Header").Rows == std::vector<Row>{{"(Not a MS-DOS EXE)", ""}});
    CHECK(Node(nodes, "PE Header").Rows ==
          std::vector<Row>{{"Executable format", "Unsupported 16-bit NE Format"}});
    CHECK(Node(nodes, "PE Optional Header").Rows.empty());
    CHECK(Node(nodes, "Exports").Rows.empty());
}

TEST_CASE("Miscellaneous and package nodes show producer detection and the package lists") {
    // A package built by Delphi: PACKAGEINFO with one required package, one unit and its DCP name.
    const Bytes packageInfo = {0x00, 0x00, 0x00, 0x4C, 1,   0, 0,    0,    0xEE, 'r', 't',
                               'l',  0,    1,    0,    0,   0, 0x10, 0xEE, 'C',  'o', 'n',
                               't',  'r',  'o',  'l',  's', 0, 0xEE, 'x',  0};
    PeBuilder pe;
    pe.AddImports({{"rtl.bpl", false, {{"f", 0}}}});
    pe.AddResources({{"PACKAGEINFO", 0, packageInfo}});
    const auto nodes = Nodes(pe.Build());
    CHECK(Node(nodes, "Miscellaneous").Rows ==
          std::vector<Row>{{"MZ  (Id of a DOS EXE)", "Yorrelind"},
                           {"PE  (Id of a Win32 EXE)", "Portable Executable"},
                           {"Compiled with", "Delphi"},
                           {"Language", "Object Pascal"},
                           {"Component library", "VCL"},
                           {"Target system", "Windows"}});
    CHECK(Node(nodes, "Package info").Rows == std::vector<Row>{{"Build", "Always"},
                                                               {"Package type", "Designtime and runtime"},
                                                               {"Check for unit-duplicates", "Yes"},
                                                               {"Producer", "Delphi"},
                                                               {"Module type", "Package"}});
    CHECK(Node(nodes, "Package info/Units").Columns == Row{"Name", "Type"});
    CHECK(Node(nodes, "Package info/Units").Rows ==
          std::vector<Row>{{"rtl", "RequiresPackage"}, {"Controls", "ContainsUnit"}, {"x", "DcpBpiName"}});

    const auto plain = Nodes(PeBuilder().Build());
    CHECK(Paths(plain) == kStandardNodes);
    CHECK(Node(plain, "Miscellaneous").Rows.size() == 4);
    CHECK(Node(plain, "Package info").Rows.empty());
    CHECK(Node(plain, "Package info/Units").Rows.empty());
}

TEST_CASE("producer evidence takes the reader's imports, linker version and Rich record") {
    PeBuilder pe;
    pe.RichHeader = true;
    pe.Optional.MajorLinkerVersion = 2;
    pe.Optional.MinorLinkerVersion = 39;
    pe.AddImports({{"user32.dll", true, {{"f", 0}}}, {"KERNEL32.dll", false, {{"g", 0}}}});
    const Bytes bytes = pe.Build();
    MemoryByteSource source(bytes.data(), bytes.size());
    const TPEFileInfo info(source, "test.exe", nsDecimal);
    const TProducerEvidence evidence = CollectProducerEvidence(info, source, TPackageInfo());
    CHECK(evidence.ModuleLoaded);
    CHECK(evidence.ImportModules == std::vector<std::string>{"KERNEL32.dll", "user32.dll"});
    CHECK(evidence.ImportsWithoutLookupTable);
    CHECK(evidence.MajorLinkerVersion == 2);
    CHECK(evidence.MinorLinkerVersion == 39);
    CHECK(evidence.RichHeaderPresent);
}

TEST_CASE("the error box appends a full stop after characters that sort after it") {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"Invalid PE file format", "Invalid PE file format."},
        {"Stream read error.", "Stream read error."},
        {"Cannot open (x)", "Cannot open (x)"},
        {"Done!", "Done!"},
        {"Version 2", "Version 2."},
        {"path/", "path/."},
        {"", ""},
    };
    for (const auto& c : cases) CHECK(ErrorBoxText(c.message) == c.shown);
}

TEST_CASE("delay-loaded modules follow the imported ones under Imports, in PE32 and PE32+") {
    for (const bool plus : {false, true}) {
        CAPTURE(plus);
        PeBuilder pe;
        if (plus) pe.MakePe32Plus();
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        pe.AddDelayImports({{"WINMM.dll", true, {{"timeGetTime", 2}, {"", 9}}}});
        const auto nodes = Nodes(pe.Build());
        CHECK(Paths(nodes) ==
              std::vector<std::string>{"MS-DOS Header", "PE Header", "PE Optional Header", "Imports",
                                       "Imports/KERNEL32.dll", "Imports/WINMM.dll (delay-loaded)", "Exports",
                                       "Miscellaneous", "Package info", "Package info/Units"});
        CHECK(Node(nodes, "Imports/WINMM.dll (delay-loaded)").Rows ==
              std::vector<Row>{{"timeGetTime", "2"}, {"", "9"}});
    }
}

TEST_CASE("producer detection on 64-bit modules and Rich records") {
    const Bytes packageInfo = {0x00, 0x00, 0x00, 0xCC, 0, 0, 0, 0, 1, 0, 0, 0, 0x10, 0xEE, 'S', 'y', 's', 0};
    const auto producer = [](const Bytes& bytes) {
        const auto rows = Node(Nodes(bytes), "Miscellaneous").Rows;
        return rows[2][1] + "|" + rows[3][1];
    };
    for (const bool plus : {false, true}) {
        CAPTURE(plus);
        PeBuilder delphi;
        if (plus) delphi.MakePe32Plus();
        delphi.AddImports({{"kernel32.dll", true, {{"ExitProcess", 0}}}});
        delphi.AddResources({{"DVCLAL", 0, DwordBytes(0x98DF8CA2)}, {"PACKAGEINFO", 0, packageInfo}});
        CHECK(producer(delphi.Build()) == "Delphi Professional|Object Pascal");

        PeBuilder msvc;
        if (plus) msvc.MakePe32Plus();
        msvc.RichHeader = true;
        msvc.RichEntries = {{0x0105, 33145, 40}, {0x0104, 33145, 12}, {0x0102, 33145, 1}};
        msvc.Optional.MajorLinkerVersion = msvc.Optional64.MajorLinkerVersion = 14;
        msvc.Optional.MinorLinkerVersion = msvc.Optional64.MinorLinkerVersion = 38;
        msvc.AddImports({{"VCRUNTIME140.dll", true, {{"memset", 0}}},
                         {"api-ms-win-crt-runtime-l1-1-0.dll", true, {{"_initterm", 0}}}});
        CHECK(producer(msvc.Build()) == "Microsoft Visual C++ (linker 14.38)|C/C++");
    }
}
