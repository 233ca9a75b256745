// Long division of word arrays: Knuth's Algorithm D with 64-bit digits.
#include "mpa/limb.h"

#include <cassert>
#include <vector>

namespace mpa::limb {

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
    const limb_t vtop = vn[dn - 1], vnext = vn[dn - 2];
    const Divisor1 top(vtop);
    for (size_t j = an - dn + 1; j-- > 0;) {
        // D3. Estimate the digit from the top two limbs, refine with the third.
        limb_t u2 = un[j + dn], u1 = un[j + dn - 1], u0 = un[j + dn - 2];
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
        limb_t borrow = SubMul1(un + j, vn, dn, qhat);
        limb_t top_limb = un[j + dn];
        un[j + dn] = top_limb - borrow;
        if (top_limb < borrow) {
            --qhat;
            un[j + dn] += AddN(un + j, un + j, vn, dn);
        }
        q[j] = qhat;
    }
    // D8. Unnormalise the remainder.
    if (s > 0)
        RShift(r, un, dn, s);
    else
        std::copy(un, un + dn, r);
}

} // namespace mpa::limb
