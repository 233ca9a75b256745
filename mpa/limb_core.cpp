// Linear word kernels: conversion, comparison, carries, single-limb
// multiplication and division.
#include "mpa/limb.h"
#include "mpa/limb_kernels.h"

#include <cassert>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace mpa::limb {

void FromBytes(limb_t* r, const uint8_t* bytes, size_t len) {
    // Whole limbs from the least significant end, eight bytes at a time.
    size_t i = 0;
    const uint8_t* end = bytes + len;
    for (; (i + 1) * 8 <= len; ++i) {
        uint64_t v;
        std::memcpy(&v, end - 8 * (i + 1), 8);
        r[i] = __builtin_bswap64(v);
    }
    size_t rest = len - 8 * i;
    if (rest) {
        limb_t v = 0;
        for (size_t k = 0; k < rest; ++k)
            v = (v << 8) | bytes[k];
        r[i] = v;
    }
}

void ToBytes(uint8_t* bytes, size_t len, const limb_t* a, size_t n) {
    // Whole limbs from the least significant end, then zeros for the limbs
    // past n, then the top partial limb.
    const size_t whole = len / 8, used = whole < n ? whole : n;
    uint8_t* end = bytes + len;
    for (size_t i = 0; i < used; ++i) {
        const uint64_t v = __builtin_bswap64(a[i]);
        std::memcpy(end - 8 * (i + 1), &v, 8);
    }
    if (whole > used)
        std::memset(end - 8 * whole, 0, 8 * (whole - used));
    const size_t rest = len - 8 * whole;
    const limb_t v = whole < n ? a[whole] : 0;
    for (size_t k = 0; k < rest; ++k)
        bytes[rest - 1 - k] = static_cast<uint8_t>(v >> (8 * k));
}

size_t Normalized(const limb_t* a, size_t n) {
    while (n > 0 && a[n - 1] == 0)
        --n;
    return n;
}

size_t BitLength(const limb_t* a, size_t n) {
    n = Normalized(a, n);
    if (n == 0)
        return 0;
    return (n - 1) * kLimbBits + (kLimbBits - __builtin_clzll(a[n - 1]));
}

int Cmp(const limb_t* a, const limb_t* b, size_t n) {
    while (n-- > 0) {
        if (a[n] != b[n])
            return a[n] > b[n] ? 1 : -1;
    }
    return 0;
}

int CmpN(const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    an = Normalized(a, an);
    bn = Normalized(b, bn);
    if (an != bn)
        return an > bn ? 1 : -1;
    return Cmp(a, b, an);
}

#if defined(__x86_64__)
// The carry intrinsics compile to adc and sbb chains (base x86-64, no
// feature check needed).
limb_t AddN(limb_t* r, const limb_t* a, const limb_t* b, size_t n) {
    unsigned char c = 0;
    size_t i = 0;
    unsigned long long t;
    for (; i + 4 <= n; i += 4) {
        c = _addcarry_u64(c, a[i], b[i], &t);
        r[i] = t;
        c = _addcarry_u64(c, a[i + 1], b[i + 1], &t);
        r[i + 1] = t;
        c = _addcarry_u64(c, a[i + 2], b[i + 2], &t);
        r[i + 2] = t;
        c = _addcarry_u64(c, a[i + 3], b[i + 3], &t);
        r[i + 3] = t;
    }
    for (; i < n; ++i) {
        c = _addcarry_u64(c, a[i], b[i], &t);
        r[i] = t;
    }
    return c;
}

limb_t SubN(limb_t* r, const limb_t* a, const limb_t* b, size_t n) {
    unsigned char c = 0;
    size_t i = 0;
    unsigned long long t;
    for (; i + 4 <= n; i += 4) {
        c = _subborrow_u64(c, a[i], b[i], &t);
        r[i] = t;
        c = _subborrow_u64(c, a[i + 1], b[i + 1], &t);
        r[i + 1] = t;
        c = _subborrow_u64(c, a[i + 2], b[i + 2], &t);
        r[i + 2] = t;
        c = _subborrow_u64(c, a[i + 3], b[i + 3], &t);
        r[i + 3] = t;
    }
    for (; i < n; ++i) {
        c = _subborrow_u64(c, a[i], b[i], &t);
        r[i] = t;
    }
    return c;
}
#else
limb_t AddN(limb_t* r, const limb_t* a, const limb_t* b, size_t n) {
    limb_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        limb_t s = a[i] + c;
        c = s < c;
        limb_t t = s + b[i];
        c += t < s;
        r[i] = t;
    }
    return c;
}

limb_t SubN(limb_t* r, const limb_t* a, const limb_t* b, size_t n) {
    limb_t borrow = 0;
    for (size_t i = 0; i < n; ++i) {
        limb_t ai = a[i], bi = b[i];
        limb_t d = ai - bi;
        limb_t b1 = ai < bi;
        limb_t d2 = d - borrow;
        borrow = b1 | (d < borrow);
        r[i] = d2;
    }
    return borrow;
}
#endif

// Add1 and Sub1 stop carrying at the first limb that absorbs the carry; in
// place that ends the work, which keeps the carry steps of long sums cheap.
limb_t Add1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    size_t i = 0;
    for (; i < n && b != 0; ++i) {
        limb_t s = a[i] + b;
        b = s < b;
        r[i] = s;
    }
    if (r != a)
        for (; i < n; ++i)
            r[i] = a[i];
    return b;
}

limb_t Sub1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    size_t i = 0;
    for (; i < n && b != 0; ++i) {
        limb_t ai = a[i];
        r[i] = ai - b;
        b = ai < b;
    }
    if (r != a)
        for (; i < n; ++i)
            r[i] = a[i];
    return b;
}

limb_t Add(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    assert(an >= bn && "Add needs the longer operand first");
    limb_t c = AddN(r, a, b, bn);
    return Add1(r + bn, a + bn, an - bn, c);
}

limb_t Sub(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    assert(an >= bn && "Sub needs the longer operand first");
    limb_t c = SubN(r, a, b, bn);
    return Sub1(r + bn, a + bn, an - bn, c);
}

limb_t portable::Mul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    limb_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        dlimb_t t = static_cast<dlimb_t>(a[i]) * b + c;
        r[i] = static_cast<limb_t>(t);
        c = static_cast<limb_t>(t >> 64);
    }
    return c;
}

limb_t portable::AddMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    limb_t c = 0;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        dlimb_t t0 = static_cast<dlimb_t>(a[i]) * b + r[i] + c;
        r[i] = static_cast<limb_t>(t0);
        dlimb_t t1 = static_cast<dlimb_t>(a[i + 1]) * b + r[i + 1] + static_cast<limb_t>(t0 >> 64);
        r[i + 1] = static_cast<limb_t>(t1);
        dlimb_t t2 = static_cast<dlimb_t>(a[i + 2]) * b + r[i + 2] + static_cast<limb_t>(t1 >> 64);
        r[i + 2] = static_cast<limb_t>(t2);
        dlimb_t t3 = static_cast<dlimb_t>(a[i + 3]) * b + r[i + 3] + static_cast<limb_t>(t2 >> 64);
        r[i + 3] = static_cast<limb_t>(t3);
        c = static_cast<limb_t>(t3 >> 64);
    }
    for (; i < n; ++i) {
        dlimb_t t = static_cast<dlimb_t>(a[i]) * b + r[i] + c;
        r[i] = static_cast<limb_t>(t);
        c = static_cast<limb_t>(t >> 64);
    }
    return c;
}

limb_t portable::SubMul1(limb_t* r, const limb_t* a, size_t n, limb_t b) {
    limb_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        dlimb_t t = static_cast<dlimb_t>(a[i]) * b + c;
        limb_t lo = static_cast<limb_t>(t);
        c = static_cast<limb_t>(t >> 64);
        limb_t ri = r[i];
        r[i] = ri - lo;
        c += ri < lo;
    }
    return c;
}

void portable::RedcRows(limb_t* t, const limb_t* m, size_t n, limb_t minv) {
    for (size_t i = 0; i < n; ++i)
        t[i] = portable::AddMul1(t + i, m, n, t[i] * minv);
}

void portable::MulBasecase(limb_t* r, const limb_t* a, size_t an, const limb_t* b, size_t bn) {
    r[an] = portable::Mul1(r, a, an, b[0]);
    for (size_t j = 1; j < bn; ++j)
        r[an + j] = portable::AddMul1(r + j, a, an, b[j]);
}

void portable::Mul4x4(limb_t* r, const limb_t* a, const limb_t* b) {
    limb_t c = 0;
    for (int i = 0; i < 4; ++i) {
        const dlimb_t p = static_cast<dlimb_t>(a[i]) * b[0] + c;
        r[i] = static_cast<limb_t>(p);
        c = static_cast<limb_t>(p >> kLimbBits);
    }
    r[4] = c;
    for (int j = 1; j < 4; ++j) {
        c = 0;
        for (int i = 0; i < 4; ++i) {
            const dlimb_t p = static_cast<dlimb_t>(a[i]) * b[j] + r[i + j] + c;
            r[i + j] = static_cast<limb_t>(p);
            c = static_cast<limb_t>(p >> kLimbBits);
        }
        r[4 + j] = c;
    }
}

void portable::SqrDiagonal(limb_t* r, const limb_t* a, size_t n) {
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

limb_t LShift(limb_t* r, const limb_t* a, size_t n, unsigned cnt) {
    assert(cnt > 0 && cnt < 64);
    if (n == 0)
        return 0;
    limb_t out = a[n - 1] >> (64 - cnt);
    for (size_t i = n - 1; i > 0; --i)
        r[i] = (a[i] << cnt) | (a[i - 1] >> (64 - cnt));
    r[0] = a[0] << cnt;
    return out;
}

limb_t RShift(limb_t* r, const limb_t* a, size_t n, unsigned cnt) {
    assert(cnt > 0 && cnt < 64);
    if (n == 0)
        return 0;
    limb_t out = a[0] << (64 - cnt);
    for (size_t i = 0; i + 1 < n; ++i)
        r[i] = (a[i] >> cnt) | (a[i + 1] << (64 - cnt));
    r[n - 1] = a[n - 1] >> cnt;
    return out;
}

Divisor1::Divisor1(limb_t divisor) {
    assert(divisor != 0 && "division by zero");
    shift = static_cast<unsigned>(__builtin_clzll(divisor));
    d = divisor << shift;
    dlimb_t all = ~static_cast<dlimb_t>(0);
    inv = static_cast<limb_t>(all / d - (static_cast<dlimb_t>(1) << 64));
}

limb_t DivRem1(limb_t* q, const limb_t* a, size_t n, const Divisor1& dv) {
    if (n == 0)
        return 0;
    const unsigned s = dv.shift;
    if (s == 0) {
        limb_t r = 0;
        for (size_t i = n; i-- > 0;)
            r = DivStep2by1(q[i], r, a[i], dv.d, dv.inv);
        return r;
    }
    // Divide a << s by d << s: same quotient, remainder shifted by s.
    limb_t r = a[n - 1] >> (64 - s);
    for (size_t i = n; i-- > 0;) {
        limb_t limb = (a[i] << s) | (i > 0 ? a[i - 1] >> (64 - s) : 0);
        r = DivStep2by1(q[i], r, limb, dv.d, dv.inv);
    }
    return r >> s;
}

limb_t Mod1(const limb_t* a, size_t n, const Divisor1& dv) {
    if (n == 0)
        return 0;
    const unsigned s = dv.shift;
    limb_t q;
    if (s == 0) {
        limb_t r = 0;
        for (size_t i = n; i-- > 0;)
            r = DivStep2by1(q, r, a[i], dv.d, dv.inv);
        return r;
    }
    limb_t r = a[n - 1] >> (64 - s);
    for (size_t i = n; i-- > 0;)
        r = DivStep2by1(q, r, (a[i] << s) | (i > 0 ? a[i - 1] >> (64 - s) : 0), dv.d, dv.inv);
    return r >> s;
}

} // namespace mpa::limb
