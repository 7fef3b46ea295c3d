#pragma once
// What the PEInfo page shows for a loaded file, node by node in tree order, as plain data: the page
// fills its tree and list from it, and scrutel-pe prints it. Portable (no <windows.h>).
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "peinfo/GkPeInfo.h"
#include "peinfo/PackageInfo.h"
#include "peinfo/ProducerInfo.h"

struct TPeInfoNode {
    std::vector<std::string> Path;  // e.g. {"Imports", "KERNEL32.dll"}
    // No columns: a node that only groups the nodes below it; the list keeps its captions, shows no rows.
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Rows;  // one text per column
};

// The list's split of a display row into `fields` texts with GetField and TAB as the delimiter: before
// each field, blanks and control characters (TAB included) are dropped; missing fields are empty.
std::vector<std::string> SplitDisplayRow(const std::string& row, std::size_t fields);
// An export row (name, TAB, ordinal, TAB, entry point) cut into its three fields from the right, so that
// an empty name leaves its column empty instead of moving the numbers left.
std::vector<std::string> SplitExportRow(const std::string& row);

// What producer detection needs, from the reader, the file's resources and its package lists.
TProducerEvidence CollectProducerEvidence(const TPEFileInfo& info, ByteSource& file,
                                          const TPackageInfo& packages);

// The nodes in tree order, each below the nodes its path names first. "Imports" only groups its modules.
std::vector<TPeInfoNode> BuildPeInfoNodes(const TPEFileInfo& info, const TProducerEvidence& evidence,
                                          const TPackageInfo& packages);

// The message as the application's error box shows it: a full stop is appended when the last
// character sorts after the full stop.
std::string ErrorBoxText(const std::string& message);
