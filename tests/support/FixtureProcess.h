#pragma once
// Runs a fixture program of tests/fixtures for the length of a test and hands out its windows.
//
// A fixture is started as "<exe> <ready file> [arguments]" with a pipe as its standard input. It
// writes its values as "name=HEX" lines followed by a last line "ready" into a temporary file that it
// then moves to the ready file's name, and it ends when its standard input closes. FixtureProtocol.h
// has the names a fixture shares with this class.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "support/FixtureProtocol.h"
#include "ui/Handles.h"

class FixtureProcess {
public:
    // exe_name is looked up beside the running test program; arguments, when not empty, follow the
    // ready file's name on its command line as they stand. Throws std::runtime_error when the fixture
    // cannot be started or does not get ready in time.
    explicit FixtureProcess(const std::wstring& exe_name, const std::wstring& arguments = {});
    ~FixtureProcess();
    FixtureProcess(const FixtureProcess&) = delete;
    FixtureProcess& operator=(const FixtureProcess&) = delete;

    // Throw std::out_of_range for a name the fixture did not report.
    HWND window(const std::string& name) const;
    std::uintptr_t value(const std::string& name) const;

    DWORD pid() const noexcept { return pid_; }
    HANDLE process() const noexcept { return process_.get(); }

    // Makes the thread of the named window stop answering messages for the given time and returns
    // once it does; throws std::runtime_error when the fixture does not confirm it.
    void hang(const std::string& name, DWORD milliseconds);

private:
    std::wstring ready_file_;
    ui::unique_kernel_handle process_;
    ui::unique_kernel_handle stdin_write_;
    DWORD pid_ = 0;
    std::map<std::string, std::uintptr_t> values_;
};
