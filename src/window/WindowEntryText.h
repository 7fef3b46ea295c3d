#pragma once
// How a window is named in the handle history and in the window tree: its handle as 8 hexadecimal
// digits, " {", the class name, "} " and the caption in double quotes.
#include <cstdint>
#include <string>

#include "base/ValueText.h"

inline std::wstring WindowEntryText(std::uint32_t handle, const std::wstring& class_name,
                                    const std::wstring& caption) {
    return HexText8(handle) + L" {" + class_name + L"} \"" + caption + L"\"";
}
