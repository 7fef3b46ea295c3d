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
// From 2009 on: three more virtual methods in front of the old ones moved every slot by 12 bytes.
inline constexpr TClassRecordLayout ClassLayoutModern{-88, -56, -48, -52, -60};

// A part of an alien object that a proxy copies in one read.
struct TSliceLayout {
    std::uint32_t Start;
    std::uint32_t Size;
};

// The font's resource record, of which three fields are used: how many bytes of it are copied, where
// its height, style byte and face name (a short text) stand, and how many characters of the name the
// copy holds at most.
struct TResourceRecordLayout {
    std::uint32_t Size, Height, Style, FaceName, FaceNameMaxLength;
};
inline constexpr TResourceRecordLayout ResourceRecordUpTo7{60, 20, 25, 27, 32};

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

    TResourceRecordLayout FontResource = ResourceRecordUpTo7;
    // From 2009 on: names are UnicodeStrings and texts UTF-16, and a control with a window of its own
    // keeps its text in the window. WindowedControl says that the control part holds Handle too.
    bool UnicodeTexts = false;
    bool WindowedControl = false;
};

// A list's header: the address of its item array (32-bit items) and their count, the same in every
// version.
inline constexpr std::uint32_t ListHeaderSize = 16;
inline constexpr std::uint32_t ListItems = 4, ListCount = 8;

// The layout of a recognised version (3, 5, 6, 7); null for any other. Layouts of the versions from 2009
// on are made per class from the program's own type information (ModernLayouts.h).
const TObjectLayout* LayoutOfVersion(std::int32_t version);
