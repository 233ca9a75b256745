#include "mpa/lehmer.h"

#include <utility>

namespace mpa {
namespace {

using i128 = __int128;

// The cofactor matrix of a run of quotients: (a, b) -> (A a + B b, C a + D b).
struct Matrix {
    int64_t A = 1, B = 0, C = 0, D = 1;
};

// Top 63 bits of a, and b at the same scale.
void LeadingBits(const Natural& a, const Natural& b, uint64_t* ah, uint64_t* bh) {
    size_t bits = a.BitLength();
    size_t shift = bits > 63 ? bits - 63 : 0;
    *ah = (a >> shift).Low();
    *bh = (b >> shift).Low();
}

// Collins' condition: a quotient is kept only when the two bracketing
// estimates agree, so the matrix is exactly that of Euclid's steps.
Matrix FindMatrix(uint64_t ah, uint64_t bh) {
    Matrix m;
    i128 x = ah, y = bh;
    for (;;) {
        i128 yc = y + m.C, yd = y + m.D;
        if (yc == 0 || yd == 0)
            break;
        i128 q = (x + m.A) / yc;
        i128 q2 = (x + m.B) / yd;
        if (q != q2 || q < 0)
            break;
        i128 nA = m.A - q * m.C, nB = m.B - q * m.D;
        if (nA > INT64_MAX || nA < -INT64_MAX || nB > INT64_MAX || nB < -INT64_MAX)
            break;
        m.A = m.C;
        m.B = m.D;
        m.C = static_cast<int64_t>(nA);
        m.D = static_cast<int64_t>(nB);
        i128 t = x - q * y;
        x = y;
        y = t;
    }
    return m;
}

uint64_t Magnitude(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// p*a + q*b for coefficients of opposite signs whose result is non-negative.
Natural Combine(int64_t p, const Natural& a, int64_t q, const Natural& b) {
    Natural pa = Natural(Magnitude(p)) * a, qb = Natural(Magnitude(q)) * b;
    if (p >= 0 && q <= 0)
        return pa - qb;
    if (p <= 0 && q >= 0)
        return qb - pa;
    return pa + qb;
}

// A cofactor: Euclid's cofactors alternate in sign and stay below the
// modulus in magnitude, so they are kept exactly, without reductions.
struct Signed {
    Natural mag;
    bool neg = false;
};

Signed Add(Signed x, Signed y) {
    if (x.neg == y.neg)
        return {x.mag + y.mag, x.neg};
    if (Compare(x.mag, y.mag) >= 0)
        return {x.mag - y.mag, x.neg};
    return {y.mag - x.mag, y.neg};
}

Signed Scale(int64_t p, const Signed& x) {
    return {Natural(Magnitude(p)) * x.mag, (p < 0) != x.neg};
}

// Runs the reduction of (a, b), a >= b, to (gcd, 0). With cofactors, xa and
// xb follow a and b: each is congruent to its cofactor times the operand.
void Reduce(Natural& a, Natural& b, Signed* xa, Signed* xb) {
    while (!b.IsZero()) {
        Matrix m;
        if (a.size() > 1) {
            uint64_t ah, bh;
            LeadingBits(a, b, &ah, &bh);
            m = FindMatrix(ah, bh);
        }
        if (m.B == 0) {
            // No quotient could be trusted from the leading bits (or the
            // numbers fit a word): one exact division step.
            Natural q, r;
            DivMod(a, b, &q, &r);
            if (xa) {
                Signed qx{q * xb->mag, !xb->neg};
                Signed t = Add(std::move(*xa), std::move(qx));
                *xa = std::move(*xb);
                *xb = std::move(t);
            }
            a = std::move(b);
            b = std::move(r);
            continue;
        }
        Natural na = Combine(m.A, a, m.B, b), nb = Combine(m.C, a, m.D, b);
        if (xa) {
            Signed nxa = Add(Scale(m.A, *xa), Scale(m.B, *xb));
            Signed nxb = Add(Scale(m.C, *xa), Scale(m.D, *xb));
            *xa = std::move(nxa);
            *xb = std::move(nxb);
        }
        a = std::move(na);
        b = std::move(nb);
    }
}

} // namespace

Natural LehmerGcd(Natural a, Natural b) {
    if (Compare(a, b) < 0)
        std::swap(a, b);
    Reduce(a, b, nullptr, nullptr);
    return a;
}

bool LehmerInverse(const Natural& a, const Natural& m, Natural* inverse) {
    Natural x = m, y = a % m;
    Signed cx, cy{Natural(1)};
    Reduce(x, y, &cx, &cy);
    if (!x.IsOne())
        return false;
    Natural r = cx.mag % m;
    *inverse = (cx.neg && !r.IsZero()) ? m - r : r;
    return true;
}

} // namespace mpa
