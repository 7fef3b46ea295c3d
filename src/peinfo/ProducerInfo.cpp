#include "peinfo/ProducerInfo.h"

#include <algorithm>

#include "base/AsciiText.h"
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
// late 1990s, no Rich record before the PE header; its runtime imports msvcrt.dll just the same.
bool LinkedByGnuLd(const TProducerEvidence& evidence) {
    return evidence.MajorLinkerVersion == 2 && !evidence.RichHeaderPresent;
}

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
    const auto hasName = [&](std::string_view wanted) {
        return std::any_of(evidence.PackageNames.begin(), evidence.PackageNames.end(),
                           [&](const TPackageName& n) { return SameTextAscii(n.Name, wanted); });
    };
    if (hasName("controls"))
        library = "VCL";
    else if (hasName("qcontrols") || PosInList("visualclx", evidence.ImportModules) == 1)
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
        texts.insert(texts.end(), {LinkedByGnuLd(evidence) ? "MinGW (GNU C/C++)" : "Visual C++", "C/C++"});
    } else if (PosInList("msvbvm", evidence.ImportModules) == 1 ||
               PosInList("msvbrt", evidence.ImportModules) == 1) {
        texts.insert(texts.end(), {"Visual Basic", "Basic"});
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
