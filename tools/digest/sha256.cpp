#include "tools/digest/sha256.h"

#include "tools/digest/cpu_dispatch.h"
#include "tools/digest/md_engine.h"

namespace digest {
namespace {

using md::LoadBe32;
using md::Rotr32;

constexpr uint32_t kK[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t kSha256Start[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                      0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
constexpr uint32_t kSha224Start[8] = {0xc1059ed8, 0x367cd507, 0x3070dd17, 0xf70e5939,
                                      0xffc00b31, 0x68581511, 0x64f98fa7, 0xbefa4fa4};

int Start(Sha256Context* ctx, const uint32_t (&start)[8]) {
    if (ctx == nullptr)
        return 0;
    for (int i = 0; i < 8; ++i)
        ctx->state[i] = start[i];
    ctx->countHigh = ctx->countLow = 0;
    ctx->buffered = 0;
    return 1;
}

auto Blocks() {
    return FastPathsEnabled() && CpuHasShaExtensions() ? &detail::Sha256BlocksShaNi
                                                       : &detail::Sha256BlocksPortable;
}

int Output(const Sha256Context* ctx, uint8_t* out, uint32_t outLen, uint32_t words) {
    if (ctx == nullptr || out == nullptr || outLen < words * 4)
        return 0;
    for (uint32_t i = 0; i < words; ++i)
        md::StoreBe32(out + 4 * i, ctx->state[i]);
    return static_cast<int>(words * 4);
}

} // namespace

namespace detail {

void Sha256BlocksPortable(uint32_t* state, const uint8_t* p, size_t count) {
    for (; count != 0; --count, p += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe32(p + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        // One round with the schedule kept in a 16-word ring.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, j, k)                                                 \
    do {                                                                                           \
        uint32_t wi;                                                                               \
        if ((j) == 0) {                                                                            \
            wi = w[k];                                                                             \
        } else {                                                                                   \
            uint32_t x = w[((k) + 1) & 15], y = w[((k) + 14) & 15];                                \
            uint32_t s0 = Rotr32(x, 7) ^ Rotr32(x, 18) ^ (x >> 3);                                 \
            uint32_t s1 = Rotr32(y, 17) ^ Rotr32(y, 19) ^ (y >> 10);                               \
            wi = w[k] += s0 + s1 + w[((k) + 9) & 15];                                              \
        }                                                                                          \
        /* h, the constant and the word are ready early; only Ch and the  */                       \
        /* rotations of e wait for the previous round.                     */                      \
        uint32_t t1 = h + kK[(j) + (k)] + wi;                                                      \
        t1 += g ^ (e & (f ^ g));                                                                   \
        t1 += Rotr32(e, 6) ^ Rotr32(e, 11) ^ Rotr32(e, 25);                                        \
        uint32_t t2 = ((a & b) | (c & (a | b))) + (Rotr32(a, 2) ^ Rotr32(a, 13) ^ Rotr32(a, 22));  \
        d += t1;                                                                                   \
        h = t1 + t2;                                                                               \
    } while (0)
#define SHA256_ROUND16(j)                                                                          \
    do {                                                                                           \
        SHA256_ROUND(a, b, c, d, e, f, g, h, j, 0);                                                \
        SHA256_ROUND(h, a, b, c, d, e, f, g, j, 1);                                                \
        SHA256_ROUND(g, h, a, b, c, d, e, f, j, 2);                                                \
        SHA256_ROUND(f, g, h, a, b, c, d, e, j, 3);                                                \
        SHA256_ROUND(e, f, g, h, a, b, c, d, j, 4);                                                \
        SHA256_ROUND(d, e, f, g, h, a, b, c, j, 5);                                                \
        SHA256_ROUND(c, d, e, f, g, h, a, b, j, 6);                                                \
        SHA256_ROUND(b, c, d, e, f, g, h, a, j, 7);                                                \
        SHA256_ROUND(a, b, c, d, e, f, g, h, j, 8);                                                \
        SHA256_ROUND(h, a, b, c, d, e, f, g, j, 9);                                                \
        SHA256_ROUND(g, h, a, b, c, d, e, f, j, 10);                                               \
        SHA256_ROUND(f, g, h, a, b, c, d, e, j, 11);                                               \
        SHA256_ROUND(e, f, g, h, a, b, c, d, j, 12);                                               \
        SHA256_ROUND(d, e, f, g, h, a, b, c, j, 13);                                               \
        SHA256_ROUND(c, d, e, f, g, h, a, b, j, 14);                                               \
        SHA256_ROUND(b, c, d, e, f, g, h, a, j, 15);                                               \
    } while (0)
        // Rounds 0-15 take the words as loaded; later rounds extend the ring in
        // place. In steps of 16 every ring index is a constant, and the first
        // step is apart, so no round tests which kind it is.
        SHA256_ROUND16(0);
        for (int i = 16; i < 64; i += 16) {
            SHA256_ROUND16(i);
        }
#undef SHA256_ROUND
#undef SHA256_ROUND16
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

const uint32_t* Sha256RoundConstants() {
    return kK;
}

} // namespace detail

int Sha256Init(Sha256Context* ctx) {
    return Start(ctx, kSha256Start);
}
int Sha224Init(Sha256Context* ctx) {
    return Start(ctx, kSha224Start);
}

int64_t Sha256Update(Sha256Context* ctx, const uint8_t* data, uint32_t len) {
    auto blocks = Blocks();
    return md::UpdateRecord<64>(ctx, ctx ? ctx->buffer : nullptr, data, len,
                                [&](const uint8_t* p, size_t n) { blocks(ctx->state, p, n); });
}
int64_t Sha224Update(Sha256Context* ctx, const uint8_t* data, uint32_t len) {
    return Sha256Update(ctx, data, len);
}

int Sha256Final(Sha256Context* ctx) {
    auto blocks = Blocks();
    return md::FinishRecord<64, 8, md::LengthOrder::BigEndian>(
        ctx, ctx ? ctx->buffer : nullptr,
        [&](const uint8_t* p, size_t n) { blocks(ctx->state, p, n); });
}
int Sha224Final(Sha256Context* ctx) {
    return Sha256Final(ctx);
}

int Sha256Digest(const Sha256Context* ctx, uint8_t* out, uint32_t outLen) {
    return Output(ctx, out, outLen, 8);
}
int Sha224Digest(const Sha256Context* ctx, uint8_t* out, uint32_t outLen) {
    return Output(ctx, out, outLen, 7);
}

} // namespace digest
