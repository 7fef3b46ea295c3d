#pragma once
// The class records of programs built with the component library of 2009 and later, whose self pointer
// stands 88 bytes below the class record's address, and the type information they lead to: published
// properties, extended field tables, and the types of fields. A class is taken only when its record
// and those of all its ancestors up to TObject validate; what fails is remembered as failed.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/ByteSource.h"

// Slots of the modern class record, below the class record's address (that of its virtual methods).
namespace modern_slot {
inline constexpr std::int32_t SelfPointer = -88, TypeInfo = -72, FieldTable = -68, DynamicTable = -60,
                              ClassName = -56, InstanceSize = -52, Parent = -48;
}

// The kinds of type information that the reader looks at.
enum TTypeKind : std::uint8_t {
    tkInteger = 1,
    tkEnumeration = 3,
    tkShortString = 5,
    tkSet = 6,
    tkClass = 7,
    tkRecord = 14,
    tkUString = 18,
    tkPointer = 20,
};

// A named field, with the cell that holds the address of its type's information.
struct TNamedOffset {
    std::string Name;
    std::uint32_t Offset = 0;
    std::uint32_t TypeCell = 0;
};

struct TModernClass {
    std::uint32_t Address = 0;
    std::string Name;
    std::uint32_t InstanceSize = 0;
    const TModernClass* Parent = nullptr;  // null for TObject
    std::uint32_t TypeInfo = 0;            // 0 for a class without type information
    std::uint32_t FieldTable = 0;
    std::string UnitName;  // from the type information
    // This class's own published properties whose getter reads a field, with that field's offset.
    std::vector<TNamedOffset> FieldProperties;

    // The class itself or its nearest ancestor named so; null when there is none.
    const TModernClass* Ancestor(std::string_view name) const;
    // Where the fields that this class declares lie: from its parent's end to its own, both without
    // the hidden monitor field that fills the last four bytes of every instance.
    std::uint32_t OwnFieldsStart() const { return Parent ? Parent->InstanceSize - 4 : 4; }
    std::uint32_t OwnFieldsEnd() const { return InstanceSize - 4; }
};

// What a type-information cell leads to.
struct TTypeRef {
    std::uint32_t Info = 0;  // 0 when the cell is 0 or unreadable
    TTypeKind Kind{};
    std::string Name;
};

struct TRecordType {
    std::uint32_t Size = 0;
    std::vector<TNamedOffset> Fields;
};

class TModernClasses {
public:
    // Limits against corrupt type information: more than any real program has.
    static constexpr int MaxDepth = 64;
    static constexpr std::uint32_t MaxInstanceSize = 1u << 20;
    static constexpr std::size_t MaxProperties = 1024, MaxFields = 4096;

    // memory holds the class records and type information; it must outlive the object.
    explicit TModernClasses(ByteSource& memory) : memory_(memory) {}

    // Whether address holds a class record of the modern layout: its self pointer matches.
    bool HasSelfPointer(std::uint32_t address);
    // The validated class at address, with its chain up to TObject; null when any of it fails.
    const TModernClass* Class(std::uint32_t address);
    // The fields of cls's extended field table: none without a table, nothing when it does not parse.
    const std::optional<std::vector<TNamedOffset>>& ExtendedFields(const TModernClass& cls);

    TTypeRef Type(std::uint32_t type_cell);
    // For a record type: its size and named fields; nothing for another kind or a broken record.
    std::optional<TRecordType> Record(const TTypeRef& type);
    // For a pointer type: the type it points to.
    TTypeRef PointedType(const TTypeRef& type);
    // For a short-string type: its maximum length.
    std::optional<std::uint8_t> MaxLength(const TTypeRef& type);

private:
    struct Slots;
    std::unique_ptr<TModernClass> Parse(const Slots& slots, const TModernClass* parent);
    bool ParseTypeInfo(TModernClass& cls);

    ByteSource& memory_;
    std::unordered_map<std::uint32_t, std::unique_ptr<TModernClass>> classes_;  // null: failed
    std::unordered_map<std::uint32_t, std::optional<std::vector<TNamedOffset>>> fields_;
};

// Names as the type information holds them: identifiers; unit names with dots between identifiers;
// class names that may also be generic instances such as TList<System.Classes.TComponent>.
bool IsIdentifierText(std::string_view text);
bool IsUnitNameText(std::string_view text);
bool IsClassNameText(std::string_view text);
