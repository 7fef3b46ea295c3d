#pragma once
// Stand-ins for the objects of an alien VCL program, one running in another process. Each proxy copies
// the slices of its object that it needs, one read per slice when it is made, and answers from those
// copies. Proxies are made and owned by the caches of their TAlienApplication; a pointer to one stays
// valid while the application lives.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alien/AlienPlatform.h"
#include "base/ByteSource.h"

class TAlienApplication;
class TAlienWinControl;
struct TObjectLayout;
struct TSliceLayout;

// Bytes of one slice of an alien object; fields outside what was copied read as 0.
class TAlienSlice {
public:
    TAlienSlice() = default;
    // Reads size bytes from address + start into a cleared copy; fewer bytes read leave zeros.
    TAlienSlice(TAlienApplication& application, std::uint32_t address, std::uint32_t start,
                std::uint32_t size);
    // Little-endian fields at an offset from the start of the object (not of the slice).
    std::uint32_t U32(std::uint32_t offset) const { return Field<std::uint32_t>(offset); }
    std::uint16_t U16(std::uint32_t offset) const { return Field<std::uint16_t>(offset); }
    std::uint8_t U8(std::uint32_t offset) const { return Field<std::uint8_t>(offset); }
    std::int32_t I32(std::uint32_t offset) const { return Field<std::int32_t>(offset); }
    // A length-prefixed text at an offset from the start of the object, cut to what the copy holds.
    std::string ShortString(std::uint32_t offset, std::size_t max_length) const;

private:
    template <class T>
    T Field(std::uint32_t offset) const {
        T value = 0;
        if (offset < start_) return value;
        MemoryByteSource bytes(bytes_.data(), bytes_.size());
        read_le(bytes, offset - start_, value);
        return value;
    }

    std::uint32_t start_ = 0;
    std::vector<unsigned char> bytes_;
};

// What every proxy holds: the access object that made it and the address in the other process that it
// stands for.
class TAlienProxy {
public:
    virtual ~TAlienProxy() = default;
    TAlienProxy(const TAlienProxy&) = delete;
    TAlienProxy& operator=(const TAlienProxy&) = delete;

    TAlienApplication& Application() const { return application_; }
    std::uint32_t Address() const { return address_; }

protected:
    // Refuses address 0 with std::invalid_argument.
    TAlienProxy(TAlienApplication& application, std::uint32_t address);
    // For the list proxy of address 0, which the lookups make and cache.
    struct NullAllowed {};
    TAlienProxy(TAlienApplication& application, std::uint32_t address, NullAllowed);

private:
    TAlienApplication& application_;
    std::uint32_t address_;
};

class TAlienClass : public TAlienProxy {
public:
    // Refuses address 0 with std::invalid_argument.
    TAlienClass(TAlienApplication& application, std::uint32_t address);
    // Class records are constant while a program runs, so both are read once, on first use.
    const std::string& ClassName();
    TAlienClass* ClassParent();  // null for the root class

private:
    std::optional<std::string> name_;
    std::optional<TAlienClass*> parent_;
};

// The class names from cls up to its root, the first line cls's own; a chain that repeats itself or is
// deeper than any real one is cut.
std::vector<std::string> ClassHierarchy(TAlienClass* cls);

class TAlienObject : public TAlienProxy {
public:
    // Refuses address 0 with std::invalid_argument.
    TAlienObject(TAlienApplication& application, std::uint32_t address);
    // The class pointer at offset 0, read once (an object keeps its class); null for pointer 0.
    TAlienClass* ClassType();
    std::string ClassName();

protected:
    TAlienObject(TAlienApplication& application, std::uint32_t address, NullAllowed);
    // The layout of the object: of the recognised version, or from 2009 on of its class. Raises
    // EUndefinedProperty when there is none.
    const TObjectLayout& Layout() const;
    const TObjectLayout* LayoutIfAny() const { return layout_; }
    // The part of the object that the layout names; every field reads 0 without a layout.
    TAlienSlice CopyPart(TSliceLayout TObjectLayout::*part) const;

private:
    const TObjectLayout* layout_ = nullptr;
    std::optional<TAlienClass*> class_;
};

class TAlienList : public TAlienObject {
public:
    // Alien lists are capped at this many items: more than any real parent holds.
    static constexpr std::int32_t MaxItems = 16384;

    // Copies the header and, in one read, the item array. Address 0 gives a list without items.
    TAlienList(TAlienApplication& application, std::uint32_t address);
    // The items that could be copied: the header's count when the array is intact, never below 0 or
    // above MaxItems.
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Raises EListError for an index outside 0 .. Count - 1.
    std::uint32_t Items(std::int32_t index) const;

private:
    TAlienSlice header_;
    std::vector<std::uint32_t> items_;
};

class TAlienGraphicsObject : public TAlienObject {
public:
    TAlienGraphicsObject(TAlienApplication& application, std::uint32_t address);

protected:
    TAlienSlice header_;
    TAlienSlice resource_;  // offsets are from the resource record's start
};

class TAlienFont : public TAlienGraphicsObject {
public:
    TAlienFont(TAlienApplication& application, std::uint32_t address);
    std::int32_t Color() const;  // through ConvertColor
    std::int32_t PixelsPerInch() const;
    std::int32_t Height() const;
    std::int32_t Size() const;   // points, rounded; pixels per inch of 0 gives 1
    std::uint8_t Style() const;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    std::string Name() const;

private:
    TAlienSlice fields_;
};

class TAlienComponent : public TAlienObject {
public:
    TAlienComponent(TAlienApplication& application, std::uint32_t address);
    std::string Name() const;  // reads
    TAlienComponent* Owner() const;
    std::uint16_t ComponentState() const;

protected:
    TAlienSlice component_;
};

class TAlienControl : public TAlienComponent {
public:
    TAlienControl(TAlienApplication& application, std::uint32_t address);
    TAlienWinControl* Parent() const;
    std::uint32_t ParentAddress() const;  // the parent field as it stands
    std::int32_t Left() const;
    std::int32_t Top() const;
    std::int32_t Width() const;
    std::int32_t Height() const;
    std::uint32_t ControlStyle() const;
    bool Visible() const;
    bool Enabled() const;
    // Reads, at most 4096 characters. From 2009 on a control with a window of its own keeps its text in
    // the window, so that is where it is read.
    std::string Text() const;
    TAlienFont* Font() const;
    // In the parent's client coordinates.
    virtual TAlienRect BoundsRect() const;
    virtual TAlienRect ClientRect() const;

protected:
    TAlienSlice control_;
};

class TAlienWinControl : public TAlienControl {
public:
    TAlienWinControl(TAlienApplication& application, std::uint32_t address);
    TAlienList* Controls() const;
    std::uint32_t Handle() const;
    // The live client rectangle of Handle.
    TAlienRect ClientRect() const override;
    // The last child in the list under point (client coordinates of this control) that is shown, or
    // would be shown at design time; disabled children count only with allow_disabled. Null when none.
    // From 2009 on, only items that are controls and name this control as their parent count.
    TAlienControl* ControlAtPos(TAlienPoint point, bool allow_disabled) const;

private:
    TAlienSlice win_control_;
};
