#include "tools/digest/ripemd160.h"

#include "tools/digest/md_engine.h"

#include <bit>
#include <utility>

namespace digest {
namespace {

using md::LoadLe32;
using md::Rotl32;

// The block words are the pending bytes in memory order, which is the
// little-endian assembly on the little-endian machines this runs on.
static_assert(std::endian::native == std::endian::little);

constexpr int kWordLeft[80] = {0, 1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15,
                               7, 4,  13, 1,  10, 6,  15, 3,  12, 0, 9,  5,  2,  14, 11, 8,
                               3, 10, 14, 4,  9,  15, 8,  1,  2,  7, 0,  6,  13, 11, 5,  12,
                               1, 9,  11, 10, 0,  8,  12, 4,  13, 3, 7,  15, 14, 5,  6,  2,
                               4, 0,  5,  9,  7,  12, 2,  10, 14, 1, 3,  8,  11, 6,  15, 13};
constexpr int kWordRight[80] = {5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,
                                6,  11, 3,  7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,
                                15, 5,  1,  3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,
                                8,  6,  4,  1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14,
                                12, 15, 10, 4, 1, 5,  8,  7,  6,  2,  13, 14, 0,  3,  9,  11};
constexpr int kShiftLeft[80] = {11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,
                                7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15, 9,  11, 7,  13, 12,
                                11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,
                                11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,  8,  6,  5,  12,
                                9,  15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6};
constexpr int kShiftRight[80] = {8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,
                                 9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12, 7,  6,  15, 13, 11,
                                 9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,
                                 15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,  12, 5,  15, 8,
                                 8,  5,  12, 9,  12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11};
constexpr uint32_t kConstLeft[5] = {0, 0x5a827999, 0x6ed9eba1, 0x8f1bbcdc, 0xa953fd4e};
constexpr uint32_t kConstRight[5] = {0x50a28be6, 0x5c4dd124, 0x6d703ef3, 0x7a6d76e9, 0};

// The five boolean functions, by number 0..4.
template <int n> inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    if constexpr (n == 0)
        return x ^ y ^ z;
    else if constexpr (n == 1)
        return z ^ (x & (y ^ z));
    else if constexpr (n == 2)
        return (x | ~y) ^ z;
    else if constexpr (n == 3)
        return y ^ (z & (x ^ y));
    else
        return x ^ (y | ~z);
}

// Step j of both lines; the registers' roles (a..e) turn by one slot per
// step, with constant indices so both arrays stay in registers.
template <int j> inline void Step(uint32_t* l, uint32_t* r, const uint32_t* x) {
    constexpr int a = (80 - j) % 5, b = (81 - j) % 5, c = (82 - j) % 5, d = (83 - j) % 5,
                  e = (84 - j) % 5;
    constexpr int round = j / 16;
    l[a] = Rotl32(l[a] + F<round>(l[b], l[c], l[d]) + x[kWordLeft[j]] + kConstLeft[round],
                  kShiftLeft[j]) +
           l[e];
    l[c] = Rotl32(l[c], 10);
    r[a] = Rotl32(r[a] + F<4 - round>(r[b], r[c], r[d]) + x[kWordRight[j]] + kConstRight[round],
                  kShiftRight[j]) +
           r[e];
    r[c] = Rotl32(r[c], 10);
}

template <int... J>
inline void Steps(uint32_t* l, uint32_t* r, const uint32_t* x, std::integer_sequence<int, J...>) {
    (Step<J>(l, r, x), ...);
}

void Blocks(uint32_t* h, const uint8_t* p, size_t count) {
    for (; count != 0; --count, p += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLe32(p + 4 * i);
        uint32_t l[5] = {h[0], h[1], h[2], h[3], h[4]};
        uint32_t r[5] = {h[0], h[1], h[2], h[3], h[4]};
        Steps(l, r, x, std::make_integer_sequence<int, 80>());
        // After 80 steps the roles are back in their first slots.
        uint32_t t = h[1] + l[2] + r[3];
        h[1] = h[2] + l[3] + r[4];
        h[2] = h[3] + l[4] + r[0];
        h[3] = h[4] + l[0] + r[1];
        h[4] = h[0] + l[1] + r[2];
        h[0] = t;
    }
}

uint8_t* Bytes(Ripemd160Context* ctx) {
    return ctx ? reinterpret_cast<uint8_t*>(ctx->block) : nullptr;
}

} // namespace

int Ripemd160Init(Ripemd160Context* ctx) {
    if (ctx == nullptr)
        return 0;
    const uint32_t start[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
    for (int i = 0; i < 5; ++i)
        ctx->state[i] = start[i];
    ctx->countLow = ctx->countHigh = 0;
    ctx->buffered = 0;
    return 1;
}

int64_t Ripemd160Update(Ripemd160Context* ctx, const uint8_t* data, uint32_t len) {
    return md::UpdateRecord<64>(ctx, Bytes(ctx), data, len,
                                [&](const uint8_t* p, size_t n) { Blocks(ctx->state, p, n); });
}

int Ripemd160Final(Ripemd160Context* ctx) {
    return md::FinishRecord<64, 8, md::LengthOrder::LittleEndian>(
        ctx, Bytes(ctx), [&](const uint8_t* p, size_t n) { Blocks(ctx->state, p, n); });
}

int Ripemd160Digest(Ripemd160Context* ctx, uint8_t* out, uint32_t outLen) {
    if (ctx == nullptr || out == nullptr || outLen < 20)
        return 0;
    for (int i = 0; i < 5; ++i)
        md::StoreLe32(out + 4 * i, ctx->state[i]);
    ctx->buffered = 0;
    return 20;
}

} // namespace digest
