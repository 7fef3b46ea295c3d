#include "window/WindowInformation.h"

#include <cstdio>
#include <cstring>

#include "base/ValueText.h"
#include "components/GkGeneral.h"
#include "ui/Handles.h"

namespace {

constexpr int TextBufferLength = 256;
constexpr const char* NoFontText = "(none or System Font)";

// A window may fill the whole buffer without a terminating NUL, or answer with a length larger than
// the buffer: the text always ends inside the buffer, at the first NUL or after 255 characters.
template <class Char>
std::basic_string<Char> TerminatedText(Char (&buffer)[TextBufferLength]) {
    buffer[TextBufferLength - 1] = 0;
    std::size_t length = 0;
    while (buffer[length] != 0) ++length;
    return std::basic_string<Char>(buffer, length);
}

std::wstring FromSystemCodePage(const std::string& text) {
    if (text.empty()) return {};
    wchar_t wide[TextBufferLength] = {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide,
                                             TextBufferLength - 1);
    return std::wstring(wide, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring ReadCaption(HWND window, bool wide) {
    if (wide) {
        wchar_t buffer[TextBufferLength] = {};
        if (::SendMessageW(window, WM_GETTEXT, TextBufferLength, reinterpret_cast<LPARAM>(buffer)) == 0) {
            // What the window wrote before answering 0 is not its text.
            std::memset(buffer, 0, sizeof buffer);
            ::GetWindowTextW(window, buffer, TextBufferLength);
        }
        return TerminatedText(buffer);
    }
    char buffer[TextBufferLength] = {};
    if (::SendMessageA(window, WM_GETTEXT, TextBufferLength, reinterpret_cast<LPARAM>(buffer)) == 0) {
        std::memset(buffer, 0, sizeof buffer);
        ::GetWindowTextA(window, buffer, TextBufferLength);
    }
    return FromSystemCodePage(TerminatedText(buffer));
}

std::wstring ReadClassName(HWND window, bool wide) {
    if (wide) {
        wchar_t buffer[TextBufferLength] = {};
        ::GetClassNameW(window, buffer, TextBufferLength);
        return TerminatedText(buffer);
    }
    char buffer[TextBufferLength] = {};
    ::GetClassNameA(window, buffer, TextBufferLength);
    return FromSystemCodePage(TerminatedText(buffer));
}

std::string UnreadableFontText(HFONT font) {
    char text[48];
    std::snprintf(text, sizeof text, "(font %08lX cannot be read)",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(font)));
    return text;
}

int PixelsPerInch(HWND window) {
    ui::released_dc dc(window);
    const int resolution = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
    if (resolution > 0) return resolution;
    ui::released_dc screen(nullptr);
    const int screen_resolution = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return screen_resolution > 0 ? screen_resolution : 96;
}

std::string ReadFont(HWND window) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font) return NoFontText;
    // A window may answer with any handle; GetObjectA would describe a bitmap or a pen just as well.
    LOGFONTA description{};
    if (::GetObjectType(font) != OBJ_FONT || ::GetObjectA(font, sizeof description, &description) == 0)
        return UnreadableFontText(font);
    return DescribeFont(description, PixelsPerInch(window));
}

const char* WeightName(LONG weight) {
    switch (weight) {
        case 100:
            return "Thin";
        case 200:
            return "Ultralight";
        case 300:
            return "Light";
        case 400:
            return "Normal";
        case 500:
            return "Medium";
        case 600:
            return "Semibold";
        case 700:
            return "Bold";
        case 800:
            return "Extrabold";
        case 900:
            return "Black";
        default:
            return nullptr;
    }
}

}  // namespace

std::string DescribeFont(const LOGFONTA& font, int pixels_per_inch) {
    return FontText(
        std::string(font.lfFaceName, ::strnlen(font.lfFaceName, LF_FACESIZE)),
        -static_cast<long long>(::MulDiv(font.lfHeight, 72, pixels_per_inch)),
        {WeightName(font.lfWeight), font.lfItalic != 0, font.lfUnderline != 0, font.lfStrikeOut != 0});
}

void ReadWindowInformation(HWND window, TWindowInformation& info) {
    ReadWindowInformation(window, info, TReaderPlatform{IsWinNT(), IsWinXPOrLater()});
}

void ReadWindowInformation(HWND window, TWindowInformation& info, const TReaderPlatform& platform) {
    // Everything that needs the window's own thread is asked only after this probe; the sends that
    // follow have no time-out of their own.
    ReadWindowInformation(window, info, platform, WindowResponds(window));
}

void ReadWindowInformation(HWND window, TWindowInformation& info, bool responds) {
    ReadWindowInformation(window, info, TReaderPlatform{IsWinNT(), IsWinXPOrLater()}, responds);
}

void ReadWindowInformation(HWND window, TWindowInformation& info, const TReaderPlatform& platform,
                           bool responds) {
    info = TWindowInformation{};
    if (responds) {
        info.Caption = ReadCaption(window, platform.WinNT);
        info.ClassName = ReadClassName(window, platform.WinNT);
        info.Font = ReadFont(window);
    } else {
        info.Caption = info.ClassName = L"(not available)";
        info.Font = "(not available)";
    }
    info.ID = static_cast<std::int32_t>(::GetWindowLongA(window, GWL_ID));
    info.Enabled = ::IsWindowEnabled(window) != FALSE;
    info.Visible = ::IsWindowVisible(window) != FALSE;
    info.Unicode = ::IsWindowUnicode(window) != FALSE;
    ::GetWindowRect(window, &info.WindowRect);
    ::GetClientRect(window, &info.ClientRect);
    info.AppInstance = static_cast<std::uint32_t>(::GetWindowLongA(window, GWL_HINSTANCE));
    info.ParentWnd = ::GetParent(window);
    info.OwnerWnd = ::GetWindow(window, GW_OWNER);
    if (responds) {
        info.IconBig = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
        info.IconSmall = reinterpret_cast<HICON>(
            ::SendMessageA(window, WM_GETICON, platform.XPOrLater ? ICON_SMALL2 : ICON_SMALL, 0));
    }
    info.Style = static_cast<std::uint32_t>(::GetWindowLongA(window, GWL_STYLE));
    info.ExStyle = static_cast<std::uint32_t>(::GetWindowLongA(window, GWL_EXSTYLE));
}
