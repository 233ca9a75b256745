// Slow reference models, in GMP, of the library algorithms whose results are
// not plain mathematical values: the extended Euclidean algorithm with its
// signed-magnitude coefficients kept modulo b, and the primality tests and
// searches whose random bases come from rand() one byte per call.
#pragma once

#include "mpa_test_util.h"

#include <cstdlib>
#include <vector>

namespace mpatest {

// --- Extended Euclid ---------------------------------------------------------

struct SignedMag {
    Mpz mag;
    bool neg = false;
};

// v0 - t * v1 on magnitudes and sign flags, reduced modulo b0; the sign rules
// are deliberately literal (a reduced magnitude of 0 may keep a negative sign).
inline SignedMag CoefficientStep(const SignedMag& v0, const SignedMag& v1, const Mpz& t,
                                 const Mpz& b0) {
    SignedMag r;
    Mpz p;
    mpz_mul(p, t, v1.mag);
    if (v0.neg == v1.neg) {
        int c = mpz_cmp(v0.mag, p);
        if (c == 0)
            return r;
        if (c > 0)
            mpz_sub(r.mag, v0.mag, p);
        else
            mpz_sub(r.mag, p, v0.mag);
        mpz_mod(r.mag, r.mag, b0);
        r.neg = (c < 0) != v0.neg;
    } else {
        mpz_add(r.mag, v0.mag, p);
        mpz_mod(r.mag, r.mag, b0);
        r.neg = v0.neg;
    }
    return r;
}

struct EuclidResult {
    Bytes gcd, x, y;
};

// a and b non-zero.
inline EuclidResult ExtEuclidModel(const Mpz& a, const Mpz& b) {
    Mpz b0 = b, r0 = a, r1 = b, t, r2;
    SignedMag x0, x1, y0, y1;
    mpz_set_ui(x0.mag, 1);
    mpz_set_ui(y1.mag, 1);
    while (Sgn(r1) != 0) {
        mpz_tdiv_qr(t, r2, r0, r1);
        SignedMag x2 = CoefficientStep(x0, x1, t, b0);
        SignedMag y2 = CoefficientStep(y0, y1, t, b0);
        r0 = r1;
        r1 = r2;
        x0 = x1;
        x1 = x2;
        y0 = y1;
        y1 = y2;
    }
    auto written = [&](const SignedMag& v) {
        if (!v.neg)
            return v.mag.ToBytes();
        Mpz w;
        mpz_sub(w, b0, v.mag);
        return w.ToBytes();
    };
    return {r0.ToBytes(), written(x0), written(y0)};
}

// --- Primality ---------------------------------------------------------------

// The 303 primes below 2000.
inline const std::vector<unsigned>& SmallPrimes() {
    static const std::vector<unsigned> primes = [] {
        std::vector<unsigned> p;
        std::vector<bool> composite(2000, false);
        for (unsigned i = 2; i < 2000; ++i) {
            if (composite[i])
                continue;
            p.push_back(i);
            for (unsigned j = i * i; j < 2000; j += i)
                composite[j] = true;
        }
        return p;
    }();
    return primes;
}

// n random bytes, one rand() per byte, first byte first.
inline Bytes RandBytes(size_t n) {
    Bytes b(n);
    for (auto& c : b)
        c = static_cast<uint8_t>(std::rand() & 0xFF);
    return b;
}

// A base 1 < a < s drawn as the tests draw it: BitCount(s) random bits in
// whole bytes, redrawn until in range.
inline Mpz DrawBase(const Mpz& s) {
    size_t bytes = (mpz_sizeinbase(s, 2) + 7) / 8;
    Mpz a;
    for (;;) {
        a.Set(RandBytes(bytes));
        if (a.Cmp(1) > 0 && mpz_cmp(a, s) < 0)
            return a;
    }
}

enum class PrimeTest { Fermat, SolovayStrassen, MillerRabin };

// 1 passed all trials, 0 composite; trials > 0.
inline int PrimeTestModel(PrimeTest kind, const Mpz& n, int trials) {
    if (n.Cmp(1) <= 0)
        return 0;
    if (n.Cmp(3) <= 0)
        return 1;
    if (!IsOdd(n))
        return 0;
    Mpz s, x;
    mpz_sub_ui(s, n, 1);
    Mpz h;
    mpz_tdiv_q_2exp(h, s, 1);
    Mpz d;
    unsigned long r = mpz_scan1(s, 0);
    mpz_tdiv_q_2exp(d, s, r);
    for (int t = 0; t < trials; ++t) {
        Mpz a = DrawBase(s);
        switch (kind) {
        case PrimeTest::Fermat:
            mpz_powm(x, a, s, n);
            if (x.Cmp(1) != 0)
                return 0;
            break;
        case PrimeTest::SolovayStrassen: {
            mpz_powm(x, a, h, n);
            if (x.Cmp(1) != 0 && x.Cmp(s) != 0)
                return 0;
            int j = mpz_jacobi(a, n);
            bool pass = j == -1 ? x.Cmp(s) == 0 : (j == 1 && x.Cmp(1) == 0);
            if (!pass)
                return 0;
            break;
        }
        case PrimeTest::MillerRabin: {
            mpz_powm(x, a, d, n);
            if (x.Cmp(1) == 0 || x.Cmp(s) == 0)
                break;
            bool minusOne = false;
            for (unsigned long i = 1; i < r; ++i) {
                mpz_powm_ui(x, x, 2, n);
                if (x.Cmp(s) == 0) {
                    minusOne = true;
                    break;
                }
                if (x.Cmp(1) == 0)
                    return 0;
            }
            if (!minusOne)
                return 0;
            break;
        }
        }
    }
    return 1;
}

// One trial first, then the remaining ones, as the neighbour searches test.
inline bool NeighbourCandidatePasses(const Mpz& c, int trials) {
    if (PrimeTestModel(PrimeTest::MillerRabin, c, 1) <= 0)
        return false;
    return trials == 1 || PrimeTestModel(PrimeTest::MillerRabin, c, trials - 1) > 0;
}

// Value of NextPrime for a > 2; the width rule is applied by the caller.
inline Mpz NextPrimeModel(const Mpz& a, int trials) {
    Mpz c;
    if (IsOdd(a))
        mpz_add_ui(c, a, 2);
    else
        mpz_add_ui(c, a, 1);
    while (!NeighbourCandidatePasses(c, trials))
        mpz_add_ui(c, c, 2);
    return c;
}

// Value of PrevPrime for a > 3.
inline Mpz PrevPrimeModel(const Mpz& a, int trials) {
    Mpz c = a;
    mpz_setbit(c, 0);
    mpz_sub_ui(c, c, 2);
    while (!NeighbourCandidatePasses(c, trials))
        mpz_sub_ui(c, c, 2);
    return c;
}

// The bytes MPA_MillerRabinSearch must return for nBits >= 9.
inline Bytes MillerRabinSearchModel(int nBits, int trials) {
    size_t len = static_cast<size_t>(nBits + 7) / 8;
    for (;;) {
        Bytes cand = RandBytes(len);
        if ((cand.back() & 1) == 0)
            continue;
        Mpz c(cand);
        bool divisible = false;
        for (unsigned p : SmallPrimes()) {
            if (mpz_divisible_ui_p(c, p)) {
                divisible = true;
                break;
            }
        }
        if (divisible)
            continue;
        if (PrimeTestModel(PrimeTest::MillerRabin, c, trials) > 0)
            return cand;
    }
}

} // namespace mpatest
