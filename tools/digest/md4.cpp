#include "tools/digest/md4.h"

#include "tools/digest/md_engine.h"

#include <utility>

namespace digest {
namespace {

using md::LoadLe32;
using md::Rotl32;

constexpr int kMd4Word[48] = {0, 1, 2, 3,  4, 5,  6, 7,  8, 9, 10, 11, 12, 13, 14, 15,
                              0, 4, 8, 12, 1, 5,  9, 13, 2, 6, 10, 14, 3,  7,  11, 15,
                              0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5,  13, 3,  11, 7,  15};
constexpr int kMd4Shift[3][4] = {{3, 7, 11, 19}, {3, 5, 9, 13}, {3, 9, 11, 15}};

template <int j> inline void Md4Step(uint32_t* v, const uint32_t* x) {
    constexpr int a = (48 - j) % 4, b = (49 - j) % 4, c = (50 - j) % 4, d = (51 - j) % 4;
    // As in MD5: what does not depend on b is added first.
    uint32_t t = v[a] + x[kMd4Word[j]];
    if constexpr (j < 16) {
        t += v[d] ^ (v[b] & (v[c] ^ v[d]));
    } else if constexpr (j < 32) {
        t += 0x5a827999u;
        t += (v[b] & (v[c] | v[d])) | (v[c] & v[d]);
    } else {
        t += 0x6ed9eba1u;
        t += v[b] ^ (v[c] ^ v[d]);
    }
    v[a] = Rotl32(t, kMd4Shift[j / 16][j % 4]);
}

template <int... J>
inline void Md4Steps(uint32_t* v, const uint32_t* x, std::integer_sequence<int, J...>) {
    (Md4Step<J>(v, x), ...);
}

void Md4Blocks(uint32_t* state, const uint8_t* p, size_t count) {
    for (; count != 0; --count, p += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLe32(p + 4 * i);
        uint32_t v[4] = {state[0], state[1], state[2], state[3]};
        Md4Steps(v, x, std::make_integer_sequence<int, 48>());
        for (int i = 0; i < 4; ++i)
            state[i] += v[i];
    }
}

} // namespace

int Md4Init(Md4Context* ctx) {
    return detail::Md5Start(ctx);
}
int64_t Md4Update(Md4Context* ctx, const uint8_t* data, uint32_t len) {
    return md::UpdateRecord<64>(ctx, ctx ? ctx->buffer : nullptr, data, len,
                                [&](const uint8_t* p, size_t n) { Md4Blocks(ctx->state, p, n); });
}
int Md4Final(Md4Context* ctx) {
    return md::FinishRecord<64, 8, md::LengthOrder::LittleEndian>(
        ctx, ctx ? ctx->buffer : nullptr,
        [&](const uint8_t* p, size_t n) { Md4Blocks(ctx->state, p, n); });
}
int Md4Digest(const Md4Context* ctx, uint8_t* out, uint32_t outLen) {
    return detail::Md5Output(ctx, out, outLen);
}

} // namespace digest
