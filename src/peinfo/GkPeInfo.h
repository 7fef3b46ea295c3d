#pragma once
// TPEFileInfo: reads one executable's headers, imports and exports into display rows. Portable (no
// <windows.h>): every byte comes through a ByteSource, every offset is checked before use.
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/PeImage.h"
#include "peinfo/RichHeader.h"

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

    const std::filesystem::path& FileName() const { return file_name_; }
    bool IsMZ() const { return is_mz_; }
    // A PE image, PE32 or PE32+, read in full: headers, imports and exports.
    bool IsPE() const { return is_pe_; }
    // A PE32+ (64-bit) image; IsPE is set too.
    bool IsPEPlus() const { return is_pe_plus_; }
    bool IsNE() const { return is_ne_; }
    bool IsLE() const { return is_le_; }
    bool ImportsWithoutLookupTable() const { return imports_without_lookup_table_; }

    const std::vector<std::string>& DosHeaderList() const { return dos_header_list_; }
    const std::vector<std::string>& PEHeaderList() const { return pe_header_list_; }
    const std::vector<std::string>& OptionalHeaderList() const { return optional_header_list_; }
    // Sorted by module name ignoring case; each entry owns its collection.
    const std::vector<std::unique_ptr<TImportExport>>& ImportList() const { return import_list_; }
    const std::vector<std::string>& ExportList() const { return export_list_; }
    // The modules named by the delay-load directory, grouped and sorted like ImportList.
    const std::vector<std::unique_ptr<TImportExport>>& DelayImportList() const { return delay_import_list_; }

    std::string FormatNumber(std::int32_t value) const;
    // The 64-bit fields of a PE32+ optional header, signed like the 32-bit ones.
    std::string FormatNumber64(std::int64_t value) const;
    std::string GetMachineName() const;
    // The section that spans rva, by the image's one rule (TPEImage::FindSection).
    bool FindSection(std::uint32_t rva, TImageSectionHeader& section) const;

    // The headers and the section table, parsed once; the resource and producer readers use them too.
    const TPEImage& Image() const { return image_; }
    const TImageDosHeader& DosHeader() const { return image_.DosHeader(); }
    const TImageFileHeader& FileHeader() const { return image_.FileHeader(); }
    const TImageOptionalHeader32& OptionalHeader() const { return image_.OptionalHeader(); }
    std::int64_t SectionTableOffset() const { return image_.SectionTableOffset(); }
    const std::vector<TImageSectionHeader>& Sections() const { return image_.Sections(); }
    // A linker's "Rich" record between the MS-DOS header and the PE signature (standard PE images only).
    bool HasRichHeader() const { return rich_header_.has_value(); }
    const std::optional<std::vector<TRichEntry>>& RichHeader() const { return rich_header_; }
    // Bytes the reader took from the file while constructing.
    std::uint64_t BytesRead() const { return bytes_read_; }

private:
    void LoadFile(ByteSource& file);
    void BuildDosHeaderList();
    void BuildFileHeaderList();
    template <class Header>
    void BuildOptionalHeaderList(const Header& header);
    void ReadImports(ByteSource& file);
    void ReadDelayImports(ByteSource& file);
    void ReadImportThunks(TImageByRva& image, std::uint64_t thunkRva, std::uint64_t fileSize,
                          std::uint64_t base, TImportExport& collection);
    std::string ReadModuleName(TImageByRva& image, std::uint64_t rva) const;
    void ReadExports(ByteSource& file);
    void AddRow(std::vector<std::string>& list, const char* label, const std::string& value);

    std::filesystem::path file_name_;
    bool imports_without_lookup_table_ = false;
    bool is_pe_ = false, is_pe_plus_ = false, is_ne_ = false, is_le_ = false, is_mz_ = false;
    std::vector<std::unique_ptr<TImportExport>> import_list_, delay_import_list_;
    std::vector<std::string> export_list_, dos_header_list_, pe_header_list_, optional_header_list_;
    TPEImage image_;
    TNumberStyle number_style_;
    std::optional<std::vector<TRichEntry>> rich_header_;
    std::uint64_t bytes_read_ = 0;
    // Names kept by the import and export walks: bounded by the file's size, since honest tables give
    // every name bytes of its own. Spend takes a kept entry's share, or ends the walks when it is used up.
    bool Spend(std::uint64_t cost);
    std::uint64_t text_budget_ = 0;
};
