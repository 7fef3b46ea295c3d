#include "alien/ModernClasses.h"

#include <unordered_set>

namespace {

// Sequential reads of packed records; after the first read that fails every later one fails too and
// answers 0 or an empty text.
class Cursor {
public:
    Cursor(ByteSource& source, std::uint64_t at) : source_(source), at_(at) {}
    bool ok() const { return ok_; }
    std::uint64_t at() const { return at_; }

    template <class T>
    T Int() {
        T value = 0;
        if (ok_ && read_le(source_, at_, value))
            at_ += sizeof(T);
        else
            ok_ = false;
        return value;
    }
    // A length byte and that many bytes; a text that cannot be read whole fails.
    std::string Short() {
        const auto length = Int<std::uint8_t>();
        std::string text(length, '\0');
        if (ok_ && source_.read(at_, text.data(), text.size()) != text.size()) ok_ = false;
        at_ += length;
        return ok_ ? text : std::string();
    }
    void Skip(std::uint64_t bytes) { at_ += bytes; }
    void Fail() { ok_ = false; }

private:
    ByteSource& source_;
    std::uint64_t at_;
    bool ok_ = true;
};

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The length of the well-formed UTF-8 sequence of a character above U+007F at text[i], else 0:
// identifiers of the type information are UTF-8, and names may hold letters of any script.
std::size_t WideLetterLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    return length;
}

// Whether text consists of identifier characters and the punctuation given, starting with a letter.
bool IsNameText(std::string_view text, std::string_view punctuation) {
    if (text.empty()) return false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = WideLetterLength(text, i);
            if (length == 0) return false;
            i += length;
            continue;
        }
        const bool fits =
            IsAsciiLetter(c) ||
            (i > 0 && (IsAsciiDigit(c) || punctuation.find(static_cast<char>(c)) != std::string_view::npos));
        if (!fits) return false;
        ++i;
    }
    return true;
}

}  // namespace

bool IsIdentifierText(std::string_view text) { return IsNameText(text, ""); }
bool IsUnitNameText(std::string_view text) { return IsNameText(text, "."); }
bool IsClassNameText(std::string_view text) { return IsNameText(text, ".<>,"); }

const TModernClass* TModernClass::Ancestor(std::string_view name) const {
    for (const TModernClass* cls = this; cls; cls = cls->Parent)
        if (cls->Name == name) return cls;
    return nullptr;
}

// The slots of one class record that the reader uses, read in one piece.
struct TModernClasses::Slots {
    std::uint32_t address = 0, type_info = 0, field_table = 0, name = 0, size = 0, parent_cell = 0;
    std::uint32_t parent = 0;  // the parent's class record, read from the cell
};

bool TModernClasses::HasSelfPointer(std::uint32_t address) {
    std::uint32_t self = 0;
    return address >= 88 && read_le(memory_, address - 88, self) && self == address;
}

const TModernClass* TModernClasses::Class(std::uint32_t address) {
    if (auto found = classes_.find(address); found != classes_.end()) return found->second.get();
    // Up the chain to the first class already known or to the root, then validated from the top down,
    // each class against its parent.
    std::vector<Slots> pending;
    std::unordered_set<std::uint32_t> seen;
    const TModernClass* parent = nullptr;
    bool failed = false;
    for (std::uint32_t at = address;;) {
        if (auto known = classes_.find(at); known != classes_.end()) {
            parent = known->second.get();
            failed = parent == nullptr;
            break;
        }
        if (pending.size() == MaxDepth || !seen.insert(at).second || !HasSelfPointer(at)) {
            failed = true;
            break;
        }
        Cursor slots(memory_, at + static_cast<std::uint32_t>(modern_slot::TypeInfo));
        Slots s;
        s.address = at;
        s.type_info = slots.Int<std::uint32_t>();
        s.field_table = slots.Int<std::uint32_t>();
        slots.Skip(8);  // method and dynamic-method tables
        s.name = slots.Int<std::uint32_t>();
        s.size = slots.Int<std::uint32_t>();
        s.parent_cell = slots.Int<std::uint32_t>();
        if (s.parent_cell != 0) s.parent = Cursor(memory_, s.parent_cell).Int<std::uint32_t>();
        if (!slots.ok() || (s.parent_cell != 0 && s.parent == 0)) {
            failed = true;
            break;
        }
        pending.push_back(s);
        if (s.parent_cell == 0) break;
        at = s.parent;
    }
    for (auto slots = pending.rbegin(); slots != pending.rend(); ++slots) {
        std::unique_ptr<TModernClass> cls = failed ? nullptr : Parse(*slots, parent);
        failed = cls == nullptr;
        parent = cls.get();
        classes_[slots->address] = std::move(cls);
    }
    if (auto found = classes_.find(address); found != classes_.end()) return found->second.get();
    classes_[address] = nullptr;
    return nullptr;
}

std::unique_ptr<TModernClass> TModernClasses::Parse(const Slots& slots, const TModernClass* parent) {
    auto cls = std::make_unique<TModernClass>();
    cls->Address = slots.address;
    cls->InstanceSize = slots.size;
    cls->Parent = parent;
    cls->TypeInfo = slots.type_info;
    cls->FieldTable = slots.field_table;
    Cursor name(memory_, slots.name);
    cls->Name = name.Short();
    if (!name.ok() || !IsClassNameText(cls->Name)) return nullptr;
    if (cls->InstanceSize < 8 || cls->InstanceSize > MaxInstanceSize || cls->InstanceSize % 4 != 0)
        return nullptr;
    // The root is TObject with the class pointer and the monitor field; sizes never shrink downward.
    if (!parent && (cls->Name != "TObject" || cls->InstanceSize != 8)) return nullptr;
    if (parent && cls->InstanceSize < parent->InstanceSize) return nullptr;
    if (!ParseTypeInfo(*cls)) return nullptr;
    return cls;
}

bool TModernClasses::ParseTypeInfo(TModernClass& cls) {
    if (cls.TypeInfo == 0) return true;
    Cursor info(memory_, cls.TypeInfo);
    const auto kind = info.Int<std::uint8_t>();
    const std::string name = info.Short();
    const auto class_type = info.Int<std::uint32_t>();
    const auto parent_cell = info.Int<std::uint32_t>();
    const auto total = info.Int<std::int16_t>();
    cls.UnitName = info.Short();
    const auto own = info.Int<std::uint16_t>();
    if (!info.ok() || kind != tkClass || name != cls.Name || class_type != cls.Address ||
        !IsUnitNameText(cls.UnitName) || total < 0 || own > total || own > MaxProperties)
        return false;
    // The type information names the parent's, when the parent has any.
    if (const TModernClass* parent = cls.Parent; parent && parent->TypeInfo != 0) {
        if (parent_cell == 0 || Cursor(memory_, parent_cell).Int<std::uint32_t>() != parent->TypeInfo)
            return false;
    }
    for (std::uint16_t i = 0; i < own; ++i) {
        const auto type_cell = info.Int<std::uint32_t>();
        const auto getter = info.Int<std::uint32_t>();
        info.Skip(4 + 4 + 4 + 4 + 2);  // setter, stored, index, default, name index
        const std::string property = info.Short();
        if (!info.ok() || !IsIdentifierText(property)) return false;
        // A getter whose top byte is 0xFF reads a field at the offset in its low 24 bits.
        if ((getter >> 24) == 0xFF)
            cls.FieldProperties.push_back({property, getter & 0x00FFFFFFu, type_cell});
    }
    return true;
}

const std::optional<std::vector<TNamedOffset>>& TModernClasses::ExtendedFields(const TModernClass& cls) {
    if (auto found = fields_.find(cls.Address); found != fields_.end()) return found->second;
    std::optional<std::vector<TNamedOffset>>& result = fields_[cls.Address];
    std::vector<TNamedOffset> fields;
    if (cls.FieldTable != 0) {
        Cursor table(memory_, cls.FieldTable);
        const auto published = table.Int<std::uint16_t>();
        table.Skip(4);  // the table of the published fields' classes
        if (published > MaxFields) table.Fail();
        for (std::uint16_t i = 0; i < published && table.ok(); ++i) {
            table.Skip(4 + 2);  // offset, class index
            if (!IsIdentifierText(table.Short())) table.Fail();
        }
        const auto extended = table.Int<std::uint16_t>();
        if (extended > MaxFields) table.Fail();
        for (std::uint16_t i = 0; i < extended && table.ok(); ++i) {
            table.Skip(1);  // flags
            TNamedOffset field;
            field.TypeCell = table.Int<std::uint32_t>();
            field.Offset = table.Int<std::uint32_t>();
            field.Name = table.Short();
            // Attribute data: a length that counts its own two bytes.
            const auto attributes = table.Int<std::uint16_t>();
            if (!IsIdentifierText(field.Name) || attributes < 2) table.Fail();
            table.Skip(attributes - 2u);
            fields.push_back(std::move(field));
        }
        if (!table.ok()) return result;
    }
    result = std::move(fields);
    return result;
}

TTypeRef TModernClasses::Type(std::uint32_t type_cell) {
    TTypeRef type;
    if (type_cell == 0) return type;
    const auto info = Cursor(memory_, type_cell).Int<std::uint32_t>();
    Cursor header(memory_, info);
    const auto kind = header.Int<std::uint8_t>();
    std::string name = header.Short();
    if (info == 0 || !header.ok() || !IsClassNameText(name)) return type;
    type.Info = info;
    type.Kind = static_cast<TTypeKind>(kind);
    type.Name = std::move(name);
    return type;
}

std::optional<TRecordType> TModernClasses::Record(const TTypeRef& type) {
    if (type.Info == 0 || type.Kind != tkRecord) return std::nullopt;
    Cursor record(memory_, type.Info + 2 + type.Name.size());
    TRecordType result;
    result.Size = record.Int<std::uint32_t>();
    const auto managed = record.Int<std::uint32_t>();
    if (managed > MaxFields) return std::nullopt;
    record.Skip(8ull * managed);  // type cell and offset of each managed field
    const auto operators = record.Int<std::uint8_t>();
    record.Skip(4ull * operators);
    const auto named = record.Int<std::uint32_t>();
    if (named > MaxFields) return std::nullopt;
    for (std::uint32_t i = 0; i < named && record.ok(); ++i) {
        TNamedOffset field;
        field.TypeCell = record.Int<std::uint32_t>();
        field.Offset = record.Int<std::uint32_t>();
        record.Skip(1);  // flags
        field.Name = record.Short();
        const auto attributes = record.Int<std::uint16_t>();
        if (!IsIdentifierText(field.Name) || attributes < 2) record.Fail();
        record.Skip(attributes - 2u);
        result.Fields.push_back(std::move(field));
    }
    if (!record.ok() || result.Size > MaxInstanceSize) return std::nullopt;
    return result;
}

TTypeRef TModernClasses::PointedType(const TTypeRef& type) {
    if (type.Info == 0 || type.Kind != tkPointer) return {};
    return Type(Cursor(memory_, type.Info + 2 + type.Name.size()).Int<std::uint32_t>());
}

std::optional<std::uint8_t> TModernClasses::MaxLength(const TTypeRef& type) {
    if (type.Info == 0 || type.Kind != tkShortString) return std::nullopt;
    Cursor data(memory_, type.Info + 2 + type.Name.size());
    const auto length = data.Int<std::uint8_t>();
    if (!data.ok()) return std::nullopt;
    return length;
}
