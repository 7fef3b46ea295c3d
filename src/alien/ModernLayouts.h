#pragma once
// Where the objects of a program built with the component library of 2009 or later keep the fields that
// Scrutel reads, learnt from the program itself rather than from a table per version:
//   - published properties that read a field give its offset (Name, Left, Top, Width, Height, Visible,
//     Font, and the font's Color);
//   - the extended field tables that programs carry from 2010 on name the private fields (FParent,
//     FText, FOwner, FComponents, FControls, FHandle, ...);
//   - where neither tells, structural rules measured on real programs place a field next to a
//     published one (FParent 16 bytes before Left), and the window handle is found by content.
// Every offset is checked before use: it lies among the fields that its declaring class adds, is
// aligned, and its type is what the field needs. Offsets of TControl hold in every descendant, so
// what one class publishes serves the whole program; layouts are made once per class.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "alien/AlienLayouts.h"
#include "alien/ModernClasses.h"
#include "base/ByteSource.h"

// What an object of a class is, as far as Scrutel reads it.
enum TLayoutKind : unsigned {
    lkComponent = 1,
    lkControl = 2,
    lkWinControl = 4,
    lkFont = 8,
};

enum class TOffsetSource {
    PublishedProperty,
    ExtendedField,
    StructuralRule,
    WindowHandle,  // the one cell of TWinControl's fields that holds the window's handle
    RecordType,    // the font resource's record type information
    RecordShape,   // the font resource's shape without type information
};

struct TOffsetOrigin {
    std::string Field;  // "Parent", "Resource.FaceName", ...
    std::uint32_t Offset = 0;
    TOffsetSource Source{};
    std::string Evidence;        // "Left", "FParent", "Left - 16", ...
    std::uint32_t TypeCell = 0;  // of an extended field: its type
};

struct TModernLayout {
    unsigned Kinds = 0;  // TLayoutKind bits
    TObjectLayout Layout{};
    std::vector<TOffsetOrigin> Origins;
};

class TModernLayouts {
public:
    // Lists scanned for classes that publish what a layout misses are read up to this many items.
    static constexpr std::int32_t MaxScannedItems = 512;

    // classes reads the constant type information, objects the live objects; both must outlive this.
    TModernLayouts(TModernClasses& classes, ByteSource& objects) : classes_(classes), objects_(objects) {}

    // For the class of a window's object: "2009 or later" or "XE2 or later" when the class is a
    // window control of the component library whose class records validate; empty otherwise. The
    // generation follows the controls unit's name, as producer detection does on the file.
    std::string Generation(std::uint32_t class_address);
    // The layout of object's class, for every kind that class is; null when the class fails
    // validation or an offset it needs cannot be found or fails its checks.
    const TModernLayout* LayoutOf(std::uint32_t object, std::uint32_t class_address);
    // Where TWinControl keeps the window handle, for programs without extended field tables: the one
    // cell of TWinControl's own fields in object, the window's object, that holds window. Learnt from
    // the first window only; when no single cell holds it, no window control's layout is made.
    void LearnHandle(std::uint32_t object, std::uint32_t class_address, std::uint32_t window);

    // Made in the source file.
    struct TBases;
    struct TFieldSpec;

private:
    enum class TFound { Yes, Missing, Invalid };
    std::unique_ptr<TModernLayout> Resolve(const TBases& bases, bool& missing);
    TFound Find(const TFieldSpec& spec, const TBases& bases, TOffsetOrigin& origin);
    TFound Anchor(const TModernClass& base, const char* property, std::uint32_t& offset);
    TFound ResolveResource(const TOffsetOrigin& resource, TModernLayout& layout);
    void Learn(const TModernClass& cls);
    // Learns from the classes of the components of object and of its owner, until done() holds.
    template <class Done>
    void Scan(std::uint32_t object, const TBases& bases, Done&& done);
    template <class Done>
    void ScanList(std::uint32_t list, Done&& done);

    TModernClasses& classes_;
    ByteSource& objects_;
    std::unordered_map<std::uint32_t, std::unique_ptr<TModernLayout>> layouts_;  // null: failed for good
    std::unordered_set<std::uint32_t> learnt_, scanned_;
    // Per declaring class: the published properties of any class that read one of its fields, with the
    // field's offset and the property's type cell.
    std::unordered_map<std::uint32_t, std::map<std::string, std::pair<std::uint32_t, std::uint32_t>>>
        anchors_;
    std::unordered_set<std::string> conflicts_;  // declaring class and property published at two offsets
    std::unordered_map<std::uint32_t, std::uint32_t> handle_offsets_;  // per TWinControl; 0: not unique
};
