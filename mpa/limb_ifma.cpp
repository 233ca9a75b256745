// Products and almost-Montgomery products on 52-bit digits with AVX-512 IFMA
// (Gueron and Krasnov, "Accelerating big integer arithmetic using Intel IFMA
// extensions", 2016). In the Montgomery products the lowest digit's
// reduction step stays in scalar registers, so that the chain from one
// quotient digit to the next never waits on a vector instruction.
#include "mpa/limb_ifma.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORDOVANE_HAVE_IFMA 1
#endif

namespace mpa::limb::ifma {

namespace {

constexpr uint64_t kMask52 = (uint64_t{1} << 52) - 1;
constexpr size_t kDigitsPerVector = 8;
constexpr size_t kMaxVectors = ((kMaxLimbs * 64 + 2 + 51) / 52 + 7) / kDigitsPerVector;
// Sizes up to this many vectors have their own kernel, which keeps the
// accumulator in registers.
constexpr size_t kFixedVectors = 20;

using MulKernel = void (*)(limb_t* r, size_t rn, const uint64_t* a, size_t nv, const limb_t* b,
                           size_t bn);

// Digit i (52 bits) of the bn-limb number b.
inline uint64_t DigitOf(const limb_t* b, size_t bn, size_t i) {
    const size_t bit = 52 * i, w = bit / 64, s = bit % 64;
    uint64_t v = w < bn ? b[w] >> s : 0;
    if (s > 12 && w + 1 < bn)
        v |= b[w + 1] << (64 - s);
    return v & kMask52;
}

// Digits of 52 bits from mn 64-bit limbs; r has room for k digits.
void ToDigits(uint64_t* r, size_t k, const limb_t* a, size_t mn) {
    for (size_t j = 0; j < k; ++j)
        r[j] = DigitOf(a, mn, j);
}

// The low mn limbs of k digits of 52 bits.
void FromDigits(limb_t* r, size_t mn, const uint64_t* d, size_t k) {
    std::fill(r, r + mn, 0);
    for (size_t j = 0; j < k; ++j) {
        const size_t bit = 52 * j, i = bit / 64, s = bit % 64;
        if (i < mn)
            r[i] |= d[j] << s;
        if (s > 12 && i + 1 < mn)
            r[i + 1] |= d[j] >> (64 - s);
    }
}

#if defined(ORDOVANE_HAVE_IFMA)

#define ORDOVANE_IFMA_TARGET __attribute__((target("avx512f,avx512ifma")))

// GCC 12's unmasked forms of these read an "undefined" register that its own
// warnings flag; the zero-masked forms with every lane kept are the same
// instructions.
constexpr __mmask8 kAll = 0xFF;
ORDOVANE_IFMA_TARGET inline __m512i AlignDown(__m512i high, __m512i low, int lanes) {
    return lanes == 1 ? _mm512_maskz_alignr_epi64(kAll, high, low, 1)
                      : _mm512_maskz_alignr_epi64(kAll, high, low, 7);
}
ORDOVANE_IFMA_TARGET inline uint64_t Lane1(__m512i x) {
    return static_cast<uint64_t>(_mm_extract_epi64(_mm512_maskz_extracti32x4_epi32(0xF, x, 0), 1));
}

// The low halves of a[v] b + m[v] y, for vector v of the digits.
ORDOVANE_IFMA_TARGET inline __m512i LowHalves(const uint64_t* a, const uint64_t* m, size_t v,
                                              __m512i vb, __m512i vy) {
    return _mm512_madd52lo_epu64(
        _mm512_madd52lo_epu64(_mm512_setzero_si512(), _mm512_loadu_si512(a + 8 * v), vb),
        _mm512_loadu_si512(m + 8 * v), vy);
}

// Normalises n vectors of redundant lanes holding a value below 2^(52 * 8n):
// each lane's carry into the next lane leaves every lane below 2^52 + 2^12;
// the carries that then still ripple are found all at once from two masks,
// lanes above 2^52 - 1 (which carry) and lanes equal to it (which pass a
// carry on): the lanes that receive one are ((carry << 1) + pass) ^ pass, as
// in a carry-lookahead adder.
template <size_t NV> ORDOVANE_IFMA_TARGET inline void Normalize(__m512i* R, size_t n) {
    const __m512i mask = _mm512_set1_epi64(static_cast<long long>(kMask52));
    __m512i below = _mm512_setzero_si512();
    for (size_t v = 0; v < n; ++v) {
        const __m512i c = _mm512_maskz_srli_epi64(kAll, R[v], 52);
        R[v] = _mm512_add_epi64(_mm512_and_si512(R[v], mask), AlignDown(c, below, 7));
        below = c;
    }
    constexpr size_t kWords = ((NV ? NV : kMaxVectors) + 7) / 8;
    const size_t words = (n + 7) / 8;
    uint64_t carries[kWords] = {}, passes[kWords] = {}, receive[kWords];
    for (size_t v = 0; v < n; ++v) {
        const unsigned s = 8 * (v % 8);
        carries[v / 8] |= uint64_t{_mm512_cmpgt_epu64_mask(R[v], mask)} << s;
        passes[v / 8] |= uint64_t{_mm512_cmpeq_epu64_mask(R[v], mask)} << s;
    }
    uint64_t shiftIn = 0, sumCarry = 0;
    for (size_t w = 0; w < words; ++w) {
        const uint64_t shifted = (carries[w] << 1) | shiftIn;
        shiftIn = carries[w] >> 63;
        const dlimb_t sum = dlimb_t{shifted} + passes[w] + sumCarry;
        sumCarry = static_cast<uint64_t>(sum >> 64);
        receive[w] = static_cast<uint64_t>(sum) ^ passes[w];
    }
    for (size_t v = 0; v < n; ++v) {
        const __mmask8 in = static_cast<__mmask8>(receive[v / 8] >> (8 * (v % 8)));
        // Adding one is subtracting 2^52 - 1 modulo 2^52.
        R[v] = _mm512_and_si512(_mm512_mask_sub_epi64(R[v], in, R[v], mask), mask);
    }
}

// r = a b / 2^(52k) mod 2m for digits a, b < 2m (all rows n vectors long, the
// digits from k on zero), m odd, k0 = -m^-1 mod 2^52, 4m < 2^(52k). NV is n
// when fixed at compile time (the accumulator then stays in registers), 0
// for any n up to kMaxVectors.
//
// Each step adds a b[i] + m y to the accumulator, with y chosen to clear its
// lowest digit, and moves it down one digit. The low halves of the digit
// products land in the digit they are computed in, the high halves one digit
// up, so they are added after the move. The lowest digit is tracked exactly
// in a scalar (acc) from full 104-bit products; the vector copy of that lane
// is never read. Lanes stay redundant (below 4k 2^52) until the end.
template <size_t NV>
ORDOVANE_IFMA_TARGET void AlmostMontgomery(uint64_t* r, const uint64_t* a, const uint64_t* b,
                                           const uint64_t* m, uint64_t k0, size_t k, size_t nv) {
    const size_t n = NV ? NV : nv;
    const __m512i zero = _mm512_setzero_si512();
    __m512i R[NV ? NV : kMaxVectors] = {};
    const uint64_t a0 = a[0], a1 = a[1], m0 = m[0], m1 = m[1];
    uint64_t acc = 0;
    for (size_t i = 0; i < k; ++i) {
        const uint64_t bi = b[i];
        // The second digit, which becomes the lowest after this step.
        const uint64_t next = Lane1(R[0]);
        dlimb_t low = static_cast<dlimb_t>(a0) * bi + acc;
        const uint64_t y = (static_cast<uint64_t>(low) * k0) & kMask52;
        low += static_cast<dlimb_t>(m0) * y; // its low 52 bits are now zero
        acc =
            static_cast<uint64_t>(low >> 52) + next + ((a1 * bi) & kMask52) + ((m1 * y) & kMask52);
        const __m512i vb = _mm512_set1_epi64(static_cast<long long>(bi));
        const __m512i vy = _mm512_set1_epi64(static_cast<long long>(y));
        // The products are summed apart from the accumulator, which keeps its
        // dependency chain down to an addition, a move and an addition per
        // step; one vector at a time, so that few registers are live.
        __m512i cur = _mm512_add_epi64(R[0], LowHalves(a, m, 0, vb, vy));
        for (size_t v = 0; v < n; ++v) {
            const __m512i hi = _mm512_madd52hi_epu64(
                _mm512_madd52hi_epu64(zero, _mm512_loadu_si512(a + 8 * v), vb),
                _mm512_loadu_si512(m + 8 * v), vy);
            const __m512i above =
                v + 1 < n ? _mm512_add_epi64(R[v + 1], LowHalves(a, m, v + 1, vb, vy)) : zero;
            R[v] = _mm512_add_epi64(AlignDown(above, cur, 1), hi);
            cur = above;
        }
    }
    R[0] = _mm512_mask_set1_epi64(R[0], 1, static_cast<long long>(acc));
    Normalize<NV>(R, n);
    for (size_t v = 0; v < n; ++v)
        _mm512_storeu_si512(r + 8 * v, R[v]);
}

ORDOVANE_IFMA_TARGET inline uint64_t Lane0(__m512i x) {
    return static_cast<uint64_t>(_mm_cvtsi128_si64(_mm512_maskz_extracti32x4_epi32(0xF, x, 0)));
}

// Packs 52-bit digits into 64-bit limbs, dropping those past the last limb.
class LimbPacker {
public:
    LimbPacker(limb_t* r, size_t rn) : r_(r), end_(r + rn) {}
    void Put(uint64_t digit) {
        bits_ |= static_cast<dlimb_t>(digit) << count_;
        count_ += 52;
        if (count_ >= 64) {
            if (r_ != end_)
                *r_++ = static_cast<limb_t>(bits_);
            bits_ >>= 64;
            count_ -= 64;
        }
    }
    // Writes what is left, then zeros to the last limb.
    void Finish() {
        if (count_ > 0 && r_ != end_)
            *r_++ = static_cast<limb_t>(bits_);
        while (r_ != end_)
            *r_++ = 0;
    }

private:
    limb_t* r_;
    limb_t* end_;
    dlimb_t bits_ = 0;
    unsigned count_ = 0;
};

// r[0..rn) = a b for a in digits (n vectors, NV as for AlmostMontgomery) and
// b of bn limbs, digit by digit of b: add a b[i], emit the lowest digit, move
// the accumulator down one digit. The emitted digits carry in a scalar.
template <size_t NV>
ORDOVANE_IFMA_TARGET void MulDigits(limb_t* r, size_t rn, const uint64_t* a, size_t nv,
                                    const limb_t* b, size_t bn) {
    const size_t n = NV ? NV : nv;
    const __m512i zero = _mm512_setzero_si512();
    __m512i R[NV ? NV : kMaxVectors] = {};
    LimbPacker out(r, rn);
    const size_t kb = (64 * bn + 51) / 52;
    uint64_t carry = 0;
    for (size_t i = 0; i < kb; ++i) {
        const __m512i vb = _mm512_set1_epi64(static_cast<long long>(DigitOf(b, bn, i)));
        __m512i cur = _mm512_add_epi64(R[0], _mm512_madd52lo_epu64(zero, _mm512_load_si512(a), vb));
        const uint64_t low = Lane0(cur) + carry;
        out.Put(low & kMask52);
        carry = low >> 52;
        for (size_t v = 0; v < n; ++v) {
            const __m512i hi = _mm512_madd52hi_epu64(zero, _mm512_load_si512(a + 8 * v), vb);
            const __m512i above =
                v + 1 < n
                    ? _mm512_add_epi64(R[v + 1], _mm512_madd52lo_epu64(
                                                     zero, _mm512_load_si512(a + 8 * v + 8), vb))
                    : zero;
            R[v] = _mm512_add_epi64(AlignDown(above, cur, 1), hi);
            cur = above;
        }
    }
    R[0] = _mm512_mask_add_epi64(R[0], 1, R[0], _mm512_set1_epi64(static_cast<long long>(carry)));
    Normalize<NV>(R, n);
    alignas(64) uint64_t top[8];
    for (size_t v = 0; v < n; ++v) {
        _mm512_store_si512(top, R[v]);
        for (uint64_t d : top)
            out.Put(d);
    }
    out.Finish();
}

template <size_t... NV> constexpr MulKernel MulKernelFor(size_t nv, std::index_sequence<NV...>) {
    constexpr MulKernel table[] = {&MulDigits<NV + 1>...};
    return nv <= sizeof...(NV) ? table[nv - 1] : &MulDigits<0>;
}

template <size_t... NV>
constexpr Montgomery52::Kernel KernelFor(size_t nv, std::index_sequence<NV...>) {
    constexpr Montgomery52::Kernel table[] = {&AlmostMontgomery<NV + 1>...};
    return nv <= sizeof...(NV) ? table[nv - 1] : &AlmostMontgomery<0>;
}

#endif

} // namespace

#if defined(ORDOVANE_HAVE_IFMA)
bool Available() {
    return true;
}

void Mul(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    assert(an >= 1 && bn >= 1 && an <= kMaxLimbs);
    // The longer operand goes in vectors, the shorter is walked digit by digit.
    const size_t ka = (64 * an + 51) / 52, nv = (ka + kDigitsPerVector - 1) / kDigitsPerVector;
    alignas(64) uint64_t small[kFixedVectors * kDigitsPerVector];
    std::optional<AlignedLimbs> big;
    uint64_t* digits = small;
    if (nv > kFixedVectors)
        digits = big.emplace(nv * kDigitsPerVector).data();
    std::fill(digits, digits + nv * kDigitsPerVector, 0);
    ToDigits(digits, ka, a, an);
    MulKernelFor(nv, std::make_index_sequence<kFixedVectors>{})(r, an + bn, digits, nv, b, bn);
}

ORDOVANE_IFMA_TARGET void NormalizeDigits(uint64_t* lanes, size_t nv) {
    assert(nv >= 1 && nv <= kMaxVectors);
    __m512i R[kMaxVectors];
    for (size_t v = 0; v < nv; ++v)
        R[v] = _mm512_loadu_si512(lanes + 8 * v);
    Normalize<0>(R, nv);
    for (size_t v = 0; v < nv; ++v)
        _mm512_storeu_si512(lanes + 8 * v, R[v]);
}
#else
bool Available() {
    return false;
}
void NormalizeDigits(uint64_t*, size_t) {}
void Mul(limb_t*, const limb_t*, size_t, const limb_t*, size_t) {}
#endif

namespace {

// Digits for a modulus of the given bit length, R = 2^(52 k) > 4m.
size_t DigitsFor(size_t bits) {
    return (bits + 2 + 51) / 52;
}

size_t StrideFor(size_t digits) {
    return (digits + kDigitsPerVector - 1) / kDigitsPerVector * kDigitsPerVector;
}

} // namespace

Montgomery52::Montgomery52(const limb_t* m, size_t mn)
    : m_(m), mn_(mn), k_(DigitsFor(BitLength(m, mn))), nv_(StrideFor(k_) / kDigitsPerVector),
      stride_(StrideFor(k_)), digits_(stride_) {
    assert(mn >= 1 && (m[0] & 1) && m[mn - 1] != 0);
    assert(nv_ <= kMaxVectors);
    std::fill(digits_.data(), digits_.data() + stride_, 0);
    ToDigits(digits_.data(), k_, m, mn);
    // Newton's iteration doubles the correct low bits of m^-1 each step.
    uint64_t inv = m[0];
    for (int i = 0; i < 6; ++i)
        inv *= 2 - m[0] * inv;
    k0_ = (0 - inv) & kMask52;
#if defined(ORDOVANE_HAVE_IFMA)
    kernel_ = KernelFor(nv_, std::make_index_sequence<kFixedVectors>{});
#else
    kernel_ = nullptr;
#endif
}

void Montgomery52::ToDomain(limb_t* r, const limb_t* a) {
    // a 2^(52k) mod m by one division.
    const size_t shift = 52 * k_, whole = shift / 64;
    const unsigned bits = shift % 64;
    const size_t xn = mn_ + whole + 1;
    std::vector<limb_t> x(xn, 0), q(xn), rem(mn_);
    x[mn_ + whole] = bits ? LShift(x.data() + whole, a, mn_, bits) : 0;
    if (!bits)
        std::copy(a, a + mn_, x.begin() + static_cast<std::ptrdiff_t>(whole));
    DivRem(q.data(), rem.data(), x.data(), xn, m_, mn_);
    std::fill(r, r + stride_, 0);
    ToDigits(r, k_, rem.data(), mn_);
}

void Montgomery52::FromDomain(limb_t* r, const limb_t* a) {
    // a / R is below m + 1 for any a < 2m, so one comparison finishes it.
    AlignedLimbs one(stride_), t(stride_);
    std::fill(one.data(), one.data() + stride_, 0);
    one.data()[0] = 1;
    MulMod(t.data(), a, one.data());
    FromDigits(r, mn_, t.data(), k_);
    if (Cmp(r, m_, mn_) >= 0)
        SubN(r, r, m_, mn_);
}

void Montgomery52::MulMod(limb_t* r, const limb_t* a, const limb_t* b) {
    kernel_(r, a, b, digits_.data(), k0_, k_, nv_);
}

} // namespace mpa::limb::ifma
