#pragma once
// Reading another process's 32-bit address space, where a range that runs into an unreadable page
// fails whole. Memory protection is per page, so a read inside one page either succeeds or fails.
#include <algorithm>
#include <cstddef>
#include <cstdint>

inline constexpr std::uint64_t AlienPageSize = 4096;
inline constexpr std::uint64_t AlienAddressSpaceEnd = 0x100000000ull;

// Answers how many bytes of [address, address + size) were copied into `into`: the whole range, or the
// readable part before the first page that cannot be read. read_once(address, into, size) makes one
// system read and answers the bytes it copied. A range that reads whole costs one call.
template <class ReadOnce>
std::size_t ReadReadablePrefix(std::uint64_t address, void* into, std::size_t size, ReadOnce&& read_once) {
    if (address >= AlienAddressSpaceEnd) return 0;
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, AlienAddressSpaceEnd - address));
    if (wanted == 0) return 0;
    std::size_t done = read_once(address, into, wanted);
    if (done != 0) return std::min(done, wanted);
    auto* bytes = static_cast<unsigned char*>(into);
    while (done < wanted) {
        const std::uint64_t at = address + done;
        const auto chunk = static_cast<std::size_t>(
            std::min<std::uint64_t>(wanted - done, AlienPageSize - at % AlienPageSize));
        if (done == 0 && chunk == wanted) break;  // the read that just failed
        const std::size_t got = std::min(read_once(at, bytes + done, chunk), chunk);
        done += got;
        if (got < chunk) break;
    }
    return done;
}
