#include "support/FixtureProcess.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto ReadyDeadline = std::chrono::seconds(30);
constexpr auto HangDeadline = std::chrono::seconds(10);
constexpr DWORD EndDeadlineMs = 10000;
constexpr DWORD ReadyFileLimit = 64 * 1024;

std::wstring ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw std::runtime_error("GetModuleFileNameW failed");
        if (length < path.size()) break;
        if (path.size() >= 32768) throw std::runtime_error("test program path too long");
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring NewReadyFileName() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH, temp) == 0) throw std::runtime_error("GetTempPathW failed");
    return std::wstring(temp) + L"scrutel-fixture-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".txt";
}

// The whole file when its last line is "ready", else nothing.
bool ReadReadyFile(const std::wstring& name, std::string& contents) {
    const HANDLE opened =
        ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    ui::unique_kernel_handle file(opened);
    std::string text(ReadyFileLimit, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), ReadyFileLimit, &read, nullptr)) return false;
    text.resize(read);
    const std::string last = "ready\n";
    if (text.size() < last.size() || text.compare(text.size() - last.size(), last.size(), last) != 0)
        return false;
    contents = std::move(text);
    return true;
}

std::map<std::string, std::uintptr_t> ParseValues(const std::string& text) {
    std::map<std::string, std::uintptr_t> values;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        values[line.substr(0, equals)] =
            static_cast<std::uintptr_t>(std::strtoull(line.c_str() + equals + 1, nullptr, 16));
    }
    return values;
}

}  // namespace

FixtureProcess::FixtureProcess(const std::wstring& exe_name, const std::wstring& arguments)
    : ready_file_(NewReadyFileName()) {
    ::DeleteFileW(ready_file_.c_str());

    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!::CreatePipe(&read_end, &write_end, &inheritable, 0)) throw std::runtime_error("CreatePipe failed");
    ui::unique_kernel_handle stdin_read(read_end);
    stdin_write_.reset(write_end);
    ::SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);

    const std::wstring exe = ProgramFolder() + exe_name;
    std::wstring command_line = L"\"" + exe + L"\" \"" + ready_file_ + L"\"";
    if (!arguments.empty()) command_line += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = read_end;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started))
        throw std::runtime_error("cannot start fixture program " + std::to_string(::GetLastError()));
    process_.reset(started.hProcess);
    ui::unique_kernel_handle thread(started.hThread);
    pid_ = started.dwProcessId;

    std::string contents;
    const auto deadline = Clock::now() + ReadyDeadline;
    while (!ReadReadyFile(ready_file_, contents)) {
        // Waiting on the process both paces the polling and notices a fixture that died.
        if (::WaitForSingleObject(process_.get(), 10) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(process_.get(), &code);
            throw std::runtime_error("fixture program ended before it was ready, exit code " +
                                     std::to_string(code));
        }
        if (Clock::now() > deadline) {
            ::TerminateProcess(process_.get(), 1);
            throw std::runtime_error("fixture program did not get ready in time");
        }
    }
    values_ = ParseValues(contents);
}

FixtureProcess::~FixtureProcess() {
    stdin_write_.reset();
    if (::WaitForSingleObject(process_.get(), EndDeadlineMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), EndDeadlineMs);
    }
    ::DeleteFileW(ready_file_.c_str());
}

std::uintptr_t FixtureProcess::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) throw std::out_of_range("the fixture reported no value " + name);
    return found->second;
}

HWND FixtureProcess::window(const std::string& name) const { return reinterpret_cast<HWND>(value(name)); }

void FixtureProcess::hang(const std::string& name, DWORD milliseconds) {
    const UINT message = ::RegisterWindowMessageW(fixture_protocol::HangMessage);
    ui::unique_kernel_handle hung(
        ::OpenEventW(SYNCHRONIZE, FALSE, fixture_protocol::HungEventName(pid_).c_str()));
    if (!hung) throw std::runtime_error("the fixture offers no hung-thread event");
    if (!::PostMessageW(window(name), message, milliseconds, 0)) throw std::runtime_error("cannot post hang");
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(HangDeadline).count();
    if (::WaitForSingleObject(hung.get(), static_cast<DWORD>(wait)) != WAIT_OBJECT_0)
        throw std::runtime_error("the fixture's thread did not hang");
}
