#pragma once
// What the alien access object needs from the system, kept behind one small interface so that all of
// its logic runs natively against an in-memory image. Window handles are 32-bit values.
#include <cstdint>
#include <memory>
#include <string>

#include "base/ByteSource.h"

struct TAlienPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

struct TAlienRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TAlienRect&, const TAlienRect&) = default;
};

class TAlienPlatform {
public:
    virtual ~TAlienPlatform() = default;
    // The creating thread's id; process_id receives the owning process (both 0 for no window).
    virtual std::uint32_t ThreadProcessOf(std::uint32_t window, std::uint32_t& process_id) = 0;
    // The module instance stored with the window.
    virtual std::uint32_t InstanceOf(std::uint32_t window) = 0;
    // The id of the window message registered under name; the same in every process.
    virtual std::uint32_t RegisterMessage(const std::string& name) = 0;
    // The process's memory, for reading only. Never null: a process that cannot be opened gives a
    // source that reads nothing. Addresses are 32 bits; reads answer the readable prefix.
    virtual std::unique_ptr<ByteSource> OpenForReading(std::uint32_t process_id) = 0;
    // The window property named by the global atom with that text; 0 without such an atom or property.
    virtual std::uint32_t PropertyByAtomName(std::uint32_t window, const std::string& atom_name) = 0;
    // Sends message with both parameters 0 and answers the result; 0 when the window does not answer
    // in time.
    virtual std::uint32_t QueryObject(std::uint32_t window, std::uint32_t message) = 0;
    // The window's client rectangle as the system reports it now; empty for no window.
    virtual TAlienRect ClientRectOf(std::uint32_t window) = 0;
    // The window's text in UTF-8, asked only of a window that answers in time; empty otherwise.
    virtual std::string WindowText(std::uint32_t window) = 0;
};
