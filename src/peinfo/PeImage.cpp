#include "peinfo/PeImage.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

constexpr std::int64_t kSignatureSize = 4, kFileHeaderSize = sizeof(TImageFileHeader);

// Offsets come from untrusted fields and may be negative: such data is unreadable.
template <class T>
bool ReadAt(ByteSource& file, std::int64_t offset, T& out) {
    return offset >= 0 && read_value(file, static_cast<std::uint64_t>(offset), out);
}

std::uint64_t SpanOf(const TImageSectionHeader& section) {
    return section.VirtualSize ? section.VirtualSize : section.SizeOfRawData;
}

}  // namespace

TPEImage::TPEImage(ByteSource& file) {
    has_dos_header_ = read_value(file, 0, dos_);
    if (!has_dos_header_) return;
    const std::int64_t signatureOffset = dos_.e_lfanew;
    has_signature_ = ReadAt(file, signatureOffset, signature_);
    if (!has_signature_) return;
    const std::int64_t optionalOffset = signatureOffset + kSignatureSize + kFileHeaderSize;
    has_headers_ =
        ReadAt(file, signatureOffset + kSignatureSize, file_) && ReadAt(file, optionalOffset, optional32_);
    if (!has_headers_ || !HasPESignature()) return;
    if (optional32_.Magic == IMAGE_MAGIC_PE32_PLUS) {
        has_optional_header64_ = ReadAt(file, optionalOffset, optional64_);
        if (!has_optional_header64_) optional64_ = {};
    }

    section_table_offset_ = optionalOffset + file_.SizeOfOptionalHeader;
    const std::int32_t count = static_cast<std::int16_t>(file_.NumberOfSections);
    TImageSectionHeader section;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!ReadAt(file, section_table_offset_ + std::int64_t{sizeof section} * i, section)) break;
        sections_.push_back(section);
    }
    BuildRanges();
}

void TPEImage::BuildRanges() {
    // A sweep over the sections' starts and ends; between two neighbouring boundaries the first section
    // (lowest index) among those spanning the place owns it.
    struct Boundary {
        std::uint64_t at;
        std::uint32_t section;
        bool start;
    };
    std::vector<Boundary> boundaries;
    for (std::uint32_t i = 0; i < sections_.size(); ++i) {
        const std::uint64_t start = sections_[i].VirtualAddress, span = SpanOf(sections_[i]);
        if (span == 0) continue;
        boundaries.push_back({start, i, true});
        boundaries.push_back({start + span, i, false});
    }
    std::sort(boundaries.begin(), boundaries.end(),
              [](const Boundary& a, const Boundary& b) { return a.at < b.at; });
    std::set<std::uint32_t> open;
    for (std::size_t b = 0; b < boundaries.size();) {
        const std::uint64_t at = boundaries[b].at;
        for (; b < boundaries.size() && boundaries[b].at == at; ++b) {
            if (boundaries[b].start)
                open.insert(boundaries[b].section);
            else
                open.erase(boundaries[b].section);
        }
        if (open.empty() || b == boundaries.size()) continue;
        const std::uint32_t owner = *open.begin();
        if (!ranges_.empty() && ranges_.back().end == at && ranges_.back().section == owner)
            ranges_.back().end = boundaries[b].at;
        else
            ranges_.push_back({at, boundaries[b].at, owner});
    }
}

bool TPEImage::HasPESignature() const {
    return has_signature_ && std::memcmp(signature_.data(), "PE\0\0", 4) == 0;
}

bool TPEImage::LoadableAsModule() const {
    return has_headers_ && IsMZ() && HasPESignature() &&
           (optional32_.Magic == IMAGE_MAGIC_PE32 || has_optional_header64_);
}

TImageDataDirectory TPEImage::DataDirectory(int index) const {
    if (!has_headers_ || !HasPESignature() || index < 0) return {};
    const bool plus = optional32_.Magic == IMAGE_MAGIC_PE32_PLUS;
    if (plus && !has_optional_header64_) return {};
    const std::uint32_t count = plus ? optional64_.NumberOfRvaAndSizes : optional32_.NumberOfRvaAndSizes;
    if (static_cast<std::uint32_t>(index) >= std::min<std::uint32_t>(count, 16)) return {};
    return plus ? optional64_.DataDirectory[index] : optional32_.DataDirectory[index];
}

const TImageSectionHeader* TPEImage::FindSection(std::uint32_t rva) const {
    const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), rva,
                                        [](std::uint64_t value, const TRange& r) { return value < r.start; });
    if (after == ranges_.begin()) return nullptr;
    const TRange& range = *(after - 1);
    return rva < range.end ? &sections_[range.section] : nullptr;
}

bool TPEImage::Locate(std::uint64_t rva, std::uint64_t& offset, std::uint64_t& available) const {
    if (rva > UINT32_MAX) return false;
    const TImageSectionHeader* section = FindSection(static_cast<std::uint32_t>(rva));
    if (!section) return false;
    const std::uint64_t within = rva - section->VirtualAddress;
    const std::uint64_t inFile = std::min<std::uint64_t>(SpanOf(*section), section->SizeOfRawData);
    offset = std::uint64_t{section->PointerToRawData} + within;
    available = within < inFile ? inFile - within : 0;
    return true;
}

bool TImageByRva::FileOffset(std::uint64_t rva, std::uint64_t& offset) const {
    std::uint64_t available = 0;
    return image_.Locate(rva, offset, available);
}

std::uint64_t TImageByRva::Available(std::uint64_t rva) const {
    std::uint64_t offset = 0, available = 0;
    if (!image_.Locate(rva, offset, available)) return 0;
    const std::uint64_t fileSize = file_.size();
    if (fileSize != UINT64_MAX) available = offset >= fileSize ? 0 : std::min(available, fileSize - offset);
    return available;
}

std::size_t TImageByRva::read(std::uint64_t rva, void* into, std::size_t size) {
    std::uint64_t offset = 0, available = 0;
    if (!image_.Locate(rva, offset, available)) return 0;
    return file_.read(offset, into, static_cast<std::size_t>(std::min<std::uint64_t>(size, available)));
}
