#pragma once
// Pictures, glyph strips and cursors of the program's own module.
#include <windows.h>

#include <commctrl.h>

namespace ui {

// A 16-color picture whose six fixed colors (white, silver, gray, black, blue, lime) are replaced by
// the system's current button, caption and window colors; the caller owns it.
HBITMAP load_system_colored_bitmap(int id);
// A strip of 16x16 glyphs whose fuchsia pixels are transparent; the caller owns it.
HIMAGELIST load_glyph_strip(int id);
// A cursor resource at the system's cursor size; the caller owns it.
HCURSOR load_own_cursor(int id);

}  // namespace ui
