#include "alien/AlienPlatformWin.h"
#include "base/WindowHandleValue.h"

#include <algorithm>

#include "alien/PagedRead.h"
#include "components/GkGeneral.h"
#include "ui/Handles.h"

namespace {

class ProcessMemory : public ByteSource {
public:
    ProcessMemory(HANDLE process, std::uint64_t& calls) : process_(process), calls_(calls) {}

    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override {
        if (!process_) return 0;
        return ReadReadablePrefix(offset, into, size,
                                  [this](std::uint64_t address, void* to, std::size_t count) {
                                      return ReadOnce(address, to, count);
                                  });
    }

private:
    std::size_t ReadOnce(std::uint64_t address, void* into, std::size_t size) {
        ++calls_;
        SIZE_T done = 0;
        const auto from = reinterpret_cast<LPCVOID>(static_cast<std::uintptr_t>(address));
        if (!::ReadProcessMemory(process_.get(), from, into, size, &done))
            return std::min<SIZE_T>(done, size);
        return done;
    }

    ui::unique_kernel_handle process_;
    std::uint64_t& calls_;
};

}  // namespace

std::uint32_t TWin32AlienPlatform::ThreadProcessOf(std::uint32_t window, std::uint32_t& process_id) {
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(HandleFromValue<HWND>(window), &process);
    process_id = process;
    return thread;
}

std::uint32_t TWin32AlienPlatform::InstanceOf(std::uint32_t window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(HandleFromValue<HWND>(window), GWL_HINSTANCE));
}

std::uint32_t TWin32AlienPlatform::RegisterMessage(const std::string& name) {
    return ::RegisterWindowMessageA(name.c_str());
}

std::unique_ptr<ByteSource> TWin32AlienPlatform::OpenForReading(std::uint32_t process_id) {
    // Reading is all Scrutel ever does in another process; the handle is not passed on to children.
    HANDLE process = ::OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, process_id);
    return std::make_unique<ProcessMemory>(process, read_calls_);
}

std::uint32_t TWin32AlienPlatform::PropertyByAtomName(std::uint32_t window, const std::string& atom_name) {
    const ATOM atom = ::GlobalFindAtomA(atom_name.c_str());
    if (atom == 0) return 0;
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(
        ::GetPropA(HandleFromValue<HWND>(window), reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)))));
}

std::uint32_t TWin32AlienPlatform::QueryObject(std::uint32_t window, std::uint32_t message) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(HandleFromValue<HWND>(window), message, 0, 0, SMTO_ABORTIFHUNG,
                               query_timeout_ms_, &answer))
        return 0;
    return static_cast<std::uint32_t>(answer);
}

TAlienRect TWin32AlienPlatform::ClientRectOf(std::uint32_t window) {
    RECT client{};
    if (window == 0 || !::GetClientRect(HandleFromValue<HWND>(window), &client)) return {};
    return {client.left, client.top, client.right, client.bottom};
}

std::string TWin32AlienPlatform::WindowText(std::uint32_t window) {
    HWND handle = HandleFromValue<HWND>(window);
    if (window == 0 || !WindowResponds(handle)) return {};
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(handle, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, query_timeout_ms_, &copied))
        return {};
    const int length = static_cast<int>(std::min<DWORD_PTR>(copied, std::size(text) - 1));
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

TWin32AlienPlatform& Win32AlienPlatform() {
    static TWin32AlienPlatform platform;
    return platform;
}
