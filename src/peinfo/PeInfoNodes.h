#pragma once
// What the PEInfo page shows for a loaded file, node by node in tree order, as plain data: the page
// fills its tree and list from it, and scrutel-pe prints it. Portable (no <windows.h>).
#include <string>
#include <vector>

#include "peinfo/GkPeInfo.h"

struct TPeInfoNode {
    std::vector<std::string> Path;  // e.g. {"Imports", "KERNEL32.dll"}
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Rows;  // one text per column
};

// A unit, required package or DCP/BPI name of the package information (name types 0, 1, 2).
struct TPackageName {
    std::string Name;
    int NameType = 0;
};

// What the resource readers found; the nodes that need it are left out when it is absent.
struct TPeInfoExtras {
    bool HasMiscellaneous = false;
    std::vector<std::string> ProducerTexts;  // producer, language, and maybe the component library
    std::string TargetSystem;
    bool HasPackageInfo = false;
    std::vector<std::string> PackageInfoRows;
    std::vector<TPackageName> PackageNames;
};

// The list's split of a display row into `fields` texts: before each field, blanks and control
// characters (TAB included) are dropped; a field ends at the next TAB; missing fields are empty.
std::vector<std::string> SplitDisplayRow(const std::string& row, std::size_t fields);

// The nodes in tree order. The "Imports" node itself shows nothing and is not listed, its modules are.
std::vector<TPeInfoNode> BuildPeInfoNodes(const TPEFileInfo& info, const TPeInfoExtras& extras);

// The message as the application's error box shows it: a full stop is appended when the last
// character sorts after the full stop.
std::string ErrorBoxText(const std::string& message);
