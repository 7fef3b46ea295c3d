#pragma once
// Where the component reference catalogue comes from: "CompRef.txt" in the folder of the running
// program, read whole through the platform.
#include <string>

#include "alien/ComponentCatalogue.h"

// The folder of the running program file with a backslash at its end, followed by "CompRef.txt".
std::wstring ComponentCatalogueFileName();

// A reader of the file; it throws "Cannot open file "%s". %s" (the file's name and the system's
// reason) when the file cannot be read, also for a file of more than 16 MB.
CatalogueReader CatalogueFileReader(const std::wstring& file_name);
