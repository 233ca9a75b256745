// Products: schoolbook and squaring base cases, Karatsuba above a threshold.
#include "mpa/limb.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace mpa::limb {

// Measured with bench/: below this the schoolbook product wins.
size_t karatsuba_threshold = 32;

namespace {

void MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    r[an] = Mul1(r, a, an, b[0]);
    for (size_t j = 1; j < bn; ++j)
        r[an + j] = AddMul1(r + j, a, an, b[j]);
}

void SqrBasecase(limb_t* r, const limb_t* a, size_t n) {
    if (n == 1) {
        dlimb_t p = static_cast<dlimb_t>(a[0]) * a[0];
        r[0] = static_cast<limb_t>(p);
        r[1] = static_cast<limb_t>(p >> 64);
        return;
    }
    // Off-diagonal products once, doubled, then the squares on the diagonal.
    std::memset(r, 0, 2 * n * sizeof(limb_t));
    for (size_t i = 0; i + 1 < n; ++i)
        r[i + n] = AddMul1(r + 2 * i + 1, a + i + 1, n - 1 - i, a[i]);
    LShift(r, r, 2 * n, 1);
    limb_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        dlimb_t p = static_cast<dlimb_t>(a[i]) * a[i];
        dlimb_t s = static_cast<dlimb_t>(r[2 * i]) + static_cast<limb_t>(p) + c;
        r[2 * i] = static_cast<limb_t>(s);
        s = static_cast<dlimb_t>(r[2 * i + 1]) + static_cast<limb_t>(p >> 64) +
            static_cast<limb_t>(s >> 64);
        r[2 * i + 1] = static_cast<limb_t>(s);
        c = static_cast<limb_t>(s >> 64);
    }
}

// |x - y| for two n-limb numbers; returns true when x < y.
bool AbsDiff(limb_t* r, const limb_t* x, const limb_t* y, size_t n) {
    if (Cmp(x, y, n) >= 0) {
        SubN(r, x, y, n);
        return false;
    }
    SubN(r, y, x, n);
    return true;
}

void MulBalanced(limb_t* r, const limb_t* a, const limb_t* b, size_t n);
void SqrRec(limb_t* r, const limb_t* a, size_t n);

// Combines z0 (in r[0..2h)), z2 (in r[2h..2n)) and the middle product
// `prod` (2*nh limbs) into r: r += (z0 + z2 -/+ prod) * B^h.
void KaratsubaCombine(limb_t* r, size_t n, size_t h, const limb_t* prod, bool subtract) {
    const size_t nh = n - h;
    std::vector<limb_t> t(2 * nh + 1, 0);
    std::copy(r, r + 2 * h, t.begin());
    t[2 * nh] = AddN(t.data(), t.data(), r + 2 * h, 2 * nh);
    if (subtract)
        Sub(t.data(), t.data(), 2 * nh + 1, prod, 2 * nh);
    else
        Add(t.data(), t.data(), 2 * nh + 1, prod, 2 * nh);
    // The total fits in 2n limbs, so the final carry is always zero.
    Add(r + h, r + h, 2 * n - h, t.data(), 2 * nh + 1);
}

void MulBalanced(limb_t* r, const limb_t* a, const limb_t* b, size_t n) {
    if (n < karatsuba_threshold) {
        MulBasecase(r, a, n, b, n);
        return;
    }
    const size_t h = n / 2, nh = n - h;
    std::vector<limb_t> buf(4 * nh, 0);
    limb_t* da = buf.data();
    limb_t* db = da + nh;
    limb_t* prod = db + nh;
    // a0 and b0 have h limbs; compare them against the nh-limb high halves.
    std::vector<limb_t> lo(2 * nh, 0);
    std::copy(a, a + h, lo.begin());
    std::copy(b, b + h, lo.begin() + nh);
    bool na = AbsDiff(da, lo.data(), a + h, nh);
    bool nb = AbsDiff(db, b + h, lo.data() + nh, nh);
    MulBalanced(prod, da, db, nh);
    MulBalanced(r, a, b, h);
    MulBalanced(r + 2 * h, a + h, b + h, nh);
    // (a0 - a1)(b1 - b0) = z1 - z0 - z2, so z1 = z0 + z2 + that product.
    KaratsubaCombine(r, n, h, prod, na != nb);
}

void SqrRec(limb_t* r, const limb_t* a, size_t n) {
    if (n < karatsuba_threshold) {
        SqrBasecase(r, a, n);
        return;
    }
    const size_t h = n / 2, nh = n - h;
    std::vector<limb_t> buf(3 * nh, 0);
    limb_t* lo = buf.data();
    limb_t* prod = lo + nh; // 2*nh limbs
    std::copy(a, a + h, lo);
    std::vector<limb_t> d(nh);
    AbsDiff(d.data(), lo, a + h, nh);
    SqrRec(prod, d.data(), nh);
    SqrRec(r, a, h);
    SqrRec(r + 2 * h, a + h, nh);
    KaratsubaCombine(r, n, h, prod, true);
}

} // namespace

void Mul(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    assert(an >= bn && bn >= 1);
    if (bn < karatsuba_threshold) {
        MulBasecase(r, a, an, b, bn);
        return;
    }
    if (an == bn) {
        MulBalanced(r, a, b, bn);
        return;
    }
    // Unbalanced: balanced products of bn-limb slices of a, accumulated.
    std::memset(r, 0, (an + bn) * sizeof(limb_t));
    std::vector<limb_t> part(2 * bn);
    size_t done = 0;
    while (done < an) {
        size_t len = std::min(bn, an - done);
        if (len == bn)
            MulBalanced(part.data(), a + done, b, bn);
        else
            Mul(part.data(), b, bn, a + done, len);
        Add(r + done, r + done, an + bn - done, part.data(), len + bn);
        done += len;
    }
}

void Sqr(limb_t* r, const limb_t* a, size_t n) {
    SqrRec(r, a, n);
}

} // namespace mpa::limb
