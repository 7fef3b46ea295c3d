#include "ui/Font.h"

#include "base/AsciiText.h"
#include "ui/Dpi.h"

namespace ui {

COLORREF color_to_rgb(std::uint32_t color) {
    if (color & 0x80000000u) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

FontSpec FontSpec::of_size(std::wstring face, int points) {
    FontSpec font;
    font.face = std::move(face);
    font.set_size(points);
    return font;
}

int FontSpec::size() const { return -MulDivRounded(height, 72, LayoutDpi); }

void FontSpec::set_size(int points) { height = -MulDivRounded(points, LayoutDpi, 72); }

bool is_default_font(const FontSpec& font) {
    return SameTextAscii<wchar_t>(font.face, L"MS Sans Serif") && font.color == clWindowText &&
           font.size() == 8 && !font.has_style();
}

FontSpec font_of(const LOGFONTW& logfont, int dpi) {
    FontSpec font;
    font.face = logfont.lfFaceName;
    font.height = UnscaleFromDpi(static_cast<int>(logfont.lfHeight), dpi);
    font.bold = logfont.lfWeight >= FW_BOLD;
    font.italic = logfont.lfItalic != 0;
    font.underline = logfont.lfUnderline != 0;
    font.strike_out = logfont.lfStrikeOut != 0;
    font.charset = logfont.lfCharSet;
    font.pitch = static_cast<BYTE>(logfont.lfPitchAndFamily & 3);
    return font;
}

FontSpec desktop_font() {
    LOGFONTW logfont{};
    // Asked for at 96 pixels per inch where the system can (Windows 10 1607 and later); otherwise the
    // font comes at the system DPI.
    using ForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto for_dpi = reinterpret_cast<ForDpiFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    if (for_dpi && for_dpi(SPI_GETICONTITLELOGFONT, sizeof logfont, &logfont, 0, LayoutDpi))
        return font_of(logfont, LayoutDpi);
    if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof logfont, &logfont, 0))
        return font_of(logfont, system_dpi());
    return FontSpec::of_size(L"Tahoma", 8);
}

unique_font make_font(const FontSpec& font, int dpi) {
    LOGFONTW logfont{};
    logfont.lfHeight = ScaleToDpi(font.height, dpi);
    logfont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logfont.lfItalic = font.italic;
    logfont.lfUnderline = font.underline;
    logfont.lfStrikeOut = font.strike_out;
    logfont.lfCharSet = font.charset;
    logfont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logfont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logfont.lfQuality = DEFAULT_QUALITY;
    logfont.lfPitchAndFamily = static_cast<BYTE>(font.pitch | FF_DONTCARE);
    lstrcpynW(logfont.lfFaceName, font.face.c_str(), LF_FACESIZE);
    return unique_font(::CreateFontIndirectW(&logfont));
}

}  // namespace ui
