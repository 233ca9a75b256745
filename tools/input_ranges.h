// The file tools' input: the included byte ranges left by the ignore-ranges
// text, and a reader that walks them in chunks of at most 16384 bytes, never
// across a range, with the CRC's and the checksum/hash rules for short reads.
// Sizes and offsets are 64-bit, so files above 4 GiB are processed whole.
#pragma once

#include "resources/ids.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tools {

// String ids of the file tools' shared messages.
using ids::kMsgInternalError;
using ids::kMsgInvalidHexData;
using ids::kMsgNoValidData;

// The largest chunk the tools read and process at once.
inline constexpr size_t kChunkSize = 16384;

// A half-open byte range [start, end).
struct ByteRange {
    uint64_t start = 0;
    uint64_t end = 0;
    bool operator==(const ByteRange&) const = default;
};

// The included ranges of a source of totalSize bytes: sorted, disjoint and
// non-empty. An empty text includes everything (one range 0..totalSize, none
// when totalSize is 0). Items are split at the next comma, or, when none
// follows, at the next semicolon; an item is one offset n (ignores n) or a..b
// (ignores a up to b inclusive; a negative a counts as 0, b below a ignores a
// alone); numbers are integer literals, decimal by default. Items that
// cannot be read, start with "..", or start at or beyond totalSize are
// skipped; ends are cut at totalSize; touching or overlapping ranges merge.
// An empty result (everything ignored) means no byte may be processed.
// BuildIncludedRanges("1024..2047, 0x4096, 512", 8192) ==
//     {{0, 512}, {513, 1024}, {2048, 8192}}.
std::vector<ByteRange> BuildIncludedRanges(std::string_view ignoreText, uint64_t totalSize);

// A hexadecimal parameter field as the tools read it (CRC initial value and
// final XOR, checksum pad): trimmed, an optional sign, an optional "0x",
// hexadecimal digits up to the first other character (none gives 0); a value
// beyond 32 bits gives FFFFFFFF; a leading minus negates modulo 2^32.
// ParseHexField(" -1") == 0xffffffff; ParseHexField("12zz") == 0x12.
uint32_t ParseHexField(std::string_view text);

// The bytes of a hex message, read as the file tools read the message box
// with "Hex Number" set: the text is first formatted into a hex byte list
// (longer tokens split into bytes, "616263" -> 61 62 63), then every piece
// must be one or two hexadecimal digits. nullopt (message kMsgInvalidHexData)
// when a character is not a hexadecimal digit or separator, or there is no
// byte. ReadHexMessage("61 62 63") == {'a', 'b', 'c'}.
std::optional<std::vector<uint8_t>> ReadHexMessage(std::string_view text);

// Where the bytes come from: a file or a buffer, read at absolute offsets.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to count bytes at offset into buffer and returns how many
    // arrived (fewer only at the end of the data); nullopt when the seek or
    // the read fails.
    virtual std::optional<size_t> ReadAt(uint64_t offset, uint8_t* buffer, size_t count) = 0;
};

// A source over bytes held in memory (a message, a hex byte list).
class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    std::optional<size_t> ReadAt(uint64_t offset, uint8_t* buffer, size_t count) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Walks the included ranges of a source chunk by chunk, as one processing
// step of a file tool: a chunk never crosses a range, so every range is
// consumed as a sequence of its own.
class RangeReader {
public:
    enum class ShortReads {
        Fail,     // checksum and hash: a short read is an error
        Continue, // CRC: keep what arrived, read on at the next unread byte
    };
    struct Chunk {
        enum Status {
            Data,    // bytes holds the next chunk
            Done,    // every included byte has been delivered
            Failed,  // a read failed (or came back short under Fail)
            Nothing, // the read returned no byte; try again later (Continue)
        } status = Done;
        const uint8_t* bytes = nullptr;
        size_t size = 0;
        uint64_t offset = 0;   // where the chunk starts in the source
        bool rangeEnd = false; // the chunk ends its range
    };

    // chunkLimit: at most this many bytes per chunk (kChunkSize in the
    // dialogs; a larger multiple of 8 serves the command line, which gives
    // the same results because chunks still end at every range end).
    RangeReader(ByteSource& source, std::vector<ByteRange> ranges, uint64_t totalSize,
                ShortReads shortReads, size_t chunkLimit = kChunkSize);

    // The next chunk; its bytes stay valid until the next call.
    Chunk Next();

    // Next byte offset to process; totalSize once the data is complete.
    uint64_t position() const { return position_; }
    uint64_t totalSize() const { return totalSize_; }
    // Bytes of all included ranges, and how many of them were delivered.
    uint64_t includedSize() const { return includedSize_; }
    uint64_t delivered() const { return delivered_; }

private:
    ByteSource& source_;
    std::vector<ByteRange> ranges_;
    uint64_t totalSize_;
    ShortReads shortReads_;
    std::vector<uint8_t> buffer_;
    size_t rangeIndex_ = 0;
    uint64_t position_ = 0;
    uint64_t includedSize_ = 0;
    uint64_t delivered_ = 0;
};

} // namespace tools
