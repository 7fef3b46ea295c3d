#include "peinfo/PackageInfo.h"

#include <algorithm>

#include "peinfo/ResourceDirectory.h"

namespace {

constexpr std::size_t MAX_NAME = 256;
// Far above any real package (a few thousand units of short names) and still a bounded allocation.
constexpr std::size_t MAX_PACKAGEINFO_SIZE = 16u << 20;

// Each reported name costs far more memory than its two bytes of data; no package comes near this.
constexpr std::uint32_t MAX_COUNT = 0xFFFF;

constexpr std::uint32_t HAS_DCP_BPI_NAME = 0x40000000;

// Reads PACKAGEINFO data front to back through the byte-source door.
class TCursor {
public:
    explicit TCursor(std::span<const unsigned char> data) : data_(data), source_(data.data(), data.size()) {}

    bool Dword(std::uint32_t& out) { return Take(read_le(source_, at_, out), 4); }
    bool Byte(std::uint8_t& out) { return Take(read_le(source_, at_, out), 1); }
    // A zero-terminated name, kept to its first MAX_NAME characters; false when no zero byte follows.
    bool Name(std::string& out) {
        std::string text;
        const std::size_t rest = data_.size() - at_;
        if (!read_zstring(source_, at_, rest, text) || text.size() == rest) return false;
        at_ += text.size() + 1;
        if (text.size() > MAX_NAME) text.resize(MAX_NAME);
        out = std::move(text);
        return true;
    }
    bool RestIsZero() const {
        return std::all_of(data_.begin() + static_cast<std::ptrdiff_t>(at_), data_.end(),
                           [](unsigned char b) { return b == 0; });
    }

private:
    bool Take(bool read, std::size_t size) {
        if (read) at_ += size;
        return read;
    }
    std::span<const unsigned char> data_;
    MemoryByteSource source_;
    std::size_t at_ = 0;
};

const char* ModuleTypeText(std::uint32_t flags) {
    switch (flags & 0xC0000000) {
        case 0x80000000:
            return "Library";
        case 0xC0000000:
            return "EXE";
        case 0x40000000:
            return "Package";
        default:
            return nullptr;
    }
}

}  // namespace

const char* NameTypeText(TNameType type) {
    switch (type) {
        case ntContainsUnit:
            return "ContainsUnit";
        case ntRequiresPackage:
            return "RequiresPackage";
        case ntDcpBpiName:
            return "DcpBpiName";
    }
    return "";
}

// Every entry consumes at least two bytes, so a count cannot run a loop beyond the data's size.
bool WalkPackageInfo(std::span<const unsigned char> data, std::uint32_t& flags,
                     const TPackageNameSink& report) {
    TCursor cursor(data);
    std::uint32_t count = 0;
    std::uint8_t unused = 0, unitFlags = 0;
    std::string name;
    if (!cursor.Dword(flags) || !cursor.Dword(count) || count > MAX_COUNT) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!cursor.Byte(unused) || !cursor.Name(name)) return false;
        report(name, ntRequiresPackage, 0);
    }
    if (!cursor.Dword(count) || count > MAX_COUNT) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!cursor.Byte(unitFlags) || !cursor.Byte(unused) || !cursor.Name(name)) return false;
        report(name, ntContainsUnit, unitFlags);
    }
    // Real modules set the flag without storing the name, or leave only the zero padding to the
    // resource's 4-byte alignment where it would be.
    if ((flags & HAS_DCP_BPI_NAME) && !cursor.RestIsZero()) {
        if (!cursor.Byte(unused) || !cursor.Name(name)) return false;
        report(name, ntDcpBpiName, 0);
    }
    return true;
}

void TPackageInfo::Clear() {
    package_names_.clear();
    package_info_rows_.clear();
}

void TPackageInfo::AddPackageName(const std::string& name, TNameType type, std::uint8_t /*unitFlags*/) {
    package_names_.push_back({name, type});
}

void TPackageInfo::ReadPackageInfo(ByteSource& file, const TPEImage& image) {
    Clear();
    if (!image.LoadableAsModule()) return;
    const auto data = TResourceDirectory(file, image).RcData("PACKAGEINFO", MAX_PACKAGEINFO_SIZE);
    if (data) ReadPackageInfo(*data);
}

void TPackageInfo::ReadPackageInfo(std::span<const unsigned char> data) {
    Clear();
    std::uint32_t flags = 0;
    const bool walked =
        WalkPackageInfo(data, flags, [this](const std::string& name, TNameType type, std::uint8_t unitFlags) {
            AddPackageName(name, type, unitFlags);
        });
    if (!walked) return Clear();
    if (package_names_.empty()) return;

    const auto row = [this](const char* label, const char* value) {
        package_info_rows_.push_back(std::string(label) + '\t' + value);
    };
    row("Build", flags & 0x1 ? "Never" : "Always");
    row("Package type", flags & 0x2 ? "Designtime" : flags & 0x4 ? "Runtime" : "Designtime and runtime");
    row("Check for unit-duplicates", flags & 0x8 ? "No" : "Yes");
    const std::uint32_t producer = (flags >> 26) & 3;
    if (producer == 2) row("Producer", "C++ Builder");
    if (producer == 3) row("Producer", "Delphi");
    if (const char* moduleType = ModuleTypeText(flags)) {
        row("Module type", moduleType);
        // An EXE's DCP/BPI name is not shown.
        if (flags >> 30 == 3) {
            const auto dcp = std::find_if(package_names_.begin(), package_names_.end(),
                                          [](const TPackageName& n) { return n.NameType == ntDcpBpiName; });
            if (dcp != package_names_.end()) package_names_.erase(dcp);
        }
    }
}

std::vector<std::pair<std::string, std::string>> TPackageInfo::UnitRows() const {
    std::vector<std::pair<std::string, std::string>> rows;
    rows.reserve(package_names_.size());
    for (const TPackageName& name : package_names_) rows.emplace_back(name.Name, NameTypeText(name.NameType));
    return rows;
}
