#pragma once
// The unit and package information that component-library compilers store in the RCDATA resource
// "PACKAGEINFO": the walk over its bytes, and the two lists the PEInfo page shows. Portable.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/PeImage.h"

enum TNameType : std::uint8_t { ntContainsUnit = 0, ntRequiresPackage = 1, ntDcpBpiName = 2 };

// "ContainsUnit", "RequiresPackage" or "DcpBpiName".
const char* NameTypeText(TNameType type);

struct TPackageName {
    std::string Name;
    TNameType NameType = ntContainsUnit;
};

// Receives each name in resource order: required packages, contained units, then the DCP/BPI name.
using TPackageNameSink = std::function<void(const std::string& name, TNameType type, std::uint8_t unitFlags)>;

// Walks PACKAGEINFO data, reporting each name through `report`. False when the data is malformed
// (names may already have been reported then). The DCP/BPI name that flag 0x40000000 announces may be
// missing, and the data may end in zero padding; neither is an error.
bool WalkPackageInfo(std::span<const unsigned char> data, std::uint32_t& flags,
                     const TPackageNameSink& report);

// The package lists of one loaded file, owned by the PEInfo page.
class TPackageInfo {
public:
    // Reads the PACKAGEINFO resource of the PE image in `file`. Every failure (not loadable as a module,
    // no such resource, malformed data) leaves both lists empty and is not reported.
    void ReadPackageInfo(ByteSource& file, const TPEImage& image);
    // The same over PACKAGEINFO data already at hand.
    void ReadPackageInfo(std::span<const unsigned char> data);
    void Clear();
    void AddPackageName(const std::string& name, TNameType type, std::uint8_t unitFlags);

    const std::vector<TPackageName>& PackageNames() const { return package_names_; }
    // Label, TAB, value.
    const std::vector<std::string>& PackageInfoRows() const { return package_info_rows_; }
    // The "Units" node's rows: name and name type text.
    std::vector<std::pair<std::string, std::string>> UnitRows() const;

private:
    std::vector<TPackageName> package_names_;
    std::vector<std::string> package_info_rows_;
};
