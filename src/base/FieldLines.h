#pragma once
// Pages copied as text: one "Label: value" line per field, the label as the page's caption shows it
// without its keyboard accelerator and its closing colon.
#include <string>
#include <string_view>

// "&Text/Caption:" becomes "Text/Caption"; "&&" stands for one ampersand.
std::wstring CaptionWithoutAccelerator(std::wstring_view caption);
// Appends "Label: value" and a line break (CR LF).
void AppendFieldLine(std::wstring& lines, std::wstring_view caption, std::wstring_view value);
