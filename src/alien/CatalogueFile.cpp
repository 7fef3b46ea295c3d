#include "alien/CatalogueFile.h"

#include <windows.h>

#include "ui/FileStream.h"

namespace {

// Thousands of records fit in a small part of this; a larger file is no catalogue.
constexpr std::size_t kCatalogueSizeLimit = 16u << 20;

}  // namespace

std::wstring ComponentCatalogueFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        // Paths of the platform end at 32767 characters.
        if (length < path.size() || path.size() > 32768) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.erase(path.find_last_of(L"\\/:") + 1);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    return path + L"CompRef.txt";
}

CatalogueReader CatalogueFileReader(const std::wstring& file_name) {
    return [file_name] {
        const std::vector<unsigned char> bytes = ui::read_file(file_name, kCatalogueSizeLimit);
        return std::string(bytes.begin(), bytes.end());
    };
}
