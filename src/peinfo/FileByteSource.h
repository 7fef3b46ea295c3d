#pragma once
// A ByteSource over a file on disk, opened for reading while other programs may read and write it.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/ByteSource.h"

class FileByteSource : public ByteSource {
public:
    // Throws EStreamError naming the absolute file name and the system's reason when it cannot open.
    explicit FileByteSource(const std::filesystem::path& fileName);
    std::size_t read(std::uint64_t offset, void* into, std::size_t size) override;
    std::uint64_t size() const override { return size_; }
    // What all readers of this source have taken from the file so far.
    std::uint64_t BytesRead() const { return bytes_read_; }

private:
    // The readers take a few bytes at a time from two or three places at once (thunks and names,
    // the name and ordinal tables): a few cached blocks save a system call per value.
    static constexpr std::size_t kBlockSize = 4096, kBlocks = 16;
    struct Block {
        std::uint64_t index = UINT64_MAX;
        std::size_t size = 0;
        std::array<unsigned char, kBlockSize> bytes;
    };
    const Block* LoadBlock(std::uint64_t index);

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
    std::uint64_t bytes_read_ = 0;
    std::unique_ptr<std::array<Block, kBlocks>> blocks_ = std::make_unique<std::array<Block, kBlocks>>();
};
