#pragma once
// An alien VCL program for tests: its memory, laid out per version from the VCL's object tables, and
// its windows with the marks the VCL puts on them, behind the platform interface of the access object.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "alien/AlienPlatform.h"
#include "base/ByteSource.h"
#include "fixtures/ModernVclModel.h"

// Memory mapped from Base up to End(); everything else is unmapped. Reads answer the readable prefix
// and are counted.
class TAlienMemory : public ByteSource, public TModelMemory {
public:
    static constexpr std::uint32_t Base = 0x00410000;

    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;
    std::uint32_t End() const { return Base + static_cast<std::uint32_t>(bytes_.size()); }

    // Zeroed, 16-byte aligned.
    std::uint32_t Allocate(std::size_t size) override;
    // Inside what was allocated only.
    void Write(std::uint32_t at, const void* bytes, std::size_t size) override;
    void PutBytes(std::uint32_t at, const std::string& bytes) { Write(at, bytes.data(), bytes.size()); }

    std::uint32_t ShortString(const std::string& text);  // address of the length byte
    std::uint32_t LongString(const std::string& text);   // address of the first character; 0 for ""
    std::uint32_t PChar(const std::string& text);

    std::size_t Reads = 0;

private:
    std::vector<unsigned char> bytes_;
};

// One column of the VCL's object tables: where a field sits in versions 3, 5, and 6/7.
struct TField {
    std::uint32_t V3, V5, V67;
};
// Where field sits in the layout of version (3, 5; 6 and 7 share theirs, and any other takes it).
constexpr std::uint32_t OffsetIn(int version, TField field) {
    return version == 3 ? field.V3 : version == 5 ? field.V5 : field.V67;
}

struct TControlSpec {
    std::uint32_t Class = 0;
    std::string Name;
    std::uint32_t Owner = 0;
    std::uint16_t State = 0;
    std::uint32_t Parent = 0;
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    std::uint32_t Style = 0;
    bool Visible = true, Enabled = true;
    std::string Text;
    std::uint32_t Font = 0;
    // Window controls only.
    std::vector<std::uint32_t> Children;
    std::uint32_t Handle = 0;
};

struct TFontSpec {
    std::string Face = "MS Sans Serif";
    std::int32_t Height = -11;
    std::uint8_t Style = 0;
    std::uint32_t Color = 0x80000008;  // clWindowText as versions below 7 store it
    std::int32_t PixelsPerInch = 96;
};

class TVclImage {
public:
    // version 3 lays out class records in layout A, 5 to 7 in layout B with the TWinControl record that
    // identifies them. Any other value builds layout B records without a known TWinControl.
    explicit TVclImage(int version);

    int Version;
    TAlienMemory Memory;
    std::uint32_t TObject = 0, TComponent = 0, TControl = 0, TWinControl = 0, TForm = 0, TButton = 0,
                  TLabel = 0;

    // A class record; returns its address (that of its table of virtual methods).
    std::uint32_t Class(const std::string& name, std::uint32_t parent, std::uint32_t instance_size = 0,
                        std::uint16_t dynamic_entries = 0);
    std::uint32_t Control(const TControlSpec& shape);     // component and control parts
    std::uint32_t WinControl(const TControlSpec& shape);  // and the window-control part with its list
    std::uint32_t Font(const TFontSpec& shape);
    std::uint32_t List(const std::vector<std::uint32_t>& items);
    // Writes a field of an object at its position for this image's version.
    void Put32(std::uint32_t object, TField field, std::uint32_t value);
    std::uint32_t Offset(TField field) const;
};

struct TAlienWindow {
    std::uint32_t Thread = 0x000004D2;
    std::uint32_t Process = 0x000010F0;
    std::uint32_t Instance = 0x00400000;
    std::uint32_t Object = 0;  // answered to the query message and kept in the object property
    bool Answers = true;       // answers the query message
    std::uint32_t Answer = 0;  // answered instead of Object when not 0
    bool Marked = true;        // carries the VCL's window property
    TAlienRect Client;
    std::string Text;  // UTF-8
};

class TAlienImagePlatform : public TAlienPlatform {
public:
    explicit TAlienImagePlatform(TAlienMemory& memory, std::uint32_t process = 0x000010F0)
        : memory_(memory), process_(process) {}
    std::map<std::uint32_t, TAlienWindow> Windows;
    std::map<std::string, std::uint32_t> Messages;

    std::uint32_t ThreadProcessOf(std::uint32_t window, std::uint32_t& process_id) override;
    std::uint32_t InstanceOf(std::uint32_t window) override;
    std::uint32_t RegisterMessage(const std::string& name) override;
    std::unique_ptr<ByteSource> OpenForReading(std::uint32_t process_id) override;
    std::uint32_t PropertyByAtomName(std::uint32_t window, const std::string& atom_name) override;
    std::uint32_t QueryObject(std::uint32_t window, std::uint32_t message) override;
    TAlienRect ClientRectOf(std::uint32_t window) override;
    std::string WindowText(std::uint32_t window) override;

private:
    TAlienMemory& memory_;
    std::uint32_t process_;
};

// Field positions of the VCL's objects.
namespace vcl {
inline constexpr TField Owner{4, 4, 4}, Name{8, 8, 8}, State{32, 32, 28};
inline constexpr TField Parent{36, 36, 48}, Left{48, 48, 64}, Top{52, 52, 68}, Width{56, 56, 72},
    Height{60, 60, 76}, Style{64, 64, 80}, Visible{68, 71, 87}, Enabled{69, 72, 88}, Text{76, 84, 100},
    FontField{80, 88, 104};
inline constexpr TField Controls{188, 308, 408}, Handle{204, 332, 384};
inline constexpr TField Resource{12, 16, 16}, Color{20, 24, 24}, PixelsPerInch{24, 28, 28};
inline constexpr std::uint32_t ObjectSize = 520;
}  // namespace vcl

// A VCL program of one version showing Form1 with Button1 on it, each in a window of its own.
struct TAlienProgram {
    explicit TAlienProgram(int version);
    static constexpr std::uint32_t FormWindow = 0x00010010, ButtonWindow = 0x00010020;

    TVclImage Image;
    TAlienImagePlatform Platform;
    std::uint32_t ButtonFont = 0, Form = 0, Button = 0;

    // Gives window the VCL's marks for object.
    void Show(std::uint32_t window, std::uint32_t object, TAlienRect client = {});
    // Replaces the form's child-control list.
    void SetChildren(const std::vector<std::uint32_t>& children);
};

// A program of the library of 2009 or later: Form1 (TForm1) holding Button1 and Panel1 in windows of
// their own, the windowless Label1 and an unnamed TBevel; Panel1 holds the windowless Label3. Both
// generations mark the windows alike; only the 2009 one answers the object query.
struct TModernProgram {
    explicit TModernProgram(TModernGeneration generation);
    static constexpr std::uint32_t FormWindow = 0x00010010, ButtonWindow = 0x00010020,
                                   PanelWindow = 0x00010030;

    TAlienMemory Memory;
    TModernModel Model;
    TAlienImagePlatform Platform;
    std::uint32_t Application = 0, Form = 0, Button = 0, Panel = 0, Label1 = 0, Label3 = 0, Bevel = 0;
    std::uint32_t ButtonFont = 0;

    // Gives window the library's marks for object.
    void Show(std::uint32_t window, std::uint32_t object, TAlienRect client, const std::string& text);
    // An object's field at an offset of TModernOffsets.
    void Put32(std::uint32_t object, std::uint32_t TModernOffsets::*field, std::uint32_t value);
};
