#include "tools/digest/md5.h"

#include "tools/digest/md_engine.h"

#include <utility>

namespace digest {
namespace {

using md::LoadLe32;
using md::Rotl32;

constexpr uint32_t kT[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// MD5's word order per step and shift per step.
constexpr int Md5Word(int j) {
    return j < 16 ? j : j < 32 ? (5 * j + 1) % 16 : j < 48 ? (3 * j + 5) % 16 : (7 * j) % 16;
}
constexpr int kMd5Shift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// Step j works on the four registers in v, whose roles (a, b, c, d) turn by
// one slot per step; the indices are constants, so v lives in registers.
template <int j> inline void Md5Step(uint32_t* v, const uint32_t* x) {
    constexpr int a = (64 - j) % 4, b = (65 - j) % 4, c = (66 - j) % 4, d = (67 - j) % 4;
    // The word, the constant and a are ready early; only the parts of f that
    // use b wait for the previous step.
    uint32_t t = v[a] + x[Md5Word(j)] + kT[j];
    if constexpr (j < 16) {
        t += v[d] ^ (v[b] & (v[c] ^ v[d]));
    } else if constexpr (j < 32) {
        t += v[c] & ~v[d]; // G = (b & d) | (c & ~d), the two parts never overlap
        t += v[b] & v[d];
    } else if constexpr (j < 48) {
        t += v[b] ^ (v[c] ^ v[d]);
    } else {
        t += v[c] ^ (v[b] | ~v[d]);
    }
    v[a] = v[b] + Rotl32(t, kMd5Shift[j / 16][j % 4]);
}

template <int... J>
inline void Md5Steps(uint32_t* v, const uint32_t* x, std::integer_sequence<int, J...>) {
    (Md5Step<J>(v, x), ...);
}

void Md5Blocks(uint32_t* state, const uint8_t* p, size_t count) {
    for (; count != 0; --count, p += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLe32(p + 4 * i);
        uint32_t v[4] = {state[0], state[1], state[2], state[3]};
        Md5Steps(v, x, std::make_integer_sequence<int, 64>());
        for (int i = 0; i < 4; ++i)
            state[i] += v[i];
    }
}

} // namespace

namespace detail {

int Md5Start(Md5Context* ctx) {
    if (ctx == nullptr)
        return 0;
    ctx->state[0] = 0x67452301;
    ctx->state[1] = 0xefcdab89;
    ctx->state[2] = 0x98badcfe;
    ctx->state[3] = 0x10325476;
    ctx->countLow = ctx->countHigh = 0;
    ctx->buffered = 0;
    return 1;
}

int Md5Output(const Md5Context* ctx, uint8_t* out, uint32_t outLen) {
    if (ctx == nullptr || out == nullptr || outLen < 16)
        return 0;
    for (int i = 0; i < 4; ++i)
        md::StoreLe32(out + 4 * i, ctx->state[i]);
    return 16;
}

} // namespace detail

int Md5Init(Md5Context* ctx) {
    return detail::Md5Start(ctx);
}
int64_t Md5Update(Md5Context* ctx, const uint8_t* data, uint32_t len) {
    return md::UpdateRecord<64>(ctx, ctx ? ctx->buffer : nullptr, data, len,
                                [&](const uint8_t* p, size_t n) { Md5Blocks(ctx->state, p, n); });
}
int Md5Final(Md5Context* ctx) {
    return md::FinishRecord<64, 8, md::LengthOrder::LittleEndian>(
        ctx, ctx ? ctx->buffer : nullptr,
        [&](const uint8_t* p, size_t n) { Md5Blocks(ctx->state, p, n); });
}
int Md5Digest(const Md5Context* ctx, uint8_t* out, uint32_t outLen) {
    return detail::Md5Output(ctx, out, outLen);
}

} // namespace digest
