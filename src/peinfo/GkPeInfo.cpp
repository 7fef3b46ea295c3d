#include "peinfo/GkPeInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <unordered_map>

#include "base/AsciiText.h"
#include "peinfo/FileByteSource.h"

namespace {

const char kInvalidFormat[] = "Invalid PE file format";
const char kStreamReadError[] = "Stream read error";

struct TImageImportDescriptor {
    std::uint32_t OriginalFirstThunk, TimeDateStamp, ForwarderChain, Name, FirstThunk;
};
// The delay-load descriptor: Attributes bit 0 says the other fields are RVAs; without it (the first
// format, 32-bit images only) they are virtual addresses.
struct TImageDelayLoadDescriptor {
    std::uint32_t Attributes, DllNameRVA, ModuleHandleRVA, ImportAddressTableRVA, ImportNameTableRVA,
        BoundImportAddressTableRVA, UnloadInformationTableRVA, TimeDateStamp;
};
struct TImageExportDirectory {
    std::uint32_t Characteristics, TimeDateStamp;
    std::uint16_t MajorVersion, MinorVersion;
    std::uint32_t Name, Base, NumberOfFunctions, NumberOfNames, AddressOfFunctions, AddressOfNames,
        AddressOfNameOrdinals;
};
static_assert(sizeof(TImageImportDescriptor) == 20 && sizeof(TImageExportDirectory) == 40);
static_assert(sizeof(TImageDelayLoadDescriptor) == 32);

// Counts what the reader takes from the file, for the bytes-per-dump figure.
class CountingSource : public ByteSource {
public:
    CountingSource(ByteSource& inner, std::uint64_t& count) : inner_(inner), count_(count) {}
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override {
        const std::size_t got = inner_.read(offset, into, size);
        count_ += got;
        return got;
    }
    std::uint64_t size() const override { return inner_.size(); }

private:
    ByteSource& inner_;
    std::uint64_t& count_;
};

std::string ReadText(ByteSource& source, std::uint64_t offset, std::size_t maxLength) {
    std::string text;
    read_zstring(source, offset, maxLength, text);
    return text;
}

// The spec'd walks stop where an entry reaches the end of the file, not only where it cannot be read.
bool EndsAtFileEnd(const TImageByRva& image, std::uint64_t rva, std::uint64_t size, std::uint64_t fileSize) {
    std::uint64_t offset = 0;
    return image.FileOffset(rva, offset) && offset + size >= fileSize;
}

// The display widening: 16-bit header words are sign-extended.
std::int32_t Word(std::uint16_t value) { return static_cast<std::int16_t>(value); }
std::int32_t Dword(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// A header field as shown: bytes unsigned, 16- and 32-bit fields signed, 64-bit ones signed too.
std::int64_t Shown(std::uint8_t value) { return value; }
std::int64_t Shown(std::uint16_t value) { return static_cast<std::int16_t>(value); }
std::int64_t Shown(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::int64_t Shown(std::uint64_t value) { return static_cast<std::int64_t>(value); }

std::int64_t BaseOfData(const TImageOptionalHeader32& header) { return Shown(header.BaseOfData); }
std::int64_t BaseOfData(const TImageOptionalHeader64&) { return 0; }

struct Named {
    std::uint32_t value;
    const char* text;
};

const Named kMachines[] = {
    {0x0000, "Any architecture"},
    {0x014C, "Intel 80386 or later"},
    {0x014D, "Intel 80486"},
    {0x014E, "Intel Pentium"},
    {0x0160, "MIPS R3000 (big endian)"},
    {0x0162, "MIPS Mark I R2000 and R3000 (little endian)"},
    {0x0163, "MIPS Mark II (R6000)"},
    {0x0166, "MIPS Mark III (R4000, little endian)"},
    {0x0168, "MIPS R10000"},
    {0x0169, "MIPS WCE v2"},
    {0x0184, "DEC Alpha XP"},
    {0x01A2, "Hitachi SH3"},
    {0x01A4, "Hitachi SH3E"},
    {0x01A6, "Hitachi SH4"},
    {0x01A8, "Hitachi SH5"},
    {0x01C0, "ARM"},
    {0x01C2, "Thumb"},
    {0x01D3, "ARM 33"},
    {0x01F0, "Power PC (little endian)"},
    {0x0200, "Intel IA64"},
    {0x0266, "MIPS 16"},
    {0x0268, "Motorola 68000"},
    {0x0284, "64-bit Alpha AXP"},
    {0x0290, "HP PA RISC"},
    {0x0366, "MIPS with FPU"},
    {0x0466, "MIPS 16 with FPU"},
    {0x0500, "AMD K8 (64-bit)"},
    {0x0520, "Infineon Tricore"},
    {0x0CEF, "CEF"},
    {0x8664, "x64"},
    {0xAA64, "ARM64"},
    {0x01C4, "ARM Thumb-2"},
    {0xA641, "ARM64EC"},
};

const Named kCharacteristics[] = {
    {0x0001, "Does not contain base relocations"},
    {0x0002, "File is valid and can be run"},
    {0x0004, "COFF line numbers have been removed"},
    {0x0008, "COFF symbol table entries have been removed"},
    {0x0010, "Aggressively trim working set"},
    {0x0020, "Can handle > 2 GB addresses"},
    {0x0040, "16-bit machine (reserved)"},
    {0x0080, "Low bytes of machine word are reversed"},
    {0x0100, "Machine based on 32-bit word architecture"},
    {0x0200, "Debugging information removed from image"},
    {0x0400, "If image is on removable media, copy and run from swap"},
    {0x0800, "If image is on the network, copy and run from swap"},
    {0x1000, "Image is a system file, not a user program"},
    {0x2000, "Image is a DLL"},
    {0x4000, "Image compatible with single processor machines only"},
    {0x8000, "High bytes of machine word are reversed"},
};

const Named kSubsystems[] = {
    {1, "Native, no subsystem required"},
    {2, "Windows GUI subsystem required"},
    {3, "Windows console subsystem required"},
    {5, "OS/2 console subsystem required"},
    {7, "POSIX console subsystem required"},
    {8, "Native, no subsystem required"},
    {9, "Windows CE GUI"},
    {10, "EFI application"},
    {11, "EFI boot service driver"},
    {12, "EFI runtime driver"},
    {13, "EFI ROM"},
    {14, "XBox"},
};

const Named kDllCharacteristics[] = {
    {0x0001, "Per-process library initialization"},
    {0x0002, "Per-process library termination"},
    {0x0004, "Per-thread library initialization"},
    {0x0008, "Per-thread library termination"},
    {0x0800, "Do not bind image"},
    {0x2000, "WDM Driver"},
    {0x8000, "Terminal Server aware"},
};

template <std::size_t N>
const char* Lookup(const Named (&table)[N], std::uint32_t value, const char* otherwise) {
    for (const Named& entry : table)
        if (entry.value == value) return entry.text;
    return otherwise;
}

}  // namespace

TPEFileInfo::TPEFileInfo(const std::filesystem::path& fileName, TNumberStyle style)
    : file_name_(fileName), number_style_(style) {
    FileByteSource file(fileName);
    LoadFile(file);
}

TPEFileInfo::TPEFileInfo(ByteSource& source, std::filesystem::path fileName, TNumberStyle style)
    : file_name_(std::move(fileName)), number_style_(style) {
    LoadFile(source);
}

std::string TPEFileInfo::FormatNumber(std::int32_t value) const {
    if (number_style_ == nsHex) {
        char text[16];
        std::snprintf(text, sizeof text, "$%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
        return text;
    }
    return std::to_string(value);
}

std::string TPEFileInfo::FormatNumber64(std::int64_t value) const {
    if (number_style_ == nsHex) {
        char text[24];
        std::snprintf(text, sizeof text, "$%llX",
                      static_cast<unsigned long long>(static_cast<std::uint64_t>(value)));
        return text;
    }
    return std::to_string(value);
}

std::string TPEFileInfo::GetMachineName() const {
    if (!is_pe_) return {};
    return Lookup(kMachines, image_.FileHeader().Machine, "Unknown CPU");
}

bool TPEFileInfo::FindSection(std::uint32_t rva, TImageSectionHeader& section) const {
    const TImageSectionHeader* found = image_.FindSection(rva);
    if (found) section = *found;
    return found != nullptr;
}

void TPEFileInfo::AddRow(std::vector<std::string>& list, const char* label, const std::string& value) {
    list.push_back(std::string(label) + '\t' + value);
}

void TPEFileInfo::LoadFile(ByteSource& source) {
    CountingSource file(source, bytes_read_);
    text_budget_ = file.size() == UINT64_MAX ? 0 : file.size() + 4096;

    image_ = TPEImage(file);
    if (!image_.HasDosHeader()) throw EPEFormatError(kInvalidFormat);
    is_mz_ = image_.IsMZ();
    BuildDosHeaderList();
    if (!image_.HasSignature()) throw EPEFormatError(std::string(kInvalidFormat) + ": No PE signature found");
    if (!image_.HasHeaders() || (image_.IsPE32Plus() && !image_.HasOptionalHeader64()))
        throw EPEFormatError(kInvalidFormat);

    const auto& signature = image_.Signature();
    const char* kind = "Unsupported (Unknown)";
    if (image_.IsPE32Plus()) {
        is_pe_ = is_pe_plus_ = true;
        kind = "PE32+ (64-bit)";
    } else if (image_.HasPESignature()) {
        is_pe_ = true;
        kind = "Standard PE";
    } else if (signature[0] == 'N' && signature[1] == 'E') {
        is_ne_ = true;
        kind = "Unsupported 16-bit NE Format";
    } else if (signature[0] == 'L' && signature[1] == 'E') {
        is_le_ = true;
        kind = "Unsupported LE Format";
    }
    AddRow(pe_header_list_, "Executable format", kind);
    if (!is_pe_) return;

    rich_header_ = ReadRichHeader(file, image_.DosHeader());
    BuildFileHeaderList();
    if (is_pe_plus_)
        BuildOptionalHeaderList(image_.OptionalHeader64());
    else
        BuildOptionalHeaderList(image_.OptionalHeader());
    ReadImports(file);
    ReadDelayImports(file);
    ReadExports(file);
}

void TPEFileInfo::BuildDosHeaderList() {
    const TImageDosHeader& h = image_.DosHeader();
    const struct {
        const char* label;
        std::uint16_t value;
    } rows[] = {
        {"Magic number", h.e_magic},
        {"Bytes on last page of file", h.e_cblp},
        {"Pages in file", h.e_cp},
        {"Relocations", h.e_crlc},
        {"Size of header in paragraphs", h.e_cparhdr},
        {"Minimum extra paragraphs", h.e_minalloc},
        {"Maximum extra paragraphs", h.e_maxalloc},
        {"Initial (relative) SS value", h.e_ss},
        {"Initial SP value", h.e_sp},
        {"Checksum", h.e_csum},
        {"Initial IP value", h.e_ip},
        {"Initial (relative) CS value", h.e_cs},
        {"File address of relocation table", h.e_lfarlc},
        {"Overlay number", h.e_ovno},
        {"OEM identifier", h.e_oemid},
        {"OEM information", h.e_oeminfo},
    };
    for (const auto& row : rows) AddRow(dos_header_list_, row.label, FormatNumber(Word(row.value)));
    AddRow(dos_header_list_, "PE header address", FormatNumber(h.e_lfanew));
}

void TPEFileInfo::BuildFileHeaderList() {
    const TImageFileHeader& h = image_.FileHeader();
    AddRow(pe_header_list_, "Machine", GetMachineName());
    AddRow(pe_header_list_, "Number of sections", FormatNumber(Word(h.NumberOfSections)));
    AddRow(pe_header_list_, "Time/Date stamp", FormatNumber(Dword(h.TimeDateStamp)));
    AddRow(pe_header_list_, "Address of symbol table", FormatNumber(Dword(h.PointerToSymbolTable)));
    AddRow(pe_header_list_, "Number of symbols", FormatNumber(Dword(h.NumberOfSymbols)));
    AddRow(pe_header_list_, "Size of optional header", FormatNumber(Word(h.SizeOfOptionalHeader)));
    AddRow(pe_header_list_, "Characteristics", FormatNumber(Word(h.Characteristics)));
    for (const Named& bit : kCharacteristics)
        if (h.Characteristics & bit.value) AddRow(pe_header_list_, "  Characteristic", bit.text);
}

// One list for both widths: PE32+ has no BaseOfData, and its image base and stack and heap sizes are
// 64-bit numbers, shown signed like the 32-bit ones.
template <class Header>
void TPEFileInfo::BuildOptionalHeaderList(const Header& h) {
    constexpr bool plus = std::is_same_v<Header, TImageOptionalHeader64>;
    auto& list = optional_header_list_;
    auto number = [&](const char* label, std::int32_t value) { AddRow(list, label, FormatNumber(value)); };
    auto wide = [&](const char* label, auto value) {
        if constexpr (plus)
            AddRow(list, label, FormatNumber64(static_cast<std::int64_t>(value)));
        else
            number(label, Dword(static_cast<std::uint32_t>(value)));
    };

    const char* magicSuffix = h.Magic == 0x107   ? " (ROM image)"
                              : h.Magic == 0x10B ? " (PE format)"
                              : h.Magic == 0x20B ? " (PE32+ format)"
                                                 : "";
    AddRow(list, "Magic", FormatNumber(Word(h.Magic)) + magicSuffix);
    // Rows up to the checksum; `wide` ones are 64-bit in PE32+, and BaseOfData exists in PE32 only.
    const struct Row {
        const char* label;
        std::int64_t value;
        bool wide = false, present = true;
    } rows[] = {
        {"Major linker version", Shown(h.MajorLinkerVersion)},
        {"Minor linker version", Shown(h.MinorLinkerVersion)},
        {"Size of Code", Shown(h.SizeOfCode)},
        {"Size of initialized data", Shown(h.SizeOfInitializedData)},
        {"Size of uninitialized data", Shown(h.SizeOfUninitializedData)},
        {"Address of entry point", Shown(h.AddressOfEntryPoint)},
        {"Base of code", Shown(h.BaseOfCode)},
        {"Base of data", BaseOfData(h), false, !plus},
        {"Image base", Shown(h.ImageBase), true},
        {"Section alignment", Shown(h.SectionAlignment)},
        {"File alignment", Shown(h.FileAlignment)},
        {"Major OS version", Shown(h.MajorOperatingSystemVersion)},
        {"Minor OS version", Shown(h.MinorOperatingSystemVersion)},
        {"Major image version", Shown(h.MajorImageVersion)},
        {"Minor image version", Shown(h.MinorImageVersion)},
        {"Major subsystem version", Shown(h.MajorSubsystemVersion)},
        {"Minor subsystem version", Shown(h.MinorSubsystemVersion)},
        {"Win32 Version", Shown(h.Win32VersionValue)},
        {"Size of image", Shown(h.SizeOfImage)},
        {"Size of headers", Shown(h.SizeOfHeaders)},
        {"CRC Checksum", Shown(h.CheckSum)},
    };
    for (const Row& row : rows)
        if (!row.present)
            continue;
        else if (row.wide)
            wide(row.label, row.value);
        else
            number(row.label, static_cast<std::int32_t>(row.value));
    AddRow(list, "Subsystem", Lookup(kSubsystems, h.Subsystem, "Unknown"));
    for (const Named& bit : kDllCharacteristics)
        if (h.DllCharacteristics & bit.value) AddRow(list, "DLL Characteristics", bit.text);
    wide("Size of stack reserve", h.SizeOfStackReserve);
    wide("Size of stack commit", h.SizeOfStackCommit);
    wide("Size of heap reserve", h.SizeOfHeapReserve);
    wide("Size of heap commit", h.SizeOfHeapCommit);
    AddRow(list, "Loader Flags",
           h.LoaderFlags == 1   ? "Invoke a breakpoint before starting process"
           : h.LoaderFlags == 2 ? "Invoke a debugger after process has been loaded"
                                : "No flags set");
    number("Number of entries in data directory", Dword(h.NumberOfRvaAndSizes));
}

bool TPEFileInfo::Spend(std::uint64_t cost) {
    if (cost > text_budget_) {
        text_budget_ = 0;
        return false;
    }
    text_budget_ -= cost;
    return true;
}

std::string TPEFileInfo::ReadModuleName(TImageByRva& image, std::uint64_t rva) const {
    return ReadText(image, rva, 1024);
}

void TPEFileInfo::ReadImports(ByteSource& file) {
    const TImageDataDirectory directory = image_.DataDirectory(IMAGE_DIRECTORY_IMPORT);
    if (directory.VirtualAddress == 0 || !image_.FindSection(directory.VirtualAddress)) return;
    TImageByRva image(file, image_);

    std::unordered_map<std::string, TImportExport*> byName;  // keys folded to lower case
    std::uint64_t rva = directory.VirtualAddress;
    TImageImportDescriptor descriptor;
    // Each pass moves 20 bytes on within one section and stops at the end of the file.
    while (read_value(image, rva, descriptor) && descriptor.Name != 0) {
        if (EndsAtFileEnd(image, rva, sizeof descriptor, file.size())) break;
        rva += sizeof descriptor;
        std::string name = ReadModuleName(image, descriptor.Name);
        TImportExport*& collection = byName[LowerAscii(name)];
        if (!collection) {
            if (!Spend(sizeof descriptor + name.size())) break;
            import_list_.push_back(std::make_unique<TImportExport>(std::move(name)));
            collection = import_list_.back().get();
            imports_without_lookup_table_ = descriptor.OriginalFirstThunk == 0;
        }
        ReadImportThunks(
            image, descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk,
            file.size(), 0, *collection);
        if (text_budget_ == 0) break;
    }
    std::stable_sort(import_list_.begin(), import_list_.end(), [](const auto& a, const auto& b) {
        return LessTextAscii(a->ModuleName, b->ModuleName);
    });
}

// Thunks are 32 bits wide in PE32 images and 64 in PE32+, with the ordinal flag in their top bit. In
// delay-load tables of the first format they hold virtual addresses: `base` is then the image base.
void TPEFileInfo::ReadImportThunks(TImageByRva& image, std::uint64_t thunkRva, std::uint64_t fileSize,
                                   std::uint64_t base, TImportExport& collection) {
    const std::uint64_t width = is_pe_plus_ ? 8 : 4;
    const std::uint64_t ordinalFlag = std::uint64_t{1} << (8 * width - 1);
    std::uint64_t rva = thunkRva;
    for (;;) {
        std::uint64_t thunk = 0;
        std::uint32_t narrow = 0;
        if (is_pe_plus_ ? !read_le(image, rva, thunk) : !read_le(image, rva, narrow)) break;
        if (!is_pe_plus_) thunk = narrow;
        if (EndsAtFileEnd(image, rva, width, fileSize) || thunk == 0) break;
        rva += width;
        TImportExportItem item;
        if (thunk & ordinalFlag) {
            item.OrdinalOrHint = static_cast<std::int32_t>(thunk & 0xFFFF);
        } else {
            const std::uint64_t hintName = thunk - base;
            std::int16_t hint = 0;
            read_le(image, hintName, hint);
            item.OrdinalOrHint = hint;
            item.FunctionName = ReadText(image, hintName + 2, 256);
        }
        // Every honest entry has its thunk and its name's bytes of its own in the file.
        if (!Spend(width + item.FunctionName.size())) return;
        collection.Add(std::move(item));
    }
}

void TPEFileInfo::ReadDelayImports(ByteSource& file) {
    const TImageDataDirectory directory = image_.DataDirectory(IMAGE_DIRECTORY_DELAY_IMPORT);
    if (directory.VirtualAddress == 0 || !image_.FindSection(directory.VirtualAddress)) return;
    TImageByRva image(file, image_);
    std::unordered_map<std::string, TImportExport*> byName;  // keys folded to lower case
    TImageDelayLoadDescriptor descriptor;
    // Each pass moves 32 bytes on within one section, which bounds the walk.
    for (std::uint64_t rva = directory.VirtualAddress;
         text_budget_ > 0 && read_value(image, rva, descriptor) && descriptor.DllNameRVA != 0;
         rva += sizeof descriptor) {
        const std::uint64_t base =
            descriptor.Attributes & 1 || is_pe_plus_ ? 0 : image_.OptionalHeader().ImageBase;
        std::string name = ReadModuleName(image, descriptor.DllNameRVA - base);
        TImportExport*& collection = byName[LowerAscii(name)];
        if (!collection) {
            if (!Spend(sizeof descriptor + name.size())) break;
            delay_import_list_.push_back(std::make_unique<TImportExport>(std::move(name)));
            collection = delay_import_list_.back().get();
        }
        if (descriptor.ImportNameTableRVA != 0)
            ReadImportThunks(image, descriptor.ImportNameTableRVA - base, file.size(), base, *collection);
    }
    std::stable_sort(delay_import_list_.begin(), delay_import_list_.end(), [](const auto& a, const auto& b) {
        return LessTextAscii(a->ModuleName, b->ModuleName);
    });
}

void TPEFileInfo::ReadExports(ByteSource& file) {
    export_list_.clear();
    const TImageDataDirectory directory = image_.DataDirectory(IMAGE_DIRECTORY_EXPORT);
    if (directory.VirtualAddress == 0 || !image_.FindSection(directory.VirtualAddress)) return;
    TImageByRva image(file, image_);
    TImageExportDirectory exports;
    if (!read_value(image, directory.VirtualAddress, exports) || exports.Characteristics != 0) return;

    const std::int32_t count = std::min(Dword(exports.NumberOfFunctions), Dword(exports.NumberOfNames));
    if (count <= 0) return;
    // Each row needs at least its name pointer and its ordinal in the file: NumberOfNames alone does
    // not size the list.
    const std::uint64_t fileSize = file.size() == UINT64_MAX ? 0 : file.size();
    export_list_.reserve(
        static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t(count), fileSize / 6)));

    // A table entry that cannot be read whole fails the reader; that ends the loop within the section.
    for (std::uint64_t i = 0; i < std::uint64_t(count); ++i) {
        std::uint16_t ordinalIndex;
        std::uint32_t nameRva;
        if (!read_le(image, exports.AddressOfNameOrdinals + 2 * i, ordinalIndex) ||
            !read_le(image, exports.AddressOfNames + 4 * i, nameRva))
            throw EStreamError(kStreamReadError);
        std::string name = ReadText(image, nameRva, 256);
        // A name whose ordinal lies beyond the address table exports nothing.
        if (ordinalIndex >= exports.NumberOfFunctions) continue;
        std::uint32_t entryPoint;
        if (!read_le(image, exports.AddressOfFunctions + 4 * std::uint64_t{ordinalIndex}, entryPoint))
            throw EStreamError(kStreamReadError);
        if (!Spend(6 + name.size())) break;
        export_list_.push_back(name + '\t' + FormatNumber(Dword(ordinalIndex + exports.Base)) + '\t' +
                               FormatNumber(Dword(entryPoint)));
    }
    std::stable_sort(export_list_.begin(), export_list_.end(),
                     [](const std::string& a, const std::string& b) { return LessTextAscii(a, b); });
}
