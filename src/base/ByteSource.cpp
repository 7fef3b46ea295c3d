#include "base/ByteSource.h"

#include <algorithm>

std::size_t MemoryByteSource::read(std::uint64_t offset, void* into, std::size_t size) {
    if (offset >= size_) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - offset));
    if (count) std::memcpy(into, data_ + offset, count);
    return count;
}

bool read_bytes(ByteSource& source, std::uint64_t offset, std::size_t size, std::vector<unsigned char>& out,
                std::size_t limit) {
    if (size > limit) return false;
    std::vector<unsigned char> bytes(size);
    if (size && source.read(offset, bytes.data(), size) != size) return false;
    out = std::move(bytes);
    return true;
}

bool read_zstring(ByteSource& source, std::uint64_t offset, std::size_t max_length, std::string& out) {
    std::string text;
    char chunk[64];
    bool any = false;
    while (text.size() < max_length) {
        const std::size_t want = std::min<std::size_t>(sizeof chunk, max_length - text.size());
        const std::size_t got = source.read(offset + text.size(), chunk, want);
        if (got == 0) break;
        any = true;
        const void* nul = std::memchr(chunk, 0, got);
        if (nul) {
            text.append(chunk, static_cast<const char*>(nul) - chunk);
            out = std::move(text);
            return true;
        }
        text.append(chunk, got);
        if (got < want) break;
    }
    if (!any) return false;
    out = std::move(text);
    return true;
}
