#include "ui/Handles.h"

namespace ui {

long& live_gdi_objects() noexcept {
    static long count = 0;
    return count;
}

}  // namespace ui
