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
// A 24-bit copy of a picture at another size, smoothed; the caller owns it. Null when it cannot be made.
HBITMAP scaled_bitmap(HBITMAP picture, int width, int height);
// The program's first icon at a size in pixels, shared with the system (not to be destroyed); the
// system's application icon when the program has none.
HICON program_icon(int size);

}  // namespace ui
