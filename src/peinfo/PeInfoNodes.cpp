#include "peinfo/PeInfoNodes.h"

namespace {

const std::vector<std::string> kFieldValue = {"Field", "Value"};

TPeInfoNode SplitNode(std::string name, std::vector<std::string> columns,
                      const std::vector<std::string>& rows) {
    TPeInfoNode node{{std::move(name)}, std::move(columns), {}};
    node.Rows.reserve(rows.size());
    for (const std::string& row : rows) node.Rows.push_back(SplitDisplayRow(row, node.Columns.size()));
    return node;
}

const char* NameTypeText(int nameType) {
    static const char* const texts[] = {"ContainsUnit", "RequiresPackage", "DcpBpiName"};
    return nameType >= 0 && nameType < 3 ? texts[nameType] : "";
}

}  // namespace

std::vector<std::string> SplitDisplayRow(const std::string& row, std::size_t fields) {
    std::vector<std::string> result;
    result.reserve(fields);
    std::size_t at = 0;
    while (result.size() < fields) {
        while (at < row.size() && static_cast<unsigned char>(row[at]) <= 32) ++at;
        const std::size_t tab = row.find('\t', at);
        const std::size_t stop = tab == std::string::npos ? row.size() : tab;
        result.push_back(row.substr(at, stop - at));
        at = tab == std::string::npos ? row.size() : tab + 1;
    }
    return result;
}

std::vector<TPeInfoNode> BuildPeInfoNodes(const TPEFileInfo& info, const TPeInfoExtras& extras) {
    std::vector<TPeInfoNode> nodes;
    if (info.IsMZ())
        nodes.push_back(SplitNode("MS-DOS Header", kFieldValue, info.DosHeaderList()));
    else
        nodes.push_back({{"MS-DOS Header"}, kFieldValue, {{"(Not a MS-DOS EXE)", ""}}});
    nodes.push_back(SplitNode("PE Header", kFieldValue, info.PEHeaderList()));
    nodes.push_back(SplitNode("PE Optional Header", kFieldValue, info.OptionalHeaderList()));

    for (const auto& module : info.ImportList()) {
        // Ordinals and hints are plain decimal whatever the reader's number style.
        TPeInfoNode node{{"Imports", module->ModuleName}, {"Function name", "Ordinal"}, {}};
        node.Rows.reserve(module->Count());
        for (const TImportExportItem& item : module->Items())
            node.Rows.push_back({item.FunctionName, std::to_string(item.OrdinalOrHint)});
        nodes.push_back(std::move(node));
    }
    nodes.push_back(SplitNode("Exports", {"Function name", "Ordinal", "Entry point"}, info.ExportList()));

    if (extras.HasMiscellaneous) {
        TPeInfoNode misc{{"Miscellaneous"}, kFieldValue, {}};
        misc.Rows = {{"MZ  (Id of a DOS EXE)", "Yorrelind"},
                     {"PE  (Id of a Win32 EXE)", "Portable Executable"}};
        const auto& texts = extras.ProducerTexts;
        misc.Rows.push_back({"Compiled with", texts.size() > 0 ? texts[0] : ""});
        misc.Rows.push_back({"Language", texts.size() > 1 ? texts[1] : ""});
        if (texts.size() == 3 && !texts[2].empty()) {
            misc.Rows.push_back({"Component library", texts[2]});
            misc.Rows.push_back({"Target system", extras.TargetSystem});
        }
        nodes.push_back(std::move(misc));
    }
    if (extras.HasPackageInfo) {
        nodes.push_back(SplitNode("Package info", kFieldValue, extras.PackageInfoRows));
        TPeInfoNode units{{"Package info", "Units"}, {"Name", "Type"}, {}};
        for (const TPackageName& name : extras.PackageNames)
            units.Rows.push_back({name.Name, NameTypeText(name.NameType)});
        nodes.push_back(std::move(units));
    }
    return nodes;
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
    return message;
}
