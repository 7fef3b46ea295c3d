#pragma once
// How the Link page finds the program in a type's open command, without the registry or the file
// system. Portable (no <windows.h>).
#include <string>
#include <vector>

// The program's path in an open command: without a double quote, what stands before the first blank;
// with one, the text between the first double quote and the next (or the end).
std::wstring ProgramFromCommand(const std::wstring& command);

// Whether a file name names its directory (or drive); a bare name is searched for.
bool HasDirectoryPart(const std::wstring& name);

// Where a bare program name is looked for, in order: the name itself (the current directory), then in
// each directory of the search path, a ";"-separated list whose empty entries are skipped; "\" is put
// between an entry and the name unless the entry ends in ":" or "\". None for an empty name.
std::vector<std::wstring> ProgramCandidates(const std::wstring& name, const std::wstring& search_path);
