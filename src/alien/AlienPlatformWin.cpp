#include "alien/AlienPlatformWin.h"

#include <algorithm>

#include "ui/Handles.h"

namespace {

// Memory protection is per page, so a read that stays inside one page either succeeds or fails whole.
constexpr std::uint64_t PageSize = 4096;
constexpr std::uint64_t AddressSpaceEnd = 0x100000000ull;

class ProcessMemory : public ByteSource {
public:
    ProcessMemory(HANDLE process, std::uint64_t& calls) : process_(process), calls_(calls) {}

    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override {
        if (!process_ || offset >= AddressSpaceEnd) return 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, AddressSpaceEnd - offset));
        if (wanted == 0) return 0;
        std::size_t done = ReadOnce(offset, into, wanted);
        if (done != 0) return done;
        // A range running into an unreadable page fails whole; take what lies before that page.
        auto* bytes = static_cast<unsigned char*>(into);
        while (done < wanted) {
            const std::uint64_t at = offset + done;
            const auto chunk =
                static_cast<std::size_t>(std::min<std::uint64_t>(wanted - done, PageSize - at % PageSize));
            if (done == 0 && chunk == wanted) break;  // the read that just failed
            const std::size_t got = ReadOnce(at, bytes + done, chunk);
            done += got;
            if (got < chunk) break;
        }
        return done;
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
    const DWORD thread = ::GetWindowThreadProcessId(AlienHwnd(window), &process);
    process_id = process;
    return thread;
}

std::uint32_t TWin32AlienPlatform::InstanceOf(std::uint32_t window) {
    return static_cast<std::uint32_t>(::GetWindowLongA(AlienHwnd(window), GWL_HINSTANCE));
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
        ::GetPropA(AlienHwnd(window), reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)))));
}

std::uint32_t TWin32AlienPlatform::QueryObject(std::uint32_t window, std::uint32_t message) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(AlienHwnd(window), message, 0, 0, SMTO_ABORTIFHUNG, query_timeout_ms_,
                               &answer))
        return 0;
    return static_cast<std::uint32_t>(answer);
}

TAlienRect TWin32AlienPlatform::ClientRectOf(std::uint32_t window) {
    RECT client{};
    if (window == 0 || !::GetClientRect(AlienHwnd(window), &client)) return {};
    return {client.left, client.top, client.right, client.bottom};
}

TWin32AlienPlatform& Win32AlienPlatform() {
    static TWin32AlienPlatform platform;
    return platform;
}
