// Writes the PE builder's sample images into a folder: the fuzzer's seed corpus and the fixtures that
// the comparison with pefile reads.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fixtures/PeBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: write-pe-samples DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (const SampleImage& image : SampleImages()) {
        std::ofstream out(dir / image.Name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.Data.data()),
                  static_cast<std::streamsize>(image.Data.size()));
        if (!out) {
            std::fprintf(stderr, "write-pe-samples: cannot write %s\n", (dir / image.Name).string().c_str());
            return 1;
        }
    }
    return 0;
}
