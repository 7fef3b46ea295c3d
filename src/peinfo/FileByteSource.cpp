#include "peinfo/FileByteSource.h"

#include <algorithm>
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
    // Reads go through the block cache below, so the runtime's own buffer would only copy twice.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    const std::uintmax_t length = std::filesystem::file_size(fileName, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(length);
}

const FileByteSource::Block* FileByteSource::LoadBlock(std::uint64_t index) {
    Block& block = (*blocks_)[index % kBlocks];
    if (block.index == index) return &block;
    block.index = UINT64_MAX;
    const std::uint64_t offset = index * kBlockSize;
    if (offset > static_cast<std::uint64_t>(INT64_MAX) || !Seek(file_.get(), offset)) return nullptr;
    block.size = std::fread(block.bytes.data(), 1, kBlockSize, file_.get());
    if (block.size == 0) return nullptr;
    block.index = index;
    return &block;
}

std::size_t FileByteSource::read(std::uint64_t offset, void* into, std::size_t size) {
    if (offset >= size_ || size == 0) return 0;
    if (size > size_ - offset) size = static_cast<std::size_t>(size_ - offset);
    auto* out = static_cast<unsigned char*>(into);
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        const Block* block = LoadBlock(at / kBlockSize);
        const std::size_t within = static_cast<std::size_t>(at % kBlockSize);
        if (!block || block->size <= within) break;
        const std::size_t count = std::min(size - done, block->size - within);
        std::memcpy(out + done, block->bytes.data() + within, count);
        done += count;
        // A short block means the file ended (or shrank) there.
        if (block->size < kBlockSize) break;
    }
    bytes_read_ += done;
    return done;
}
