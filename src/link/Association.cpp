#include "link/Association.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <iterator>
#include <vector>

#include "components/GkGeneral.h"
#include "link/LinkCommand.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"

namespace {

// A key path below HKEY_CLASSES_ROOT; "" is the root itself.
std::wstring Below(const std::wstring& key, const std::wstring& subkey) {
    return key.empty() ? subkey : key + L"\\" + subkey;
}

std::wstring FullName(const std::wstring& name) {
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return name;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return name;
    full.resize(length);
    return full;
}

// The program, its description and icon for an open command.
void ReadProgram(const std::wstring& command, TAssociation& association) {
    std::wstring program = ExpandEnvironmentReferences(ProgramFromCommand(command));
    if (!HasDirectoryPart(program)) program = SearchProgram(program);
    association.ProgramFileName = program;
    if (FileExists(program)) association.ProgramDescription = FileDescription(program);
    if (program.empty()) return;
    HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), program.c_str(), 0);
    // 1: the file is no source of icons.
    if (reinterpret_cast<UINT_PTR>(icon) > 1) association.Icon.reset(icon);
}

}  // namespace

std::wstring UserChoiceClass(const std::wstring& extension) {
    if (extension.empty()) return {};
    ui::Registry user(HKEY_CURRENT_USER);
    if (!user.open_key_read_only(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                                 extension + L"\\UserChoice"))
        return {};
    try {
        return user.read_string(L"ProgId");
    } catch (const ui::ERegistryException&) {
        return {};
    }
}

TAssociation ReadAssociation(const std::wstring& name) {
    TAssociation association;
    const std::wstring extension = ExtractFileExt(name);
    try {
        ui::Registry classes(HKEY_CLASSES_ROOT);
        // The key "now current": the extension's when it exists, else the root.
        std::wstring current;
        if (!extension.empty() && classes.open_key_read_only(extension))
            current = extension;
        else
            classes.open_key_read_only(L"");
        const bool extension_opened = !current.empty();
        std::wstring class_name = UserChoiceClass(extension);
        if (class_name.empty()) class_name = classes.read_string(L"");
        if (classes.open_key_read_only(class_name)) {
            association.TypeDescription = classes.read_string(L"");
            current = class_name;
        } else if (!extension_opened) {
            current.clear();
        }
        if (!classes.open_key_read_only(Below(current, L"shell\\open\\command"))) return association;
        ReadProgram(classes.read_string(L""), association);
    } catch (const ui::ERegistryException&) {
        // A value of another type: the lookup ends with what it found.
    }
    return association;
}

std::wstring FileDescription(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> info(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, info.data())) return {};
    struct Translation {
        WORD language, code_page;
    };
    void* found = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &found, &length) || !found ||
        length < sizeof(Translation))
        return {};
    Translation first{};
    std::memcpy(&first, found, sizeof first);
    wchar_t query[64];
    std::swprintf(query, std::size(query), L"\\StringFileInfo\\%04X%04X\\FileDescription", first.language,
                  first.code_page);
    if (!::VerQueryValueW(info.data(), query, &found, &length) || !found || length == 0) return {};
    // The text lies inside the block just read; it ends at its null or at the block's end.
    const auto* text = static_cast<const wchar_t*>(found);
    const auto* end = reinterpret_cast<const wchar_t*>(info.data() + info.size());
    std::size_t count = 0;
    while (count < length && text + count < end && text[count] != L'\0') ++count;
    return std::wstring(text, count);
}

std::wstring SearchProgram(const std::wstring& name) {
    std::wstring path;
    if (const DWORD size = ::GetEnvironmentVariableW(L"path", nullptr, 0)) {
        path.resize(size);
        const DWORD length = ::GetEnvironmentVariableW(L"path", path.data(), size);
        path.resize(length < size ? length : 0);
    }
    for (const std::wstring& candidate : ProgramCandidates(name, path))
        if (FileExists(candidate)) return FullName(candidate);
    return {};
}
