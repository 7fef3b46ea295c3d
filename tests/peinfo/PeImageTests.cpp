#include <doctest.h>

#include "fixtures/PeBuilder.h"
#include "peinfo/PeImage.h"

namespace {

// One section at RVA 0x1000, file offset 0x400, with the given sizes; the file holds 0x600 bytes.
Bytes OneSection(std::uint32_t virtualSize, std::uint32_t rawSize) {
    PeBuilder pe;
    Bytes data(0x200);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i);
    pe.AddSection(".data", data);
    Bytes bytes = pe.Build();
    const std::size_t header = pe.OptionalHeaderOffset() + 224;
    Patch(bytes, header + 8, virtualSize);
    Patch(bytes, header + 16, rawSize);
    return bytes;
}

}  // namespace

TEST_CASE("an RVA is read through the section that spans it, within the section's raw data") {
    const struct {
        const char* what;
        std::uint32_t virtualSize, rawSize;
        std::uint64_t rva;
        std::size_t size, read;
    } cases[] = {
        {"inside", 0x100, 0x200, 0x1010, 4, 4},
        {"clipped at VirtualSize", 0x100, 0x200, 0x10FE, 4, 2},
        {"past VirtualSize", 0x100, 0x200, 0x1100, 4, 0},
        {"clipped at SizeOfRawData", 0x300, 0x100, 0x10FE, 4, 2},
        {"spanned but not in the file", 0x300, 0x100, 0x1200, 4, 0},
        {"VirtualSize 0 spans SizeOfRawData", 0, 0x200, 0x11FC, 8, 4},
        {"before the section", 0x100, 0x200, 0x0FFF, 4, 0},
        {"beyond 32 bits", 0x100, 0x200, 0x100001010, 4, 0},
        {"raw data past the end of the file", 0x1000, 0x1000, 0x11FE, 4, 2},
    };
    for (const auto& c : cases) {
        CAPTURE(c.what);
        const Bytes bytes = OneSection(c.virtualSize, c.rawSize);
        MemoryByteSource file(bytes.data(), bytes.size());
        const TPEImage image(file);
        TImageByRva byRva(file, image);
        unsigned char into[8] = {};
        CHECK(byRva.read(c.rva, into, c.size) == c.read);
        if (c.read) CHECK(into[0] == static_cast<unsigned char>(c.rva - 0x1000));
        CHECK(byRva.Available(c.rva) >= c.read);
    }
}

TEST_CASE("the image reports how far its headers could be read") {
    const Bytes good = PeBuilder().Build();
    const auto image = [](const Bytes& bytes) {
        MemoryByteSource file(bytes.data(), bytes.size());
        return TPEImage(file);
    };
    CHECK_FALSE(image(Bytes(good.begin(), good.begin() + 63)).HasDosHeader());
    CHECK_FALSE(image(Bytes(good.begin(), good.begin() + 0x83)).HasSignature());
    CHECK_FALSE(image(Bytes(good.begin(), good.begin() + 0x80 + 247)).HasHeaders());
    const TPEImage whole = image(good);
    CHECK(whole.HasHeaders());
    CHECK(whole.LoadableAsModule());
    CHECK_FALSE(whole.IsPE32Plus());
}

TEST_CASE("where sections overlap, the first in the table that spans an RVA owns it") {
    PeBuilder pe;
    pe.AddSection(".a", Bytes(0x100, 0xAA));
    pe.AddSection(".b", Bytes(0x100, 0xBB));
    pe.AddSection(".c", Bytes(0x100, 0xCC));
    Bytes bytes = pe.Build();
    const std::size_t table = pe.OptionalHeaderOffset() + 224;
    // .a spans 0x1000-0x1100; .b is moved to 0x0F80-0x1180 and .c to 0x1080-0x1280.
    Patch(bytes, table + 40 + 8, std::uint32_t{0x200});
    Patch(bytes, table + 40 + 12, std::uint32_t{0x0F80});
    Patch(bytes, table + 80 + 8, std::uint32_t{0x200});
    Patch(bytes, table + 80 + 12, std::uint32_t{0x1080});
    MemoryByteSource file(bytes.data(), bytes.size());
    const TPEImage image(file);
    const struct {
        std::uint32_t rva;
        const char* section;
    } cases[] = {{0x0F7F, nullptr}, {0x0F80, ".b"}, {0x1000, ".a"}, {0x10FF, ".a"},
                 {0x1100, ".b"},    {0x1180, ".c"}, {0x127F, ".c"}, {0x1280, nullptr}};
    for (const auto& c : cases) {
        CAPTURE(c.rva);
        const TImageSectionHeader* found = image.FindSection(c.rva);
        CHECK((found ? std::string(found->Name) : std::string("none")) == (c.section ? c.section : "none"));
    }
}
