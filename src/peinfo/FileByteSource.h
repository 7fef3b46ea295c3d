#pragma once
// A ByteSource over a file on disk, opened for reading while other programs may read and write it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "components/ByteSource.h"

class FileByteSource : public ByteSource {
public:
    // Throws EStreamError naming the absolute file name and the system's reason when it cannot open.
    explicit FileByteSource(const std::filesystem::path& fileName);
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;
    std::uint64_t size() const override { return size_; }
    // What all readers of this source have taken from the file so far.
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
    std::uint64_t bytesRead_ = 0;
};
