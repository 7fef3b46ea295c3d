#pragma once
// The unit that declares the component library's controls, as a module names it in its package
// information and in its type information: "Controls" up to XE, "Vcl.Controls" from XE2 on, whose
// library gave its units the "Vcl." prefix. Both producer detection on a file and the reader of a
// running program decide by it.
#include <string_view>

#include "base/AsciiText.h"

enum class TVclControlsUnit { None, Plain, Prefixed };

inline TVclControlsUnit VclControlsUnit(std::string_view unit) {
    if (SameTextAscii(unit, "Controls")) return TVclControlsUnit::Plain;
    if (SameTextAscii(unit, "Vcl.Controls")) return TVclControlsUnit::Prefixed;
    return TVclControlsUnit::None;
}
