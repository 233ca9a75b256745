// Product, quotient and remainder of byte strings, computed on words.
#include "mpa/guard.h"
#include "mpa/mpa.h"
#include "mpa/natural.h"

#include <algorithm>
#include <cstring>

using mpa::Natural;

namespace {

// Value comparison of two byte strings with positive lengths.
int CompareBytes(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen) {
    while (aLen > 0 && *a == 0) {
        ++a;
        --aLen;
    }
    while (bLen > 0 && *b == 0) {
        ++b;
        --bLen;
    }
    if (aLen != bLen)
        return aLen > bLen ? 1 : -1;
    int c = std::memcmp(a, b, static_cast<size_t>(aLen));
    return (c > 0) - (c < 0);
}

using mpa::limb::limb_t;

// The four limbs of a big-endian string of at most 32 bytes.
inline void LoadFourLimbs(limb_t* x, const uint8_t* bytes, size_t len) {
    uint8_t padded[32] = {};
    const uint8_t* src = bytes;
    if (len != 32) {
        std::memcpy(padded + 32 - len, bytes, len);
        src = padded;
    }
    for (int k = 0; k < 4; ++k) {
        uint64_t v;
        std::memcpy(&v, src + 24 - 8 * k, 8);
        x[k] = __builtin_bswap64(v);
    }
}

// The product of two strings of at most 32 bytes, written as MPA_Multiply
// writes it: minimal big-endian bytes, then zeros to outSize.
int32_t MultiplySmall(const uint8_t* a, size_t p, const uint8_t* b, size_t q, uint8_t* out,
                      size_t outSize) {
    limb_t x[4], y[4], r[8];
    LoadFourLimbs(x, a, p);
    LoadFourLimbs(y, b, q);
    mpa::limb::Mul4x4(r, x, y);
    if (r[7] != 0 && outSize >= 64) {
        // The usual case: the product's top limb is in use, so the minimal
        // bytes are the 64 shifted up by the top limb's zero bytes, which
        // come back as the zeros at the end.
        const unsigned skip = static_cast<unsigned>(__builtin_clzll(r[7])) / 8;
        const unsigned bits = 8 * skip;
        for (int k = 7; k >= 0; --k) {
            const limb_t below = k > 0 && bits ? r[k - 1] >> (64 - bits) : 0;
            const uint64_t v = __builtin_bswap64((r[k] << bits) | below);
            std::memcpy(out + 8 * (7 - k), &v, 8);
        }
        if (outSize > 64)
            std::memset(out + 64, 0, outSize - 64);
        return static_cast<int32_t>(64 - skip);
    }
    uint8_t full[64];
    for (int k = 0; k < 8; ++k) {
        const uint64_t v = __builtin_bswap64(r[k]);
        std::memcpy(full + 56 - 8 * k, &v, 8);
    }
    // Neither factor is zero, so neither is the product.
    size_t skip = 0;
    while (full[skip] == 0)
        ++skip;
    const size_t len = 64 - skip;
    std::memcpy(out, full + skip, len);
    std::memset(out + len, 0, outSize - len);
    return static_cast<int32_t>(len);
}

} // namespace

extern "C" {

int32_t MPA_Multiply(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                     int32_t outSize) {
    if (!a || !b || !out || aLen <= 0 || bLen <= 0 ||
        static_cast<int64_t>(outSize) < 2 * static_cast<int64_t>(aLen) ||
        static_cast<int64_t>(outSize) < 2 * static_cast<int64_t>(bLen))
        return -1;
    int32_t ia = 0, ib = 0;
    while (ia < aLen && a[ia] == 0)
        ++ia;
    while (ib < bLen && b[ib] == 0)
        ++ib;
    if (ia == aLen || ib == bLen) {
        out[0] = 0;
        return 1;
    }
    const size_t p = static_cast<size_t>(aLen - ia), q = static_cast<size_t>(bLen - ib);
    const size_t an = mpa::limb::LimbsForBytes(p), bn = mpa::limb::LimbsForBytes(q);
    // Up to 256 bits: one fixed-size product, which allocates nothing and so
    // needs no guard.
    if (an <= 4 && bn <= 4)
        return MultiplySmall(a + ia, p, b + ib, q, out, static_cast<size_t>(outSize));
    return mpa::Guarded(-1, [&]() -> int32_t {
        // One scratch block for both operands and the product; small
        // operands stay on the stack, since this is the hottest entry point.
        const size_t total = 2 * (an + bn);
        mpa::limb::limb_t small[256];
        std::vector<mpa::limb::limb_t> big;
        mpa::limb::limb_t* w = small;
        if (total > 256) {
            big.resize(total);
            w = big.data();
        }
        mpa::limb::limb_t *x = w, *y = w + an, *r = w + an + bn;
        mpa::limb::FromBytes(x, a + ia, p);
        mpa::limb::FromBytes(y, b + ib, q);
        // Squares are cheaper; most products differ in their top or low limb.
        if (an == bn && x[an - 1] == y[an - 1] && x[0] == y[0] && mpa::limb::Cmp(x, y, an) == 0)
            mpa::limb::Sqr(r, x, an);
        else if (an >= bn)
            mpa::limb::Mul(r, x, an, y, bn);
        else
            mpa::limb::Mul(r, y, bn, x, an);
        const size_t bits = mpa::limb::BitLength(r, an + bn);
        const size_t len = (bits + 7) / 8;
        // The product, then zeros to the end of the output.
        mpa::limb::ToBytes(out, len, r, an + bn);
        std::memset(out + len, 0, static_cast<size_t>(outSize) - len);
        return static_cast<int32_t>(len);
    });
}

int32_t MPA_Divide(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                   uint8_t* quotient, int32_t* quotientSize, uint8_t* remainder,
                   int32_t* remainderSize) {
    if (!a || !b || !quotient || !remainder || !quotientSize || !remainderSize || aLen <= 0 ||
        bLen <= 0 || *quotientSize < aLen || *remainderSize < bLen)
        return 0;
    return mpa::Guarded(0, [&]() -> int32_t {
        Natural x = Natural::FromBytes(a, aLen), y = Natural::FromBytes(b, bLen);
        remainder[0] = 0;
        *remainderSize = 1;
        if (y.IsZero())
            return 0; // the quotient stays as it was
        Natural q, r;
        mpa::DivMod(x, y, &q, &r);
        *quotientSize = q.WriteMinimal(quotient);
        *remainderSize = r.WriteMinimal(remainder);
        return 1;
    });
}

int32_t MPA_Modular(const uint8_t* a, int32_t aLen, const uint8_t* m, int32_t mLen, uint8_t* out,
                    int32_t outSize) {
    if (!a || !m || !out || aLen <= 0 || mLen <= 0 || outSize < mLen)
        return -1;
    return mpa::Guarded(-1, [&]() -> int32_t {
        Natural x = Natural::FromBytes(a, aLen), mv = Natural::FromBytes(m, mLen);
        if (mv.IsZero())
            return -1;
        Natural r;
        mpa::DivMod(x, mv, nullptr, &r);
        return r.WriteMinimal(out);
    });
}

int32_t MPA_BarrettReduction(const uint8_t* x, int32_t xLen, const uint8_t* m, int32_t mLen,
                             const uint8_t* mu, int32_t muLen, uint8_t* out, int32_t outSize) {
    if (!x || !m || !mu || !out || mLen <= 0 || xLen <= 0 || muLen < mLen || outSize < mLen ||
        static_cast<int64_t>(xLen) > 2 * static_cast<int64_t>(mLen))
        return -1;
    if (mLen >= xLen) {
        int c = CompareBytes(x, xLen, m, mLen);
        if (c < 0) {
            std::memmove(out, x, static_cast<size_t>(xLen));
            return xLen;
        }
        if (c == 0) {
            out[0] = 0;
            return 1;
        }
    }
    return mpa::Guarded(-1, [&]() -> int32_t {
        // Barrett's steps with base 256 and k = mLen, kept literally because
        // a caller may pass any mu: the result is x - q3*m folded below m.
        const size_t k = static_cast<size_t>(mLen);
        Natural xv = Natural::FromBytes(x, xLen), mv = Natural::FromBytes(m, mLen);
        Natural muv = Natural::FromBytes(mu, muLen);
        Natural q1 = xv >> (8 * (k - 1));
        Natural q3 = (q1 * muv) >> (8 * (k + 1));
        Natural r1 = xv.LowBits(8 * (k + 1));
        Natural r2 = (q3 * mv).LowBits(8 * (k + 1));
        if (mpa::Compare(r1, r2) < 0)
            r1 = r1 + (Natural(1) << (8 * (k + 1)));
        Natural r = r1 - r2;
        if (r.IsZero()) {
            out[0] = 0;
            return 1;
        }
        // A zero modulus would make the final subtraction loop endless.
        if (mv.IsZero())
            return -1;
        if (mpa::Compare(r, mv) >= 0)
            r = r % mv;
        return r.WriteMinimal(out);
    });
}

} // extern "C"
