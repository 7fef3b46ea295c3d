// Shortcut files: their target through the shell link object, the shortcut mark of a file type, and the
// shell's shortcut overlay icon.
#include "components/GkGeneral.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <exception>
#include <string>

#include "components/GkGeneralShortcut.h"
#include "ui/Exceptions.h"
#include "ui/Handles.h"
#include "ui/Registry.h"
#include "ui/Text.h"

namespace {

// The target path of an already loaded link through one of the two GetPath variants.
std::wstring GetLinkPath(IShellLinkW& link) {
    std::array<wchar_t, MAX_PATH> path{};
    WIN32_FIND_DATAW data{};
    if (FAILED(link.GetPath(path.data(), static_cast<int>(path.size()), &data, 0))) return {};
    path.back() = L'\0';  // a full buffer need not end in a null
    return path.data();
}

std::wstring GetLinkPath(IShellLinkA& link) {
    std::array<char, MAX_PATH> path{};
    WIN32_FIND_DATAA data{};
    if (FAILED(link.GetPath(path.data(), static_cast<int>(path.size()), &data, 0))) return {};
    path.back() = '\0';
    const int length = ::MultiByteToWideChar(CP_ACP, 0, path.data(), -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, path.data(), -1, wide.data(), length) != length) return {};
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

template <class Link>
std::wstring ResolveWith(const IID& link_interface, const std::wstring& file) {
    ui::com_ptr<Link> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  link_interface, link.put_void())) ||
        !link)
        return {};
    ui::com_ptr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.put_void())) || !persist) return {};
    if (FAILED(persist->Load(file.c_str(), STGM_SHARE_DENY_WRITE))) return {};
    return GetLinkPath(*link.get());
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// The leading integer of a text, as StrToIntDef would read it; 0 when there is none.
int IconIndexOf(const std::wstring& text) {
    try {
        std::size_t used = 0;
        const int index = std::stoi(text, &used);
        return used == text.size() ? index : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

HICON IconFromLocation(const std::wstring& location) {
    const auto comma = location.find(L',');
    if (comma != std::wstring::npos) {
        const std::wstring file = Trimmed(location.substr(0, comma));
        const int index = IconIndexOf(Trimmed(location.substr(comma + 1)));
        if (index == -1) return nullptr;  // ExtractIcon would answer the file's icon count, not an icon
        HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), file.c_str(), static_cast<UINT>(index));
        // ExtractIcon answers 1 for a file that is no icon source.
        return reinterpret_cast<UINT_PTR>(icon) > 1 ? icon : nullptr;
    }
    if (location.empty()) return nullptr;
    return static_cast<HICON>(::LoadImageW(nullptr, location.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

}  // namespace

std::wstring ResolveShortcutWith(const std::wstring& file, LinkInterface which) {
    try {
        const ui::com_scope com;
        if (!com.ok()) return {};
        return which == LinkInterface::Wide ? ResolveWith<IShellLinkW>(IID_IShellLinkW, file)
                                            : ResolveWith<IShellLinkA>(IID_IShellLinkA, file);
    } catch (...) {
        return {};
    }
}

std::wstring ResolveShortcut(const std::wstring& file) {
    return ResolveShortcutWith(file, IsWinNT() ? LinkInterface::Wide : LinkInterface::Ansi);
}

bool IsShortcut(const std::wstring& extension) {
    ui::Registry classes(HKEY_CLASSES_ROOT);
    if (extension.empty() || !classes.open_key_read_only(extension)) return false;
    const std::wstring class_name = classes.read_string(L"");  // raises on a value of another type
    classes.close_key();
    return !class_name.empty() && classes.open_key_read_only(class_name) &&
           classes.value_exists(L"IsShortcut");
}

HICON ShortcutOverlayIcon() {
    std::wstring location;
    try {
        ui::Registry machine(HKEY_LOCAL_MACHINE);
        if (machine.open_key_read_only(
                L"Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons"))
            location = machine.read_string(L"29");
    } catch (const ui::ERegistryException&) {
        // a setting of the wrong type counts as none
    }
    if (HICON icon = IconFromLocation(location)) return icon;
    return IconFromLocation(L"shell32.dll,29");
}

bool FileExists(const std::wstring& name) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
    // The scan looks only for "%", which UTF-8 never uses inside another character.
    const auto lookup = [](const std::string& name) -> std::optional<std::string> {
        const std::wstring variable = ui::utf8_to_wide(name);
        if (variable.empty() || variable.find(L'=') != std::wstring::npos) return std::nullopt;
        ::SetLastError(ERROR_SUCCESS);
        const DWORD size = ::GetEnvironmentVariableW(variable.c_str(), nullptr, 0);
        if (size == 0)
            return ::GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
        std::wstring value(size, L'\0');
        const DWORD length = ::GetEnvironmentVariableW(variable.c_str(), value.data(), size);
        value.resize(length < size ? length : 0);
        return ui::wide_to_utf8(value);
    };
    return ui::utf8_to_wide(ExpandEnvironmentReferences(ui::wide_to_utf8(text), lookup));
}

std::wstring ProgramFile() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}
