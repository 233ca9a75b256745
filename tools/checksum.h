// The checksum calculator's engine: a file's included ranges added up as 1-,
// 2-, 4- or 8-byte units, little-endian or swapped, each chunk's partial last
// unit completed with the pad byte, and the final XOR and display widths.
#pragma once

#include "resources/ids.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tools {

using ids::kMsgChecksumCannotOpen;
using ids::kMsgChecksumNeedFile;

class Checksum {
public:
    // width: 1, 2, 4 or 8 bytes; swap: units are big-endian (no effect for
    // 1); pad: the byte that completes a partial last unit.
    Checksum(int width, bool swap, uint8_t pad);

    // Adds one chunk as ceil(len / width) units taken from its start, the
    // last one completed with pad bytes when len is not a multiple of width.
    // Chunks come from the range reader, so each included range gets its own
    // padded last unit. {01 02 03}, width 2, pad 0: 0x0201 + 0x0003.
    void AddChunk(const uint8_t* data, size_t len);

    // The running sum, kept in 64 bits for every width (cut at display).
    uint64_t Sum() const { return sum_; }
    int width() const { return width_; }

private:
    int width_;
    bool swap_;
    uint8_t pad_;
    uint64_t sum_ = 0;
};

// The unit width of the width radio buttons' value 0..3 (1, 2, 4, 8); 4 for
// anything else.
int ChecksumWidthOfType(int widthType);

// The pad field: empty (after trimming) gives 0, else the low 8 bits of the
// hexadecimal field value (ParseHexField). ParseChecksumPad("1FF") == 0xff.
uint8_t ParseChecksumPad(std::string_view text);

// The final XOR field: an integer literal, hexadecimal by default ("-1" is
// all ones); empty or unreadable text gives 0.
uint64_t ParseChecksumFinalXor(std::string_view text);

// value cut to width bytes as 2, 4, 8 or 16 hexadecimal digits.
std::string FormatChecksum(uint64_t value, int width, bool upperCase);

} // namespace tools
