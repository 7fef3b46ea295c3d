#pragma once
// TPEImage: the headers and the one section table of a PE image, read once, with the one rule that
// maps an RVA to a file offset. The header reader, the import and export walks, the resource directory,
// the package information and producer detection all take the image from here. Portable.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/ByteSource.h"

// Raw header layouts as stored in the file (little endian, naturally aligned, so read_value fills them).
struct TImageDosHeader {
    std::uint16_t e_magic, e_cblp, e_cp, e_crlc, e_cparhdr, e_minalloc, e_maxalloc, e_ss, e_sp, e_csum, e_ip,
        e_cs, e_lfarlc, e_ovno, e_res[4], e_oemid, e_oeminfo, e_res2[10];
    std::int32_t e_lfanew;
};
struct TImageFileHeader {
    std::uint16_t Machine, NumberOfSections;
    std::uint32_t TimeDateStamp, PointerToSymbolTable, NumberOfSymbols;
    std::uint16_t SizeOfOptionalHeader, Characteristics;
};
struct TImageDataDirectory {
    std::uint32_t VirtualAddress, Size;
};
struct TImageOptionalHeader32 {
    std::uint16_t Magic;
    std::uint8_t MajorLinkerVersion, MinorLinkerVersion;
    std::uint32_t SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData, AddressOfEntryPoint, BaseOfCode,
        BaseOfData, ImageBase, SectionAlignment, FileAlignment;
    std::uint16_t MajorOperatingSystemVersion, MinorOperatingSystemVersion, MajorImageVersion,
        MinorImageVersion, MajorSubsystemVersion, MinorSubsystemVersion;
    std::uint32_t Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
    std::uint16_t Subsystem, DllCharacteristics;
    std::uint32_t SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit, LoaderFlags,
        NumberOfRvaAndSizes;
    TImageDataDirectory DataDirectory[16];
};
// PE32+: no BaseOfData; the image base and the stack and heap sizes are 64-bit.
struct TImageOptionalHeader64 {
    std::uint16_t Magic;
    std::uint8_t MajorLinkerVersion, MinorLinkerVersion;
    std::uint32_t SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData, AddressOfEntryPoint, BaseOfCode;
    std::uint64_t ImageBase;
    std::uint32_t SectionAlignment, FileAlignment;
    std::uint16_t MajorOperatingSystemVersion, MinorOperatingSystemVersion, MajorImageVersion,
        MinorImageVersion, MajorSubsystemVersion, MinorSubsystemVersion;
    std::uint32_t Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
    std::uint16_t Subsystem, DllCharacteristics;
    std::uint64_t SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit;
    std::uint32_t LoaderFlags, NumberOfRvaAndSizes;
    TImageDataDirectory DataDirectory[16];
};
struct TImageSectionHeader {
    char Name[8];
    std::uint32_t VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData, PointerToRelocations,
        PointerToLinenumbers;
    std::uint16_t NumberOfRelocations, NumberOfLinenumbers;
    std::uint32_t Characteristics;
};
static_assert(sizeof(TImageDosHeader) == 64 && sizeof(TImageFileHeader) == 20);
static_assert(sizeof(TImageOptionalHeader32) == 224 && sizeof(TImageSectionHeader) == 40);
static_assert(sizeof(TImageOptionalHeader64) == 240);

enum : int {
    IMAGE_DIRECTORY_EXPORT = 0,
    IMAGE_DIRECTORY_IMPORT = 1,
    IMAGE_DIRECTORY_RESOURCE = 2,
    IMAGE_DIRECTORY_DELAY_IMPORT = 13,
};
constexpr std::uint16_t IMAGE_MAGIC_PE32 = 0x10B, IMAGE_MAGIC_PE32_PLUS = 0x20B;

class TPEImage {
public:
    // Reads the MS-DOS header, the signature at e_lfanew, the file header and the 224 bytes after it;
    // after a "PE\0\0" signature also a PE32+ optional header and the section table. Never throws: what
    // could not be read is reported by the Has... queries.
    explicit TPEImage(ByteSource& file);
    TPEImage() = default;

    bool HasDosHeader() const { return has_dos_header_; }
    bool HasSignature() const { return has_signature_; }
    // The file header and the 224 bytes that follow it could be read in full.
    bool HasHeaders() const { return has_headers_; }
    // A PE32+ image whose 240-byte optional header could be read in full.
    bool HasOptionalHeader64() const { return has_optional_header64_; }

    bool IsMZ() const { return dos_.e_magic == 0x5A4D; }
    bool HasPESignature() const;
    bool IsPE32Plus() const { return HasPESignature() && optional32_.Magic == IMAGE_MAGIC_PE32_PLUS; }
    // What the system loader maps as a data-only module: MZ, "PE\0\0" and a PE32 or PE32+ optional header.
    bool LoadableAsModule() const;

    const TImageDosHeader& DosHeader() const { return dos_; }
    const std::array<unsigned char, 4>& Signature() const { return signature_; }
    const TImageFileHeader& FileHeader() const { return file_; }
    // The 224 bytes after the file header as a PE32 optional header, whatever the image's kind.
    const TImageOptionalHeader32& OptionalHeader() const { return optional32_; }
    // PE32+ images only; zero otherwise.
    const TImageOptionalHeader64& OptionalHeader64() const { return optional64_; }
    std::uint8_t MajorLinkerVersion() const { return optional32_.MajorLinkerVersion; }
    std::uint8_t MinorLinkerVersion() const { return optional32_.MinorLinkerVersion; }

    // The entry of the image's data directory; empty at or beyond min(NumberOfRvaAndSizes, 16).
    TImageDataDirectory DataDirectory(int index) const;

    // e_lfanew + 24 + SizeOfOptionalHeader, where the loader takes the section table to start.
    std::int64_t SectionTableOffset() const { return section_table_offset_; }
    // The section headers that could be read whole, NumberOfSections taken as a signed 16-bit count.
    const std::vector<TImageSectionHeader>& Sections() const { return sections_; }
    // The first section that spans rva: VirtualSize bytes from VirtualAddress, or SizeOfRawData bytes
    // when VirtualSize is 0, as the loader maps it. Null when no section does.
    const TImageSectionHeader* FindSection(std::uint32_t rva) const;
    // The file offset of rva and how many bytes from there its section holds in the file (its raw data
    // within the span above). False when no section spans rva.
    bool Locate(std::uint64_t rva, std::uint64_t& offset, std::uint64_t& available) const;

private:
    void BuildRanges();

    TImageDosHeader dos_{};
    std::array<unsigned char, 4> signature_{};
    TImageFileHeader file_{};
    TImageOptionalHeader32 optional32_{};
    TImageOptionalHeader64 optional64_{};
    bool has_dos_header_ = false, has_signature_ = false, has_headers_ = false,
         has_optional_header64_ = false;
    std::int64_t section_table_offset_ = 0;
    std::vector<TImageSectionHeader> sections_;
    // The RVA space cut into ranges that each belong to the first section spanning them, in RVA order:
    // a lookup is a binary search even where a hostile table lists thousands of overlapping sections.
    struct TRange {
        std::uint64_t start, end;
        std::uint32_t section;
    };
    std::vector<TRange> ranges_;
};

// The image read by RVA, through the section table: a read stops at the end of the section's raw data
// and at the end of the file, so a structure that straddles two sections reads as unreadable, and an
// RVA outside every section reads nothing.
class TImageByRva : public ByteSource {
public:
    TImageByRva(ByteSource& file, const TPEImage& image) : file_(file), image_(image) {}
    std::size_t read(std::uint64_t rva, void* into, std::size_t size) override;
    // The file offset where rva's bytes are, or false.
    bool FileOffset(std::uint64_t rva, std::uint64_t& offset) const;
    // How many bytes can be read from rva on, within its section and the file.
    std::uint64_t Available(std::uint64_t rva) const;

private:
    ByteSource& file_;
    const TPEImage& image_;
};
