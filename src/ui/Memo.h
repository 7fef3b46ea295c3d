#pragma once
// A box of several lines of text.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class Memo : public Control {
public:
    void create(HWND parent, const Bounds& bounds, bool read_only, bool vertical_scroll_bar = true);
    void set_lines(const std::vector<std::wstring>& lines);
    // The text's lines, as they were set (not as they wrap).
    std::vector<std::wstring> lines() const;
};

}  // namespace ui
