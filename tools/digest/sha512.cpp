#include "tools/digest/sha512.h"

#include "tools/digest/cpu_dispatch.h"
#include "tools/digest/md_engine.h"

namespace digest {
namespace {

using md::LoadBe64;
using md::Rotr64;

constexpr uint64_t kK[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc,
    0x3956c25bf348b538, 0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118,
    0xd807aa98a3030242, 0x12835b0145706fbe, 0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2,
    0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235, 0xc19bf174cf692694,
    0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5,
    0x983e5152ee66dfab, 0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4,
    0xc6e00bf33da88fc2, 0xd5a79147930aa725, 0x06ca6351e003826f, 0x142929670a0e6e70,
    0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed, 0x53380d139d95b3df,
    0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30,
    0xd192e819d6ef5218, 0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8,
    0x19a4c116b8d2d0c8, 0x1e376c085141ab53, 0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8,
    0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373, 0x682e6ff3d6b2b8a3,
    0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b,
    0xca273eceea26619c, 0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178,
    0x06f067aa72176fba, 0x0a637dc5a2c898a6, 0x113f9804bef90dae, 0x1b710b35131c471b,
    0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc, 0x431d67c49c100d4c,
    0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817};

constexpr uint64_t kSha512Start[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                      0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                      0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
constexpr uint64_t kSha384Start[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
                                      0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511,
                                      0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};

uint64_t Word(const Sha512Context* ctx, int i) {
    return uint64_t(ctx->state[2 * i]) << 32 | ctx->state[2 * i + 1];
}
void SetWord(Sha512Context* ctx, int i, uint64_t v) {
    ctx->state[2 * i] = uint32_t(v >> 32);
    ctx->state[2 * i + 1] = uint32_t(v);
}

// The state stays in 64-bit words for a whole run of blocks; only the record
// keeps it in halves. One body, compiled twice: plain, and with BMI2 (rotates
// without flags) where the CPU has it.
[[gnu::always_inline]] inline void BlocksBody(Sha512Context* ctx, const uint8_t* p, size_t count) {
    uint64_t s[8];
    for (int i = 0; i < 8; ++i)
        s[i] = Word(ctx, i);
    for (; count != 0; --count, p += 128) {
        uint64_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe64(p + 8 * i);
        uint64_t a = s[0], b = s[1], c = s[2], d = s[3], e = s[4], f = s[5], g = s[6], h = s[7];
#define SHA512_ROUND(a, b, c, d, e, f, g, h, j, k)                                                 \
    do {                                                                                           \
        uint64_t wi;                                                                               \
        if ((j) == 0) {                                                                            \
            wi = w[k];                                                                             \
        } else {                                                                                   \
            uint64_t x = w[((k) + 1) & 15], y = w[((k) + 14) & 15];                                \
            uint64_t s0 = Rotr64(x, 1) ^ Rotr64(x, 8) ^ (x >> 7);                                  \
            uint64_t s1 = Rotr64(y, 19) ^ Rotr64(y, 61) ^ (y >> 6);                                \
            wi = w[k] += s0 + s1 + w[((k) + 9) & 15];                                              \
        }                                                                                          \
        /* h, the constant and the word are ready early; only Ch and the  */                       \
        /* rotations of e wait for the previous round.                     */                      \
        uint64_t t1 = h + kK[(j) + (k)] + wi;                                                      \
        t1 += g ^ (e & (f ^ g));                                                                   \
        t1 += Rotr64(e, 14) ^ Rotr64(e, 18) ^ Rotr64(e, 41);                                       \
        uint64_t t2 = ((a & b) | (c & (a | b))) + (Rotr64(a, 28) ^ Rotr64(a, 34) ^ Rotr64(a, 39)); \
        d += t1;                                                                                   \
        h = t1 + t2;                                                                               \
    } while (0)
#define SHA512_ROUND16(j)                                                                          \
    do {                                                                                           \
        SHA512_ROUND(a, b, c, d, e, f, g, h, j, 0);                                                \
        SHA512_ROUND(h, a, b, c, d, e, f, g, j, 1);                                                \
        SHA512_ROUND(g, h, a, b, c, d, e, f, j, 2);                                                \
        SHA512_ROUND(f, g, h, a, b, c, d, e, j, 3);                                                \
        SHA512_ROUND(e, f, g, h, a, b, c, d, j, 4);                                                \
        SHA512_ROUND(d, e, f, g, h, a, b, c, j, 5);                                                \
        SHA512_ROUND(c, d, e, f, g, h, a, b, j, 6);                                                \
        SHA512_ROUND(b, c, d, e, f, g, h, a, j, 7);                                                \
        SHA512_ROUND(a, b, c, d, e, f, g, h, j, 8);                                                \
        SHA512_ROUND(h, a, b, c, d, e, f, g, j, 9);                                                \
        SHA512_ROUND(g, h, a, b, c, d, e, f, j, 10);                                               \
        SHA512_ROUND(f, g, h, a, b, c, d, e, j, 11);                                               \
        SHA512_ROUND(e, f, g, h, a, b, c, d, j, 12);                                               \
        SHA512_ROUND(d, e, f, g, h, a, b, c, j, 13);                                               \
        SHA512_ROUND(c, d, e, f, g, h, a, b, j, 14);                                               \
        SHA512_ROUND(b, c, d, e, f, g, h, a, j, 15);                                               \
    } while (0)
        // Rounds 0-15 take the words as loaded; later rounds extend the ring in
        // place. In steps of 16 every ring index is a constant, and the first
        // step is apart, so no round tests which kind it is.
        SHA512_ROUND16(0);
        for (int i = 16; i < 80; i += 16) {
            SHA512_ROUND16(i);
        }
#undef SHA512_ROUND
#undef SHA512_ROUND16
        s[0] += a;
        s[1] += b;
        s[2] += c;
        s[3] += d;
        s[4] += e;
        s[5] += f;
        s[6] += g;
        s[7] += h;
    }
    for (int i = 0; i < 8; ++i)
        SetWord(ctx, i, s[i]);
}

void BlocksPortable(Sha512Context* ctx, const uint8_t* p, size_t count) {
    BlocksBody(ctx, p, count);
}

#if defined(__x86_64__)
__attribute__((target("bmi2"))) void BlocksBmi2(Sha512Context* ctx, const uint8_t* p,
                                                size_t count) {
    BlocksBody(ctx, p, count);
}
#endif

void Blocks(Sha512Context* ctx, const uint8_t* p, size_t count) {
#if defined(__x86_64__)
    if (FastPathsEnabled() && CpuHasBmi2()) {
        BlocksBmi2(ctx, p, count);
        return;
    }
#endif
    BlocksPortable(ctx, p, count);
}

int Start(Sha512Context* ctx, const uint64_t (&start)[8]) {
    if (ctx == nullptr)
        return 0;
    for (int i = 0; i < 8; ++i)
        SetWord(ctx, i, start[i]);
    ctx->countHigh = ctx->countLow = 0;
    ctx->buffered = 0;
    return 1;
}

int Output(const Sha512Context* ctx, uint8_t* out, uint32_t outLen, uint32_t words) {
    if (ctx == nullptr || out == nullptr || outLen < words * 8)
        return 0;
    for (uint32_t i = 0; i < 2 * words; ++i)
        md::StoreBe32(out + 4 * i, ctx->state[i]);
    return static_cast<int>(words * 8);
}

} // namespace

int Sha512Init(Sha512Context* ctx) {
    return Start(ctx, kSha512Start);
}
int Sha384Init(Sha512Context* ctx) {
    return Start(ctx, kSha384Start);
}

int64_t Sha512Update(Sha512Context* ctx, const uint8_t* data, uint32_t len) {
    return md::UpdateRecord<128>(ctx, ctx ? ctx->buffer : nullptr, data, len,
                                 [&](const uint8_t* p, size_t n) { Blocks(ctx, p, n); });
}
int64_t Sha384Update(Sha512Context* ctx, const uint8_t* data, uint32_t len) {
    return Sha512Update(ctx, data, len);
}

int Sha512Final(Sha512Context* ctx) {
    return md::FinishRecord<128, 16, md::LengthOrder::BigEndian>(
        ctx, ctx ? ctx->buffer : nullptr, [&](const uint8_t* p, size_t n) { Blocks(ctx, p, n); });
}
int Sha384Final(Sha512Context* ctx) {
    return Sha512Final(ctx);
}

int Sha512Digest(const Sha512Context* ctx, uint8_t* out, uint32_t outLen) {
    return Output(ctx, out, outLen, 8);
}
int Sha384Digest(const Sha512Context* ctx, uint8_t* out, uint32_t outLen) {
    return Output(ctx, out, outLen, 6);
}

} // namespace digest
