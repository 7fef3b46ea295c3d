#include "peinfo/PeInfoNodes.h"

#include "base/ValueText.h"
#include "components/GkGeneralText.h"

namespace {

const std::vector<std::string> kFieldValue = {"Field", "Value"};

TPeInfoNode SplitNode(std::string name, std::vector<std::string> columns,
                      const std::vector<std::string>& rows) {
    TPeInfoNode node{{std::move(name)}, std::move(columns), {}};
    node.Rows.reserve(rows.size());
    for (const std::string& row : rows) node.Rows.push_back(SplitDisplayRow(row, node.Columns.size()));
    return node;
}

std::string WithoutLeadingBlanks(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
    return text.substr(first);
}

template <class Pairs>
TPeInfoNode PairNode(std::vector<std::string> path, std::vector<std::string> columns, const Pairs& pairs) {
    TPeInfoNode node{std::move(path), std::move(columns), {}};
    for (const auto& [first, second] : pairs) node.Rows.push_back({first, second});
    return node;
}

}  // namespace

std::vector<std::string> SplitDisplayRow(const std::string& row, std::size_t fields) {
    static const std::vector<std::string> tab = {"\t"};
    std::vector<std::string> result;
    result.reserve(fields);
    for (std::size_t n = 1; n <= fields; ++n) result.push_back(GetField(row, static_cast<int>(n), tab));
    return result;
}

std::vector<std::string> SplitExportRow(const std::string& row) {
    const std::size_t last = row.rfind('\t');
    const std::size_t middle =
        last == std::string::npos || last == 0 ? std::string::npos : row.rfind('\t', last - 1);
    if (middle == std::string::npos) return SplitDisplayRow(row, 3);
    return {WithoutLeadingBlanks(row.substr(0, middle)),
            WithoutLeadingBlanks(row.substr(middle + 1, last - middle - 1)),
            WithoutLeadingBlanks(row.substr(last + 1))};
}

TProducerEvidence CollectProducerEvidence(const TPEFileInfo& info, ByteSource& file,
                                          const TPackageInfo& packages) {
    TProducerEvidence evidence;
    ReadResourceEvidence(file, info.Image(), evidence);
    for (const auto& module : info.ImportList()) evidence.ImportModules.push_back(module->ModuleName);
    evidence.ImportsWithoutLookupTable = info.ImportsWithoutLookupTable();
    evidence.MajorLinkerVersion = info.OptionalHeader().MajorLinkerVersion;
    evidence.MinorLinkerVersion = info.OptionalHeader().MinorLinkerVersion;
    evidence.RichHeaderPresent = info.HasRichHeader();
    if (info.RichHeader()) evidence.RichEntries = *info.RichHeader();
    evidence.PeHeaderOffset = info.DosHeader().e_lfanew;
    evidence.PackageNames = packages.PackageNames();
    return evidence;
}

std::vector<TPeInfoNode> BuildPeInfoNodes(const TPEFileInfo& info, const TProducerEvidence& evidence,
                                          const TPackageInfo& packages) {
    std::vector<TPeInfoNode> nodes;
    if (info.IsMZ())
        nodes.push_back(SplitNode("MS-DOS Header", kFieldValue, info.DosHeaderList()));
    else
        nodes.push_back({{"MS-DOS Header"}, kFieldValue, {{"(Not a MS-DOS EXE)", ""}}});
    nodes.push_back(SplitNode("PE Header", kFieldValue, info.PEHeaderList()));
    nodes.push_back(SplitNode("PE Optional Header", kFieldValue, info.OptionalHeaderList()));

    // The "Imports" node exists for every file, with or without modules below it.
    nodes.push_back({{"Imports"}, {}, {}});
    // Ordinals and hints are plain decimal whatever the reader's number style.
    const auto importNode = [&nodes](const TImportExport& module, const char* suffix) {
        TPeInfoNode node{{"Imports", module.ModuleName + suffix}, {"Function name", "Ordinal"}, {}};
        node.Rows.reserve(module.Count());
        for (const TImportExportItem& item : module.Items())
            node.Rows.push_back({item.FunctionName, std::to_string(item.OrdinalOrHint)});
        nodes.push_back(std::move(node));
    };
    for (const auto& module : info.ImportList()) importNode(*module, "");
    for (const auto& module : info.DelayImportList()) importNode(*module, " (delay-loaded)");
    TPeInfoNode exports{{"Exports"}, {"Function name", "Ordinal", "Entry point"}, {}};
    exports.Rows.reserve(info.ExportList().size());
    for (const std::string& row : info.ExportList()) exports.Rows.push_back(SplitExportRow(row));
    nodes.push_back(std::move(exports));

    nodes.push_back(PairNode({"Miscellaneous"}, kFieldValue, MiscellaneousRows(evidence)));
    nodes.push_back(SplitNode("Package info", kFieldValue, packages.PackageInfoRows()));
    nodes.push_back(PairNode({"Package info", "Units"}, {"Name", "Type"}, packages.UnitRows()));
    return nodes;
}

std::string ErrorBoxText(const std::string& message) { return WithFullStop(message); }
