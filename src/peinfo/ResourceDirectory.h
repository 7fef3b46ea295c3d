#pragma once
// Named RCDATA resources of a PE image, read straight from the file the way the system loader finds them
// in a module loaded as data. Portable (no <windows.h>); every read goes through the image's RVA rule
// and every structure is checked before use, so a hostile directory gives an empty result, never a hang.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/PeImage.h"

class TResourceDirectory {
public:
    // The image's resource data directory; none when the image could not be loaded as a module.
    TResourceDirectory(ByteSource& file, const TPEImage& image);

    // Whether the RCDATA type has an entry with this name. Names are compared exactly: resource
    // compilers store them in upper case, and the loader upper-cases the name it is asked for.
    bool HasRcData(std::string_view name) const;
    // The first at most max_size bytes of that resource, in its neutral language or else its first;
    // nullopt when it is missing or its data cannot be read in full.
    std::optional<std::vector<unsigned char>> RcData(std::string_view name, std::size_t max_size) const;

private:
    struct Entry {
        std::uint32_t Name, OffsetToData;
    };
    std::optional<std::uint32_t> FindRcDataName(std::string_view name) const;
    std::vector<Entry> ReadEntries(std::uint32_t directoryOffset) const;
    bool NameEquals(std::uint32_t nameOffset, std::string_view name) const;

    mutable TImageByRva image_;
    std::uint32_t directory_rva_ = 0;  // 0: the image has no resources
};
