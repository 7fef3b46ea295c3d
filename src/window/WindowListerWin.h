#pragma once
// The system's windows for the window tree, read without sending them a message: a hung program
// cannot hold the tree up.
#include "window/WindowTree.h"

class TWindowListerWin : public TWindowLister {
public:
    // EnumWindows and EnumChildWindows: each takes its list of windows before it walks it.
    std::vector<std::uint32_t> TopLevelWindows(std::size_t limit) override;
    std::vector<TChild> Descendants(std::uint32_t top_level, std::size_t limit) override;
    // The class name (GetClassNameW) and the system's copy of the caption (InternalGetWindowText), at
    // most 255 characters each, and the visible style.
    std::optional<TListedWindow> Describe(std::uint32_t window) override;
};
