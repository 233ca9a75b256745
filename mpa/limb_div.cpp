// Long division of word arrays: Knuth's Algorithm D with 64-bit digits, and
// divide and conquer above the threshold of tuning.h.
#include "mpa/limb.h"
#include "mpa/tuning.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace mpa::limb {

namespace {

// Knuth's Algorithm D on a normalised divisor (top bit set), in place: the nn
// limbs of np become the remainder in np[0..dn), q[0..nn-dn) the quotient
// below the returned top quotient limb (0 or 1, one when np's top dn limbs
// were not below d).
limb_t SchoolDivQr(limb_t* q, limb_t* np, size_t nn, const limb_t* vn, size_t dn) {
    limb_t qh = Cmp(np + nn - dn, vn, dn) >= 0;
    if (qh)
        SubN(np + nn - dn, np + nn - dn, vn, dn);
    const limb_t vtop = vn[dn - 1], vnext = vn[dn - 2];
    const Divisor1 top(vtop);
    for (size_t j = nn - dn; j-- > 0;) {
        // D3. Estimate the digit from the top two limbs, refine with the third.
        limb_t u2 = np[j + dn], u1 = np[j + dn - 1], u0 = np[j + dn - 2];
        limb_t qhat, rhat;
        bool rhat_big = false;
        if (u2 >= vtop) {
            // The estimate would not fit a limb; the true digit is B-1 or less.
            qhat = ~static_cast<limb_t>(0);
            dlimb_t rr =
                ((static_cast<dlimb_t>(u2) << 64) | u1) - static_cast<dlimb_t>(qhat) * vtop;
            rhat_big = (rr >> 64) != 0;
            rhat = static_cast<limb_t>(rr);
        } else {
            rhat = DivStep2by1(qhat, u2, u1, vtop, top.inv);
        }
        while (!rhat_big &&
               static_cast<dlimb_t>(qhat) * vnext > ((static_cast<dlimb_t>(rhat) << 64) | u0)) {
            --qhat;
            limb_t old = rhat;
            rhat += vtop;
            if (rhat < old)
                rhat_big = true;
        }
        // D4. Multiply and subtract; D6. add back in the rare case qhat was one too big.
        limb_t borrow = SubMul1(np + j, vn, dn, qhat);
        limb_t top_limb = np[j + dn];
        np[j + dn] = top_limb - borrow;
        if (top_limb < borrow) {
            --qhat;
            np[j + dn] += AddN(np + j, np + j, vn, dn);
        }
        q[j] = qhat;
    }
    return qh;
}

// The recursive threshold in use; at least 4, so that both halves of a split
// have the two limbs Algorithm D needs.
size_t DivThreshold() {
    return std::max<size_t>(4, tuning::g_thresholds.divRecursiveLimbs);
}

// Divide and conquer (Burnikel and Ziegler, "Fast recursive division",
// 1998): the 2n limbs of np by the normalised n-limb d, as SchoolDivQr. The
// top half of the quotient comes from dividing the top 2hi limbs by d's top
// hi limbs, corrected by the product with d's low limbs (at most twice); the
// bottom half likewise from what remains. t has n limbs of scratch.
limb_t DivQrHalves(limb_t* q, limb_t* np, const limb_t* d, size_t n, limb_t* t) {
    const size_t threshold = DivThreshold();
    const size_t lo = n / 2, hi = n - lo;
    limb_t qh = hi < threshold ? SchoolDivQr(q + lo, np + 2 * lo, 2 * hi, d + lo, hi)
                               : DivQrHalves(q + lo, np + 2 * lo, d + lo, hi, t);
    Mul(t, q + lo, hi, d, lo);
    limb_t cy = SubN(np + lo, np + lo, t, n);
    if (qh)
        cy += SubN(np + n, np + n, d, lo);
    while (cy) {
        qh -= Sub1(q + lo, q + lo, hi, 1);
        cy -= AddN(np + lo, np + lo, d, n);
    }
    const limb_t ql = lo < threshold ? SchoolDivQr(q, np + hi, 2 * lo, d + hi, lo)
                                     : DivQrHalves(q, np + hi, d + hi, lo, t);
    Mul(t, d, hi, q, lo);
    cy = SubN(np, np, t, n);
    if (ql)
        cy += SubN(np + lo, np + lo, d, hi);
    while (cy) {
        Sub1(q, q, lo, 1);
        cy -= AddN(np, np, d, n);
    }
    return qh;
}

} // namespace

void DivRem(limb_t* q, limb_t* r, const limb_t* a, size_t an, const limb_t* d, size_t dn) {
    assert(dn >= 1 && an >= dn && d[dn - 1] != 0);
    if (dn == 1) {
        r[0] = DivRem1(q, a, an, Divisor1(d[0]));
        return;
    }
    // D1. Normalise so that the divisor's top bit is set.
    const unsigned s = static_cast<unsigned>(__builtin_clzll(d[dn - 1]));
    // Normalised copies; on the stack unless the operands are large.
    constexpr size_t kStack = 512;
    limb_t stack[kStack];
    std::vector<limb_t> heap;
    limb_t* un = stack;
    if (an + 1 + dn > kStack) {
        heap.resize(an + 1 + dn);
        un = heap.data();
    }
    limb_t* vn = un + an + 1;
    if (s > 0) {
        LShift(vn, d, dn, s);
        un[an] = LShift(un, a, an, s);
    } else {
        std::copy(d, d + dn, vn);
        std::copy(a, a + an, un);
        un[an] = 0;
    }
    // The top limb of un is below d's, so no quotient limb overflows.
    const size_t nn = an + 1, qn = nn - dn;
    const size_t threshold = DivThreshold();
    if (dn < threshold || qn < threshold) {
        SchoolDivQr(q, un, nn, vn, dn);
    } else {
        // Quotient blocks of dn limbs from the top, each the division of the
        // remainder so far (below d) and dn more limbs by d; the odd part
        // first, by schoolbook.
        size_t at = qn - qn % dn;
        if (at < qn)
            SchoolDivQr(q + at, un + at, nn - at, vn, dn);
        std::vector<limb_t> t(dn);
        while (at > 0) {
            at -= dn;
            DivQrHalves(q + at, un + at, vn, dn, t.data());
        }
    }
    // D8. Unnormalise the remainder.
    if (s > 0)
        RShift(r, un, dn, s);
    else
        std::copy(un, un + dn, r);
}

} // namespace mpa::limb
