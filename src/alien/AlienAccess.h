#pragma once
// Access to the VCL objects of another process, for one window of it: finds the control object behind
// a window, recognises the VCL version that built the program, reads its memory (never writes) and
// keeps one proxy per alien object and kind.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "alien/AlienErrors.h"
#include "alien/AlienPlatform.h"
#include "alien/AlienProxies.h"
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
    std::int32_t Version() const { return version_; }
    TAlienPlatform& Platform() const { return platform_; }

    bool IsVclWindow(std::uint32_t window) const;
    std::uint32_t ObjectAddressOf(std::uint32_t window) const;
    // Raises ui::EAbort for a window without the VCL mark or when the version is not recognised.
    TAlienWinControl* WinControlOf(std::uint32_t window);

    // Bytes copied; a read that fails wholly or in part leaves the rest of `into` as it was. Every
    // read of the other process's memory goes through the byte source behind this.
    std::size_t ReadMemory(std::uint32_t address, void* into, std::size_t size) const;
    std::uint32_t ReadPointer(std::uint32_t address) const;  // 0 when unreadable
    // Texts in the system code page of the other process; empty for address 0 or unreadable memory.
    std::string ReadPCharString(std::uint32_t address) const;  // cut at NUL or at MaxPCharLength
    std::string ReadShortString(std::uint32_t address) const;
    std::string ReadLongString(std::uint32_t address) const;  // at most MaxLongStringLength

    static constexpr std::size_t MaxPCharLength = 4096;
    static constexpr std::size_t MaxLongStringLength = 4096;
    // A class chain longer than this is taken as corrupt.
    static constexpr int MaxClassDepth = 64;

    // One proxy per address and kind, made on the first lookup. The last three raise ui::EAbort while
    // Version is 0 (before looking at the address); those of address 0 are null except ListProxy's.
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
    Proxy* Lookup(Cache<Proxy>& cache, std::uint32_t address);
    void RequireVersion() const;
    std::int32_t RecogniseVersion() const;
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
};
