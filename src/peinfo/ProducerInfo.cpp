#include "peinfo/ProducerInfo.h"

#include <algorithm>
#include <cstdio>

#include "base/AsciiText.h"
#include "base/VclUnitNames.h"
#include "peinfo/ResourceDirectory.h"

namespace {

std::optional<std::uint32_t> FirstWord(const std::optional<std::vector<unsigned char>>& data) {
    if (!data) return std::nullopt;
    MemoryByteSource bytes(data->data(), data->size());
    std::uint32_t word = 0;
    if (!read_le(bytes, 0, word)) return std::nullopt;
    return word;
}

// GNU ld writes linker version 2.x (the binutils version) and, unlike Microsoft's linkers since the
// late 1990s, no Rich record before the PE header.
bool LinkedByGnuLd(const TProducerEvidence& evidence) {
    return evidence.MajorLinkerVersion == 2 && !evidence.RichHeaderPresent;
}

// The LLVM linker writes an MS-DOS stub of its own, 120 bytes long, so its PE header starts at 0x78, and
// no Rich record; Microsoft's linkers put their record between a 128-byte stub and the PE header, and
// GNU ld's stub is 128 bytes too.
bool LinkedByLld(const TProducerEvidence& evidence) {
    return evidence.PeHeaderOffset == 0x78 && !evidence.RichHeaderPresent;
}

bool ImportsModuleStartingWith(const TProducerEvidence& evidence, std::string_view prefix) {
    return std::any_of(evidence.ImportModules.begin(), evidence.ImportModules.end(),
                       [&](const std::string& m) {
                           return m.size() >= prefix.size() &&
                                  SameTextAscii(std::string_view(m).substr(0, prefix.size()), prefix);
                       });
}

// The universal C runtime, which MinGW links against instead of msvcrt.dll when configured for it.
bool ImportsUniversalCrt(const TProducerEvidence& evidence) {
    return ImportsModuleStartingWith(evidence, "api-ms-win-crt-") ||
           ImportsModuleStartingWith(evidence, "ucrtbase.");
}

// Visual C++'s own runtime beside the universal one; MinGW's runtime brings its own replacements.
bool ImportsVisualCppRuntime(const TProducerEvidence& evidence) {
    return ImportsModuleStartingWith(evidence, "vcruntime") || ImportsModuleStartingWith(evidence, "msvcp");
}

bool HasMicrosoftCompilerEntries(const TProducerEvidence& evidence) {
    return std::any_of(evidence.RichEntries.begin(), evidence.RichEntries.end(),
                       [](const TRichEntry& e) { return IsMicrosoftCompilerProduct(e.ProductId); });
}

std::string MicrosoftVisualCpp(const TProducerEvidence& evidence) {
    char text[64];
    std::snprintf(text, sizeof text, "Microsoft Visual C++ (linker %u.%02u)",
                  unsigned{evidence.MajorLinkerVersion}, unsigned{evidence.MinorLinkerVersion});
    return text;
}

const char kMinGwGnu[] = "MinGW (GNU C/C++)", kMinGwLld[] = "MinGW (LLVM linker)";

}  // namespace

void ReadResourceEvidence(ByteSource& file, const TPEImage& image, TProducerEvidence& evidence) {
    evidence.ModuleLoaded = false;
    evidence.HasNamedDvclal = false;
    evidence.DvclalWord.reset();
    evidence.PackageInfoFlags.reset();
    if (!image.LoadableAsModule()) return;
    evidence.ModuleLoaded = true;
    const TResourceDirectory resources(file, image);
    // A named entry is what the resource-name enumeration would stop at; the lookup of the same name
    // then finds the same entry, so one walk serves both.
    evidence.HasNamedDvclal = resources.HasRcData("DVCLAL");
    evidence.DvclalWord = FirstWord(resources.RcData("DVCLAL", 4));
    evidence.PackageInfoFlags = FirstWord(resources.RcData("PACKAGEINFO", 4));
}

int PosInList(std::string_view text, const std::vector<std::string>& list) {
    if (text.empty()) return 0;
    for (const std::string& entry : list) {
        const auto found = std::search(entry.begin(), entry.end(), text.begin(), text.end(),
                                       [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
        if (found != entry.end()) return static_cast<int>(found - entry.begin()) + 1;
    }
    return 0;
}

bool IsMicrosoftCompilerProduct(std::uint16_t id) {
    // The C and C++ front ends of each compiler, in their plain, standard-edition, link-time and
    // profile-guided variants. From Visual C++ 2012 on the ids come in blocks of 18 per version: alias
    // objects, profile converter, resource converter, export and import libraries, linker and assembler,
    // then C, C++, their two CIL converters, link-time C and C++, link-time MSIL (not C or C++) and the
    // four profile-guided ones.
    static const struct {
        std::uint16_t first, last;
    } kRanges[] = {
        {0x0008, 0x0008}, {0x000A, 0x000B}, {0x0015, 0x0018}, {0x001C, 0x001D}, {0x0023, 0x0024},
        {0x002B, 0x002C}, {0x0030, 0x0035}, {0x0039, 0x003A}, {0x0041, 0x0044}, {0x004C, 0x0055},
        {0x005F, 0x0068}, {0x006D, 0x0076}, {0x0080, 0x0081}, {0x0083, 0x008A}, {0x008C, 0x008F},
        {0x009F, 0x00A4}, {0x00A6, 0x00AF}, {0x00B1, 0x00B4}, {0x00BC, 0x00C1}, {0x00C3, 0x00C6},
    };
    for (const auto& range : kRanges)
        if (id >= range.first && id <= range.last) return true;
    constexpr std::uint16_t kBlocks = 0x00C7, kBlockSize = 18, kLastBlock = 0x00FD;
    if (id < kBlocks || id >= kLastBlock + kBlockSize) return false;
    const int within = (id - kBlocks) % kBlockSize;
    return within >= 7 && within <= 17 && within != 13;
}

std::string EditionText(std::optional<std::uint32_t> dvclalWord) {
    if (!dvclalWord) return {};
    switch (*dvclalWord) {
        case 0x235D7823:
            return "Standard (Personal)";
        case 0x98DF8CA2:
            return "Professional";
        case 0x384F3D26:
            return "Client/Server (Enterprise)";
        default:
            return {};
    }
}

bool GetResourceProducer(const TProducerEvidence& evidence, std::string& producer, std::string& language) {
    producer.clear();
    language.clear();
    if (!evidence.ModuleLoaded) return false;
    const int producerField =
        evidence.PackageInfoFlags ? static_cast<int>(*evidence.PackageInfoFlags >> 26 & 3) : -1;
    if (evidence.HasNamedDvclal) {
        // Current Delphi compilers keep import lookup tables too, so the module's own PACKAGEINFO
        // producer field wins over the lookup-table test whenever it names a compiler.
        const bool delphi = producerField == 3 || (producerField != 2 && evidence.ImportsWithoutLookupTable);
        const std::string edition = EditionText(evidence.DvclalWord);
        producer = (delphi ? "Delphi " : "C++ Builder ") + edition;
        language = delphi ? "Object Pascal" : "C/C++";
        return true;
    }
    if (!evidence.PackageInfoFlags) return false;
    if (producerField == 2) {
        producer = "C++ Builder";
        language = "C/C++";
    } else if (producerField == 3) {
        producer = "Delphi";
        language = "Object Pascal";
    }
    return true;
}

void GetComponentLibrary(const TProducerEvidence& evidence, std::string& library) {
    const auto hasName = [&](auto&& matches) {
        return std::any_of(evidence.PackageNames.begin(), evidence.PackageNames.end(),
                           [&](const TPackageName& n) { return matches(n.Name); });
    };
    // "Controls", or "Vcl.Controls" from XE2 on.
    if (hasName([](std::string_view name) { return VclControlsUnit(name) != TVclControlsUnit::None; }))
        library = "VCL";
    else if (hasName([](std::string_view name) { return SameTextAscii(name, "qcontrols"); }) ||
             PosInList("visualclx", evidence.ImportModules) == 1)
        library = "CLX";
}

void GetProducerInfo(const TProducerEvidence& evidence, std::vector<std::string>& texts) {
    std::string producer, language, library;
    if (GetResourceProducer(evidence, producer, language)) {
        GetComponentLibrary(evidence, library);
        texts.insert(texts.end(), {producer, language, library});
    } else if (!evidence.HasReader) {
        texts.insert(texts.end(), {"(Unknown)", "(Unknown)"});
    } else if (PosInList("msvcrt", evidence.ImportModules) == 1) {
        const char* producer = LinkedByGnuLd(evidence) ? kMinGwGnu
                               : LinkedByLld(evidence) ? kMinGwLld
                                                       : "Visual C++";
        texts.insert(texts.end(), {producer, "C/C++"});
    } else if (PosInList("msvbvm", evidence.ImportModules) == 1 ||
               PosInList("msvbrt", evidence.ImportModules) == 1) {
        texts.insert(texts.end(), {"Visual Basic", "Basic"});
    } else if (evidence.RichHeaderPresent && HasMicrosoftCompilerEntries(evidence)) {
        texts.insert(texts.end(), {MicrosoftVisualCpp(evidence), "C/C++"});
    } else if (LinkedByLld(evidence) && ImportsUniversalCrt(evidence) && !ImportsVisualCppRuntime(evidence)) {
        texts.insert(texts.end(), {kMinGwLld, "C/C++"});
    } else if (LinkedByGnuLd(evidence) && ImportsUniversalCrt(evidence)) {
        texts.insert(texts.end(), {kMinGwGnu, "C/C++"});
    } else {
        texts.insert(texts.end(), {"(Unknown)", "(Unknown)"});
    }
}

std::string TargetSystemText(const std::vector<std::string>& importModules) {
    return PosInList("qtintf", importModules) == 1 ? "Qt (Crossplatform)" : "Windows";
}

std::vector<std::pair<std::string, std::string>> MiscellaneousRows(const TProducerEvidence& evidence) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"MZ  (Id of a DOS EXE)", "Yorrelind"}, {"PE  (Id of a Win32 EXE)", "Portable Executable"}};
    std::vector<std::string> texts;
    GetProducerInfo(evidence, texts);
    rows.emplace_back("Compiled with", texts[0]);
    rows.emplace_back("Language", texts[1]);
    if (texts.size() == 3 && !texts[2].empty()) {
        rows.emplace_back("Component library", texts[2]);
        rows.emplace_back("Target system", TargetSystemText(evidence.ImportModules));
    }
    return rows;
}
