#include "peinfo/FileByteSource.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "peinfo/GkPeInfo.h"

namespace {

[[noreturn]] void ThrowOpenError(const std::filesystem::path& fileName, int error) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(fileName, ignored);
    const std::u8string name = (absolute.empty() ? fileName : absolute).u8string();
    throw EStreamError("Cannot open file \"" + std::string(name.begin(), name.end()) +
                       "\": " + std::strerror(error));
}

bool Seek(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace

FileByteSource::FileByteSource(const std::filesystem::path& fileName) {
    // A directory opens on some systems and then reads as nothing; say what it is instead.
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec)) ThrowOpenError(fileName, EISDIR);
    errno = 0;
#ifdef _WIN32
    // The C runtime's fopen shares the file with readers and writers.
    file_.reset(_wfopen(fileName.c_str(), L"rb"));
#else
    file_.reset(std::fopen(fileName.c_str(), "rb"));
#endif
    if (!file_) ThrowOpenError(fileName, errno ? errno : ENOENT);
    const std::uintmax_t length = std::filesystem::file_size(fileName, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(length);
}

std::size_t FileByteSource::read(std::uint64_t offset, void* into, std::size_t size) {
    if (offset >= size_ || size == 0) return 0;
    if (size > size_ - offset) size = static_cast<std::size_t>(size_ - offset);
    if (offset > static_cast<std::uint64_t>(INT64_MAX) || !Seek(file_.get(), offset)) return 0;
    const std::size_t got = std::fread(into, 1, size, file_.get());
    bytesRead_ += got;
    return got;
}
