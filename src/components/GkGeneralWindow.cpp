#include "components/GkGeneral.h"

namespace {

struct PlatformFacts {
    DWORD platform_id = VER_PLATFORM_WIN32_NT;
    DWORD major = 5;
    DWORD minor = 1;
};

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

// GetVersionEx reports the version named in the program's manifest rather than the system's, so the
// version comes from ntdll, which tells the truth; ntdll lacks RtlGetVersion only on systems as old
// as the Windows 95 family, where GetVersionExA still answers correctly. Should both fail, the
// program is on a system it was built for: NT, 5.1 or later.
PlatformFacts ReadPlatformFacts() {
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        if (FARPROC address = ::GetProcAddress(ntdll, "RtlGetVersion")) {
            // Through void(*)() so that the cast to the real signature draws no function-type warning.
            const auto rtl_get_version =
                reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(address));
            OSVERSIONINFOW version{};
            version.dwOSVersionInfoSize = sizeof version;
            if (rtl_get_version(&version) == 0)
                return {version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion};
        }
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (::GetVersionExA(&version))
        return {version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion};
    return {};
}

const PlatformFacts& Facts() {
    static const PlatformFacts facts = ReadPlatformFacts();
    return facts;
}

}  // namespace

bool IsWinNT() { return Facts().platform_id == VER_PLATFORM_WIN32_NT; }
bool IsWin9x() { return Facts().platform_id == VER_PLATFORM_WIN32_WINDOWS; }
bool IsWinXPOrLater() { return Facts().major > 5 || (Facts().major == 5 && Facts().minor >= 1); }

bool WindowResponds(HWND window) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
}
