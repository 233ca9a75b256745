// SHA-1 and SHA-256 block compression with the x86 SHA extensions. Chosen at
// run time (CpuHasShaExtensions and FastPathsEnabled); elsewhere these fall
// back to the portable code, which is always built and tested.
#include "tools/digest/sha1.h"
#include "tools/digest/sha256.h"

#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace digest::detail {
namespace {

// One group of four SHA-256 rounds; groups 4..15 first extend the message
// schedule held in the ring m[4].
template <int g>
SHA_TARGET inline void Sha256Group(__m128i& s0, __m128i& s1, __m128i* m, const uint8_t* p,
                                   const uint32_t* k, __m128i byteSwap) {
    if constexpr (g < 4) {
        m[g] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * g)),
                                byteSwap);
    } else {
        constexpr int a = g & 3, b = (g + 1) & 3, c = (g + 2) & 3, d = (g + 3) & 3;
        __m128i t = _mm_add_epi32(_mm_sha256msg1_epu32(m[a], m[b]), _mm_alignr_epi8(m[d], m[c], 4));
        m[a] = _mm_sha256msg2_epu32(t, m[d]);
    }
    __m128i wk =
        _mm_add_epi32(m[g & 3], _mm_loadu_si128(reinterpret_cast<const __m128i*>(k + 4 * g)));
    s1 = _mm_sha256rnds2_epu32(s1, s0, wk);
    s0 = _mm_sha256rnds2_epu32(s0, s1, _mm_shuffle_epi32(wk, 0x0e));
}

template <int... G>
SHA_TARGET inline void Sha256Groups(__m128i& s0, __m128i& s1, __m128i* m, const uint8_t* p,
                                    const uint32_t* k, __m128i byteSwap,
                                    std::integer_sequence<int, G...>) {
    (Sha256Group<G>(s0, s1, m, p, k, byteSwap), ...);
}

// One group of four SHA-1 rounds with the message schedule of the ring m[4]
// and the two E registers e[2] taking turns.
template <int g>
SHA_TARGET inline void Sha1Group(__m128i& abcd, __m128i* e, __m128i* m, const uint8_t* p,
                                 __m128i byteSwap) {
    if constexpr (g < 4)
        m[g] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * g)),
                                byteSwap);
    constexpr int cur = g & 1, other = cur ^ 1;
    constexpr int w = g & 3, next = (g + 1) & 3, after = (g + 2) & 3, last = (g + 3) & 3;
    if constexpr (g == 0)
        e[cur] = _mm_add_epi32(e[cur], m[w]);
    else
        e[cur] = _mm_sha1nexte_epu32(e[cur], m[w]);
    e[other] = abcd;
    if constexpr (g >= 3 && g <= 18)
        m[next] = _mm_sha1msg2_epu32(m[next], m[w]);
    abcd = _mm_sha1rnds4_epu32(abcd, e[cur], g / 5);
    if constexpr (g >= 1 && g <= 16)
        m[last] = _mm_sha1msg1_epu32(m[last], m[w]);
    if constexpr (g >= 2 && g <= 17)
        m[after] = _mm_xor_si128(m[after], m[w]);
}

template <int... G>
SHA_TARGET inline void Sha1Groups(__m128i& abcd, __m128i* e, __m128i* m, const uint8_t* p,
                                  __m128i byteSwap, std::integer_sequence<int, G...>) {
    (Sha1Group<G>(abcd, e, m, p, byteSwap), ...);
}

} // namespace

SHA_TARGET void Sha256BlocksShaNi(uint32_t* state, const uint8_t* p, size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    const uint32_t* k = Sha256RoundConstants();
    // The instructions keep the state as ABEF and CDGH.
    __m128i t = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xb1);
    __m128i s1 =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1b);
    __m128i s0 = _mm_alignr_epi8(t, s1, 8);
    s1 = _mm_blend_epi16(s1, t, 0xf0);
    for (; count != 0; --count, p += 64) {
        __m128i save0 = s0, save1 = s1;
        __m128i m[4];
        Sha256Groups(s0, s1, m, p, k, byteSwap, std::make_integer_sequence<int, 16>());
        s0 = _mm_add_epi32(s0, save0);
        s1 = _mm_add_epi32(s1, save1);
    }
    t = _mm_shuffle_epi32(s0, 0x1b);
    s1 = _mm_shuffle_epi32(s1, 0xb1);
    s0 = _mm_blend_epi16(t, s1, 0xf0);
    s1 = _mm_alignr_epi8(s1, t, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), s0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), s1);
}

SHA_TARGET void Sha1BlocksShaNi(uint32_t* state, const uint8_t* p, size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607ULL, 0x08090a0b0c0d0e0fULL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; count != 0; --count, p += 64) {
        __m128i saveAbcd = abcd, saveE = e0;
        __m128i e[2] = {e0, _mm_setzero_si128()};
        __m128i m[4];
        Sha1Groups(abcd, e, m, p, byteSwap, std::make_integer_sequence<int, 20>());
        e0 = _mm_sha1nexte_epu32(e[0], saveE);
        abcd = _mm_add_epi32(abcd, saveAbcd);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1b));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

} // namespace digest::detail

#else

namespace digest::detail {

void Sha256BlocksShaNi(uint32_t* state, const uint8_t* p, size_t count) {
    Sha256BlocksPortable(state, p, count);
}

void Sha1BlocksShaNi(uint32_t* state, const uint8_t* p, size_t count) {
    Sha1BlocksPortable(state, p, count);
}

} // namespace digest::detail

#endif
