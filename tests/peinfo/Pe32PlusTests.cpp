#include <doctest.h>

#include <string>
#include <vector>

#include "fixtures/PeBuilder.h"
#include "peinfo/GkPeInfo.h"

namespace {

TPEFileInfo Load(const Bytes& bytes) {
    MemoryByteSource source(bytes.data(), bytes.size());
    return TPEFileInfo(source, "test.dll", nsDecimal);
}

std::vector<std::string> Modules(const std::vector<std::unique_ptr<TImportExport>>& list) {
    std::vector<std::string> texts;
    for (const auto& module : list) {
        std::string text = module->ModuleName + ":";
        for (const auto& item : module->Items())
            text += " " + item.FunctionName + "/" + std::to_string(item.OrdinalOrHint);
        texts.push_back(text);
    }
    return texts;
}

}  // namespace

TEST_CASE("a PE32+ image is read from its 64-bit optional header, with the labels of PE32") {
    // The same values in both widths: the PE32+ rows are the PE32 ones without BaseOfData, with the
    // 64-bit fields in full.
    PeBuilder pe32, pe;
    pe32.Optional.MajorOperatingSystemVersion = pe32.Optional.MajorSubsystemVersion = 6;
    pe32.Optional.DllCharacteristics = 0x8000;
    pe.MakePe32Plus();
    pe.Optional64.ImageBase = 0x180000000;
    pe.Optional64.SizeOfStackReserve = 0x8000000000000000;
    pe.Optional64.SizeOfHeapCommit = 0x123456789;
    pe.Optional64.DllCharacteristics = 0x8000;
    std::vector<std::string> expected;
    const TPEFileInfo info32 = Load(pe32.Build());
    for (const std::string& row : info32.OptionalHeaderList()) {
        const std::string label = row.substr(0, row.find('\t'));
        if (label == "Base of data") continue;
        if (label == "Magic")
            expected.push_back("Magic\t523 (PE32+ format)");
        else if (label == "Image base")
            expected.push_back("Image base\t6442450944");
        else if (label == "Size of stack reserve")
            expected.push_back("Size of stack reserve\t-9223372036854775808");
        else if (label == "Size of heap commit")
            expected.push_back("Size of heap commit\t4886718345");
        else
            expected.push_back(row);
    }
    const Bytes bytes = pe.Build();
    const TPEFileInfo info = Load(bytes);
    CHECK(info.IsPE());
    CHECK(info.IsPEPlus());
    CHECK(info.PEHeaderList()[0] == "Executable format\tPE32+ (64-bit)");
    CHECK(info.PEHeaderList()[1] == "Machine\tx64");
    CHECK(info.OptionalHeaderList() == expected);
    MemoryByteSource again(bytes.data(), bytes.size());
    CHECK(TPEFileInfo(again, "x", nsHex).OptionalHeaderList()[8] == "Image base\t$180000000");
}

TEST_CASE("PE32+ imports take 64-bit thunks with the ordinal flag in bit 63") {
    PeBuilder pe;
    pe.MakePe32Plus();
    pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 0x0120}, {"", 0x8012}, {"Sleep", 0x8001}}},
                   {"user32.dll", false, {{"", 7}, {"MessageBoxW", 3}}}});
    Bytes bytes = pe.Build();
    CHECK(Modules(Load(bytes).ImportList()) ==
          std::vector<std::string>{"KERNEL32.dll: ExitProcess/288 /32786 Sleep/-32767",
                                   "user32.dll: /7 MessageBoxW/3"});

    // Bit 31 is no ordinal flag in a 64-bit thunk: 0x80000000 | RVA names no hint/name entry, and a thunk
    // with only its high half set is an RVA no section holds.
    PeBuilder odd;
    odd.MakePe32Plus();
    odd.AddImports({{"a.dll", true, {{"", 1}, {"", 2}}}});
    bytes = odd.Build();
    const std::size_t lookup = odd.FileOffset(DwordAt(bytes, PeBuilder::kHeaders));
    Patch(bytes, lookup, std::uint64_t{0x80001000});
    Patch(bytes, lookup + 8, std::uint64_t{0x100001000});
    CHECK(Modules(Load(bytes).ImportList()) == std::vector<std::string>{"a.dll: /0 /0"});
}

TEST_CASE("exports of a PE32+ image, forwarded ones with the RVA of their forwarder text") {
    PeBuilder pe;
    pe.MakePe32Plus();
    pe.AddExports({1, {0x1000, 0, 0x1020}, {{"Run", 0}, {"HeapAlloc", 1}, {"Stop", 2}}},
                  {{1, "NTDLL.RtlAllocateHeap"}});
    const Bytes bytes = pe.Build();
    const TPEFileInfo info = Load(bytes);
    REQUIRE(info.ExportList().size() == 3);
    const std::string forwarded = info.ExportList()[0];
    CHECK(forwarded.rfind("HeapAlloc\t2\t", 0) == 0);
    const auto entryPoint = static_cast<std::uint32_t>(std::stoul(forwarded.substr(12)));
    const std::string target = "NTDLL.RtlAllocateHeap";
    CHECK(std::string(reinterpret_cast<const char*>(bytes.data() + pe.FileOffset(entryPoint)),
                      target.size()) == target);
    CHECK(info.ExportList()[1] == "Run\t1\t4096");
    CHECK(info.ExportList()[2] == "Stop\t3\t4128");
}

TEST_CASE("delay-load tables give their modules and functions, in PE32 and PE32+") {
    const std::vector<ImportModule> modules = {
        {"user32.dll", true, {{"MessageBoxW", 0x0201}, {"", 0x8012}}},
        {"SHELL32.dll", true, {{"", 680}, {"ShellExecuteW", 0x8001}}},
        {"USER32.DLL", true, {{"GetDC", 5}}},
    };
    const std::vector<std::string> expected = {"SHELL32.dll: /680 ShellExecuteW/-32767",
                                               "user32.dll: MessageBoxW/513 /32786 GetDC/5"};
    const struct {
        const char* what;
        bool plus, rvaBased;
    } cases[] = {{"PE32", false, true}, {"PE32, virtual addresses", false, false}, {"PE32+", true, true}};
    for (const auto& c : cases) {
        CAPTURE(c.what);
        PeBuilder pe;
        if (c.plus) pe.MakePe32Plus();
        pe.AddImports({{"KERNEL32.dll", true, {{"ExitProcess", 1}}}});
        pe.AddDelayImports(modules, c.rvaBased);
        const TPEFileInfo info = Load(pe.Build());
        CHECK(Modules(info.ImportList()) == std::vector<std::string>{"KERNEL32.dll: ExitProcess/1"});
        CHECK(Modules(info.DelayImportList()) == expected);
    }

    // The table ends at a descriptor without a name, or where the section does; the directory counts only
    // when NumberOfRvaAndSizes reaches it.
    PeBuilder pe;
    pe.AddDelayImports({{"a.dll", true, {{"f", 0}}}});
    const Bytes bytes = pe.Build();
    Bytes endless = bytes;
    for (std::size_t at = PeBuilder::kHeaders + 32; at < endless.size(); ++at) endless[at] = 0x11;
    // Every descriptor after the first names no readable module: they all share one nameless entry.
    CHECK(Load(endless).DelayImportList().size() == 2);
    Bytes noDirectory = bytes;
    Patch(noDirectory, pe.OptionalHeaderOffset() + 92, std::uint32_t{13});
    CHECK(Load(noDirectory).DelayImportList().empty());
}
