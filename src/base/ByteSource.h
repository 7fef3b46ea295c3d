#pragma once
// One door for untrusted bytes: a file, or another process's memory. Every read is bounds-checked in
// 64-bit arithmetic, copied into the caller's storage and never dereferenced in place.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes starting at offset into `into`; returns how many bytes were copied
    // (fewer at the end of the source or where it is unreadable).
    virtual std::size_t read(std::uint64_t offset, void* into, std::size_t size) = 0;
    // Total size when known (files, in-memory images); UINT64_MAX when unknown (process memory).
    virtual std::uint64_t size() const { return UINT64_MAX; }
};

// All or nothing: true and `out` filled when every byte could be read, else false and `out` untouched.
template <class T>
bool read_value(ByteSource& source, std::uint64_t offset, T& out) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    if (source.read(offset, bytes, sizeof(T)) != sizeof(T)) return false;
    std::memcpy(&out, bytes, sizeof(T));
    return true;
}

// A little-endian integer, all or nothing like read_value. The bytes are assembled one by one, so the
// result does not depend on the host's byte order.
template <class T>
bool read_le(ByteSource& source, std::uint64_t offset, T& out) {
    static_assert(std::is_integral_v<T>);
    unsigned char bytes[sizeof(T)];
    if (source.read(offset, bytes, sizeof(T)) != sizeof(T)) return false;
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
        value = static_cast<std::make_unsigned_t<T>>(value << 8 | bytes[i]);
    out = static_cast<T>(value);
    return true;
}

// Reads exactly `size` bytes into a vector, or returns false. The caller caps `size` by what the
// source can hold before calling; this only refuses sizes beyond `limit`.
bool read_bytes(ByteSource& source, std::uint64_t offset, std::size_t size, std::vector<unsigned char>& out,
                std::size_t limit = 64u << 20);

// Reads a NUL-terminated 8-bit text of at most max_length characters; stops at the end of the source.
// Returns false when nothing at all could be read at offset.
bool read_zstring(ByteSource& source, std::uint64_t offset, std::size_t max_length, std::string& out);

// A source over bytes held in memory (tests, fuzzing, and a file read whole).
class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;
    std::uint64_t size() const override { return size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
};
