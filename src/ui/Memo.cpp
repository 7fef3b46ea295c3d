#include "ui/Memo.h"

namespace ui {

void Memo::create(HWND parent, const Bounds& bounds, bool read_only) {
    Edit::create(parent, bounds, read_only, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL);
}

}  // namespace ui
