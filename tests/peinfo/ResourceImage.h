#pragma once
// Builds small PE images with a resource section for the resource, package and producer tests.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace resource_image {

using Bytes = std::vector<unsigned char>;

struct Resource {
    std::string name;  // empty: identified by `id`
    std::uint16_t id = 0;
    Bytes data;
    std::uint16_t language = 0;
};

inline void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    std::memcpy(&b[at], &v, 2);
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    std::memcpy(&b[at], &v, 4);
}
inline std::uint32_t Get32(const Bytes& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

// A resource section whose RCDATA type holds `resources`, in the given order, each with one language.
// Layout: root, RCDATA directory, one language directory per resource, data entries, names, data.
inline Bytes ResourceSection(const std::vector<Resource>& resources, std::uint32_t sectionRva) {
    const std::size_t n = resources.size();
    const std::size_t typeDir = 16 + 8, languageDirs = typeDir + 16 + 8 * n;
    const std::size_t dataEntries = languageDirs + 24 * n;
    std::size_t at = dataEntries + 16 * n;
    Bytes b(at);
    Put16(b, 14, 1);
    Put32(b, 16, 10);
    Put32(b, 20, 0x80000000 | static_cast<std::uint32_t>(typeDir));
    std::uint16_t named = 0;
    for (const Resource& r : resources) named += !r.name.empty();
    Put16(b, typeDir + 12, named);
    Put16(b, typeDir + 14, static_cast<std::uint16_t>(n - named));
    for (std::size_t i = 0; i < n; ++i) {
        const Resource& r = resources[i];
        const std::size_t entry = typeDir + 16 + 8 * i, languageDir = languageDirs + 24 * i;
        if (r.name.empty()) {
            Put32(b, entry, r.id);
        } else {
            Put32(b, entry, 0x80000000 | static_cast<std::uint32_t>(at));
            Put16(b, at, static_cast<std::uint16_t>(r.name.size()));
            for (std::size_t c = 0; c < r.name.size(); ++c)
                Put16(b, at + 2 + 2 * c, static_cast<unsigned char>(r.name[c]));
            at += 2 + 2 * r.name.size();
        }
        Put32(b, entry + 4, 0x80000000 | static_cast<std::uint32_t>(languageDir));
        Put16(b, languageDir + 14, 1);
        Put32(b, languageDir + 16, r.language);
        Put32(b, languageDir + 20, static_cast<std::uint32_t>(dataEntries + 16 * i));
    }
    for (std::size_t i = 0; i < n; ++i) {
        at = (at + 3) & ~std::size_t{3};
        Put32(b, dataEntries + 16 * i, sectionRva + static_cast<std::uint32_t>(at));
        Put32(b, dataEntries + 16 * i + 4, static_cast<std::uint32_t>(resources[i].data.size()));
        b.resize(at);
        b.insert(b.end(), resources[i].data.begin(), resources[i].data.end());
        at = b.size();
    }
    return b;
}

struct Image {
    Bytes bytes;
    std::size_t optionalHeader = 0, sectionTable = 0, section = 0;  // file offsets
};

constexpr std::uint32_t SECTION_RVA = 0x1000, SECTION_OFFSET = 0x200;

// An image with one section holding `section` at RVA 0x1000, file offset 0x200; the resource data
// directory points at its start. `plus` builds a PE32+ optional header (240 bytes).
inline Image PeImage(const Bytes& section, bool plus = false) {
    Image image;
    Bytes& b = image.bytes;
    b.assign(SECTION_OFFSET, 0);
    Put16(b, 0, 0x5A4D);
    Put32(b, 60, 0x40);
    Put32(b, 0x40, 0x00004550);
    Put16(b, 0x44, plus ? 0x8664 : 0x014C);
    Put16(b, 0x46, 1);
    const std::uint16_t optionalSize = plus ? 240 : 224;
    Put16(b, 0x54, optionalSize);
    image.optionalHeader = 0x58;
    Put16(b, image.optionalHeader, plus ? 0x20B : 0x10B);
    const std::size_t directories = image.optionalHeader + (plus ? 112 : 96);
    Put32(b, directories - 4, 16);
    Put32(b, directories + 2 * 8, SECTION_RVA);
    Put32(b, directories + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));
    image.sectionTable = image.optionalHeader + optionalSize;
    std::memcpy(&b[image.sectionTable], ".rsrc", 5);
    Put32(b, image.sectionTable + 8, static_cast<std::uint32_t>(section.size()));
    Put32(b, image.sectionTable + 12, SECTION_RVA);
    Put32(b, image.sectionTable + 16, static_cast<std::uint32_t>(section.size()));
    Put32(b, image.sectionTable + 20, SECTION_OFFSET);
    image.section = SECTION_OFFSET;
    b.insert(b.end(), section.begin(), section.end());
    return image;
}

inline Image PeImage(const std::vector<Resource>& resources, bool plus = false) {
    return PeImage(ResourceSection(resources, SECTION_RVA), plus);
}

inline Bytes Word(std::uint32_t v) {
    Bytes b;
    Put32(b, 0, v);
    return b;
}

}  // namespace resource_image
