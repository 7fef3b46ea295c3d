#include "peinfo/ResourceDirectory.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t RT_RCDATA = 10;
constexpr std::uint32_t SUBDIRECTORY = 0x80000000;  // in OffsetToData; in Name it marks a string name
constexpr std::uint32_t OFFSET_MASK = 0x7FFFFFFF;
constexpr std::size_t DIRECTORY_HEADER_SIZE = 16, ENTRY_SIZE = 8;

// Reads the image by RVA: the bytes of a section's raw data, clipped at its end. Structures that would
// straddle two sections count as unreadable.
class TImageView {
public:
    TImageView(ByteSource& file, const std::vector<TImageSection>& sections)
        : file_(file), sections_(sections) {}

    std::size_t Read(std::uint64_t rva, void* into, std::size_t size) const {
        const std::uint64_t offset = FileOffset(rva);
        if (offset == NONE) return 0;
        return file_.read(offset, into,
                          static_cast<std::size_t>(std::min<std::uint64_t>(size, Available(rva))));
    }
    template <class T>
    bool ReadValue(std::uint64_t rva, T& out) const {
        unsigned char bytes[sizeof(T)];
        if (Read(rva, bytes, sizeof(T)) != sizeof(T)) return false;
        std::memcpy(&out, bytes, sizeof(T));
        return true;
    }
    // Bytes that can be read from rva on, within its section and the file.
    std::uint64_t Available(std::uint64_t rva) const {
        const TImageSection* section = Find(rva);
        if (!section) return 0;
        const std::uint64_t inSection = section->SizeOfRawData - (rva - section->VirtualAddress);
        const std::uint64_t offset =
            std::uint64_t{section->PointerToRawData} + (rva - section->VirtualAddress);
        const std::uint64_t fileSize = file_.size();
        if (fileSize != UINT64_MAX) return offset >= fileSize ? 0 : std::min(inSection, fileSize - offset);
        return inSection;
    }

private:
    static constexpr std::uint64_t NONE = UINT64_MAX;
    const TImageSection* Find(std::uint64_t rva) const {
        for (const TImageSection& section : sections_)
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData)
                return &section;
        return nullptr;
    }
    std::uint64_t FileOffset(std::uint64_t rva) const {
        const TImageSection* section = Find(rva);
        return section ? std::uint64_t{section->PointerToRawData} + (rva - section->VirtualAddress) : NONE;
    }

    ByteSource& file_;
    const std::vector<TImageSection>& sections_;
};

template <class T>
T Get(const unsigned char* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

}  // namespace

std::optional<TResourceImage> ReadResourceImage(ByteSource& file) {
    std::uint16_t magic = 0;
    std::uint32_t lfanew = 0;
    if (!read_value(file, 0, magic) || magic != 0x5A4D || !read_value(file, 60, lfanew)) return std::nullopt;
    unsigned char headers[24];  // signature and file header
    if (file.read(lfanew, headers, sizeof headers) != sizeof headers) return std::nullopt;
    if (Get<std::uint32_t>(headers) != 0x00004550) return std::nullopt;
    const auto numberOfSections = Get<std::uint16_t>(headers + 4 + 2);
    const auto sizeOfOptionalHeader = Get<std::uint16_t>(headers + 4 + 16);

    const std::uint64_t optional = std::uint64_t{lfanew} + sizeof headers;
    std::uint16_t optionalMagic = 0;
    if (!read_value(file, optional, optionalMagic)) return std::nullopt;
    std::uint64_t countAt = 0;
    if (optionalMagic == 0x10B)
        countAt = optional + 92;
    else if (optionalMagic == 0x20B)
        countAt = optional + 108;
    else
        return std::nullopt;

    TResourceImage image;
    std::uint32_t numberOfRvaAndSizes = 0;
    std::uint32_t directoryRva = 0;
    if (read_value(file, countAt, numberOfRvaAndSizes) && numberOfRvaAndSizes > 2 &&
        read_value(file, countAt + 4 + 2 * 8, directoryRva))
        image.DirectoryRva = directoryRva;

    const std::uint64_t table = optional + sizeOfOptionalHeader;
    for (std::uint32_t i = 0; i < numberOfSections; ++i) {
        unsigned char header[40];
        if (file.read(table + 40ull * i, header, sizeof header) != sizeof header) break;
        image.Sections.push_back({Get<std::uint32_t>(header + 12), Get<std::uint32_t>(header + 8),
                                  Get<std::uint32_t>(header + 20), Get<std::uint32_t>(header + 16)});
    }
    return image;
}

TResourceDirectory::TResourceDirectory(ByteSource& file, TResourceImage image)
    : file_(file), image_(std::move(image)) {}

std::vector<TResourceDirectory::Entry> TResourceDirectory::ReadEntries(std::uint32_t directoryOffset) const {
    const TImageView view(file_, image_.Sections);
    const std::uint64_t rva = std::uint64_t{image_.DirectoryRva} + directoryOffset;
    unsigned char header[DIRECTORY_HEADER_SIZE];
    if (view.Read(rva, header, sizeof header) != sizeof header) return {};
    const std::size_t count = std::size_t{Get<std::uint16_t>(header + 12)} + Get<std::uint16_t>(header + 14);
    // At most 131070 entries, and never more than the section holds.
    const std::size_t readable = static_cast<std::size_t>(
        std::min<std::uint64_t>(count * ENTRY_SIZE, view.Available(rva + DIRECTORY_HEADER_SIZE)));
    std::vector<unsigned char> bytes(readable);
    const std::size_t got = view.Read(rva + DIRECTORY_HEADER_SIZE, bytes.data(), bytes.size());
    std::vector<Entry> entries;
    entries.reserve(got / ENTRY_SIZE);
    for (std::size_t at = 0; at + ENTRY_SIZE <= got; at += ENTRY_SIZE)
        entries.push_back({Get<std::uint32_t>(&bytes[at]), Get<std::uint32_t>(&bytes[at + 4])});
    return entries;
}

bool TResourceDirectory::NameEquals(std::uint32_t nameOffset, std::string_view name) const {
    const TImageView view(file_, image_.Sections);
    const std::uint64_t rva = std::uint64_t{image_.DirectoryRva} + nameOffset;
    std::uint16_t length = 0;
    if (!view.ReadValue(rva, length) || length != name.size()) return false;
    std::vector<unsigned char> text(2 * std::size_t{length});
    if (view.Read(rva + 2, text.data(), text.size()) != text.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (Get<std::uint16_t>(&text[2 * i]) != static_cast<unsigned char>(name[i])) return false;
    return true;
}

// The type, name and language levels are walked exactly once each, so a directory that points back
// into itself ends with the wrong kind of entry instead of a loop.
std::optional<std::uint32_t> TResourceDirectory::FindRcDataName(std::string_view name) const {
    if (image_.DirectoryRva == 0) return std::nullopt;
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

    const TImageView view(file_, image_.Sections);
    unsigned char dataEntry[16];
    if (view.Read(std::uint64_t{image_.DirectoryRva} + chosen.OffsetToData, dataEntry, sizeof dataEntry) !=
        sizeof dataEntry)
        return std::nullopt;
    const auto dataRva = Get<std::uint32_t>(dataEntry);
    const std::size_t size = std::min<std::size_t>(Get<std::uint32_t>(dataEntry + 4), max_size);
    if (view.Available(dataRva) < size) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (view.Read(dataRva, data.data(), size) != size) return std::nullopt;
    return data;
}
