#pragma once
// Which program opens a file type, as the registry and the program file tell it: the type's class
// (the user's recorded choice first), its description, the open command's program with its full name,
// the program's description and its icon.
#include <windows.h>

#include <string>

#include "ui/Handles.h"

struct TAssociation {
    std::wstring ProgramFileName;
    std::wstring TypeDescription;
    std::wstring ProgramDescription;
    ui::unique_icon Icon;
};

// The association of name's type (name: an extension with its dot, or any file name). What cannot be
// read (a missing key, a value of another type) ends the lookup with what was found so far.
TAssociation ReadAssociation(const std::wstring& name);

// The class the user chose for an extension in the shell ("UserChoice", value "ProgId"); empty when
// no choice is recorded.
std::wstring UserChoiceClass(const std::wstring& extension);

// The FileDescription of a file's version resource, in its first translation; empty without one.
std::wstring FileDescription(const std::wstring& file);

// The full name of a program the command names without a directory: the first existing file of
// ProgramCandidates over the "path" variable; empty when none exists.
std::wstring SearchProgram(const std::wstring& name);
