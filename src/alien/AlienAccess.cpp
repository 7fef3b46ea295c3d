#include "alien/AlienAccess.h"

#include <algorithm>

#include "alien/AlienLayouts.h"
#include "base/AsciiText.h"
#include "base/ValueText.h"

namespace {

// Slot addresses below a class record wrap like the 32-bit arithmetic of the other process does.
std::uint32_t Slot(std::uint32_t class_record, std::int32_t offset) {
    return class_record + static_cast<std::uint32_t>(offset);
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
    version_ = RecogniseVersion();
}

TAlienApplication::~TAlienApplication() {
    class_cache_.clear();
    win_control_cache_.clear();
    control_cache_.clear();
    component_cache_.clear();
    font_cache_.clear();
    list_cache_.clear();
    process_.reset();
}

bool TAlienApplication::IsVclWindow(std::uint32_t window) const {
    return platform_.PropertyByAtomName(window, window_atom_name_) != 0;
}

std::uint32_t TAlienApplication::ObjectAddressOf(std::uint32_t window) const {
    if (std::uint32_t answer = platform_.QueryObject(window, object_message_)) return answer;
    return platform_.PropertyByAtomName(window, control_atom_name_);
}

TAlienWinControl* TAlienApplication::WinControlOf(std::uint32_t window) {
    if (!IsVclWindow(window)) throw ui::EAbort();
    return WinControlProxy(ObjectAddressOf(window));
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

std::int32_t TAlienApplication::ConvertColor(std::int32_t color) const {
    const auto value = static_cast<std::uint32_t>(color);
    if (version_ < 7 && (value & 0x80000000u))
        return static_cast<std::int32_t>((value & 0x00FFFFFFu) | 0xFF000000u);
    return color;
}

std::int32_t TAlienApplication::RecogniseVersion() const {
    const std::uint32_t object = ObjectAddressOf(window_);
    if (object == 0) return 0;
    const std::uint32_t class_record = ReadPointer(object);
    if (class_record == 0) return 0;
    if (ReadPointer(Slot(class_record, ClassLayoutA.SelfPointer)) == class_record) return 3;
    if (ReadPointer(Slot(class_record, ClassLayoutB.SelfPointer)) == class_record)
        return LayoutBVersion(class_record);
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

template <class Proxy>
Proxy* TAlienApplication::Lookup(Cache<Proxy>& cache, std::uint32_t address) {
    if (auto found = cache.find(address); found != cache.end()) return found->second.get();
    auto proxy = std::make_unique<Proxy>(*this, address);
    Proxy* made = proxy.get();
    cache.emplace(address, std::move(proxy));
    return made;
}

TAlienClass* TAlienApplication::ClassProxy(std::uint32_t address) { return Lookup(class_cache_, address); }

TAlienList* TAlienApplication::ListProxy(std::uint32_t address) { return Lookup(list_cache_, address); }

TAlienFont* TAlienApplication::FontProxy(std::uint32_t address) {
    return address ? Lookup(font_cache_, address) : nullptr;
}

TAlienComponent* TAlienApplication::ComponentProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(component_cache_, address) : nullptr;
}

TAlienControl* TAlienApplication::ControlProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(control_cache_, address) : nullptr;
}

TAlienWinControl* TAlienApplication::WinControlProxy(std::uint32_t address) {
    RequireVersion();
    return address ? Lookup(win_control_cache_, address) : nullptr;
}
