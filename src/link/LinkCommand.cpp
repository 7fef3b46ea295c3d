#include "link/LinkCommand.h"

std::wstring ProgramFromCommand(const std::wstring& command) {
    const std::size_t quote = command.find(L'"');
    if (quote == std::wstring::npos) return command.substr(0, command.find(L' '));
    std::wstring program = command;
    program.erase(quote, 1);
    const std::size_t closing = program.find(L'"', quote);
    if (closing != std::wstring::npos) program.erase(closing);
    return program;
}

bool HasDirectoryPart(const std::wstring& name) { return name.find_first_of(L"\\/:") != std::wstring::npos; }

std::vector<std::wstring> ProgramCandidates(const std::wstring& name, const std::wstring& search_path) {
    if (name.empty()) return {};
    std::vector<std::wstring> candidates{name};
    std::size_t start = 0;
    while (start <= search_path.size()) {
        std::size_t end = search_path.find(L';', start);
        if (end == std::wstring::npos) end = search_path.size();
        std::wstring folder = search_path.substr(start, end - start);
        if (!folder.empty()) {
            if (folder.back() != L'\\' && folder.back() != L':') folder += L'\\';
            candidates.push_back(folder + name);
        }
        start = end + 1;
    }
    return candidates;
}
