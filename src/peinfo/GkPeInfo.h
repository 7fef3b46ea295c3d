#pragma once
// TPEFileInfo: reads one executable's headers, imports and exports into display rows. Portable (no
// <windows.h>): every byte comes through a ByteSource, every offset is checked before use.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ByteSource.h"

// Failures that end construction. Messages are the texts the error box shows (before its full stop).
class EPEFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The file cannot be opened, or a table the export walk reads runs past the end ("Stream read error").
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TNumberStyle : std::uint8_t { nsDecimal = 0, nsHex = 1 };

// Raw header layouts as stored in the file (little endian, naturally aligned, so memcpy fills them).
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
struct TImageSectionHeader {
    char Name[8];
    std::uint32_t VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData, PointerToRelocations,
        PointerToLinenumbers;
    std::uint16_t NumberOfRelocations, NumberOfLinenumbers;
    std::uint32_t Characteristics;
};
static_assert(sizeof(TImageDosHeader) == 64 && sizeof(TImageFileHeader) == 20);
static_assert(sizeof(TImageOptionalHeader32) == 224 && sizeof(TImageSectionHeader) == 40);

enum : int { IMAGE_DIRECTORY_EXPORT = 0, IMAGE_DIRECTORY_IMPORT = 1, IMAGE_DIRECTORY_RESOURCE = 2 };

// One imported function: a name with its (sign-extended) hint, or an empty name with the ordinal.
struct TImportExportItem {
    std::string FunctionName;
    std::int32_t OrdinalOrHint = 0;
};

// The functions imported from one module, by all descriptors that name it (in any letter case).
class TImportExport {
public:
    explicit TImportExport(std::string moduleName) : ModuleName(std::move(moduleName)) {}
    std::string ModuleName;
    std::size_t Count() const { return items_.size(); }
    const TImportExportItem& Item(std::size_t index) const { return items_.at(index); }
    const std::vector<TImportExportItem>& Items() const { return items_; }
    void Add(TImportExportItem item) { items_.push_back(std::move(item)); }

private:
    std::vector<TImportExportItem> items_;
};

class TPEFileInfo {
public:
    // Opens the file for reading (others may read and write it meanwhile) and closes it before returning.
    TPEFileInfo(const std::filesystem::path& fileName, TNumberStyle style);
    // Reads from `source` only while constructing; fileName is what FileName() reports.
    TPEFileInfo(ByteSource& source, std::filesystem::path fileName, TNumberStyle style);

    const std::filesystem::path& FileName() const { return FileName_; }
    bool IsMZ() const { return IsMZ_; }
    bool IsPE() const { return IsPE_; }
    bool IsPEPlus() const { return IsPEPlus_; }
    bool IsNE() const { return IsNE_; }
    bool IsLE() const { return IsLE_; }
    bool ImportsWithoutLookupTable() const { return ImportsWithoutLookupTable_; }

    const std::vector<std::string>& DosHeaderList() const { return DosHeaderList_; }
    const std::vector<std::string>& PEHeaderList() const { return PEHeaderList_; }
    const std::vector<std::string>& OptionalHeaderList() const { return OptionalHeaderList_; }
    // Sorted by module name ignoring case; each entry owns its collection.
    const std::vector<std::unique_ptr<TImportExport>>& ImportList() const { return ImportList_; }
    const std::vector<std::string>& ExportList() const { return ExportList_; }

    std::string FormatNumber(std::int32_t value) const;
    std::string GetMachineName() const;
    // The section whose [VirtualAddress, VirtualAddress + VirtualSize) holds rva.
    bool FindSection(std::uint32_t rva, TImageSectionHeader& section) const;

    // Raw headers as read, for the resource and producer readers.
    const TImageDosHeader& DosHeader() const { return DosHeader_; }
    const TImageFileHeader& FileHeader() const { return FileHeader_; }
    const TImageOptionalHeader32& OptionalHeader() const { return OptionalHeader_; }
    std::int64_t SectionTableOffset() const { return SectionTableOffset_; }
    // The section headers that could be read whole (standard PE images only).
    const std::vector<TImageSectionHeader>& Sections() const { return Sections_; }
    // A linker's "Rich" record between the MS-DOS header and the PE signature (standard PE images only).
    bool HasRichHeader() const { return HasRichHeader_; }
    // Bytes the reader took from the file while constructing.
    std::uint64_t BytesRead() const { return BytesRead_; }

private:
    void LoadFile(ByteSource& file);
    void BuildDosHeaderList();
    void BuildFileHeaderList();
    void BuildOptionalHeaderList();
    void ReadSectionTable(ByteSource& file);
    void DetectRichHeader(ByteSource& file);
    void ReadImports(ByteSource& file);
    void ReadImportThunks(ByteSource& file, std::int64_t thunkOffset, std::int64_t delta,
                          TImportExport& collection);
    std::string ReadModuleName(ByteSource& file, std::int64_t offset) const;
    void ReadExports(ByteSource& file);
    void AddRow(std::vector<std::string>& list, const char* label, const std::string& value);

    std::filesystem::path FileName_;
    bool ImportsWithoutLookupTable_ = false;
    bool IsPE_ = false, IsPEPlus_ = false, IsNE_ = false, IsLE_ = false, IsMZ_ = false;
    std::vector<std::unique_ptr<TImportExport>> ImportList_;
    std::vector<std::string> ExportList_, DosHeaderList_, PEHeaderList_, OptionalHeaderList_;
    std::int64_t SectionTableOffset_ = 0;
    TImageDosHeader DosHeader_{};
    TImageFileHeader FileHeader_{};
    TImageOptionalHeader32 OptionalHeader_{};
    TNumberStyle NumberStyle_;
    std::vector<TImageSectionHeader> Sections_;
    bool HasRichHeader_ = false;
    std::uint64_t BytesRead_ = 0;
    // Names kept by the import and export walks: bounded by the file's size, since honest tables give
    // every name bytes of its own.
    std::uint64_t textBudget_ = 0;
};
