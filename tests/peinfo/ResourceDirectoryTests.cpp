#include <doctest.h>

#include "fixtures/PeBuilder.h"
#include "peinfo/ResourceDirectory.h"

namespace {

std::optional<Bytes> Lookup(const Bytes& file, const char* name, std::size_t maxSize = 1024) {
    MemoryByteSource source(file.data(), file.size());
    return TResourceDirectory(source, TPEImage(source)).RcData(name, maxSize);
}

bool Has(const Bytes& file, const char* name) {
    MemoryByteSource source(file.data(), file.size());
    return TResourceDirectory(source, TPEImage(source)).HasRcData(name);
}

bool Loadable(const Bytes& file) {
    MemoryByteSource source(file.data(), file.size());
    return TPEImage(source).LoadableAsModule();
}

const std::size_t kLfanew = 0x80, kOptionalHeader = kLfanew + 24, kRsrc = PeBuilder::kHeaders;

const Bytes kDvclal = {0xA2, 0x8C, 0xDF, 0x98, 1, 2, 3, 4};

}  // namespace

TEST_CASE("named RCDATA resources are found by their exact name in PE32 and PE32+ images") {
    const std::vector<Resource> resources = {
        {"", 7, {9, 9}}, {"dvclal", 0, {1}}, {"DVCLAL", 0, kDvclal}, {"PACKAGEINFO", 0, {5, 6, 7}}};
    for (const bool plus : {false, true}) {
        CAPTURE(plus);
        const Bytes file = ResourceImage(resources, plus);
        CHECK(Lookup(file, "DVCLAL") == kDvclal);
        CHECK(Lookup(file, "PACKAGEINFO") == Bytes{5, 6, 7});
        CHECK(Lookup(file, "DVCLAL", 4) == Bytes(kDvclal.begin(), kDvclal.begin() + 4));
        CHECK(Lookup(file, "dvclal") == Bytes{1});
        CHECK_FALSE(Lookup(file, "Dvclal"));
        CHECK_FALSE(Has(file, "DVCLALX"));
        CHECK(Has(file, "PACKAGEINFO"));
    }
    // A resource identified by a number never matches a name.
    CHECK_FALSE(Has(ResourceImage({{"", 10, kDvclal}}), "DVCLAL"));
}

TEST_CASE("a resource without a neutral language gives its first language") {
    CHECK(Lookup(ResourceImage({{"DVCLAL", 0, kDvclal, 0x409}}), "DVCLAL") == kDvclal);
}

TEST_CASE("files the loader would refuse have no resources") {
    const Bytes good = ResourceImage({{"DVCLAL", 0, kDvclal}});
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool word;
    } cases[] = {
        {"no MZ", 0, 0x5A4E, false},
        {"no PE signature", kLfanew, 0x00004551, true},
        {"e_lfanew past the end", 60, 0x7FFFFFF0, true},
        {"negative e_lfanew", 60, 0xFFFFFFF0, true},
        {"ROM optional header", kOptionalHeader, 0x107, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        Bytes file = good;
        if (c.word)
            Patch(file, c.at, c.value);
        else
            Patch(file, c.at, static_cast<std::uint16_t>(c.value));
        CHECK_FALSE(Loadable(file));
        CHECK_FALSE(Has(file, "DVCLAL"));
    }
    Bytes few = good;
    Patch(few, kOptionalHeader + 92, std::uint32_t{2});  // NumberOfRvaAndSizes: no resource entry
    CHECK_FALSE(Has(few, "DVCLAL"));
    CHECK(Loadable(few));  // still loadable as a module
}

TEST_CASE("hostile resource directories give an empty result") {
    const Bytes base = ResourceImage({{"DVCLAL", 0, kDvclal}});
    const std::size_t rsrc = kRsrc;
    const std::size_t typeDir = rsrc + 24, languageDir = rsrc + 24 + 24, dataEntry = languageDir + 24;

    SUBCASE("every level points back at the root") {
        // The root holds the named entry and the RCDATA entry, both pointing at the root.
        Bytes b = base;
        const std::uint32_t name = DwordAt(b, typeDir + 16);
        Patch(b, rsrc + 12, std::uint16_t{1});
        Patch(b, rsrc + 14, std::uint16_t{1});
        Patch(b, rsrc + 16, std::uint32_t{name});
        Patch(b, rsrc + 20, std::uint32_t{0x80000000});
        Patch(b, rsrc + 24, std::uint32_t{10});
        Patch(b, rsrc + 28, std::uint32_t{0x80000000});
        CHECK(Has(b, "DVCLAL"));
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("a language directory that points at itself") {
        Bytes b = base;
        Patch(b, languageDir + 20,
              std::uint32_t{0x80000000 | static_cast<std::uint32_t>(languageDir - rsrc)});
        CHECK(Has(b, "DVCLAL"));
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("entry counts far beyond the section") {
        Bytes b = base;
        Patch(b, rsrc + 14, std::uint16_t{0xFFFF});
        Patch(b, rsrc + 12, std::uint16_t{0xFFFF});
        Patch(b, typeDir + 12, std::uint16_t{0xFFFF});
        CHECK(Lookup(b, "DVCLAL") == kDvclal);  // the entries that exist are still read
    }
    SUBCASE("a name running past the end of the section") {
        Bytes b = base;
        const std::uint32_t name = DwordAt(b, typeDir + 16) & 0x7FFFFFFF;
        Patch(b, rsrc + name, std::uint16_t{0xFFFF});
        CHECK_FALSE(Has(b, "DVCLAL"));
    }
    SUBCASE("data past the end of the file, or outside every section") {
        for (const std::uint32_t size : {0x7FFFFFFFu, 0xFFFFFFFFu, 9u}) {
            Bytes b = base;
            Patch(b, dataEntry + 4, std::uint32_t{size});
            CHECK_FALSE(Lookup(b, "DVCLAL", SIZE_MAX));
        }
        Bytes b = base;
        Patch(b, dataEntry, std::uint32_t{0x5000});
        CHECK_FALSE(Lookup(b, "DVCLAL"));
    }
    SUBCASE("a subdirectory outside every section") {
        Bytes b = base;
        Patch(b, rsrc + 20, std::uint32_t{0xFFFFFFFF});
        CHECK_FALSE(Has(b, "DVCLAL"));
    }
    SUBCASE("a truncated file") {
        // The section's raw data is padded to the file alignment; the cuts go up to the resource's end.
        const std::size_t end = kRsrc + ResourceSection({{"DVCLAL", 0, kDvclal}}, 0x1000).size();
        for (std::size_t size = 0; size < end; size += 7) {
            const Bytes cut(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(size));
            CHECK_FALSE(Lookup(cut, "DVCLAL"));
        }
    }
}
