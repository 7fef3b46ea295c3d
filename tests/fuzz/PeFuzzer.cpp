// libFuzzer target over the PE reader, the import and export walks, the resource directory, the
// PACKAGEINFO walk and producer detection: everything the PEInfo page runs on a file. The reader's own
// failures are expected; any other exception, a crash, a leak or a hang is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/ByteSource.h"
#include "peinfo/GkPeInfo.h"
#include "peinfo/PackageInfo.h"
#include "peinfo/PeInfoNodes.h"
#include "peinfo/ProducerInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryByteSource source(data, size);
    try {
        const TPEFileInfo info(source, "fuzz.exe", size % 2 ? nsHex : nsDecimal);
        TPackageInfo packages;
        packages.ReadPackageInfo(source, info.Image());
        const auto nodes = BuildPeInfoNodes(info, CollectProducerEvidence(info, source, packages), packages);
        for (const auto& node : nodes)
            for (const auto& row : node.Rows)
                if (row.size() != node.Columns.size()) __builtin_trap();
    } catch (const EPEFormatError&) {
    } catch (const EStreamError&) {
    }
    // The same bytes taken as PACKAGEINFO data.
    TPackageInfo packages;
    packages.ReadPackageInfo(std::span<const unsigned char>(data, size));
    return 0;
}
