#include "ui/Resources.h"

#include "ui/Handles.h"

namespace ui {

HBITMAP load_system_colored_bitmap(int id) {
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return nullptr;
    struct Mapping {
        COLORREF fixed;
        int system_color;
    };
    static const Mapping kMappings[] = {
        {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}, {RGB(192, 192, 192), COLOR_BTNFACE},
        {RGB(128, 128, 128), COLOR_BTNSHADOW},    {RGB(0, 0, 0), COLOR_BTNTEXT},
        {RGB(0, 0, 255), COLOR_ACTIVECAPTION},    {RGB(0, 255, 0), COLOR_WINDOW},
    };
    unique_memory_dc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return bitmap;
    selected_object selected(dc.get(), bitmap);
    RGBQUAD table[16] = {};
    const UINT entries = ::GetDIBColorTable(dc.get(), 0, 16, table);
    for (UINT i = 0; i < entries; ++i) {
        const COLORREF color = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
        for (const Mapping& mapping : kMappings) {
            if (color != mapping.fixed) continue;
            const COLORREF system = ::GetSysColor(mapping.system_color);
            table[i] = RGBQUAD{GetBValue(system), GetGValue(system), GetRValue(system), 0};
            break;
        }
    }
    if (entries) ::SetDIBColorTable(dc.get(), 0, entries, table);
    return bitmap;
}

HIMAGELIST load_glyph_strip(int id) {
    return ::ImageList_LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), 16, 0, RGB(255, 0, 255),
                                  IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

HCURSOR load_own_cursor(int id) {
    return static_cast<HCURSOR>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

HBITMAP scaled_bitmap(HBITMAP picture, int width, int height) {
    BITMAP shape{};
    if (!picture || !::GetObjectW(picture, sizeof shape, &shape) || width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    unique_bitmap copy(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    unique_memory_dc from(::CreateCompatibleDC(nullptr)), to(::CreateCompatibleDC(nullptr));
    if (!copy || !from || !to) return nullptr;
    {
        selected_object in(from.get(), picture), out(to.get(), copy.get());
        ::SetStretchBltMode(to.get(), HALFTONE);
        ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
        ::StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, shape.bmWidth, shape.bmHeight, SRCCOPY);
    }
    ::GdiFlush();
    return copy.release();
}

namespace {

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    // Numbered resources are kept as their number, named ones would need a copy of the name.
    if (!IS_INTRESOURCE(name)) return TRUE;
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

}  // namespace

HICON program_icon(int size) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    LPWSTR first = nullptr;
    ::EnumResourceNamesW(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    HICON icon =
        first ? static_cast<HICON>(::LoadImageW(module, first, IMAGE_ICON, size, size, LR_SHARED)) : nullptr;
    return icon ? icon
                : static_cast<HICON>(
                      ::LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace ui
