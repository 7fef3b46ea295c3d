#include <doctest.h>

#include "peinfo/ResourceDirectory.h"
#include "peinfo/ResourceImage.h"

using namespace resource_image;

namespace {

std::optional<Bytes> Lookup(const Bytes& file, const char* name, std::size_t maxSize = 1024) {
    MemoryByteSource source(file.data(), file.size());
    const auto image = ReadResourceImage(source);
    if (!image) return std::nullopt;
    return TResourceDirectory(source, *image).RcData(name, maxSize);
}

bool Has(const Bytes& file, const char* name) {
    MemoryByteSource source(file.data(), file.size());
    const auto image = ReadResourceImage(source);
    return image && TResourceDirectory(source, *image).HasRcData(name);
}

const Bytes kDvclal = {0xA2, 0x8C, 0xDF, 0x98, 1, 2, 3, 4};

}  // namespace

TEST_CASE("named RCDATA resources are found by their exact name in PE32 and PE32+ images") {
    const std::vector<Resource> resources = {
        {"", 7, {9, 9}}, {"dvclal", 0, {1}}, {"DVCLAL", 0, kDvclal}, {"PACKAGEINFO", 0, {5, 6, 7}}};
    for (const bool plus : {false, true}) {
        CAPTURE(plus);
        const Bytes file = PeImage(resources, plus).bytes;
        CHECK(Lookup(file, "DVCLAL") == kDvclal);
        CHECK(Lookup(file, "PACKAGEINFO") == Bytes{5, 6, 7});
        CHECK(Lookup(file, "DVCLAL", 4) == Bytes(kDvclal.begin(), kDvclal.begin() + 4));
        CHECK(Lookup(file, "dvclal") == Bytes{1});
        CHECK_FALSE(Lookup(file, "Dvclal"));
        CHECK_FALSE(Has(file, "DVCLALX"));
        CHECK(Has(file, "PACKAGEINFO"));
    }
    // A resource identified by a number never matches a name.
    CHECK_FALSE(Has(PeImage({{"", 10, kDvclal}}).bytes, "DVCLAL"));
}

TEST_CASE("a resource without a neutral language gives its first language") {
    CHECK(Lookup(PeImage({{"DVCLAL", 0, kDvclal, 0x409}}).bytes, "DVCLAL") == kDvclal);
}

TEST_CASE("files the loader would refuse have no resources") {
    const Bytes good = PeImage({{"DVCLAL", 0, kDvclal}}).bytes;
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool word;
    } cases[] = {
        {"no MZ", 0, 0x5A4E, false},
        {"no PE signature", 0x40, 0x00004551, true},
        {"e_lfanew past the end", 60, 0x7FFFFFF0, true},
        {"negative e_lfanew", 60, 0xFFFFFFF0, true},
        {"ROM optional header", 0x58, 0x107, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        Bytes file = good;
        if (c.word)
            Put32(file, c.at, c.value);
        else
            Put16(file, c.at, static_cast<std::uint16_t>(c.value));
        MemoryByteSource source(file.data(), file.size());
        CHECK_FALSE(ReadResourceImage(source));
    }
    Bytes few = good;
    Put32(few, 0x58 + 92, 2);  // NumberOfRvaAndSizes: no resource entry
    CHECK_FALSE(Has(few, "DVCLAL"));
    MemoryByteSource source(few.data(), few.size());
    CHECK(ReadResourceImage(source));  // still loadable as a module
}

TEST_CASE("the section table follows SizeOfOptionalHeader, as the loader reads it") {
    Image image = PeImage({{"DVCLAL", 0, kDvclal}});
    Bytes& b = image.bytes;
    // Move the section header 16 bytes on and say so in SizeOfOptionalHeader.
    Bytes header(b.begin() + image.sectionTable, b.begin() + image.sectionTable + 40);
    std::fill(b.begin() + image.sectionTable, b.begin() + image.sectionTable + 40, 0);
    std::copy(header.begin(), header.end(), b.begin() + image.sectionTable + 16);
    Put16(b, 0x54, 224 + 16);
    CHECK(Lookup(b, "DVCLAL") == kDvclal);
}

TEST_CASE("hostile resource directories give an empty result") {
    const Image base = PeImage({{"DVCLAL", 0, kDvclal}});
    const std::size_t rsrc = base.section;
    const std::size_t typeDir = rsrc + 24, languageDir = rsrc + 24 + 24, dataEntry = languageDir + 24;

    SUBCASE("every level points back at the root") {
        // The root holds the named entry and the RCDATA entry, both pointing at the root.
        Bytes b = base.bytes;
        const std::uint32_t name = Get32(b, typeDir + 16);
        Put16(b, rsrc + 12, 1);
        Put16(b, rsrc + 14, 1);
        Put32(b, rsrc + 16, name);
        Put32(b, rsrc + 20, 0x80000000);
        Put32(b, rsrc + 24, 10);
        Put32(b, rsrc + 28, 0x80000000);
        CHECK(Has(b, "DVCLAL"));
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("a language directory that points at itself") {
        Bytes b = base.bytes;
        Put32(b, languageDir + 20, 0x80000000 | static_cast<std::uint32_t>(languageDir - rsrc));
        CHECK(Has(b, "DVCLAL"));
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("entry counts far beyond the section") {
        Bytes b = base.bytes;
        Put16(b, rsrc + 14, 0xFFFF);
        Put16(b, rsrc + 12, 0xFFFF);
        Put16(b, typeDir + 12, 0xFFFF);
        CHECK(Lookup(b, "DVCLAL") == kDvclal);  // the entries that exist are still read
    }
    SUBCASE("a name running past the end of the section") {
        Bytes b = base.bytes;
        const std::uint32_t name = Get32(b, typeDir + 16) & 0x7FFFFFFF;
        Put16(b, rsrc + name, 0xFFFF);
        CHECK_FALSE(Has(b, "DVCLAL"));
    }
    SUBCASE("data past the end of the file, or outside every section") {
        for (const std::uint32_t size : {0x7FFFFFFFu, 0xFFFFFFFFu, 9u}) {
            Bytes b = base.bytes;
            Put32(b, dataEntry + 4, size);
            CHECK_FALSE(Lookup(b, "DVCLAL", SIZE_MAX));
        }
        Bytes b = base.bytes;
        Put32(b, dataEntry, 0x5000);
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("a subdirectory outside every section") {
        Bytes b = base.bytes;
        Put32(b, rsrc + 20, 0xFFFFFFFF);
        CHECK_FALSE(Has(b, "DVCLAL"));
    }
    SUBCASE("a truncated file") {
        for (std::size_t size = 0; size < base.bytes.size(); size += 7) {
            const Bytes cut(base.bytes.begin(), base.bytes.begin() + static_cast<std::ptrdiff_t>(size));
            CHECK_FALSE(Lookup(cut, "DVCLAL"));
        }
    }
}
