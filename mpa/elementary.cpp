// Comparison, addition, subtraction, bitwise operations and shifts on the
// caller's byte strings. These are linear, so they work on bytes directly:
// the width rules (leading zero bytes kept or dropped) are byte rules.
#include "mpa/guard.h"
#include "mpa/mpa.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Index of the first non-zero byte, len when all are zero.
int32_t SkipZeros(const uint8_t* a, int32_t len) {
    int32_t i = 0;
    while (i < len && a[i] == 0)
        ++i;
    return i;
}

enum class BitOp { And, Or, Xor };

int32_t Bitwise(BitOp op, const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen,
                uint8_t* out, int32_t outSize) {
    if (!a || !b || !out || aLen <= 0 || bLen <= 0 || outSize < aLen || outSize < bLen)
        return -1;
    const int32_t w = std::max(aLen, bLen);
    // Computed into a copy so that out may overlap either operand.
    std::vector<uint8_t> r(static_cast<size_t>(w));
    for (int32_t i = 0; i < w; ++i) { // i counts from the least significant end
        bool ha = i < aLen, hb = i < bLen;
        uint8_t x = ha ? a[aLen - 1 - i] : 0;
        uint8_t y = hb ? b[bLen - 1 - i] : 0;
        uint8_t v;
        switch (op) {
        case BitOp::And:
            v = static_cast<uint8_t>(x & y);
            break;
        case BitOp::Or:
            v = static_cast<uint8_t>(x | y);
            break;
        default:
            v = static_cast<uint8_t>(x ^ y);
            break;
        }
        r[static_cast<size_t>(w - 1 - i)] = v;
    }
    std::memcpy(out, r.data(), r.size());
    return w;
}

// Shifts within the fixed width of aLen bytes; bits past either end are lost.
int32_t ByteShift(bool left, const uint8_t* a, int32_t aLen, int32_t shift, uint8_t* out,
                  int32_t outSize) {
    if (!a || !out || aLen <= 0 || shift < 0 || outSize < aLen)
        return -1;
    std::vector<uint8_t> src(a, a + aLen); // out may overlap a
    if (shift == 0) {
        std::memcpy(out, src.data(), src.size());
        return aLen;
    }
    std::memset(out, 0, static_cast<size_t>(aLen));
    if (static_cast<int64_t>(shift) >= 8 * static_cast<int64_t>(aLen))
        return aLen;
    const int32_t k = shift / 8, s = shift % 8;
    for (int32_t i = 0; i < aLen - k; ++i) {
        unsigned v;
        if (left) {
            v = static_cast<unsigned>(src[i + k]) << s;
            if (s > 0 && i + k + 1 < aLen)
                v |= static_cast<unsigned>(src[i + k + 1]) >> (8 - s);
            out[i] = static_cast<uint8_t>(v);
        } else {
            v = static_cast<unsigned>(src[i]) >> s;
            if (s > 0 && i > 0)
                v |= (static_cast<unsigned>(src[i - 1]) << (8 - s)) & 0xFF;
            out[i + k] = static_cast<uint8_t>(v);
        }
    }
    return aLen;
}

} // namespace

extern "C" {

int32_t MPA_Compare(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen) {
    if (!a || !b || aLen <= 0 || bLen <= 0)
        return 0;
    int32_t ia = SkipZeros(a, aLen), ib = SkipZeros(b, bLen);
    int32_t ra = aLen - ia, rb = bLen - ib;
    if (ra != rb)
        return ra > rb ? 1 : -1;
    int c = std::memcmp(a + ia, b + ib, static_cast<size_t>(ra));
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

int32_t MPA_BitCount(const uint8_t* a, int32_t aLen) {
    if (aLen <= 0 || !a)
        return 0;
    int32_t i = SkipZeros(a, aLen);
    if (i == aLen)
        return 0;
    int top = 32 - __builtin_clz(static_cast<unsigned>(a[i]));
    return 8 * (aLen - i - 1) + top;
}

int32_t MPA_Add(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                int32_t outSize, int32_t* carry) {
    return mpa::Guarded(-1, [&]() -> int32_t {
        if (!a || !b || !out || aLen <= 0 || bLen <= 0 || outSize < aLen || outSize < bLen)
            return -1;
        const int32_t w = std::max(aLen, bLen);
        std::vector<uint8_t> r(static_cast<size_t>(w));
        unsigned c = 0;
        for (int32_t i = 0; i < w; ++i) {
            unsigned x = i < aLen ? a[aLen - 1 - i] : 0;
            unsigned y = i < bLen ? b[bLen - 1 - i] : 0;
            unsigned s = x + y + c;
            r[static_cast<size_t>(w - 1 - i)] = static_cast<uint8_t>(s);
            c = s >> 8;
        }
        std::memcpy(out, r.data(), r.size());
        if (carry)
            *carry = static_cast<int32_t>(c);
        return w;
    });
}

int32_t MPA_Subtract(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                     int32_t outSize) {
    return mpa::Guarded(-1, [&]() -> int32_t {
        if (!a || !b || !out || aLen <= 0 || bLen <= 0 || outSize < aLen || outSize < bLen)
            return -1;
        int32_t ia = SkipZeros(a, aLen), ib = SkipZeros(b, bLen);
        int32_t p = aLen - ia, q = bLen - ib;
        if (p < q)
            return -1;
        const uint8_t* ap = a + ia;
        if (p == 0) { // a zero minuend is its last byte, 00
            ap = a + aLen - 1;
            p = 1;
        }
        if (q == 0) {
            std::memmove(out, ap, static_cast<size_t>(p));
            return p;
        }
        const uint8_t* bp = b + ib;
        std::vector<uint8_t> r(static_cast<size_t>(p));
        int borrow = 0;
        for (int32_t i = 0; i < p; ++i) {
            int x = ap[p - 1 - i];
            int y = i < q ? bp[q - 1 - i] : 0;
            int d = x - borrow - y;
            borrow = d < 0;
            r[static_cast<size_t>(p - 1 - i)] = static_cast<uint8_t>(d);
        }
        std::memcpy(out, r.data(), r.size());
        if (borrow)
            return -1;
        int32_t z = SkipZeros(out, p);
        std::memmove(out, out + z, static_cast<size_t>(p - z));
        return p - z;
    });
}

int32_t MPA_BitNot(const uint8_t* a, int32_t aLen, uint8_t* out, int32_t outSize) {
    if (!a || !out || aLen <= 0 || outSize < aLen)
        return -1;
    for (int32_t i = 0; i < aLen; ++i)
        out[i] = static_cast<uint8_t>(~a[i]);
    return aLen;
}

int32_t MPA_BitAnd(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                   int32_t outSize) {
    return mpa::Guarded(-1, [&] { return Bitwise(BitOp::And, a, aLen, b, bLen, out, outSize); });
}

int32_t MPA_BitOr(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                  int32_t outSize) {
    return mpa::Guarded(-1, [&] { return Bitwise(BitOp::Or, a, aLen, b, bLen, out, outSize); });
}

int32_t MPA_BitXor(const uint8_t* a, int32_t aLen, const uint8_t* b, int32_t bLen, uint8_t* out,
                   int32_t outSize) {
    return mpa::Guarded(-1, [&] { return Bitwise(BitOp::Xor, a, aLen, b, bLen, out, outSize); });
}

int32_t MPA_BitLshift(const uint8_t* a, int32_t aLen, int32_t shift, uint8_t* out,
                      int32_t outSize) {
    return mpa::Guarded(-1, [&] { return ByteShift(true, a, aLen, shift, out, outSize); });
}

int32_t MPA_BitRshift(const uint8_t* a, int32_t aLen, int32_t shift, uint8_t* out,
                      int32_t outSize) {
    return mpa::Guarded(-1, [&] { return ByteShift(false, a, aLen, shift, out, outSize); });
}

} // extern "C"
