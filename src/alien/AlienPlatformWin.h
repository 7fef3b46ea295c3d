#pragma once
// The system side of alien access: the window marks, the query message and the process's memory,
// opened for reading only.
#include <windows.h>

#include <cstdint>

#include "alien/AlienPlatform.h"

class TWin32AlienPlatform : public TAlienPlatform {
public:
    // The object query gets its own time-out: a target that answered the probe and then stopped
    // answering must not hold Scrutel's only thread.
    explicit TWin32AlienPlatform(UINT query_timeout_ms = 200) : query_timeout_ms_(query_timeout_ms) {}

    std::uint32_t ThreadProcessOf(std::uint32_t window, std::uint32_t& process_id) override;
    std::uint32_t InstanceOf(std::uint32_t window) override;
    std::uint32_t RegisterMessage(const std::string& name) override;
    // Sources from here must not outlive the platform: they count their reads in it.
    std::unique_ptr<ByteSource> OpenForReading(std::uint32_t process_id) override;
    std::uint32_t PropertyByAtomName(std::uint32_t window, const std::string& atom_name) override;
    std::uint32_t QueryObject(std::uint32_t window, std::uint32_t message) override;
    TAlienRect ClientRectOf(std::uint32_t window) override;
    std::string WindowText(std::uint32_t window) override;

    // ReadProcessMemory calls made so far through the sources this platform opened.
    std::uint64_t ReadCalls() const { return read_calls_; }

private:
    UINT query_timeout_ms_;
    std::uint64_t read_calls_ = 0;
};

// The platform of Scrutel's own access objects; lives as long as the program.
TWin32AlienPlatform& Win32AlienPlatform();
