#include <doctest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "alien/AlienErrors.h"
#include "alien/ComponentCatalogue.h"

namespace {

CatalogueReader Text(std::string text) {
    return [text] { return text; };
}

// Loads the catalogue; answers the list error's message, or empty text when there is none.
std::string ListError(TComponentCatalogue& catalogue, const CatalogueReader& read) {
    try {
        catalogue.LoadComponentInfos(read);
    } catch (const EListError& e) {
        return std::string(e.message().begin(), e.message().end());
    }
    return {};
}

}  // namespace

TEST_CASE("records of five lines, the last one without its separator") {
    struct {
        const char* text;
        const char* error;
        std::vector<std::string> names;
        const char* second_author;
        const char* second_website;
    } cases[] = {
        // Nine lines, lone CR and lone LF ends included, the last line without one.
        {"TButton\r\n*\r\nvcl\r\nhttps://a.example/\r\n-\rTPanel\nJane Roe\r\nextras\r\nhttps://b.example/",
         "",
         {"TButton", "TPanel"},
         "Jane Roe",
         "https://b.example/"},
        {"TButton\n*\nvcl\nhttps://a.example/\n\nTPanel\nJane Roe\n",
         "List index out of bounds (7)",
         {"TButton", "TPanel"},
         "Jane Roe",
         ""},
        {"TButton\n*\nvcl\nhttps://a.example/\n-\nTPanel",
         "List index out of bounds (6)",
         {"TButton", "TPanel"},
         "",
         ""},
        // Lines are used as they stand: blanks are kept, an empty line is a line.
        {" TEdit \n\n\n\n\nTMemo\n *\n\nhttps://c.example/\n",
         "",
         {" TEdit ", "TMemo"},
         " *",
         "https://c.example/"},
        {"", "", {}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        CAPTURE(std::string(c.text));
        TComponentCatalogue catalogue;
        CHECK(ListError(catalogue, Text(c.text)) == c.error);
        CHECK(catalogue.ClassNames() == c.names);
        if (c.names.size() < 2) continue;
        const TComponentInfo* second = catalogue.FindComponentInfo(c.names[1]);
        REQUIRE(second);
        CHECK(second->Author == c.second_author);
        CHECK(second->Website == c.second_website);
    }
}

TEST_CASE("a class named again in another case keeps its first spelling and takes the later fields") {
    TComponentCatalogue catalogue;
    catalogue.LoadComponentInfos(Text("TButton\n*\nvcl\nold\n-\ntbutton\nJane Roe\nextras\nnew\n-\n"));
    CHECK(catalogue.ClassNames() == std::vector<std::string>{"TButton"});
    for (const char* name : {"TButton", "TBUTTON", "tbutton"}) {
        const TComponentInfo* info = catalogue.FindComponentInfo(name);
        REQUIRE(info);
        CHECK(info->Author == "Jane Roe");
        CHECK(info->Package == "extras");
        CHECK(info->Website == "new");
    }
    CHECK_FALSE(catalogue.FindComponentInfo("TButto"));
    CHECK_FALSE(catalogue.FindComponentInfo("TButton "));
    CHECK_FALSE(catalogue.FindComponentInfo(""));
}

TEST_CASE("an author of exactly \"*\" is shown as various authors") {
    CHECK(AuthorText({"*", "", ""}) == "Various authors");
    CHECK(AuthorText({"**", "", ""}) == "**");
    CHECK(AuthorText({" *", "", ""}) == " *");
    CHECK(AuthorText({"Jane Roe", "", ""}) == "Jane Roe");
}

TEST_CASE("a file that cannot be read leaves the catalogue empty") {
    TComponentCatalogue catalogue;
    catalogue.LoadComponentInfos(Text("TButton\n*\nvcl\nhttps://a.example/\n"));
    REQUIRE(catalogue.Count() == 1);
    const CatalogueReader missing = []() -> std::string {
        throw ui::Exception(
            L"Cannot open file \"C:\\Scrutel\\CompRef.txt\". The system cannot find the file specified");
    };
    CHECK_THROWS_AS(catalogue.LoadComponentInfos(missing), ui::Exception);
    CHECK(catalogue.Count() == 0);
    CHECK_FALSE(catalogue.FindComponentInfo("TButton"));
}

TEST_CASE("the shipped catalogue reads without error") {
    const std::string source = __FILE__;
    const std::string path = source.substr(0, source.find_last_of("/\\")) + "/../../res/CompRef.txt";
    std::ifstream file(path, std::ios::binary);
    REQUIRE_MESSAGE(file, path);
    std::ostringstream read;
    read << file.rdbuf();
    const std::string text = read.str();
    TComponentCatalogue catalogue;
    CHECK(ListError(catalogue, Text(text)) == "");
    // Every record names a class of its own: none is replaced by a later one.
    const auto lines = std::count(text.begin(), text.end(), '\n');
    CHECK(catalogue.Count() == static_cast<std::size_t>(lines + 4) / 5);
    CHECK(catalogue.Count() > 20);
    const TComponentInfo* button = catalogue.FindComponentInfo("TBUTTON");
    REQUIRE(button);
    CHECK(AuthorText(*button) == "Various authors");
    for (const std::string& name : catalogue.ClassNames()) {
        CAPTURE(name);
        const TComponentInfo& info = *catalogue.FindComponentInfo(name);
        CHECK(name.starts_with("T"));
        CHECK(!info.Author.empty());
        CHECK(!info.Package.empty());
        CHECK(info.Website.starts_with("https://"));
    }
}
