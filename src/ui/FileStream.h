#pragma once
// Files on disk through the platform: a byte source for reading, writing a file whole, and the errors
// the error box shows for them ("Cannot open file "%s". %s", "Cannot create file "%s". %s").
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "ui/Exceptions.h"
#include "ui/Handles.h"

namespace ui {

struct file_handle_traits : uncounted {
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using unique_file = unique_handle<HANDLE, file_handle_traits>;

class EFOpenError : public Exception {
public:
    using Exception::Exception;
};
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};
class EWriteError : public Exception {
public:
    EWriteError() : Exception(L"Stream write error") {}
};

// The system's text for an error code, without its line end; empty when the system has none.
std::wstring system_error_message(DWORD code);

// A file opened for reading; other programs may read and write it meanwhile.
class FileReadSource : public ByteSource {
public:
    // Throws EFOpenError naming the file as given and the system's reason.
    explicit FileReadSource(const std::wstring& file_name);
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;
    std::uint64_t size() const override { return size_; }

private:
    unique_file file_;
    std::uint64_t size_ = 0;
};

// The whole file as bytes; EFOpenError also for a file larger than `limit`.
std::vector<unsigned char> read_file(const std::wstring& file_name, std::size_t limit);

// Creates the file (an existing one is replaced) and writes the bytes. Throws EFCreateError when the
// file cannot be created, and EWriteError (the file removed) when not every byte could be written.
void write_file(const std::wstring& file_name, const std::vector<std::uint8_t>& bytes);

}  // namespace ui
