#include <doctest.h>

#include <set>
#include <vector>

#include "alien/PagedRead.h"

TEST_CASE("a read running into an unreadable page answers the bytes before it") {
    constexpr std::uint64_t base = 0x00410000;
    // Readable: the two pages at base and the last page below 4 GB.
    const std::set<std::uint64_t> readable = {base / 4096, base / 4096 + 1, 0xFFFFF};
    int calls = 0;
    auto read_once = [&](std::uint64_t address, void* into, std::size_t size) -> std::size_t {
        ++calls;
        for (std::uint64_t page = address / 4096; page <= (address + size - 1) / 4096; ++page)
            if (!readable.count(page)) return 0;
        auto* bytes = static_cast<unsigned char*>(into);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(address + i);
        return size;
    };
    struct {
        std::uint64_t address;
        std::size_t size, read;
        int calls;
    } cases[] = {
        {base + 100, 50, 50, 1},         // wholly readable: one call
        {base + 10, 10000, 8182, 4},     // two pages, then the unreadable third
        {base + 8192 - 6, 4096, 6, 3},   // a short text before an unreadable page
        {base + 8192 + 10, 100, 0, 1},   // inside an unreadable page: no second try
        {base + 8192 + 10, 5000, 0, 2},  //
        {0xFFFFFFFCull, 8, 4, 1},        // cut at the end of the address space
        {0x100000000ull, 4, 0, 0},
    };
    for (const auto& c : cases) {
        CAPTURE(c.address);
        CAPTURE(c.size);
        calls = 0;
        std::vector<unsigned char> into(c.size);
        const std::size_t read = ReadReadablePrefix(c.address, into.data(), into.size(), read_once);
        CHECK(read == c.read);
        CHECK(calls == c.calls);
        for (std::size_t i = 0; i < read; ++i) REQUIRE(into[i] == static_cast<unsigned char>(c.address + i));
    }
}
