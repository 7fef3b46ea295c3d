#pragma once
// A byte source over another that reads whole 4 KiB pages and keeps them: for what stays constant while
// a program runs (its class records and type information), which is read in many small pieces that lie
// close together. Objects change, so they are never read through it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/ByteSource.h"

class TPageCache : public ByteSource {
public:
    static constexpr std::uint64_t PageSize = 4096;
    // Pages beyond this many are read but not kept: more than the type information of any program
    // takes, so that a hostile one cannot make the cache grow without end.
    static constexpr std::size_t MaxPages = 1024;

    explicit TPageCache(ByteSource& source) : source_(source) {}
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;

private:
    struct Page {
        std::vector<unsigned char> bytes;  // the readable prefix of the page
    };
    const Page& PageAt(std::uint64_t start, Page& scratch);

    ByteSource& source_;
    std::unordered_map<std::uint64_t, std::unique_ptr<Page>> pages_;
};
