#include "base/FieldLines.h"

std::wstring CaptionWithoutAccelerator(std::wstring_view caption) {
    std::wstring label;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) ++i;
        label += caption[i];
    }
    while (!label.empty() && (label.back() == L':' || label.back() == L' ')) label.pop_back();
    return label;
}

void AppendFieldLine(std::wstring& lines, std::wstring_view caption, std::wstring_view value) {
    lines += CaptionWithoutAccelerator(caption);
    lines += L": ";
    lines += value;
    lines += L"\r\n";
}
