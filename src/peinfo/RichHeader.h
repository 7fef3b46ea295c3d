#pragma once
// The record Microsoft's linkers leave between the MS-DOS stub and the PE signature: one entry per tool
// and build that contributed objects to the image. Portable.
#include <cstdint>
#include <optional>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/PeImage.h"

struct TRichEntry {
    std::uint16_t ProductId = 0, Build = 0;
    std::uint32_t Count = 0;
};

// The entries of the record before e_lfanew, or nullopt when there is none: "DanS" XOR the key at its
// start, three words of the key, the entries XOR the key, then "Rich" and the key, all on 4-byte
// boundaries within the first 8 KiB.
std::optional<std::vector<TRichEntry>> ReadRichHeader(ByteSource& file, const TImageDosHeader& dos);
