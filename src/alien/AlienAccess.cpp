#include "alien/AlienAccess.h"

#include <algorithm>
#include <vector>

#include "alien/AlienLayouts.h"
#include "base/AsciiText.h"
#include "base/ValueText.h"

namespace {

// Slot addresses below a class record wrap like the 32-bit arithmetic of the other process does.
std::uint32_t Slot(std::uint32_t class_record, std::int32_t offset) {
    return class_record + static_cast<std::uint32_t>(offset);
}

// UTF-8 of UTF-16 code units; a surrogate without its partner becomes U+FFFD.
std::string Utf8Of(const std::vector<std::uint16_t>& units) {
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

// The 16-bit units of the bytes, little-endian; an odd last byte is dropped.
std::vector<std::uint16_t> UnitsOf(const std::vector<unsigned char>& bytes) {
    std::vector<std::uint16_t> units(bytes.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return units;
}

}  // namespace

std::string read_short_string(ByteSource& source, std::uint64_t offset, std::size_t max_length) {
    std::uint8_t length = 0;
    if (!read_value(source, offset, length) || length == 0) return {};
    std::string text(std::min<std::size_t>(length, max_length), '\0');
    text.resize(source.read(offset + 1, text.data(), text.size()));
    return text;
}

TAlienApplication::TAlienApplication(TAlienPlatform& platform, std::uint32_t window)
    : platform_(platform), window_(window) {
    thread_id_ = platform_.ThreadProcessOf(window_, process_id_);
    instance_ = platform_.InstanceOf(window_);
    control_atom_name_ = "ControlOfs" + HexText8<char>(instance_) + HexText8<char>(thread_id_);
    window_atom_name_ = "Delphi" + HexText8<char>(process_id_);
    object_message_ = platform_.RegisterMessage(control_atom_name_);
    process_ = platform_.OpenForReading(process_id_);
    if (!process_) process_ = std::make_unique<MemoryByteSource>(nullptr, 0);
    constant_ = std::make_unique<TPageCache>(*process_);
    modern_classes_ = std::make_unique<TModernClasses>(*constant_);
    modern_layouts_ = std::make_unique<TModernLayouts>(*modern_classes_, *process_);
    version_ = RecogniseVersion();
}

TAlienApplication::~TAlienApplication() {
    class_cache_.clear();
    win_control_cache_.clear();
    control_cache_.clear();
    component_cache_.clear();
    font_cache_.clear();
    list_cache_.clear();
    modern_layouts_.reset();
    modern_classes_.reset();
    constant_.reset();
    process_.reset();
}

std::string TAlienApplication::VersionText() const {
    return IsModern() ? generation_ : std::to_string(version_);
}

bool TAlienApplication::IsVclWindow(std::uint32_t window) const {
    return platform_.PropertyByAtomName(window, window_atom_name_) != 0;
}

std::uint32_t TAlienApplication::ObjectAddressOf(std::uint32_t window) const {
    const std::uint32_t answer = platform_.QueryObject(window, object_message_);
    const std::uint32_t property = platform_.PropertyByAtomName(window, control_atom_name_);
    if (answer != 0 && property != 0 && answer != property) return 0;
    return answer != 0 ? answer : property;
}

TAlienWinControl* TAlienApplication::WinControlOf(std::uint32_t window) {
    if (!IsVclWindow(window)) throw ui::EAbort();
    const std::uint32_t object = ObjectAddressOf(window);
    if (IsModern() && object != 0) modern_layouts_->LearnHandle(object, ClassOfObject(object), window);
    TAlienWinControl* control = WinControlProxy(object);
    // A window's object keeps that window's handle; any other object is not the one behind it.
    if (IsModern() && control && control->Handle() != window) throw ui::EAbort();
    return control;
}

std::size_t TAlienApplication::ReadMemory(std::uint32_t address, void* into, std::size_t size) const {
    return size ? process_->read(address, into, size) : 0;
}

std::uint32_t TAlienApplication::ReadPointer(std::uint32_t address) const {
    std::uint32_t value = 0;
    read_le(*process_, address, value);
    return value;
}

std::string TAlienApplication::ReadPCharString(std::uint32_t address) const {
    std::string text;
    if (address != 0) read_zstring(*process_, address, MaxPCharLength, text);
    return text;
}

std::string TAlienApplication::ReadShortString(std::uint32_t address) const {
    return address ? read_short_string(*process_, address) : std::string();
}

std::string TAlienApplication::ReadLongString(std::uint32_t address) const {
    if (address == 0) return {};
    std::int32_t length = 0;
    if (!read_le(*process_, address - 4, length) || length <= 0) return {};
    std::string text(std::min<std::size_t>(static_cast<std::size_t>(length), MaxLongStringLength), '\0');
    text.resize(ReadMemory(address, text.data(), text.size()));
    return text;
}

std::string TAlienApplication::ReadUnicodeString(std::uint32_t address) const {
    // In front of the characters: code page (1200, UTF-16), element size (2), reference count, length.
    // A first read takes the header and the characters of a short text at once.
    constexpr std::size_t Header = 12, FirstUnits = 64;
    if (address < Header) return {};
    std::vector<unsigned char> bytes(Header + 2 * FirstUnits);
    bytes.resize(ReadMemory(address - Header, bytes.data(), bytes.size()));
    MemoryByteSource head(bytes.data(), bytes.size());
    std::uint16_t code_page = 0, element_size = 0;
    std::int32_t length = 0;
    if (!read_le(head, 0, code_page) || !read_le(head, 2, element_size) || !read_le(head, 8, length) ||
        code_page != 1200 || element_size != 2 || length <= 0)
        return {};
    const std::size_t units = std::min<std::size_t>(static_cast<std::size_t>(length), MaxLongStringLength);
    bytes.erase(bytes.begin(), bytes.begin() + Header);
    if (bytes.size() >= 2 * units) {
        bytes.resize(2 * units);
    } else if (bytes.size() == 2 * FirstUnits) {
        bytes.resize(2 * units);
        const std::size_t more = ReadMemory(address + 2 * FirstUnits, bytes.data() + 2 * FirstUnits,
                                            bytes.size() - 2 * FirstUnits);
        bytes.resize(2 * FirstUnits + more);
    }
    return Utf8Of(UnitsOf(bytes));
}

std::string TAlienApplication::ReadPWideCharString(std::uint32_t address) const {
    if (address == 0) return {};
    std::vector<std::uint16_t> units;
    // Short texts are the rule: a first chunk, then the rest up to the limit.
    for (std::size_t chunk : {std::size_t{128}, MaxPCharLength - 128}) {
        std::vector<unsigned char> bytes(2 * chunk);
        bytes.resize(
            ReadMemory(address + 2 * static_cast<std::uint32_t>(units.size()), bytes.data(), bytes.size()));
        const std::vector<std::uint16_t> read = UnitsOf(bytes);
        const auto nul = std::find(read.begin(), read.end(), std::uint16_t{0});
        units.insert(units.end(), read.begin(), nul);
        if (nul != read.end() || read.size() < chunk) break;
    }
    return Utf8Of(units);
}

std::int32_t TAlienApplication::ConvertColor(std::int32_t color) const {
    const auto value = static_cast<std::uint32_t>(color);
    if (version_ < 7 && (value & 0x80000000u))
        return static_cast<std::int32_t>((value & 0x00FFFFFFu) | 0xFF000000u);
    return color;
}

std::int32_t TAlienApplication::RecogniseVersion() {
    const std::uint32_t object = ObjectAddressOf(window_);
    if (object == 0) return 0;
    const std::uint32_t class_record = ReadPointer(object);
    if (class_record == 0) return 0;
    if (ReadPointer(Slot(class_record, ClassLayoutA.SelfPointer)) == class_record) return 3;
    if (ReadPointer(Slot(class_record, ClassLayoutB.SelfPointer)) == class_record)
        return LayoutBVersion(class_record);
    if (modern_classes_->HasSelfPointer(class_record)) {
        generation_ = modern_layouts_->Generation(class_record);
        if (!generation_.empty()) return ModernVersion;
    }
    return 0;
}

std::int32_t TAlienApplication::LayoutBVersion(std::uint32_t class_record) const {
    const TClassRecordLayout& slots = ClassLayoutB;
    std::uint32_t c = class_record;
    for (int depth = 0;; ++depth) {
        if (depth == MaxClassDepth) return 0;
        if (SameTextAscii(ReadShortString(ReadPointer(Slot(c, slots.ClassName))), "TWinControl")) break;
        const std::uint32_t parent_cell = ReadPointer(Slot(c, slots.Parent));
        if (parent_cell == 0) return 0;
        c = ReadPointer(parent_cell);
        if (c == 0) return 0;
    }
    switch (ReadPointer(Slot(c, slots.InstanceSize))) {
        case 492:
            return 5;
        case 516: {
            const std::uint32_t table = ReadPointer(Slot(c, slots.DynamicTable));
            std::uint16_t entries = 0;
            if (table == 0 || !read_le(*process_, table, entries)) return 0;
            switch (entries) {
                case 104:
                    return 6;
                case 105:
                    return 7;
                default:
                    return 0;
            }
        }
        default:
            return 0;
    }
}

void TAlienApplication::RequireVersion() const {
    if (version_ == 0) throw ui::EAbort();
}

const TObjectLayout* TAlienApplication::LayoutOfObject(std::uint32_t address) {
    if (!IsModern()) return LayoutOfVersion(version_);
    const TModernLayout* layout = ModernLayoutOf(address);
    return layout ? &layout->Layout : nullptr;
}

std::uint32_t TAlienApplication::ClassOfObject(std::uint32_t address) {
    if (address == 0) return 0;
    auto [known, made] = object_classes_.try_emplace(address, 0);
    if (made) known->second = ReadPointer(address);
    return known->second;
}

const TModernClass* TAlienApplication::ModernClassAt(std::uint32_t class_address) {
    return IsModern() ? modern_classes_->Class(class_address) : nullptr;
}

const TModernLayout* TAlienApplication::ModernLayoutOf(std::uint32_t object) {
    return IsModern() && object != 0 ? modern_layouts_->LayoutOf(object, ClassOfObject(object)) : nullptr;
}

bool TAlienApplication::IsObjectOfKind(std::uint32_t object, unsigned kinds) {
    const TModernLayout* layout = ModernLayoutOf(object);
    return layout && (layout->Kinds & kinds) == kinds;
}

template <class Proxy>
Proxy* TAlienApplication::Lookup(Cache<Proxy>& cache, std::uint32_t address, unsigned modern_kinds) {
    if (auto found = cache.find(address); found != cache.end()) return found->second.get();
    if (modern_kinds != 0 && IsModern() && !IsObjectOfKind(address, modern_kinds)) throw ui::EAbort();
    auto proxy = std::make_unique<Proxy>(*this, address);
    Proxy* made = proxy.get();
    cache.emplace(address, std::move(proxy));
    return made;
}

TAlienClass* TAlienApplication::ClassProxy(std::uint32_t address) { return Lookup(class_cache_, address); }

TAlienList* TAlienApplication::ListProxy(std::uint32_t address) { return Lookup(list_cache_, address); }

TAlienFont* TAlienApplication::FontProxy(std::uint32_t address) {
    return address ? Lookup(font_cache_, address, lkFont) : nullptr;
}

TAlienComponent* TAlienApplication::ComponentProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(component_cache_, address, lkComponent) : nullptr;
}

TAlienControl* TAlienApplication::ControlProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(control_cache_, address, lkComponent | lkControl) : nullptr;
}

TAlienWinControl* TAlienApplication::WinControlProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(win_control_cache_, address, lkComponent | lkControl | lkWinControl) : nullptr;
}

TAlienControl* FindComponent(TAlienApplication& application, std::uint32_t window,
                             const std::optional<TAlienPoint>& point) {
    TAlienWinControl* own = application.WinControlOf(window);
    TAlienControl* found = own;
    if (point && own) {
        if (TAlienControl* child = own->ControlAtPos(*point, true)) found = child;
    }
    if (found) {
        found->Parent();
        found->Owner();
        found->Font();
        ClassHierarchy(found->ClassType());
    }
    return found;
}
