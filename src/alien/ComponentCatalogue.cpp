#include "alien/ComponentCatalogue.h"

#include <algorithm>

#include "alien/AlienErrors.h"

namespace {

constexpr std::size_t kRecordLines = 5;

// A last line without a line end counts; a line end at the very end adds no empty line.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end;
        if (start == text.size()) break;
        if (text[start++] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

}  // namespace

void TComponentCatalogue::LoadComponentInfos(const CatalogueReader& read) {
    entries_.clear();
    const std::string text = read();
    const std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); i += kRecordLines) {
        // A class named before keeps its first spelling and takes this record's fields.
        TComponentInfo& info = entries_.try_emplace(std::string(lines[i])).first->second;
        std::string* const fields[] = {&info.Author, &info.Package, &info.Website};
        for (std::size_t field = 0; field < 3; ++field) {
            const std::size_t line = i + 1 + field;
            if (line >= lines.size()) throw EListError(static_cast<std::int32_t>(line));
            *fields[field] = lines[line];
        }
    }
}

const TComponentInfo* TComponentCatalogue::FindComponentInfo(std::string_view class_name) const {
    const auto found = entries_.find(class_name);
    return found == entries_.end() ? nullptr : &found->second;
}

std::vector<std::string> TComponentCatalogue::ClassNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const auto& entry : entries_) names.push_back(entry.first);
    return names;
}

std::string AuthorText(const TComponentInfo& info) {
    return info.Author == "*" ? "Various authors" : info.Author;
}
