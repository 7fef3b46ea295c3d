#pragma once
// Where the VCL of each recognised version keeps what Scrutel reads. Object offsets count from the
// start of the alien object (its class pointer); class-record slots lie below the class record's
// address, which points at its table of virtual methods.
#include <cstdint>

struct TClassRecordLayout {
    std::int32_t SelfPointer;
    std::int32_t ClassName;  // pointer to a length byte and that many characters
    std::int32_t Parent;     // pointer to a cell holding the parent's class-record address
    std::int32_t InstanceSize;
    std::int32_t DynamicTable;  // pointer to a table whose first 16-bit word counts its entries
};

inline constexpr TClassRecordLayout ClassLayoutA{-64, -32, -24, 0, 0};  // version 3: no size or table read
inline constexpr TClassRecordLayout ClassLayoutB{-76, -44, -36, -40, -48};

// A part of an alien object that a proxy copies in one read.
struct TSliceLayout {
    std::uint32_t Start;
    std::uint32_t Size;
};

struct TObjectLayout {
    const TClassRecordLayout* ClassRecord;

    TSliceLayout Component;
    std::uint32_t Owner, Name, ComponentState;

    TSliceLayout Control;
    std::uint32_t Parent, Left, Top, Width, Height, ControlStyle;
    bool ControlStyleIs16Bit;
    std::uint32_t Visible, Enabled, Text, Font;

    TSliceLayout WinControl;
    std::uint32_t Controls, Handle;

    TSliceLayout GraphicsHeader;
    std::uint32_t Resource;  // inside the header
    TSliceLayout FontFields;
    std::uint32_t Color, PixelsPerInch;
};

// The font's resource record: copied as 60 bytes, of which three fields are used.
inline constexpr std::uint32_t ResourceRecordSize = 60;
inline constexpr std::uint32_t ResourceHeight = 20, ResourceStyle = 25, ResourceFaceName = 27;
inline constexpr std::uint32_t FaceNameMaxLength = 32;

// A list's header: the address of its item array (32-bit items) and their count, the same in every
// version.
inline constexpr std::uint32_t ListHeaderSize = 16;
inline constexpr std::uint32_t ListItems = 4, ListCount = 8;

// The layout of a recognised version (3, 5, 6, 7); null for any other.
const TObjectLayout* LayoutOfVersion(std::int32_t version);
