// The one Merkle-Damgard engine of the digests: buffering input into blocks,
// the final padding (0x80, zeros, the bit count in the last 8 bytes of a
// block) and the byte-order loads and stores the compression functions use.
// Each algorithm declares its block size, length byte order and compression.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace digest::md {

enum class LengthOrder { BigEndian, LittleEndian };

inline uint32_t LoadBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline uint32_t LoadLe32(const uint8_t* p) {
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}
inline uint64_t LoadBe64(const uint8_t* p) {
    return uint64_t(LoadBe32(p)) << 32 | LoadBe32(p + 4);
}
inline void StoreBe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint32_t Rotl32(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}
inline uint32_t Rotr32(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}
inline uint64_t Rotr64(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

// Feeds len bytes of data into a block buffer of kBlock bytes that already
// holds `buffered` bytes, handing full blocks to compress(blocks, count).
// Whole blocks go straight from data, without a copy, once the buffer is
// empty. data may be nullptr only when len is 0. Returns the bytes now
// buffered (always below kBlock).
template <size_t kBlock, class Compress>
inline uint32_t Absorb(uint8_t* buffer, uint32_t buffered, const uint8_t* data, size_t len,
                       Compress&& compress) {
    if (len == 0)
        return buffered;
    if (buffered != 0) {
        size_t take = std::min<size_t>(kBlock - buffered, len);
        std::memcpy(buffer + buffered, data, take);
        buffered += static_cast<uint32_t>(take);
        data += take;
        len -= take;
        if (buffered < kBlock)
            return buffered;
        compress(buffer, size_t{1});
        buffered = 0;
    }
    size_t whole = len / kBlock;
    if (whole != 0) {
        compress(data, whole);
        data += whole * kBlock;
        len -= whole * kBlock;
    }
    if (len != 0)
        std::memcpy(buffer, data, len);
    return static_cast<uint32_t>(len);
}

// Pads the buffered tail: the byte 0x80, zeros, and the 64-bit bit count in
// the last 8 bytes of a block (kLengthBytes is the length field's size, 8 or
// 16; the bytes of a 16-byte field above the count stay 0). A tail that
// leaves no room for the field takes one more, all-zero block.
template <size_t kBlock, size_t kLengthBytes, LengthOrder kOrder, class Compress>
inline void Pad(uint8_t* buffer, uint32_t buffered, uint64_t bitCount, Compress&& compress) {
    static_assert(kLengthBytes == 8 || kLengthBytes == 16);
    buffer[buffered++] = 0x80;
    if (buffered > kBlock - kLengthBytes) {
        std::memset(buffer + buffered, 0, kBlock - buffered);
        compress(buffer, size_t{1});
        buffered = 0;
    }
    std::memset(buffer + buffered, 0, kBlock - buffered);
    uint8_t* field = buffer + kBlock - 8;
    for (int i = 0; i < 8; ++i) {
        int shift = kOrder == LengthOrder::BigEndian ? 56 - 8 * i : 8 * i;
        field[i] = uint8_t(bitCount >> shift);
    }
    compress(buffer, size_t{1});
}

// The update of a context record (fields countHigh, countLow, buffered;
// block buffer given): the bit count grows by 8 * len with carry into the high
// half, then the bytes are absorbed. Returns len; 0, changing nothing, for
// len 0; -1 without a record, or without data for len > 0.
template <size_t kBlock, class Record, class Compress>
inline int64_t UpdateRecord(Record* ctx, uint8_t* buffer, const uint8_t* data, uint32_t len,
                            Compress&& compress) {
    if (ctx == nullptr)
        return -1;
    if (len == 0)
        return 0;
    if (data == nullptr)
        return -1;
    uint64_t bits = (uint64_t(ctx->countHigh) << 32 | ctx->countLow) + uint64_t(len) * 8;
    ctx->countHigh = uint32_t(bits >> 32);
    ctx->countLow = uint32_t(bits);
    ctx->buffered = Absorb<kBlock>(buffer, ctx->buffered, data, len, compress);
    return len;
}

// The finish of such a record: pads and compresses the last block(s); the
// digest is then in the state. 1; 0 without a record.
template <size_t kBlock, size_t kLengthBytes, LengthOrder kOrder, class Record, class Compress>
inline int FinishRecord(Record* ctx, uint8_t* buffer, Compress&& compress) {
    if (ctx == nullptr)
        return 0;
    Pad<kBlock, kLengthBytes, kOrder>(buffer, ctx->buffered,
                                      uint64_t(ctx->countHigh) << 32 | ctx->countLow, compress);
    ctx->buffered = 0;
    return 1;
}

} // namespace digest::md
