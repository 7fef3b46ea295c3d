#include "ui/Clipboard.h"

#include <cstring>

namespace ui {
namespace {

// Another program may hold the clipboard open for a moment.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenPauseMs = 10;

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
            open_ = ::OpenClipboard(owner) != FALSE;
            if (!open_) ::Sleep(kOpenPauseMs);
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

// Global memory that is ours until the clipboard takes it.
class GlobalMemory {
public:
    explicit GlobalMemory(std::size_t bytes) : memory_(::GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    ~GlobalMemory() {
        if (memory_) ::GlobalFree(memory_);
    }
    HGLOBAL get() const { return memory_; }
    void release() { memory_ = nullptr; }

private:
    HGLOBAL memory_;
};

}  // namespace

bool copy_to_clipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(bytes);
    if (!memory.get()) return false;
    void* locked = ::GlobalLock(memory.get());
    if (!locked) return false;
    std::memcpy(locked, text.c_str(), bytes);
    ::GlobalUnlock(memory.get());

    OpenedClipboard clipboard(owner);
    if (!clipboard || !::EmptyClipboard()) return false;
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the system's now
    return true;
}

bool edit_has_selection(HWND window) {
    wchar_t class_name[16] = {};
    if (!window || !::GetClassNameW(window, class_name, 16) || ::lstrcmpiW(class_name, L"Edit") != 0)
        return false;
    DWORD start = 0, end = 0;
    ::SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start != end;
}

}  // namespace ui
