#include <doctest.h>

#include "fixtures/PeBuilder.h"
#include "peinfo/PackageInfo.h"

namespace {

// PACKAGEINFO bytes: flags, required packages, contained units, then `tail` as it stands.
Bytes PackageData(std::uint32_t flags, const std::vector<std::string>& requires_,
                  const std::vector<std::string>& contains, const Bytes& tail = {}) {
    Bytes b = DwordBytes(flags);
    const auto name = [&b](const std::string& text) {
        b.insert(b.end(), text.begin(), text.end());
        b.push_back(0);
    };
    Patch(b, b.size(), static_cast<std::uint32_t>(requires_.size()));
    for (const std::string& r : requires_) {
        b.push_back(0xEE);
        name(r);
    }
    Patch(b, b.size(), static_cast<std::uint32_t>(contains.size()));
    for (const std::string& c : contains) {
        b.push_back(0x10);
        b.push_back(0xEE);
        name(c);
    }
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

Bytes DcpName(const std::string& text) {
    Bytes b(text.size() + 2, 0);
    b[0] = 0xEE;
    std::copy(text.begin(), text.end(), b.begin() + 1);
    return b;
}

std::string Names(const TPackageInfo& info) {
    std::string text;
    for (const auto& [name, type] : info.UnitRows()) text += name + ":" + type + " ";
    return text;
}

std::string Rows(const TPackageInfo& info) {
    std::string text;
    for (const std::string& row : info.PackageInfoRows()) text += row + "|";
    return text;
}

}  // namespace

TEST_CASE("PACKAGEINFO names come in resource order with their types, and flags make the rows") {
    struct Case {
        std::uint32_t flags;
        Bytes tail;
        const char* names;
        const char* rows;
    } cases[] = {
        // An EXE loses its DCP/BPI name.
        {0xCC000001, DcpName("Prog"), "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit ",
         "Build\tNever|Package type\tDesigntime and runtime|Check for unit-duplicates\tYes|Producer\tDelphi|"
         "Module type\tEXE|"},
        {0x48000006, DcpName("mypkg.bpl"),
         "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit mypkg.bpl:DcpBpiName ",
         "Build\tAlways|Package type\tDesigntime|Check for unit-duplicates\tYes|Producer\tC++ Builder|"
         "Module type\tPackage|"},
        {0x80000004 | 0x8 | 0x04000000,
         {},
         "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit ",
         "Build\tAlways|Package type\tRuntime|Check for unit-duplicates\tNo|Module type\tLibrary|"},
        // The flag announces a DCP/BPI name that real modules leave out, or replace by zero padding.
        {0x40000000,
         {},
         "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit ",
         "Build\tAlways|Package type\tDesigntime and runtime|Check for unit-duplicates\tYes|Module "
         "type\tPackage|"},
        {0xC0000000,
         {0, 0, 0},
         "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit ",
         "Build\tAlways|Package type\tDesigntime and runtime|Check for unit-duplicates\tYes|Module "
         "type\tEXE|"},
        // Without the flag, what follows the units is not read.
        {0x00000000, DcpName("ignored"), "rtl:RequiresPackage vcl:RequiresPackage Controls:ContainsUnit ",
         "Build\tAlways|Package type\tDesigntime and runtime|Check for unit-duplicates\tYes|"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.flags);
        TPackageInfo info;
        info.ReadPackageInfo(PackageData(c.flags, {"rtl", "vcl"}, {"Controls"}, c.tail));
        CHECK(Names(info) == c.names);
        CHECK(Rows(info) == c.rows);
    }
}

TEST_CASE("a PACKAGEINFO with no names gives no rows, whatever its flags") {
    TPackageInfo info;
    info.ReadPackageInfo(PackageData(0xCC00000F, {}, {}));
    CHECK(info.PackageNames().empty());
    CHECK(info.PackageInfoRows().empty());
    // The DCP/BPI name alone is a name: a package gets its rows.
    info.ReadPackageInfo(PackageData(0x40000000, {}, {}, DcpName("p")));
    CHECK(Names(info) == "p:DcpBpiName ");
    CHECK(info.PackageInfoRows().size() == 4);
}

TEST_CASE("malformed PACKAGEINFO data empties both lists") {
    const Bytes good = PackageData(0x40000000, {"rtl"}, {"Unit1"}, DcpName("pkg"));
    struct Case {
        const char* what;
        Bytes data;
    } cases[] = {
        {"flags only", DwordBytes(0x40000000)},
        {"a required name without its zero", Bytes(good.begin(), good.begin() + 11)},
        {"a unit name cut short", Bytes(good.begin(), good.begin() + 21)},
        {"the DCP/BPI name without its zero", Bytes(good.begin(), good.end() - 1)},
        {"a count beyond the data", PackageData(0, {}, {}, {}) /* patched below */},
        {"a count no package comes near", PackageData(0, {}, {}, {})},
    };
    Patch(cases[4].data, 4, static_cast<std::uint32_t>(2));
    Patch(cases[5].data, 8, static_cast<std::uint32_t>(0x10000));
    cases[5].data.resize(cases[5].data.size() + 2 * 0x10000, 0);
    for (const Case& c : cases) {
        CAPTURE(c.what);
        TPackageInfo info;
        info.ReadPackageInfo(good);
        REQUIRE(info.PackageNames().size() == 3);
        info.ReadPackageInfo(c.data);
        CHECK(info.PackageNames().empty());
        CHECK(info.PackageInfoRows().empty());
    }
}

TEST_CASE("names are kept to 256 characters and the walk goes on after them") {
    const std::string longName(300, 'U');
    TPackageInfo info;
    info.ReadPackageInfo(PackageData(0, {}, {longName, "Next"}));
    REQUIRE(info.PackageNames().size() == 2);
    CHECK(info.PackageNames()[0].Name == std::string(256, 'U'));
    CHECK(info.PackageNames()[1].Name == "Next");
}

TEST_CASE("ReadPackageInfo finds the resource in the file, and gives nothing for other files") {
    const Bytes data = PackageData(0xCC000001, {}, {"SysInit"}, DcpName("Prog"));
    const Bytes file = ResourceImage({{"DVCLAL", 0, DwordBytes(1)}, {"PACKAGEINFO", 0, data}});
    MemoryByteSource source(file.data(), file.size());
    TPackageInfo info;
    info.ReadPackageInfo(source, TPEImage(source));
    CHECK(Names(info) == "SysInit:ContainsUnit ");
    CHECK(info.PackageInfoRows().size() == 5);

    for (const Bytes& other : {ResourceImage({{"DVCLAL", 0, DwordBytes(1)}}), Bytes(10, 'M'), Bytes{}}) {
        MemoryByteSource otherSource(other.data(), other.size());
        info.ReadPackageInfo(otherSource, TPEImage(otherSource));
        CHECK(info.PackageNames().empty());
        CHECK(info.PackageInfoRows().empty());
    }
}
