// Word kernels under the byte-string interface: little-endian arrays of
// 64-bit limbs (least significant first), output first, carry returned.
// Nothing here allocates except where a function takes a scratch vector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpa::limb {

using limb_t = uint64_t;
using dlimb_t = unsigned __int128;
constexpr int kLimbBits = 64;

// n limbs starting on a 64-byte boundary: one cache line, one 512-bit vector.
class AlignedLimbs {
public:
    explicit AlignedLimbs(size_t n) : store_(n + 7) {
        const auto at = reinterpret_cast<uintptr_t>(store_.data());
        p_ = store_.data() + ((64 - at % 64) % 64) / sizeof(limb_t);
    }
    limb_t* data() { return p_; }
    const limb_t* data() const { return p_; }

private:
    std::vector<limb_t> store_;
    limb_t* p_;
};

// Limbs needed for len bytes.
constexpr size_t LimbsForBytes(size_t len) {
    return (len + 7) / 8;
}

// Reads len big-endian bytes into LimbsForBytes(len) limbs.
void FromBytes(limb_t* r, const uint8_t* bytes, size_t len);
// Writes the low len bytes of a (n limbs) big-endian; higher limbs must be 0.
void ToBytes(uint8_t* bytes, size_t len, const limb_t* a, size_t n);
// Size without high zero limbs.
size_t Normalized(const limb_t* a, size_t n);
// Significant bits of a (n limbs).
size_t BitLength(const limb_t* a, size_t n);

// -1, 0, 1 comparing two n-limb numbers.
int Cmp(const limb_t* a, const limb_t* b, size_t n);
// Compares numbers of sizes an and bn (high zero limbs allowed).
int CmpN(const limb_t* a, size_t an, const limb_t* b, size_t bn);

limb_t AddN(limb_t* r, const limb_t* a, const limb_t* b, size_t n);
limb_t SubN(limb_t* r, const limb_t* a, const limb_t* b, size_t n);
// r = a + b with an >= bn; r has an limbs.
limb_t Add(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);
// r = a - b with an >= bn; returns the borrow.
limb_t Sub(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);
limb_t Add1(limb_t* r, const limb_t* a, size_t n, limb_t b);
limb_t Sub1(limb_t* r, const limb_t* a, size_t n, limb_t b);

// r = a * b and r += a * b over n limbs, returning the carry limb; through
// the row kernels selected for this CPU (limb_kernels.h).
struct RowKernels {
    limb_t (*mul1)(limb_t*, const limb_t*, size_t, limb_t);
    limb_t (*addMul1)(limb_t*, const limb_t*, size_t, limb_t);
    limb_t (*subMul1)(limb_t*, const limb_t*, size_t, limb_t);
    void (*redcRows)(limb_t*, const limb_t*, size_t, limb_t);
    void (*sqrDiagonal)(limb_t*, const limb_t*, size_t);
    void (*mulBasecase)(limb_t*, const limb_t*, size_t, const limb_t*, size_t);
    void (*mul4x4)(limb_t*, const limb_t*, const limb_t*);
};
extern RowKernels g_rowKernels;
inline limb_t Mul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    return g_rowKernels.mul1(r, a, n, b);
}
inline limb_t AddMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    return g_rowKernels.addMul1(r, a, n, b);
}
// r -= a * b over n limbs, returning the borrow limb.
inline limb_t SubMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    return g_rowKernels.subMul1(r, a, n, b);
}

// Montgomery's reduction rows: for i < n, t += (t[i] * minv mod B) * m * B^i,
// which clears t[i]; that row's carry is parked in t[i] instead. t has 2n
// limbs, minv = -m^-1 mod B.
inline void RedcRows(limb_t* t, const limb_t* m, size_t n, limb_t minv) {
    g_rowKernels.redcRows(t, m, n, minv);
}

// The last step of a square: r[0..2n) = 2 r + the squares a[i]^2 placed at
// limb 2i, where r holds the off-diagonal products and the total is a^2.
inline void SqrDiagonal(limb_t* r, const limb_t* a, size_t n) {
    g_rowKernels.sqrDiagonal(r, a, n);
}

// Schoolbook r[0..an+bn) = a * b, an >= bn >= 1, r apart from a and b: the
// base case below the Karatsuba threshold, all rows in one kernel call.
inline void MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    g_rowKernels.mulBasecase(r, a, an, b, bn);
}

// r[0..8) = a[0..4) * b[0..4): products of up to 256 bits, where the call
// overhead of the general path would cost as much as the product.
inline void Mul4x4(limb_t* r, const limb_t* a, const limb_t* b) {
    g_rowKernels.mul4x4(r, a, b);
}

// Shifts by 0 < cnt < 64; return the bits shifted out.
limb_t LShift(limb_t* r, const limb_t* a, size_t n, unsigned cnt);
limb_t RShift(limb_t* r, const limb_t* a, size_t n, unsigned cnt);

// r[0..an+bn) = a * b, an >= bn >= 1; r must not overlap a or b.
void Mul(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn);
// r[0..2n) = a * a; r must not overlap a.
void Sqr(limb_t* r, const limb_t* a, size_t n);

// s[0..n) = floor(sqrt(a)) for a of 2n limbs with a[2n-1] >= 2^62; r[0..n)
// and the returned limb (0 or 1) hold the remainder a - s^2.
limb_t SqrtRem(limb_t* s, limb_t* r, const limb_t* a, size_t n);

// q[0..an-dn] = a / d and r[0..dn) = a mod d; an >= dn >= 1, d[dn-1] != 0.
// q and r must not overlap the inputs.
void DivRem(limb_t* q, limb_t* r, const limb_t* a, size_t an, const limb_t* d, size_t dn);

// Division by a single limb with a precomputed inverse (d != 0).
struct Divisor1 {
    limb_t d = 0;   // normalised divisor (top bit set)
    limb_t inv = 0; // floor((B^2 - 1) / d) - B
    unsigned shift = 0;
    explicit Divisor1(limb_t divisor);
};
// One step of division by an invariant normalised limb d (top bit set) with
// inv = floor((B^2 - 1) / d) - B (Moller and Granlund, "Improved division by
// invariant integers", 2011): q = (nh B + nl) / d, returns the remainder.
// Needs nh < d. Two products and no divide instruction.
inline limb_t DivStep2by1(limb_t& q, limb_t nh, limb_t nl, limb_t d, limb_t inv) {
    dlimb_t p = static_cast<dlimb_t>(inv) * nh;
    p += (static_cast<dlimb_t>(nh + 1) << 64) | nl;
    limb_t qh = static_cast<limb_t>(p >> 64);
    limb_t ql = static_cast<limb_t>(p);
    limb_t r = nl - qh * d;
    if (r > ql) {
        --qh;
        r += d;
    }
    if (r >= d) {
        ++qh;
        r -= d;
    }
    q = qh;
    return r;
}

// a mod d for n limbs.
limb_t Mod1(const limb_t* a, size_t n, const Divisor1& d);
// q = a / d (n limbs), returns a mod d. q may equal a.
limb_t DivRem1(limb_t* q, const limb_t* a, size_t n, const Divisor1& d);

// r = base^exp mod m (m has mn limbs, m[mn-1] != 0, base < m with mn limbs,
// exp has en limbs). Montgomery for odd m, Barrett otherwise.
void PowMod(limb_t* r, const limb_t* base, const limb_t* exp, size_t en, const limb_t* m,
            size_t mn);

} // namespace mpa::limb
