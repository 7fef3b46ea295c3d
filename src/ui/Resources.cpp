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

}  // namespace ui
