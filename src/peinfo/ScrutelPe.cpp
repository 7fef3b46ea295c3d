// scrutel-pe FILE...: prints what the PEInfo page shows for each file, node by node, as text or, with
// --json, as one JSON object per file and line. Files that fail to load print the error box's message
// and make the exit status 1; the other files are still dumped. --bytes-read tells on stderr how much
// of each file was read.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "peinfo/FileByteSource.h"
#include "peinfo/GkPeInfo.h"
#include "peinfo/PeInfoNodes.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct Dump {
    std::string error;  // empty: loaded
    std::vector<TPeInfoNode> nodes;
    std::uint64_t bytesRead = 0, readerBytes = 0, size = 0;  // readerBytes: headers, imports, exports
};

Dump DumpFile(const std::filesystem::path& fileName) {
    Dump dump;
    try {
        FileByteSource file(fileName);
        const TPEFileInfo info(file, fileName, nsDecimal);
        TPackageInfo packages;
        packages.ReadPackageInfo(file, info.Image());
        dump.nodes = BuildPeInfoNodes(info, CollectProducerEvidence(info, file, packages), packages);
        dump.bytesRead = file.BytesRead();
        dump.readerBytes = info.BytesRead();
        dump.size = file.size();
    } catch (const std::exception& e) {
        dump.error = ErrorBoxText(e.what());
        if (dump.error.empty()) dump.error = ErrorBoxText("Unknown error");
    }
    return dump;
}

std::string Utf8(const std::filesystem::path& name) {
    const std::u8string text = name.u8string();
    return std::string(text.begin(), text.end());
}

// Texts from the file are 8-bit without a known code page: bytes from 0x80 on are written as the
// Latin-1 characters of the same number, so every byte survives and the output stays valid UTF-8.
void AppendJsonString(std::string& out, const std::string& text, bool latin1) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F || (latin1 && c >= 0x80)) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    out += '"';
}

void AppendJsonArray(std::string& out, const std::vector<std::string>& texts) {
    out += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i) out += ", ";
        AppendJsonString(out, texts[i], true);
    }
    out += ']';
}

std::string JsonLine(const std::string& file, const Dump& dump) {
    std::string out = "{\"file\": ";
    AppendJsonString(out, file, false);
    out += ", \"error\": ";
    if (dump.error.empty())
        out += "null";
    else
        AppendJsonString(out, dump.error, false);
    out += ", \"nodes\": [";
    for (std::size_t n = 0; n < dump.nodes.size(); ++n) {
        const TPeInfoNode& node = dump.nodes[n];
        out += n ? ", {\"path\": " : "{\"path\": ";
        AppendJsonArray(out, node.Path);
        out += ", \"columns\": ";
        AppendJsonArray(out, node.Columns);
        out += ", \"rows\": [";
        for (std::size_t r = 0; r < node.Rows.size(); ++r) {
            if (r) out += ", ";
            AppendJsonArray(out, node.Rows[r]);
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}

std::string TextBlock(const std::string& file, const Dump& dump) {
    std::string out = "== " + file + "\n";
    if (!dump.error.empty()) out += "error: " + dump.error + "\n";
    for (const TPeInfoNode& node : dump.nodes) {
        out += '[';
        for (std::size_t i = 0; i < node.Path.size(); ++i) out += (i ? "/" : "") + node.Path[i];
        out += "]\n";
        for (const auto& row : node.Rows) {
            for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "\t" : "") + row[i];
            out += '\n';
        }
    }
    return out;
}

int Run(const std::vector<std::filesystem::path>& args) {
    bool json = false, bytesRead = false;
    std::vector<std::filesystem::path> files;
    bool options = true;
    for (const auto& arg : args) {
        if (options && arg == "--json") {
            json = true;
        } else if (options && arg == "--bytes-read") {
            bytesRead = true;
        } else if (options && arg == "--") {
            options = false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::fputs("usage: scrutel-pe [--json] [--bytes-read] FILE...\n", stderr);
        return 2;
    }
    int status = 0;
    for (const auto& file : files) {
        const Dump dump = DumpFile(file);
        if (!dump.error.empty()) status = 1;
        const std::string text = json ? JsonLine(Utf8(file), dump) : TextBlock(Utf8(file), dump);
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (bytesRead)
            std::fprintf(stderr,
                         "%s: %llu of %llu bytes read (%llu by the header, import and export reader)\n",
                         Utf8(file).c_str(), static_cast<unsigned long long>(dump.bytesRead),
                         static_cast<unsigned long long>(dump.size),
                         static_cast<unsigned long long>(dump.readerBytes));
    }
    return std::fflush(stdout) == 0 ? status : 1;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
#else
int main(int argc, char** argv) {
#endif
    std::vector<std::filesystem::path> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    try {
        return Run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scrutel-pe: %s\n", e.what());
        return 2;
    }
}
