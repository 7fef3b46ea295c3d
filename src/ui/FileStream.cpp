#include "ui/FileStream.h"

#include <algorithm>

namespace ui {
namespace {

[[noreturn]] void throw_open_error(const std::wstring& file_name, const std::wstring& reason) {
    throw EFOpenError(L"Cannot open file \"" + file_name + L"\". " + reason);
}

}  // namespace

std::wstring system_error_message(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

FileReadSource::FileReadSource(const std::wstring& file_name) {
    file_.reset(::CreateFileW(file_name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) throw_open_error(file_name, system_error_message(::GetLastError()));
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file_.get(), &length))
        throw_open_error(file_name, system_error_message(::GetLastError()));
    size_ = static_cast<std::uint64_t>(length.QuadPart);
}

std::size_t FileReadSource::read(std::uint64_t offset, void* into, std::size_t size) {
    if (offset >= size_ || size == 0) return 0;
    if (size > size_ - offset) size = static_cast<std::size_t>(size_ - offset);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) return 0;
    auto* out = static_cast<unsigned char*>(into);
    std::size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        if (!::ReadFile(file_.get(), out + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

std::vector<unsigned char> read_file(const std::wstring& file_name, std::size_t limit) {
    FileReadSource source(file_name);
    std::vector<unsigned char> bytes;
    // A file that shrinks while it is read fails the same way as one that is too large.
    if (source.size() > limit ||
        !read_bytes(source, 0, static_cast<std::size_t>(source.size()), bytes, limit))
        throw_open_error(file_name, L"The file is larger than " + std::to_wstring(limit >> 20) +
                                        L" MB or could not be read whole.");
    return bytes;
}

void write_file(const std::wstring& file_name, const std::vector<std::uint8_t>& bytes) {
    unique_file file(::CreateFileW(file_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EFCreateError(L"Cannot create file \"" + file_name + L"\". " +
                            system_error_message(::GetLastError()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!::WriteFile(file.get(), bytes.data() + done, want, &written, nullptr) || written == 0) {
            // What was written is not the file that was asked for.
            file.reset();
            ::DeleteFileW(file_name.c_str());
            throw EWriteError();
        }
        done += written;
    }
}

}  // namespace ui
