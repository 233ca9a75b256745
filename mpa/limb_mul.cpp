// Products: schoolbook and squaring base cases, Karatsuba above the
// thresholds of tuning.h, with one scratch block per top-level call.
#include "mpa/cpu_features.h"
#include "mpa/limb.h"
#include "mpa/limb_ifma.h"
#include "mpa/tuning.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace mpa {
tuning::Thresholds tuning::g_thresholds;
} // namespace mpa

namespace mpa::limb {

namespace {

// The thresholds in use; a split needs at least two limbs.
size_t MulThreshold() {
    return std::max<size_t>(2, tuning::g_thresholds.mulKaratsuba);
}
size_t SqrThreshold() {
    return std::max<size_t>(2, tuning::g_thresholds.sqrKaratsuba);
}

// Whether a product of an >= bn limbs, or a square of an limbs, is one pass
// on 52-bit digits.
bool IfmaProduct(size_t an, size_t bn) {
    const auto& th = tuning::g_thresholds;
    return UsingIfmaKernels() && bn >= th.ifmaMulLimbs && an <= th.ifmaMulMaxLimbs &&
           an <= ifma::kMaxLimbs;
}
bool IfmaSquare(size_t n) {
    const auto& th = tuning::g_thresholds;
    return UsingIfmaKernels() && n >= th.ifmaSqrLimbs && n <= th.ifmaMulMaxLimbs &&
           n <= ifma::kMaxLimbs;
}

void SqrBasecase(limb_t* r, const limb_t* a, size_t n) {
    if (n == 1) {
        dlimb_t p = static_cast<dlimb_t>(a[0]) * a[0];
        r[0] = static_cast<limb_t>(p);
        r[1] = static_cast<limb_t>(p >> 64);
        return;
    }
    // Off-diagonal products once, doubled, then the squares on the diagonal.
    r[0] = 0;
    r[n] = Mul1(r + 1, a + 1, n - 1, a[0]);
    for (size_t i = 1; i + 1 < n; ++i)
        r[i + n] = AddMul1(r + 2 * i + 1, a + i + 1, n - 1 - i, a[i]);
    r[2 * n - 1] = 0;
    SqrDiagonal(r, a, n);
}

// Scratch on the stack when small (the products of modular powers up to
// 8192 bits), on the heap otherwise.
class ScratchLimbs {
public:
    explicit ScratchLimbs(size_t n) {
        if (n > kStack) {
            heap_.resize(n);
            p_ = heap_.data();
        }
    }
    limb_t* data() { return p_; }

private:
    static constexpr size_t kStack = 1024;
    limb_t stack_[kStack];
    limb_t* p_ = stack_;
    std::vector<limb_t> heap_;
};

// r (xn limbs) = |x - y| for x of xn limbs and y of yn <= xn limbs; true
// when x < y.
bool AbsDiff(limb_t* r, const limb_t* x, size_t xn, const limb_t* y, size_t yn) {
    if (CmpN(x, xn, y, yn) >= 0) {
        Sub(r, x, xn, y, yn);
        return false;
    }
    // y > x, so x's limbs above yn are zero.
    SubN(r, y, x, yn);
    std::fill(r + yn, r + xn, 0);
    return true;
}

// Scratch limbs a Karatsuba product or square of n limbs needs below it.
size_t KaratsubaScratch(size_t n, size_t threshold) {
    size_t total = 0;
    while (n >= threshold) {
        size_t nh = n - n / 2;
        total += 4 * nh + 1;
        n = nh;
    }
    return total;
}

// r[h..2n) += z0 + z2 -/+ prod, where z0 = r[0..2h), z2 = r[2h..2n) and
// prod has 2nh limbs; t is 2nh + 1 limbs of scratch.
void KaratsubaCombine(limb_t* r, size_t n, size_t h, const limb_t* prod, bool subtract, limb_t* t) {
    const size_t nh = n - h;
    std::copy(r, r + 2 * h, t);
    std::fill(t + 2 * h, t + 2 * nh, 0);
    t[2 * nh] = AddN(t, t, r + 2 * h, 2 * nh);
    if (subtract)
        Sub(t, t, 2 * nh + 1, prod, 2 * nh);
    else
        Add(t, t, 2 * nh + 1, prod, 2 * nh);
    // The middle term is below B^(2nh+1) and the total fits 2n limbs.
    Add(r + h, r + h, 2 * n - h, t, std::min(2 * nh + 1, 2 * n - h));
}

// The combine for even n (h = n - h): with r = A + B X + C X^2 + D X^3
// (X = B^h, z0 = A + B X, z2 = C + D X) and H = B + C = H0 + c1 X, the
// result r + X (z0 + z2 -/+ prod) is
//   A + X (A + H0 -/+ pl) + X^2 (H0 + D -/+ ph + c1) + X^3 (D + c1),
// five passes of h limbs in place, where the general combine makes eight
// and copies.
void KaratsubaCombineEven(limb_t* r, size_t h, const limb_t* prod, bool subtract) {
    limb_t *b = r + h, *c = r + 2 * h, *d = r + 3 * h;
    const limb_t c1 = AddN(c, b, c, h); // c = H0
    // Middle digit carries as signed amounts: added, then taken.
    limb_t upL = AddN(b, r, c, h), downL = 0;
    if (subtract)
        downL = SubN(b, b, prod, h);
    else
        upL += AddN(b, b, prod, h);
    limb_t upM = AddN(c, c, d, h), downM = 0;
    if (subtract)
        downM = SubN(c, c, prod + h, h);
    else
        upM += AddN(c, c, prod + h, h);
    upM += Add1(c, c, h, c1 + upL);
    downM += Sub1(c, c, h, downL);
    // The total fits 4h limbs, so the top takes every carry without overflow.
    Add1(d, d, h, c1 + upM);
    Sub1(d, d, h, downM);
}

void MulBalanced(limb_t* r, const limb_t* a, const limb_t* b, size_t n, limb_t* scratch) {
    if (IfmaProduct(n, n)) {
        ifma::Mul(r, a, n, b, n);
        return;
    }
    if (n < MulThreshold()) {
        MulBasecase(r, a, n, b, n);
        return;
    }
    const size_t h = n / 2, nh = n - h;
    limb_t* prod = scratch;        // 2nh
    limb_t* da = scratch + 2 * nh; // nh, later t (2nh + 1)
    limb_t* db = da + nh;          // nh
    limb_t* below = da + 2 * nh + 1;
    bool na = AbsDiff(da, a + h, nh, a, h);
    bool nb = AbsDiff(db, b + h, nh, b, h);
    MulBalanced(prod, da, db, nh, below);
    MulBalanced(r, a, b, h, below);
    MulBalanced(r + 2 * h, a + h, b + h, nh, below);
    // (a1 - a0)(b1 - b0) = z0 + z2 - z1.
    if (h == nh)
        KaratsubaCombineEven(r, h, prod, na == nb);
    else
        KaratsubaCombine(r, n, h, prod, na == nb, da);
}

void SqrRec(limb_t* r, const limb_t* a, size_t n, limb_t* scratch) {
    if (IfmaSquare(n)) {
        ifma::Mul(r, a, n, a, n);
        return;
    }
    if (n < SqrThreshold()) {
        SqrBasecase(r, a, n);
        return;
    }
    const size_t h = n / 2, nh = n - h;
    limb_t* prod = scratch;
    limb_t* d = scratch + 2 * nh;
    limb_t* below = d + 2 * nh + 1;
    AbsDiff(d, a + h, nh, a, h);
    SqrRec(prod, d, nh, below);
    SqrRec(r, a, h, below);
    SqrRec(r + 2 * h, a + h, nh, below);
    if (h == nh)
        KaratsubaCombineEven(r, h, prod, true);
    else
        KaratsubaCombine(r, n, h, prod, true, d);
}

} // namespace

void Mul(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    assert(an >= bn && bn >= 1);
    if (IfmaProduct(an, bn)) {
        ifma::Mul(r, a, an, b, bn);
        return;
    }
    const size_t threshold = MulThreshold();
    if (bn < threshold) {
        MulBasecase(r, a, an, b, bn);
        return;
    }
    const size_t below = KaratsubaScratch(bn, threshold);
    ScratchLimbs scratch(below + (an > bn ? 2 * bn : 0));
    if (an == bn) {
        MulBalanced(r, a, b, bn, scratch.data());
        return;
    }
    // Unbalanced: balanced products of bn-limb slices of a, accumulated.
    limb_t* part = scratch.data() + below;
    std::memset(r, 0, (an + bn) * sizeof(limb_t));
    size_t done = 0;
    while (done < an) {
        size_t len = std::min(bn, an - done);
        if (len == bn)
            MulBalanced(part, a + done, b, bn, scratch.data());
        else
            Mul(part, b, bn, a + done, len);
        Add(r + done, r + done, an + bn - done, part, len + bn);
        done += len;
    }
}

void Sqr(limb_t* r, const limb_t* a, size_t n) {
    if (IfmaSquare(n)) {
        ifma::Mul(r, a, n, a, n);
        return;
    }
    const size_t threshold = SqrThreshold();
    if (n < threshold) {
        SqrBasecase(r, a, n);
        return;
    }
    ScratchLimbs scratch(KaratsubaScratch(n, threshold));
    SqrRec(r, a, n, scratch.data());
}

} // namespace mpa::limb
