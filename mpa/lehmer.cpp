#include "mpa/lehmer.h"

#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

namespace mpa {
namespace {

using limb::limb_t;
using Limbs = std::vector<limb_t>;

// The cofactor matrix of a run of Euclid's quotients:
// (a, b) -> (A a + B b, C a + D b). A and D have one sign, B and C the
// other, and every entry stays below 2^62 in magnitude.
struct Matrix {
    int64_t A = 1, B = 0, C = 0, D = 1;
};

constexpr unsigned kLeadBits = 62;

// Bits [shift, shift + 62) of v (n limbs).
uint64_t BitsAt(const limb_t* v, size_t n, size_t shift) {
    const size_t w = shift / 64, s = shift % 64;
    uint64_t lo = w < n ? v[w] : 0;
    uint64_t hi = w + 1 < n ? v[w + 1] : 0;
    uint64_t x = s ? (lo >> s) | (hi << (64 - s)) : lo;
    return x & ((uint64_t{1} << kLeadBits) - 1);
}

// Knuth's Algorithm L on the leading bits: a quotient is kept only when the
// two bracketing estimates agree (Collins' condition), so the matrix is
// exactly that of Euclid's steps on the full numbers.
Matrix FindMatrix(int64_t x, int64_t y) {
    Matrix m;
    for (;;) {
        const int64_t yc = y + m.C, yd = y + m.D;
        if (yc <= 0 || yd <= 0)
            break;
        const int64_t xa = x + m.A, xb = x + m.B;
        // Most quotients are 1; a compare settles those without dividing.
        int64_t q = xa - yc < yc ? (xa >= yc ? 1 : 0) : xa / yc;
        int64_t q2 = xb - yd < yd ? (xb >= yd ? 1 : 0) : xb / yd;
        if (q != q2 || q <= 0)
            break;
        const int64_t nC = m.A - q * m.C, nD = m.B - q * m.D;
        m.A = m.C;
        m.B = m.D;
        m.C = nC;
        m.D = nD;
        const int64_t t = x - q * y;
        x = y;
        y = t;
    }
    return m;
}

uint64_t Magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// out (n + 1 limbs) = p a + q b for p, q of opposite signs (one may be 0)
// whose result is known to be non-negative; a and b have n limbs.
void Combine(limb_t* out, int64_t p, const limb_t* a, int64_t q, const limb_t* b, size_t n) {
    if (p >= 0 && q <= 0) {
        limb_t hi = limb::Mul1(out, a, n, Magnitude(p));
        out[n] = hi - limb::SubMul1(out, b, n, Magnitude(q));
    } else {
        limb_t hi = limb::Mul1(out, b, n, Magnitude(q));
        out[n] = hi - limb::SubMul1(out, a, n, Magnitude(p));
    }
}

// A cofactor of Euclid's algorithm: a magnitude (fixed room) and a sign.
// Consecutive cofactors have opposite signs, so the matrix combines their
// magnitudes by addition only.
struct Cofactor {
    Limbs mag;
    size_t size = 0; // without high zero limbs
    bool neg = false;
};

// out = p u + q v, given that p u and q v have the same sign.
void CombineCofactors(Cofactor& out, int64_t p, const Cofactor& u, int64_t q, const Cofactor& v) {
    const size_t n = std::max(u.size, v.size);
    std::fill(out.mag.begin(), out.mag.begin() + static_cast<std::ptrdiff_t>(n + 1), 0);
    limb_t* r = out.mag.data();
    if (u.size) {
        limb_t c = limb::AddMul1(r, u.mag.data(), u.size, Magnitude(p));
        limb::Add1(r + u.size, r + u.size, n + 1 - u.size, c);
    }
    if (v.size) {
        limb_t c = limb::AddMul1(r, v.mag.data(), v.size, Magnitude(q));
        limb::Add1(r + v.size, r + v.size, n + 1 - v.size, c);
    }
    out.size = limb::Normalized(r, n + 1);
    if (p != 0 && u.size)
        out.neg = (p < 0) != u.neg;
    else
        out.neg = (q < 0) != v.neg;
}

// Reduces (a, b), a >= b, to (gcd, 0) in place; with cofactors, ua and ub
// follow a and b: each is congruent to its cofactor times the tracked operand.
// Returns the gcd's size in limbs (in a).
size_t Reduce(Limbs& a, size_t an, Limbs& b, size_t bn, Cofactor* ua, Cofactor* ub) {
    Limbs na(a.size() + 1), nb(a.size() + 1);
    Cofactor nua, nub;
    if (ua) {
        nua.mag.assign(ua->mag.size(), 0);
        nub.mag.assign(ua->mag.size(), 0);
    }
    while (bn > 0) {
        Matrix m;
        const size_t bits = limb::BitLength(a.data(), an);
        if (bits > kLeadBits || an > 1) {
            const size_t shift = bits > kLeadBits ? bits - kLeadBits : 0;
            m = FindMatrix(static_cast<int64_t>(BitsAt(a.data(), an, shift)),
                           static_cast<int64_t>(BitsAt(b.data(), bn, shift)));
        }
        if (m.B == 0) {
            // No quotient could be trusted from the leading bits: one exact
            // division step, a = q b + r.
            Limbs q(an - bn + 1), r(bn);
            limb::DivRem(q.data(), r.data(), a.data(), an, b.data(), bn);
            if (ua) {
                // new ub = ua + q ub in magnitude, with ua's sign.
                const size_t qn = limb::Normalized(q.data(), q.size());
                std::fill(nub.mag.begin(), nub.mag.end(), 0);
                if (ub->size && qn) {
                    Limbs prod(qn + ub->size);
                    if (qn >= ub->size)
                        limb::Mul(prod.data(), q.data(), qn, ub->mag.data(), ub->size);
                    else
                        limb::Mul(prod.data(), ub->mag.data(), ub->size, q.data(), qn);
                    const size_t pn = limb::Normalized(prod.data(), prod.size());
                    std::copy(prod.begin(), prod.begin() + static_cast<std::ptrdiff_t>(pn),
                              nub.mag.begin());
                }
                limb::Add(nub.mag.data(), nub.mag.data(), nub.mag.size(), ua->mag.data(), ua->size);
                nub.size = limb::Normalized(nub.mag.data(), nub.mag.size());
                nub.neg = ua->size ? ua->neg : !ub->neg;
                std::swap(*ua, *ub);
                std::swap(*ub, nub);
            }
            std::copy(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(bn), a.begin());
            std::fill(a.begin() + static_cast<std::ptrdiff_t>(bn), a.end(), 0);
            an = bn;
            std::fill(b.begin(), b.end(), 0);
            std::copy(r.begin(), r.end(), b.begin());
            bn = limb::Normalized(b.data(), r.size());
            continue;
        }
        // b read as an limbs: its limbs above bn are zero.
        Combine(na.data(), m.A, a.data(), m.B, b.data(), an);
        Combine(nb.data(), m.C, a.data(), m.D, b.data(), an);
        const size_t nan = limb::Normalized(na.data(), an + 1);
        const size_t nbn = limb::Normalized(nb.data(), an + 1);
        std::copy(na.begin(), na.begin() + static_cast<std::ptrdiff_t>(an), a.begin());
        std::copy(nb.begin(), nb.begin() + static_cast<std::ptrdiff_t>(an), b.begin());
        an = nan;
        bn = nbn;
        if (ua) {
            CombineCofactors(nua, m.A, *ua, m.B, *ub);
            CombineCofactors(nub, m.C, *ua, m.D, *ub);
            std::swap(*ua, nua);
            std::swap(*ub, nub);
        }
    }
    return an;
}

Limbs Padded(const Natural& v, size_t n) {
    Limbs r(n, 0);
    std::copy(v.limbs().begin(), v.limbs().end(), r.begin());
    return r;
}

} // namespace

Natural LehmerGcd(Natural a, Natural b) {
    if (Compare(a, b) < 0)
        std::swap(a, b);
    const size_t n = a.size();
    Limbs x = Padded(a, n), y = Padded(b, n);
    const size_t gn = Reduce(x, n, y, b.size(), nullptr, nullptr);
    x.resize(gn);
    return Natural::FromLimbs(std::move(x));
}

bool LehmerInverse(const Natural& a, const Natural& m, Natural* inverse) {
    const Natural y0 = a % m;
    const size_t n = m.size();
    Limbs x = Padded(m, n), y = Padded(y0, n);
    // Euclid's cofactors stay below m in magnitude; one limb of headroom.
    Cofactor cx, cy;
    cx.mag.assign(n + 2, 0);
    cy.mag.assign(n + 2, 0);
    cy.mag[0] = 1;
    cy.size = 1;
    const size_t gn = Reduce(x, n, y, y0.size(), &cx, &cy);
    if (!(gn == 1 && x[0] == 1))
        return false;
    cx.mag.resize(cx.size);
    Natural r = Natural::FromLimbs(std::move(cx.mag)) % m;
    *inverse = (cx.neg && !r.IsZero()) ? m - r : r;
    return true;
}

} // namespace mpa
