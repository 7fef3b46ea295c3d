#pragma once
// Which tool chain produced a module: compiler and edition, language, component library and target
// system, decided from its resources, its import names and its package information. Portable; the
// decision is a function of TProducerEvidence, which ReadResourceEvidence fills from the file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/PackageInfo.h"
#include "peinfo/PeImage.h"
#include "peinfo/RichHeader.h"

struct TProducerEvidence {
    bool HasReader = true;
    // The resource part (ReadResourceEvidence).
    bool ModuleLoaded = false;  // the file could be loaded as a data-only module
    bool HasNamedDvclal = false;
    std::optional<std::uint32_t> DvclalWord;        // first 32-bit word of the DVCLAL data
    std::optional<std::uint32_t> PackageInfoFlags;  // first 32-bit word of the PACKAGEINFO data
    // The reader's part.
    std::vector<std::string> ImportModules;  // ImportList's module names, in its (sorted) order
    bool ImportsWithoutLookupTable = false;
    std::uint8_t MajorLinkerVersion = 0, MinorLinkerVersion = 0;
    bool RichHeaderPresent = false;
    std::vector<TRichEntry> RichEntries;  // the Rich record's tools, in record order
    std::int32_t PeHeaderOffset = 0;      // e_lfanew
    // The package lists' part.
    std::vector<TPackageName> PackageNames;
};

// Looks at the image as a data-only module would be loaded and fills the resource part of `evidence`.
void ReadResourceEvidence(ByteSource& file, const TPEImage& image, TProducerEvidence& evidence);

// 1-based position of `text` in the first entry of `list` that contains it, ASCII letters compared
// without case; 0 when no entry contains it.
int PosInList(std::string_view text, const std::vector<std::string>& list);

// Whether a Rich record's product id is one of Microsoft's C or C++ compilers (any edition, any of its
// code generation modes), from Visual C++ 5 to the compilers of today.
bool IsMicrosoftCompilerProduct(std::uint16_t productId);

// "Standard (Personal)", "Professional", "Client/Server (Enterprise)", or empty.
std::string EditionText(std::optional<std::uint32_t> dvclalWord);

bool GetResourceProducer(const TProducerEvidence& evidence, std::string& producer, std::string& language);
void GetComponentLibrary(const TProducerEvidence& evidence, std::string& library);
void GetProducerInfo(const TProducerEvidence& evidence, std::vector<std::string>& texts);
// "Qt (Crossplatform)" or "Windows".
std::string TargetSystemText(const std::vector<std::string>& importModules);

// The "Miscellaneous" node's rows (field, value), with producer detection run anew.
std::vector<std::pair<std::string, std::string>> MiscellaneousRows(const TProducerEvidence& evidence);
