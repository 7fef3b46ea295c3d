#include "window/WindowListerWin.h"

#include <windows.h>

#include <utility>

#include "base/WindowHandleValue.h"

namespace {

struct Walk {
    std::vector<TWindowLister::TChild> windows;
    std::size_t limit;
    bool parents;
};

BOOL CALLBACK Take(HWND window, LPARAM data) {
    auto* walk = reinterpret_cast<Walk*>(data);
    if (walk->windows.size() >= walk->limit) return FALSE;
    // GetParent would answer the owner of a pop-up window; the tree wants the window it lies in.
    walk->windows.push_back(
        {HandleValue(window), walk->parents ? HandleValue(::GetAncestor(window, GA_PARENT)) : 0});
    return TRUE;
}

}  // namespace

std::vector<std::uint32_t> TWindowListerWin::TopLevelWindows(std::size_t limit) {
    Walk walk{{}, limit, false};
    ::EnumWindows(Take, reinterpret_cast<LPARAM>(&walk));
    std::vector<std::uint32_t> windows;
    for (const TChild& window : walk.windows) windows.push_back(window.Window);
    return windows;
}

std::vector<TWindowLister::TChild> TWindowListerWin::Descendants(std::uint32_t top_level, std::size_t limit) {
    Walk walk{{}, limit, true};
    if (limit > 0)
        ::EnumChildWindows(HandleFromValue<HWND>(top_level), Take, reinterpret_cast<LPARAM>(&walk));
    return std::move(walk.windows);
}

std::optional<TListedWindow> TWindowListerWin::Describe(std::uint32_t value) {
    HWND window = HandleFromValue<HWND>(value);
    wchar_t class_name[256] = {};
    const int class_length = ::GetClassNameW(window, class_name, 256);
    if (class_length <= 0) return std::nullopt;
    wchar_t caption[256] = {};
    const int caption_length = ::InternalGetWindowText(window, caption, 256);
    // Read last: a window destroyed during these calls fails here, and is left out. (IsWindowVisible
    // would read the style of every ancestor again; the tree knows their visibility already.)
    ::SetLastError(ERROR_SUCCESS);
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    if (style == 0 && ::GetLastError() != ERROR_SUCCESS) return std::nullopt;
    const bool visible = (style & WS_VISIBLE) != 0;
    const auto length = [](int answer) {
        return static_cast<std::size_t>(answer < 0 ? 0 : answer > 255 ? 255 : answer);
    };
    return TListedWindow{std::wstring(class_name, length(class_length)),
                         std::wstring(caption, length(caption_length)), visible};
}
