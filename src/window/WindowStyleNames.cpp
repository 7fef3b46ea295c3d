#include "window/WindowStyleNames.h"

#include <algorithm>

#include "base/IntegerText.h"

const std::array<TStyle, 2> CombinedWindowStyles = {{
    {0x00CF0000, "WS_OVERLAPPEDWINDOW (= WS_TILEDWINDOW)"},
    {0x80880000, "WS_POPUPWINDOW"},
}};

const std::array<TStyle, 20> WindowStyles = {{
    {0x00000000, "WS_OVERLAPPED (= WS_TILED)"},
    {0x80000000, "WS_POPUP"},
    {0x40000000, "WS_CHILD (= WS_CHILDWINDOW)"},
    {0x20000000, "WS_MINIMIZE (= WS_ICONIC)"},
    {0x10000000, "WS_VISIBLE"},
    {0x08000000, "WS_DISABLED"},
    {0x04000000, "WS_CLIPSIBLINGS"},
    {0x02000000, "WS_CLIPCHILDREN"},
    {0x01000000, "WS_MAXIMIZE"},
    {0x00C00000, "WS_CAPTION"},
    {0x00800000, "WS_BORDER"},
    {0x00400000, "WS_DLGFRAME"},
    {0x00200000, "WS_VSCROLL"},
    {0x00100000, "WS_HSCROLL"},
    {0x00080000, "WS_SYSMENU"},
    {0x00040000, "WS_THICKFRAME (= WS_SIZEBOX)"},
    // Group and tab stop apply to controls, the two boxes to windows with a system menu: same bits.
    {0x00020000, "WS_GROUP"},
    {0x00010000, "WS_TABSTOP"},
    {0x00020000, "WS_MINIMIZEBOX"},
    {0x00010000, "WS_MAXIMIZEBOX"},
}};

const std::array<TStyle, 2> CombinedExtWindowStyles = {{
    {0x00000300, "WS_EX_OVERLAPPEDWINDOW"},
    {0x00000188, "WS_EX_PALETTEWINDOW"},
}};

const std::array<TStyle, 24> ExtWindowStyles = {{
    {0x00000001, "WS_EX_DLGMODALFRAME"},
    {0x00000004, "WS_EX_NOPARENTNOTIFY"},
    {0x00000008, "WS_EX_TOPMOST"},
    {0x00000010, "WS_EX_ACCEPTFILES"},
    {0x00000020, "WS_EX_TRANSPARENT"},
    {0x00000040, "WS_EX_MDICHILD"},
    {0x00000080, "WS_EX_TOOLWINDOW"},
    {0x00000100, "WS_EX_WINDOWEDGE"},
    {0x00000200, "WS_EX_CLIENTEDGE"},
    {0x00000400, "WS_EX_CONTEXTHELP"},
    // Each of these three bits has a default of value 0 that is named as well.
    {0x00001000, "WS_EX_RIGHT"},
    {0x00000000, "WS_EX_LEFT"},
    {0x00002000, "WS_EX_RTLREADING"},
    {0x00000000, "WS_EX_LTRREADING"},
    {0x00004000, "WS_EX_LEFTSCROLLBAR"},
    {0x00000000, "WS_EX_RIGHTSCROLLBAR"},
    {0x00010000, "WS_EX_CONTROLPARENT"},
    {0x00020000, "WS_EX_STATICEDGE"},
    {0x00040000, "WS_EX_APPWINDOW"},
    {0x00080000, "WS_EX_LAYERED"},
    {0x00100000, "WS_EX_NOINHERITLAYOUT"},
    {0x00400000, "WS_EX_LAYOUTRTL"},
    {0x02000000, "WS_EX_COMPOSITED"},
    {0x08000000, "WS_EX_NOACTIVATE"},
}};

namespace {

bool AllSet(std::uint32_t bits, std::uint32_t value) { return (value & bits) == bits; }

void AppendLine(std::wstring& text, std::string_view name) {
    text.append(name.begin(), name.end());
    text += L"\r\n";
}

}  // namespace

std::wstring StyleNames(std::uint32_t value, std::span<const TStyle> combined,
                        std::span<const TStyle> single) {
    std::wstring text;
    for (const TStyle& c : combined)
        if (AllSet(c.Value, value)) AppendLine(text, c.Name);
    for (const TStyle& f : single) {
        if (!AllSet(f.Value, value)) continue;
        const bool inside_listed = std::any_of(combined.begin(), combined.end(), [&](const TStyle& c) {
            return AllSet(c.Value, value) && AllSet(f.Value, c.Value);
        });
        if (!inside_listed) AppendLine(text, f.Name);
    }
    return text;
}

std::optional<std::uint32_t> StyleFromCaption(std::wstring_view caption) {
    const std::optional<std::int32_t> value = ReadInteger(L"$" + std::wstring(caption));
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}
