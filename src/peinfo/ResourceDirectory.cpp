#include "peinfo/ResourceDirectory.h"

#include <algorithm>

namespace {

constexpr std::uint32_t RT_RCDATA = 10;
constexpr std::uint32_t SUBDIRECTORY = 0x80000000;  // in OffsetToData; in Name it marks a string name
constexpr std::uint32_t OFFSET_MASK = 0x7FFFFFFF;
constexpr std::size_t DIRECTORY_HEADER_SIZE = 16, ENTRY_SIZE = 8;

}  // namespace

TResourceDirectory::TResourceDirectory(ByteSource& file, const TPEImage& image)
    : image_(file, image),
      directory_rva_(image.LoadableAsModule() ? image.DataDirectory(IMAGE_DIRECTORY_RESOURCE).VirtualAddress
                                              : 0) {}

std::vector<TResourceDirectory::Entry> TResourceDirectory::ReadEntries(std::uint32_t directoryOffset) const {
    const std::uint64_t rva = std::uint64_t{directory_rva_} + directoryOffset;
    std::uint16_t named = 0, numbered = 0;
    if (!read_le(image_, rva + 12, named) || !read_le(image_, rva + 14, numbered)) return {};
    // At most 131070 entries; the reads end where the section does.
    const std::size_t count = std::size_t{named} + numbered;
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = rva + DIRECTORY_HEADER_SIZE + ENTRY_SIZE * i;
        Entry entry;
        if (!read_le(image_, at, entry.Name) || !read_le(image_, at + 4, entry.OffsetToData)) break;
        entries.push_back(entry);
    }
    return entries;
}

bool TResourceDirectory::NameEquals(std::uint32_t nameOffset, std::string_view name) const {
    const std::uint64_t rva = std::uint64_t{directory_rva_} + nameOffset;
    std::uint16_t length = 0;
    if (!read_le(image_, rva, length) || length != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        std::uint16_t c = 0;
        if (!read_le(image_, rva + 2 + 2 * i, c) || c != static_cast<unsigned char>(name[i])) return false;
    }
    return true;
}

// The type, name and language levels are walked exactly once each, so a directory that points back
// into itself ends with the wrong kind of entry instead of a loop.
std::optional<std::uint32_t> TResourceDirectory::FindRcDataName(std::string_view name) const {
    if (directory_rva_ == 0) return std::nullopt;
    std::optional<std::uint32_t> types;
    for (const Entry& entry : ReadEntries(0))
        if (entry.Name == RT_RCDATA && (entry.OffsetToData & SUBDIRECTORY)) {
            types = entry.OffsetToData & OFFSET_MASK;
            break;
        }
    if (!types) return std::nullopt;
    for (const Entry& entry : ReadEntries(*types))
        if ((entry.Name & SUBDIRECTORY) && NameEquals(entry.Name & OFFSET_MASK, name))
            return entry.OffsetToData;
    return std::nullopt;
}

bool TResourceDirectory::HasRcData(std::string_view name) const { return FindRcDataName(name).has_value(); }

std::optional<std::vector<unsigned char>> TResourceDirectory::RcData(std::string_view name,
                                                                     std::size_t max_size) const {
    const std::optional<std::uint32_t> languages = FindRcDataName(name);
    if (!languages || !(*languages & SUBDIRECTORY)) return std::nullopt;
    const std::vector<Entry> entries = ReadEntries(*languages & OFFSET_MASK);
    if (entries.empty()) return std::nullopt;
    const auto neutral =
        std::find_if(entries.begin(), entries.end(), [](const Entry& e) { return e.Name == 0; });
    const Entry& chosen = neutral != entries.end() ? *neutral : entries.front();
    if (chosen.OffsetToData & SUBDIRECTORY) return std::nullopt;

    const std::uint64_t dataEntry = std::uint64_t{directory_rva_} + chosen.OffsetToData;
    std::uint32_t dataRva = 0, dataSize = 0;
    if (!read_le(image_, dataEntry, dataRva) || !read_le(image_, dataEntry + 4, dataSize))
        return std::nullopt;
    // The size is checked against what the section holds before anything is allocated.
    const std::size_t size = std::min<std::size_t>(dataSize, max_size);
    if (image_.Available(dataRva) < size) return std::nullopt;
    std::vector<unsigned char> data;
    if (!read_bytes(image_, dataRva, size, data, SIZE_MAX)) return std::nullopt;
    return data;
}
