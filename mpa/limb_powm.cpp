// Modular exponentiation: sliding-window exponent scan over a reducer,
// Montgomery's for odd moduli (on 52-bit digits where the CPU has AVX-512
// IFMA) and Barrett's for even ones.
#include "mpa/cpu_features.h"
#include "mpa/limb.h"
#include "mpa/limb_ifma.h"
#include "mpa/tuning.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

namespace mpa::limb {
namespace {

// x mod m for x of xn limbs into r (mn limbs).
void ModInto(limb_t* r, const limb_t* x, size_t xn, const limb_t* m, size_t mn) {
    xn = Normalized(x, xn);
    if (xn < mn || (xn == mn && Cmp(x, m, mn) < 0)) {
        std::fill(r, r + mn, 0);
        std::copy(x, x + xn, r);
        return;
    }
    std::vector<limb_t> q(xn - mn + 1);
    DivRem(q.data(), r, x, xn, m, mn);
}

class Montgomery {
public:
    Montgomery(const limb_t* m, size_t n) : m_(m), n_(n), t_(2 * n) {
        // Newton's iteration doubles the correct low bits of m^-1 mod B each step.
        limb_t inv = m[0];
        for (int i = 0; i < 6; ++i)
            inv *= 2 - m[0] * inv;
        minv_ = 0 - inv;
    }
    size_t size() const { return n_; }
    void ToDomain(limb_t* r, const limb_t* a) {
        std::vector<limb_t> x(2 * n_, 0);
        std::copy(a, a + n_, x.begin() + n_);
        ModInto(r, x.data(), 2 * n_, m_, n_);
    }
    void FromDomain(limb_t* r, const limb_t* a) {
        std::fill(t_.begin(), t_.end(), 0);
        std::copy(a, a + n_, t_.begin());
        Redc(r);
    }
    void MulMod(limb_t* r, const limb_t* a, const limb_t* b) {
        if (n_ == 4)
            Mul4x4(t_.data(), a, b);
        else
            Mul(t_.data(), a, n_, b, n_);
        Redc(r);
    }
    void SqrMod(limb_t* r, const limb_t* a) {
        if (n_ == 4)
            Mul4x4(t_.data(), a, a);
        else
            Sqr(t_.data(), a, n_);
        Redc(r);
    }

private:
    // r = t / B^n mod m. Each row's carry is parked in the limb the row
    // cleared and added in one pass at the end.
    void Redc(limb_t* r) {
        limb_t* t = t_.data();
        RedcRows(t, m_, n_, minv_);
        limb_t cy = AddN(r, t + n_, t, n_);
        if (cy || Cmp(r, m_, n_) >= 0)
            SubN(r, r, m_, n_);
    }

    const limb_t* m_;
    size_t n_;
    limb_t minv_;
    std::vector<limb_t> t_;
};

class Barrett {
public:
    Barrett(const limb_t* m, size_t n)
        : m_(m), n_(n), mu_(n + 2), t_(2 * n), q2_(2 * n + 3), qm_(2 * n + 1), r_(n + 1) {
        // mu = floor(B^(2n) / m): n + 1 limbs, or n + 2 when m is B^(n-1).
        std::vector<limb_t> pow(2 * n + 1, 0), rem(n);
        pow[2 * n] = 1;
        DivRem(mu_.data(), rem.data(), pow.data(), 2 * n + 1, m, n);
    }
    size_t size() const { return n_; }
    void ToDomain(limb_t* r, const limb_t* a) { std::copy(a, a + n_, r); }
    void FromDomain(limb_t* r, const limb_t* a) { std::copy(a, a + n_, r); }
    void MulMod(limb_t* r, const limb_t* a, const limb_t* b) {
        Mul(t_.data(), a, n_, b, n_);
        Reduce(r);
    }
    void SqrMod(limb_t* r, const limb_t* a) {
        Sqr(t_.data(), a, n_);
        Reduce(r);
    }

private:
    // Handbook of Applied Cryptography 14.42 with base 2^64.
    void Reduce(limb_t* r) {
        const size_t n = n_;
        const limb_t* q1 = t_.data() + (n - 1); // n + 1 limbs
        Mul(q2_.data(), mu_.data(), n + 2, q1, n + 1);
        const limb_t* q3 = q2_.data() + (n + 1); // n + 1 limbs: q3 <= x / m < B^(n+1)
        Mul(qm_.data(), q3, n + 1, m_, n);
        SubN(r_.data(), t_.data(), qm_.data(), n + 1); // mod B^(n+1)
        while (r_[n] != 0 || Cmp(r_.data(), m_, n) >= 0)
            r_[n] -= SubN(r_.data(), r_.data(), m_, n);
        std::copy(r_.begin(), r_.begin() + n, r);
    }

    const limb_t* m_;
    size_t n_;
    std::vector<limb_t> mu_, t_, q2_, qm_, r_;
};

int WindowBits(size_t ebits) {
    if (ebits > 671)
        return 6;
    if (ebits > 239)
        return 5;
    if (ebits > 79)
        return 4;
    if (ebits > 23)
        return 3;
    return ebits > 6 ? 2 : 1;
}

inline bool Bit(const limb_t* e, size_t i) {
    return (e[i / 64] >> (i % 64)) & 1;
}

// r = base^e for e > 0 in the reducer's arithmetic, whose values are size()
// words; base and r are in the caller's form.
template <class Reducer>
void SlidingWindow(Reducer& red, limb_t* r, const limb_t* base, const limb_t* e, size_t en) {
    const size_t n = red.size();
    const size_t ebits = BitLength(e, en);
    const int w = WindowBits(ebits);
    const size_t count = size_t{1} << (w - 1);
    // Odd powers base^1, base^3, ..., base^(2*count-1).
    // Rows on cache-line boundaries, where the vector kernels load them whole.
    AlignedLimbs rows((count + 2) * n);
    limb_t *table = rows.data(), *sq = table + count * n, *acc = sq + n;
    red.ToDomain(table, base);
    if (count > 1) {
        red.SqrMod(sq, table);
        for (size_t k = 1; k < count; ++k)
            red.MulMod(table + k * n, table + (k - 1) * n, sq);
    }
    bool started = false;
    size_t i = ebits; // bits i-1 .. 0 remain
    while (i > 0) {
        if (!Bit(e, i - 1)) {
            if (started)
                red.SqrMod(acc, acc);
            --i;
            continue;
        }
        // The longest window of at most w bits that starts at bit i-1 and ends on a 1.
        size_t lo = i > static_cast<size_t>(w) ? i - w : 0;
        while (!Bit(e, lo))
            ++lo;
        size_t value = 0;
        for (size_t b = i; b-- > lo;)
            value = (value << 1) | Bit(e, b);
        const limb_t* power = table + (value >> 1) * n;
        if (started) {
            for (size_t b = lo; b < i; ++b)
                red.SqrMod(acc, acc);
            red.MulMod(acc, acc, power);
        } else {
            std::copy(power, power + n, acc);
            started = true;
        }
        i = lo;
    }
    red.FromDomain(r, acc);
}

} // namespace

void PowMod(limb_t* r, const limb_t* base, const limb_t* exp, size_t en, const limb_t* m,
            size_t mn) {
    assert(mn >= 1 && m[mn - 1] != 0);
    if (BitLength(exp, en) == 0) {
        // x^0 = 1, which is 0 modulo 1.
        std::fill(r, r + mn, 0);
        r[0] = (mn == 1 && m[0] == 1) ? 0 : 1;
        return;
    }
    if ((m[0] & 1) && UsingIfmaKernels() && mn >= tuning::g_thresholds.ifmaPowLimbs &&
        mn <= ifma::kMaxLimbs) {
        ifma::Montgomery52 red(m, mn);
        SlidingWindow(red, r, base, exp, en);
    } else if (m[0] & 1) {
        Montgomery red(m, mn);
        SlidingWindow(red, r, base, exp, en);
    } else {
        Barrett red(m, mn);
        SlidingWindow(red, r, base, exp, en);
    }
}

} // namespace mpa::limb
