#pragma once
// TGkDropFiles makes a window a target for files dragged from the shell: it registers the window for
// drops, takes WM_DROPFILES in front of the window's own procedure and reports the dropped names as
// wide texts, with shortcuts replaced by their targets when ResolveLinks is set, and the drop point.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/WindowHook.h"

class TGkDropFiles {
public:
    // Files: full names in the shell's order; x, y: the drop point in the target's client coordinates.
    using TGkDropFilesEvent =
        std::function<void(TGkDropFiles& sender, const std::vector<std::wstring>& files, int x, int y)>;

    TGkDropFiles() = default;
    TGkDropFiles(const TGkDropFiles&) = delete;
    TGkDropFiles& operator=(const TGkDropFiles&) = delete;
    // Lets go of the target, whose window may outlive the component.
    ~TGkDropFiles() { SetTarget(nullptr); }

    // Replace each dropped shortcut by its target (an empty name when it cannot be read).
    bool ResolveLinks = true;
    // Called once per drop, also with no names when the shell reports none.
    TGkDropFilesEvent OnDropFiles;

    // Registers the window for drops (null: none); the previous target is unregistered first.
    void SetTarget(HWND target);
    // The registered window; null when none is set or its window is gone.
    HWND Target() const { return hook_.installed() ? target_ : nullptr; }

private:
    LRESULT WindowProc(const ui::WindowHook::Call& call);
    void DropFiles(HDROP drop);

    ui::WindowHook hook_;
    HWND target_ = nullptr;
};
