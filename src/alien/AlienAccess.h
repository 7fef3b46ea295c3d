#pragma once
// Access to the VCL objects of another process, for one window of it: finds the control object behind
// a window, recognises the VCL version that built the program, reads its memory (never writes) and
// keeps one proxy per alien object and kind.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "alien/AlienErrors.h"
#include "alien/AlienPlatform.h"
#include "alien/AlienProxies.h"
#include "alien/ModernClasses.h"
#include "alien/ModernLayouts.h"
#include "alien/PageCache.h"
#include "base/ByteSource.h"

// A text of one length byte followed by that many 8-bit characters, at most max_length of them: the
// length-prefixed counterpart of read_zstring. What can be read of it when it runs into unreadable
// bytes; empty when not even the length byte can be read.
std::string read_short_string(ByteSource& source, std::uint64_t offset, std::size_t max_length = 255);

class TAlienApplication {
public:
    // Opens the window's process and recognises the version; never fails (Version 0 when the window
    // is not a VCL window of a known version). platform must outlive the object.
    TAlienApplication(TAlienPlatform& platform, std::uint32_t window);
    ~TAlienApplication();
    TAlienApplication(const TAlienApplication&) = delete;
    TAlienApplication& operator=(const TAlienApplication&) = delete;

    std::uint32_t Window() const { return window_; }
    const std::string& ControlAtomName() const { return control_atom_name_; }
    const std::string& WindowAtomName() const { return window_atom_name_; }
    std::uint32_t ProcessId() const { return process_id_; }
    std::uint32_t ThreadId() const { return thread_id_; }
    std::uint32_t Instance() const { return instance_; }
    std::uint32_t ObjectMessage() const { return object_message_; }
    // 3, 5, 6 or 7; ModernVersion for the library of 2009 and later; 0 when not recognised.
    std::int32_t Version() const { return version_; }
    static constexpr std::int32_t ModernVersion = 2009;
    bool IsModern() const { return version_ == ModernVersion; }
    // The version as the page names it: the number, or the generation from 2009 on ("2009 or later",
    // "XE2 or later").
    std::string VersionText() const;
    // Texts of the versions up to 7 are in the other process's code page; from 2009 on they are UTF-8,
    // converted from the program's UTF-16.
    bool TextsAreUtf8() const { return IsModern(); }
    TAlienPlatform& Platform() const { return platform_; }

    bool IsVclWindow(std::uint32_t window) const;
    // The query message's answer, else the object property; 0 when both answer and differ, for a
    // program must not be read through an answer that lies.
    std::uint32_t ObjectAddressOf(std::uint32_t window) const;
    // Raises ui::EAbort for a window without the VCL mark or when the version is not recognised, and
    // from 2009 on also when the object found is not a window control of that window.
    TAlienWinControl* WinControlOf(std::uint32_t window);

    // Bytes copied; a read that fails wholly or in part leaves the rest of `into` as it was. Every
    // read of the other process's memory goes through the byte source behind this.
    std::size_t ReadMemory(std::uint32_t address, void* into, std::size_t size) const;
    std::uint32_t ReadPointer(std::uint32_t address) const;  // 0 when unreadable
    // Texts in the system code page of the other process; empty for address 0 or unreadable memory.
    std::string ReadPCharString(std::uint32_t address) const;  // cut at NUL or at MaxPCharLength
    std::string ReadShortString(std::uint32_t address) const;
    std::string ReadLongString(std::uint32_t address) const;  // at most MaxLongStringLength
    // UTF-8 of a UnicodeString (UTF-16 with code page, element size and length in front): at most
    // MaxLongStringLength characters; empty when its header is not that of a UnicodeString.
    std::string ReadUnicodeString(std::uint32_t address) const;
    // UTF-8 of a NUL-terminated UTF-16 text, cut at MaxPCharLength characters.
    std::string ReadPWideCharString(std::uint32_t address) const;

    static constexpr std::size_t MaxPCharLength = 4096;
    static constexpr std::size_t MaxLongStringLength = 4096;
    // A class chain longer than this is taken as corrupt.
    static constexpr int MaxClassDepth = 64;

    // The layout of the object at address: that of the version up to 7; from 2009 on that of its class,
    // null when the class or its layout does not validate.
    const TObjectLayout* LayoutOfObject(std::uint32_t address);
    // The class pointer at the object's offset 0, read once per object.
    std::uint32_t ClassOfObject(std::uint32_t address);
    // From 2009 on: the validated class record, the object's class layout, and whether the object is
    // all of kinds (TLayoutKind bits); null and false for any other version.
    const TModernClass* ModernClassAt(std::uint32_t class_address);
    const TModernLayout* ModernLayoutOf(std::uint32_t object);
    bool IsObjectOfKind(std::uint32_t object, unsigned kinds);

    // One proxy per address and kind, made on the first lookup. The last three raise ui::EAbort while
    // Version is 0 (before looking at the address); those of address 0 are null except ListProxy's.
    // From 2009 on, the font and the last three also raise ui::EAbort for an object that is not of their
    // kind (a parent that is no window control, a font that is no TFont).
    TAlienClass* ClassProxy(std::uint32_t address);
    TAlienList* ListProxy(std::uint32_t address);
    TAlienFont* FontProxy(std::uint32_t address);
    TAlienComponent* ComponentProxy(std::uint32_t address);
    TAlienControl* ControlProxy(std::uint32_t address);
    TAlienWinControl* WinControlProxy(std::uint32_t address);

    EUndefinedProperty UndefinedPropertyError() const { return EUndefinedProperty(version_); }
    // Versions below 7 mark system colors with bit 31; Scrutel's color names expect a top byte of 0xFF.
    std::int32_t ConvertColor(std::int32_t color) const;

private:
    template <class Proxy>
    using Cache = std::unordered_map<std::uint32_t, std::unique_ptr<Proxy>>;
    template <class Proxy>
    Proxy* Lookup(Cache<Proxy>& cache, std::uint32_t address, unsigned modern_kinds = 0);
    void RequireVersion() const;
    std::int32_t RecogniseVersion();
    std::int32_t LayoutBVersion(std::uint32_t class_record) const;

    TAlienPlatform& platform_;
    Cache<TAlienList> list_cache_;
    Cache<TAlienFont> font_cache_;
    Cache<TAlienComponent> component_cache_;
    Cache<TAlienControl> control_cache_;
    Cache<TAlienWinControl> win_control_cache_;
    Cache<TAlienClass> class_cache_;
    std::uint32_t window_;
    std::string control_atom_name_;
    std::string window_atom_name_;
    std::uint32_t process_id_ = 0;
    std::uint32_t thread_id_ = 0;
    std::uint32_t instance_ = 0;
    std::unique_ptr<ByteSource> process_;
    std::uint32_t object_message_ = 0;
    std::int32_t version_ = 0;
    // From 2009 on: class records and type information, read through pages kept while this object lives.
    std::unique_ptr<TPageCache> constant_;
    std::unique_ptr<TModernClasses> modern_classes_;
    std::unique_ptr<TModernLayouts> modern_layouts_;
    std::string generation_;
    std::unordered_map<std::uint32_t, std::uint32_t> object_classes_;
};

// The component behind window and, with a point in the window's client coordinates, the control without
// a window of its own under it. What the Delphi-VCL page shows of the component (parent, owner, font,
// class chain) is looked up here as well, so that an object that fails validation fails the lookup
// instead of the page. Raises ui::EAbort for a window without the library, of a version not
// recognised, or whose objects fail validation.
TAlienControl* FindComponent(TAlienApplication& application, std::uint32_t window,
                             const std::optional<TAlienPoint>& point);
