// Loading a text file for the Input Text dialog without a window: the size
// limits, the chunked read that stops at the first byte that is not text,
// and the messages.
#pragma once

#include <cstdint>
#include <string>

namespace exchange {

inline constexpr int64_t kMaxTextFileSize = 4194304; // 4 MiB
inline constexpr int64_t kTextChunkSize = 65536;

struct TextFile {
    bool ok = false;     // false: message says why
    std::string message; // "Can't open file." and the like; empty when ok
    std::string text;    // the bytes before the first one outside TAB, LF, CR
                         // and 0x20..0x7F
};

// Reads path in chunks of min(size, 65536) bytes from its start; a chunk
// whose read fails or yields nothing is skipped; the first byte outside the
// text set ends the text and the reading. A file of 0 bytes or more than
// 4194304 bytes is refused.
//   LoadTextFile("a.txt") on "ab\xA9c" -> {true, "", "ab"}
TextFile LoadTextFile(const std::string& path);

} // namespace exchange
