#include "tools/digest/sha1.h"

#include "tools/digest/cpu_dispatch.h"
#include "tools/digest/md_engine.h"

namespace digest {
namespace {

using md::LoadBe32;
using md::Rotl32;

auto Blocks() {
    return FastPathsEnabled() && CpuHasShaExtensions() ? &detail::Sha1BlocksShaNi
                                                       : &detail::Sha1BlocksPortable;
}

} // namespace

namespace detail {

void Sha1BlocksPortable(uint32_t* state, const uint8_t* p, size_t count) {
    for (; count != 0; --count, p += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe32(p + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
#define SHA1_W(i)                                                                                  \
    ((i) < 16 ? w[(i)&15]                                                                          \
              : (w[(i)&15] = Rotl32(                                                               \
                     w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i)&15], 1)))
#define SHA1_ROUND(a, b, c, d, e, f, k, i)                                                         \
    do {                                                                                           \
        e += Rotl32(a, 5) + (f) + (k) + SHA1_W(i);                                                 \
        b = Rotl32(b, 30);                                                                         \
    } while (0)
#define SHA1_FIVE(f, k, i)                                                                         \
    do {                                                                                           \
        SHA1_ROUND(a, b, c, d, e, f(b, c, d), k, i);                                               \
        SHA1_ROUND(e, a, b, c, d, f(a, b, c), k, i + 1);                                           \
        SHA1_ROUND(d, e, a, b, c, f(e, a, b), k, i + 2);                                           \
        SHA1_ROUND(c, d, e, a, b, f(d, e, a), k, i + 3);                                           \
        SHA1_ROUND(b, c, d, e, a, f(c, d, e), k, i + 4);                                           \
    } while (0)
#define SHA1_CH(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define SHA1_PARITY(x, y, z) ((x) ^ (y) ^ (z))
#define SHA1_MAJ(x, y, z) (((x) & (y)) | ((z) & ((x) | (y))))
        for (int i = 0; i < 20; i += 5)
            SHA1_FIVE(SHA1_CH, 0x5a827999u, i);
        for (int i = 20; i < 40; i += 5)
            SHA1_FIVE(SHA1_PARITY, 0x6ed9eba1u, i);
        for (int i = 40; i < 60; i += 5)
            SHA1_FIVE(SHA1_MAJ, 0x8f1bbcdcu, i);
        for (int i = 60; i < 80; i += 5)
            SHA1_FIVE(SHA1_PARITY, 0xca62c1d6u, i);
#undef SHA1_W
#undef SHA1_ROUND
#undef SHA1_FIVE
#undef SHA1_CH
#undef SHA1_PARITY
#undef SHA1_MAJ
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

} // namespace detail

int Sha1Init(Sha1Context* ctx) {
    if (ctx == nullptr)
        return 0;
    const uint32_t start[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};
    for (int i = 0; i < 5; ++i)
        ctx->state[i] = start[i];
    ctx->countHigh = ctx->countLow = 0;
    ctx->buffered = 0;
    return 1;
}

int64_t Sha1Update(Sha1Context* ctx, const uint8_t* data, uint32_t len) {
    auto blocks = Blocks();
    return md::UpdateRecord<64>(ctx, ctx ? ctx->buffer : nullptr, data, len,
                                [&](const uint8_t* p, size_t n) { blocks(ctx->state, p, n); });
}

int Sha1Final(Sha1Context* ctx) {
    auto blocks = Blocks();
    return md::FinishRecord<64, 8, md::LengthOrder::BigEndian>(
        ctx, ctx ? ctx->buffer : nullptr,
        [&](const uint8_t* p, size_t n) { blocks(ctx->state, p, n); });
}

int Sha1Digest(const Sha1Context* ctx, uint8_t* out, uint32_t outLen) {
    if (ctx == nullptr || out == nullptr || outLen < 20)
        return 0;
    for (int i = 0; i < 5; ++i)
        md::StoreBe32(out + 4 * i, ctx->state[i]);
    return 20;
}

} // namespace digest
