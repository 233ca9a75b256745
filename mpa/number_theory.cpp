// Modular powers, the Jacobi symbol, the extended Euclidean algorithm with
// its two users, and the integer square root.
#include "mpa/calculator_ops.h"
#include "mpa/guard.h"
#include "mpa/jacobi.h"
#include "mpa/lehmer.h"
#include "mpa/mpa.h"
#include "mpa/natural.h"

#include <algorithm>
#include <vector>

using mpa::Compare;
using mpa::Natural;
using mpa::limb::limb_t;

namespace {

int32_t SignificantLength(const uint8_t* a, int32_t len) {
    int32_t i = 0;
    while (i < len && a[i] == 0)
        ++i;
    return len - i;
}

// A magnitude with a sign flag, as the coefficients of Euclid's algorithm
// are kept: reduced modulo b0 after every step, so a zero may carry a sign.
struct Signed {
    Natural mag;
    bool neg = false;
};

// x0 - t * x1 with the magnitude reduced modulo b0.
Signed CombineCoefficient(const Signed& x0, const Signed& x1, const Natural& t, const Natural& b0) {
    Natural p = t * x1.mag;
    Signed r;
    if (x0.neg == x1.neg) {
        int c = Compare(x0.mag, p);
        if (c == 0)
            return r;
        Natural diff = c > 0 ? x0.mag - p : p - x0.mag;
        r.mag = diff % b0;
        r.neg = (c < 0) != x0.neg;
    } else {
        r.mag = (x0.mag + p) % b0;
        r.neg = x0.neg;
    }
    return r;
}

struct EuclidResult {
    Natural gcd, x, y;
};

// The coefficients map a negative value v to b0 - |v|, so that a negative
// zero is written as b0 itself.
EuclidResult ExtendedEuclid(const Natural& a, const Natural& b) {
    const Natural& b0 = b;
    Natural r0 = a, r1 = b;
    Signed x0{Natural(1)}, x1{}, y0{}, y1{Natural(1)};
    while (!r1.IsZero()) {
        Natural t, r2;
        mpa::DivMod(r0, r1, &t, &r2);
        Signed x2 = CombineCoefficient(x0, x1, t, b0);
        Signed y2 = CombineCoefficient(y0, y1, t, b0);
        r0 = std::move(r1);
        r1 = std::move(r2);
        x0 = std::move(x1);
        x1 = std::move(x2);
        y0 = std::move(y1);
        y1 = std::move(y2);
    }
    EuclidResult res;
    res.gcd = std::move(r0);
    res.x = x0.neg ? b0 - x0.mag : x0.mag;
    res.y = y0.neg ? b0 - y0.mag : y0.mag;
    return res;
}

Natural IntegerSqrt(const Natural& a) {
    const size_t bits = a.BitLength();
    if (bits == 0)
        return Natural();
    // Scaled by an even power of two to 2n limbs with one of the top two bits
    // set; the root of a 4^c is the root of a times 2^c, plus less than 2^c.
    const size_t n = (bits + 127) / 128, c = (128 * n - bits) / 2;
    std::vector<limb_t> x = (a << (2 * c)).limbs(), s(n), r(n);
    x.resize(2 * n, 0);
    mpa::limb::SqrtRem(s.data(), r.data(), x.data(), n);
    return Natural::FromLimbs(std::move(s)) >> c;
}

} // namespace

extern "C" {

int32_t MPA_ModPow(const uint8_t* base, int32_t baseLen, const uint8_t* exponent,
                   int32_t exponentLen, const uint8_t* m, int32_t mLen, uint8_t* out,
                   int32_t outSize) {
    // An exponent of length 0 has no bytes and reads as zero; a negative
    // length is no number.
    if (!base || !exponent || !m || !out || baseLen <= 0 || exponentLen < 0 || mLen <= 0)
        return -1;
    return mpa::Guarded(-1, [&]() -> int32_t {
        Natural b = Natural::FromBytes(base, baseLen), mod = Natural::FromBytes(m, mLen);
        if (b.IsZero() || mod.IsZero() || outSize < static_cast<int32_t>(mod.ByteLength()))
            return -1;
        Natural e = Natural::FromBytes(exponent, exponentLen);
        if (e.IsZero()) {
            out[0] = 1; // even modulo 1
            return 1;
        }
        return mpa::PowMod(b, e, mod).WriteMinimal(out);
    });
}

int32_t MPA_Jacobi(const uint8_t* a, int32_t aLen, const uint8_t* n, int32_t nLen,
                   int32_t* symbol) {
    // aLen 0 is the zero numerator; a negative length is no number at all.
    if (!symbol || aLen < 0 || nLen <= 0)
        return 0;
    return mpa::Guarded(0, [&]() -> int32_t {
        Natural nv = Natural::FromBytes(n, nLen);
        // The symbol is defined for odd n only; an even or zero n is a failure.
        if (!nv.IsOdd())
            return 0;
        Natural av = Natural::FromBytes(a, aLen);
        if (av.IsZero()) {
            *symbol = 0;
            return 1;
        }
        *symbol = mpa::JacobiSymbol(std::move(av), std::move(nv));
        return 1;
    });
}

int32_t MPA_ExtEuclid(uint8_t* a, int32_t aLen, uint8_t* b, int32_t bLen, uint8_t* gcd,
                      int32_t gcdSize, uint8_t* x, int32_t* xSize, uint8_t* y, int32_t* ySize) {
    // A length of 0 or less must fail here: read as zero it would reach the
    // writers with capacities that were never checked.
    if (!a || !b || !gcd || !x || !y || !xSize || !ySize || aLen <= 0 || bLen <= 0)
        return -1;
    const int32_t p = SignificantLength(a, aLen), q = SignificantLength(b, bLen);
    if (p == 0 || q == 0)
        return -1;
    const int32_t w = std::max(p, q);
    if (gcdSize < w || *xSize < w || *ySize < w)
        return -1;
    return mpa::Guarded(-1, [&]() -> int32_t {
        EuclidResult r = ExtendedEuclid(Natural::FromBytes(a, aLen), Natural::FromBytes(b, bLen));
        *xSize = r.x.WriteMinimal(x);
        *ySize = r.y.WriteMinimal(y);
        return r.gcd.WriteMinimal(gcd);
    });
}

int32_t MPA_Gcd(uint8_t* a, int32_t aLen, uint8_t* b, int32_t bLen, uint8_t* out, int32_t outSize) {
    if (!a || !b || !out || aLen <= 0 || bLen <= 0 || outSize <= 0)
        return -1;
    const int32_t p = SignificantLength(a, aLen), q = SignificantLength(b, bLen);
    // The coefficient capacities max(aLen, bLen) always suffice; only the
    // gcd's capacity can be short.
    if (p == 0 || q == 0 || outSize < std::max(p, q))
        return -1;
    return mpa::Guarded(-1, [&]() -> int32_t {
        return mpa::LehmerGcd(Natural::FromBytes(a, aLen), Natural::FromBytes(b, bLen))
            .WriteMinimal(out);
    });
}

int32_t MPA_ModInverse(uint8_t* a, int32_t aLen, uint8_t* m, int32_t mLen, uint8_t* out,
                       int32_t outSize) {
    if (!a || !m || !out || aLen <= 0 || mLen <= 0 || outSize < mLen)
        return -1;
    const int32_t p = SignificantLength(a, aLen), q = SignificantLength(m, mLen);
    // Euclid's coefficient x must fit outSize bytes, counted as the longer
    // operand's significant length.
    if (p == 0 || q == 0 || outSize < std::max(p, q))
        return 0;
    return mpa::Guarded(0, [&]() -> int32_t {
        // Euclid's coefficient reduced modulo m is the one inverse in [0, m),
        // so the faster method gives the same bytes.
        Natural inverse;
        if (!mpa::LehmerInverse(Natural::FromBytes(a, aLen), Natural::FromBytes(m, mLen), &inverse))
            return 0;
        return inverse.WriteMinimal(out);
    });
}

} // extern "C"

namespace mpa {

int32_t SquareRoot(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize) {
    if (!a || !out || aLen <= 0 || outSize <= 0)
        return -1;
    return Guarded(-1, [&]() -> int32_t {
        Natural v = Natural::FromBytes(a, aLen);
        if (v.size() <= 1 && v.Low() <= 24) {
            static const uint8_t kRoots[25] = {0, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3,
                                               3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4};
            out[0] = kRoots[v.Low()];
            return 1;
        }
        const int64_t rootBits = (static_cast<int64_t>(v.BitLength()) + 1) / 2;
        if (outSize < (rootBits + 7) / 8)
            return -1;
        return IntegerSqrt(v).WriteMinimal(out);
    });
}

} // namespace mpa
