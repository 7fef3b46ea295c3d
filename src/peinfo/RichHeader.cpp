#include "peinfo/RichHeader.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kDanS = 0x536E6144, kRich = 0x68636952;
constexpr std::int64_t kStubStart = 64, kScanEnd = 0x2000;

}  // namespace

std::optional<std::vector<TRichEntry>> ReadRichHeader(ByteSource& file, const TImageDosHeader& dos) {
    const std::int64_t end = std::min<std::int64_t>(dos.e_lfanew, kScanEnd);
    if (end <= kStubStart) return std::nullopt;
    std::vector<unsigned char> stub;
    if (!read_bytes(file, kStubStart, static_cast<std::size_t>(end - kStubStart), stub)) return std::nullopt;
    MemoryByteSource bytes(stub.data(), stub.size());
    const auto dword = [&](std::size_t at) {
        std::uint32_t value = 0;
        read_le(bytes, at, value);
        return value;
    };
    for (std::size_t rich = 0; rich + 8 <= stub.size(); rich += 4) {
        if (dword(rich) != kRich) continue;
        const std::uint32_t key = dword(rich + 4);
        for (std::size_t start = 0; start < rich; start += 4) {
            if ((dword(start) ^ key) != kDanS) continue;
            std::vector<TRichEntry> entries;
            for (std::size_t at = start + 16; at + 8 <= rich; at += 8) {
                const std::uint32_t id = dword(at) ^ key;
                entries.push_back({static_cast<std::uint16_t>(id >> 16), static_cast<std::uint16_t>(id),
                                   dword(at + 4) ^ key});
            }
            return entries;
        }
        return std::nullopt;
    }
    return std::nullopt;
}
