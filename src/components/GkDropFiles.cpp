#include "components/GkDropFiles.h"

#include <shellapi.h>

#include "base/ScopeGuard.h"
#include "components/GkGeneral.h"

void TGkDropFiles::SetTarget(HWND target) {
    if (HWND previous = Target()) {
        hook_.uninstall();
        ::DragAcceptFiles(previous, FALSE);
    }
    target_ = nullptr;
    if (!target) return;
    if (hook_.install(target, [this](const ui::WindowHook::Call& call) { return WindowProc(call); })) {
        target_ = target;
        ::DragAcceptFiles(target, TRUE);
    }
}

LRESULT TGkDropFiles::WindowProc(const ui::WindowHook::Call& call) {
    if (call.msg != WM_DROPFILES) return call.pass_on();
    DropFiles(reinterpret_cast<HDROP>(call.wp));
    return 0;
}

void TGkDropFiles::DropFiles(HDROP drop) {
    // The handle is the receiver's to release, whatever happens below (a registry error of the
    // shortcut test goes on to the error box after it).
    const ScopeExit finish([drop] { ::DragFinish(drop); });
    std::vector<std::wstring> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    files.reserve(count);
    for (UINT index = 0; index < count; ++index) {
        const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
        std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, index, name.data(), length + 1);
        name.resize(copied <= length ? copied : length);
        if (ResolveLinks && IsShortcut(ExtractFileExt(name))) name = ResolveShortcut(name);
        files.push_back(std::move(name));
    }
    POINT at{};
    ::DragQueryPoint(drop, &at);
    if (OnDropFiles) OnDropFiles(*this, files, at.x, at.y);
}
