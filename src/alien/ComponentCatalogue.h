#pragma once
// The component reference catalogue read from "CompRef.txt": for a class name, the author, the package
// that holds the class and a web site. The file is 8-bit text in records of five lines (class name,
// author or "*", package, web site, a separator that is not read); lines end with CR LF, CR or LF and
// are used exactly as they stand.
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/AsciiText.h"

struct TComponentInfo {
    std::string Author;  // "*" stands for various authors
    std::string Package;
    std::string Website;
};

// Reads the whole file; throws the platform's open error ("Cannot open file "%s". %s") when it cannot.
using CatalogueReader = std::function<std::string()>;

class TComponentCatalogue {
public:
    // Empties the catalogue and fills it from what `read` answers. A class named again (in any letter
    // case) keeps the spelling of its first record and takes the later record's fields. An error of
    // `read` passes on and leaves the catalogue empty. A last record of fewer than four lines is added
    // with the lines it has, then EListError ("List index out of bounds (%d)") is raised with the index
    // of the first missing line; the records before it stay.
    void LoadComponentInfos(const CatalogueReader& read);
    // The entry of a class, the letters a-z compared without regard to case; nullptr when there is none.
    const TComponentInfo* FindComponentInfo(std::string_view class_name) const;

    std::size_t Count() const { return entries_.size(); }
    // The class names as stored, sorted without regard to case.
    std::vector<std::string> ClassNames() const;

private:
    struct LessText {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return LessTextAscii(a, b); }
    };
    std::map<std::string, TComponentInfo, LessText> entries_;
};

// What the author box shows: "Various authors" for an author of exactly "*", else the author.
std::string AuthorText(const TComponentInfo& info);
