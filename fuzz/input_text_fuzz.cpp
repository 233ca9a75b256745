// The Input Text loader on any file content: the text it keeps is the longest
// prefix made only of TAB, LF, CR and 0x20..0x7F, and only empty or oversized
// files are refused.
#include "exchange/input_text.h"
#include "fuzz_expect.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using fuzz::Expect;

namespace {

bool IsText(uint8_t c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0x7f);
}

const std::string& FilePath() {
    static const std::string path =
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
        "/ordovane-fuzz-text-" + std::to_string(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(FilePath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const exchange::TextFile loaded = exchange::LoadTextFile(FilePath());
    std::remove(FilePath().c_str());
    if (size == 0) {
        Expect(!loaded.ok && !loaded.message.empty(), "empty file accepted");
        return 0;
    }
    Expect(loaded.ok && loaded.message.empty(), "a readable file refused");
    size_t n = 0;
    while (n < size && IsText(data[n]))
        ++n;
    Expect(loaded.text == std::string(reinterpret_cast<const char*>(data), n),
           "kept text is not the file's text prefix");
    return 0;
}
