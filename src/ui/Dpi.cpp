#include "ui/Dpi.h"

#include "ui/Controls.h"
#include "ui/Handles.h"

namespace ui {

int system_dpi() {
    released_dc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : LayoutDpi;
}

int window_dpi(HWND window) {
    // Windows 10 1607 and later; older systems have one DPI for all displays.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi_for_window && window) {
        const UINT dpi = get_dpi_for_window(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return system_dpi();
}

RECT scaled_rect(const Bounds& layout, int dpi) {
    const ScaledSpan x = ScaleSpan(layout.left, layout.width, dpi);
    const ScaledSpan y = ScaleSpan(layout.top, layout.height, dpi);
    return {x.start, y.start, x.start + x.length, y.start + y.length};
}

SIZE layout_client_size(HWND window, int dpi) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {UnscaleFromDpi(client.right, dpi), UnscaleFromDpi(client.bottom, dpi)};
}

}  // namespace ui
