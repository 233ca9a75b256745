// Square root with remainder on word arrays: Zimmermann's Karatsuba square
// root ("Karatsuba Square Root", INRIA RR-3805, 1999), recursive down to one
// limb, with all its intermediate values in one scratch block.
#include "mpa/limb.h"

#include <cassert>
#include <cmath>
#include <vector>

namespace mpa::limb {

namespace {

// s = floor(sqrt(a1 B + a0)) for a1 >= B/4; r (low limb) and the returned
// high limb (0 or 1) hold a - s^2 <= 2s.
limb_t SqrtRem2(limb_t* s, limb_t* r, limb_t a1, limb_t a0) {
    const dlimb_t v = (static_cast<dlimb_t>(a1) << 64) | a0;
    // A long double estimate is within a few units; correct on integers.
    const long double est = std::sqrt(static_cast<long double>(v));
    limb_t x = est >= 18446744073709551615.0L ? ~limb_t{0} : static_cast<limb_t>(est);
    while (static_cast<dlimb_t>(x) * x > v)
        --x;
    while (x != ~limb_t{0} && static_cast<dlimb_t>(x + 1) * (x + 1) <= v)
        ++x;
    const dlimb_t rem = v - static_cast<dlimb_t>(x) * x;
    s[0] = x;
    r[0] = static_cast<limb_t>(rem);
    return static_cast<limb_t>(rem >> 64);
}

// Scratch limbs SqrtRemRec needs for n.
size_t Scratch(size_t n) {
    return n == 1 ? 0 : 6 * n + 8 + Scratch(n - n / 2);
}

// s[0..n) = floor(sqrt(a)) for a of 2n limbs with a[2n-1] >= B/4; r[0..n)
// and the returned limb (0 or 1) hold a - s^2, which is at most 2s.
//
// With a = a' B^(2l) + a1 B^l + a0 (l = floor(n/2), h = n - l) and
// (s', r') the root and remainder of a', divide r' B^l + a1 by 2s' into
// (q, u): s = s' B^l + q is the root or one above it, and
// r = u B^l + a0 - q^2 is negative exactly when it is one above.
limb_t SqrtRemRec(limb_t* s, limb_t* r, const limb_t* a, size_t n, limb_t* scratch) {
    if (n == 1)
        return SqrtRem2(s, r, a[1], a[0]);
    const size_t l = n / 2, h = n - l;
    limb_t* top = scratch; // r', h limbs
    const limb_t topHigh = SqrtRemRec(s + l, top, a + 2 * l, h, scratch + h);
    limb_t* num = scratch + h; // r' B^l + a1: n + 1 limbs
    limb_t* q = num + n + 1;   // l + 2 limbs
    limb_t* u = q + l + 2;     // h + 1 limbs
    limb_t* t = u + h + 1;     // u B^l + a0, then the remainder: n + 2 limbs
    limb_t* q2 = t + n + 2;    // q^2: 2l + 2 limbs
    std::copy(a + l, a + 2 * l, num);
    std::copy(top, top + h, num + l);
    num[n] = topHigh;
    // Divided by s', whose top bit is set, rather than by 2s', which would
    // need shifting: q/2 is the quotient by 2s', and an odd q leaves s' more
    // in the remainder.
    DivRem(q, u, num, n + 1, s + l, h);
    const bool odd = q[0] & 1;
    RShift(q, q, l + 2, 1);
    u[h] = odd ? AddN(u, u, s + l, h) : 0;
    // s = s' B^l + q, where q may reach B^l; sHigh is s's limb n (0 or 1).
    std::copy(q, q + l, s);
    limb_t sHigh = Add1(s + l, s + l, h, q[l]);
    std::copy(a, a + l, t);
    std::copy(u, u + h + 1, t + l);
    t[n + 1] = 0;
    Sqr(q2, q, l + 1);
    // At most one step back: then r gains 2s - 1 (s before the step).
    while (CmpN(t, n + 2, q2, 2 * l + 2) < 0) {
        for (int twice = 0; twice < 2; ++twice) {
            Add(t, t, n + 2, s, n);
            Add1(t + n, t + n, 2, sHigh);
        }
        Sub1(t, t, n + 2, 1);
        sHigh -= Sub1(s, s, n, 1);
    }
    assert(sHigh == 0);
    Sub(t, t, n + 2, q2, 2 * l + 2);
    assert(t[n + 1] == 0 && t[n] <= 1);
    std::copy(t, t + n, r);
    return t[n];
}

} // namespace

limb_t SqrtRem(limb_t* s, limb_t* r, const limb_t* a, size_t n) {
    assert(n >= 1 && a[2 * n - 1] >= (limb_t{1} << 62));
    constexpr size_t kStack = 1024;
    const size_t need = Scratch(n);
    limb_t stack[kStack];
    std::vector<limb_t> heap;
    limb_t* scratch = stack;
    if (need > kStack) {
        heap.resize(need);
        scratch = heap.data();
    }
    return SqrtRemRec(s, r, a, n, scratch);
}

} // namespace mpa::limb
