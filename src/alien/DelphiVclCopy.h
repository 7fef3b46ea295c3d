#pragma once
// The Delphi-VCL page as text for the clipboard.
#include <string>

class TDelphiVclPage;

// Each box as a "Label: value" line, then the class hierarchy on one line, own class first and the
// names separated by ", ".
std::wstring DelphiVclCopyText(const TDelphiVclPage& page);
