#include "tools/crc.h"

#include "tools/digest/cpu_dispatch.h"
#include "tools/input_ranges.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORDOVANE_CRC_FOLDING 1
#endif

namespace tools {

// Everything a register needs for its polynomial, built once per register.
struct CrcTables {
    bool reflected = false;
    uint32_t polynomial = 0; // 32-bit form, in the register's bit order
    uint32_t sliced[8][256]; // sliced[0] is the calculator's byte table
    // Folding works on the normal (most significant bit first) form: a
    // reflected register is the bit mirror of a normal one.
    uint32_t normalPolynomial = 0;
    uint32_t normalTable[256];
    // x^n mod G, for n = 576, 512 (folding 64 bytes at a time) and 448,
    // 384, 320, 256, 192, 128 (joining the four lanes).
    uint64_t fold[8];
};

namespace {

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// A piece read as a decimal integer, the way a C atoi reads it; values far
// out of range saturate, which keeps them out of range.
long ReadDecimal(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = std::min(value * 10 + (s[i] - '0'), 1000000L);
    return negative ? -value : value;
}

uint32_t Reverse32(uint32_t x) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0f0f0f0fu) | ((x & 0x0f0f0f0fu) << 4);
    return __builtin_bswap32(x);
}

// x^n modulo x^32 + p (p in normal bit order).
uint32_t XPowMod(int n, uint32_t p) {
    uint32_t r = 1;
    for (int i = 0; i < n; ++i)
        r = (r << 1) ^ ((r & 0x80000000u) ? p : 0);
    return r;
}

void BuildByteTable(uint32_t (&table)[256], uint32_t polynomial, bool reflected) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = reflected ? i : i << 24;
        for (int k = 0; k < 8; ++k) {
            if (reflected)
                r = (r & 1) ? (r >> 1) ^ polynomial : r >> 1;
            else
                r = (r & 0x80000000u) ? (r << 1) ^ polynomial : r << 1;
        }
        table[i] = r;
    }
}

std::shared_ptr<const CrcTables> BuildTables(uint32_t polynomial, bool reflected) {
    auto t = std::make_shared<CrcTables>();
    t->reflected = reflected;
    t->polynomial = polynomial;
    BuildByteTable(t->sliced[0], polynomial, reflected);
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i) {
            uint32_t prev = t->sliced[k - 1][i];
            t->sliced[k][i] = reflected ? (prev >> 8) ^ t->sliced[0][prev & 0xff]
                                        : (prev << 8) ^ t->sliced[0][prev >> 24];
        }
    t->normalPolynomial = reflected ? Reverse32(polynomial) : polynomial;
    BuildByteTable(t->normalTable, t->normalPolynomial, false);
    const int powers[8] = {576, 512, 448, 384, 320, 256, 192, 128};
    for (int i = 0; i < 8; ++i)
        t->fold[i] = XPowMod(powers[i], t->normalPolynomial);
    return t;
}

uint32_t Bytewise(const CrcTables& t, uint32_t r, const uint8_t* p, size_t n) {
    if (t.reflected)
        for (size_t i = 0; i < n; ++i)
            r = (r >> 8) ^ t.sliced[0][(r ^ p[i]) & 0xff];
    else
        for (size_t i = 0; i < n; ++i)
            r = (r << 8) ^ t.sliced[0][((r >> 24) ^ p[i]) & 0xff];
    return r;
}

uint32_t Sliced(const CrcTables& t, uint32_t r, const uint8_t* p, size_t n) {
    const auto& s = t.sliced;
    for (; n >= 8; n -= 8, p += 8) {
        if (t.reflected) {
            uint32_t x = r ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                              uint32_t(p[3]) << 24);
            r = s[7][x & 0xff] ^ s[6][(x >> 8) & 0xff] ^ s[5][(x >> 16) & 0xff] ^ s[4][x >> 24] ^
                s[3][p[4]] ^ s[2][p[5]] ^ s[1][p[6]] ^ s[0][p[7]];
        } else {
            uint32_t x = r ^ (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 |
                              uint32_t(p[3]));
            r = s[7][x >> 24] ^ s[6][(x >> 16) & 0xff] ^ s[5][(x >> 8) & 0xff] ^ s[4][x & 0xff] ^
                s[3][p[4]] ^ s[2][p[5]] ^ s[1][p[6]] ^ s[0][p[7]];
        }
    }
    return Bytewise(t, r, p, n);
}

#if ORDOVANE_CRC_FOLDING

#define CLMUL_TARGET __attribute__((target("pclmul,sse4.1,ssse3")))

// 16 message bytes as a polynomial of degree < 128, first bit highest; for
// a reflected register each byte is bit-mirrored first.
template <bool kReflected> CLMUL_TARGET inline __m128i Load(const uint8_t* p) {
    const __m128i reverseBytes =
        _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    __m128i x =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), reverseBytes);
    if constexpr (kReflected) {
        const __m128i mirror = _mm_setr_epi8(0x0, 0x8, 0x4, 0xc, 0x2, 0xa, 0x6, 0xe, 0x1, 0x9, 0x5,
                                             0xd, 0x3, 0xb, 0x7, 0xf);
        const __m128i low = _mm_set1_epi8(0x0f);
        __m128i lo = _mm_and_si128(x, low);
        __m128i hi = _mm_and_si128(_mm_srli_epi16(x, 4), low);
        x = _mm_or_si128(_mm_slli_epi16(_mm_shuffle_epi8(mirror, lo), 4),
                         _mm_shuffle_epi8(mirror, hi));
    }
    return x;
}

// x * (k.hi, k.lo) = x.hi * x^(n+64) + x.lo * x^n, congruent to x * x^n.
CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00));
}

// The normal-order register s after n bytes (n a multiple of 64, at least
// 64): the register goes into the first 32 message bits, four lanes of 16
// bytes each are folded forward 64 bytes at a time, the lanes are joined,
// and the remaining 128-bit polynomial V gives V * x^32 mod G through the
// byte table.
template <bool kReflected>
CLMUL_TARGET uint32_t FoldBlocks(const CrcTables& t, uint32_t s, const uint8_t* p, size_t n) {
    const __m128i k512 = _mm_set_epi64x(int64_t(t.fold[0]), int64_t(t.fold[1]));
    __m128i x0 = _mm_xor_si128(Load<kReflected>(p), _mm_set_epi32(int(s), 0, 0, 0));
    __m128i x1 = Load<kReflected>(p + 16);
    __m128i x2 = Load<kReflected>(p + 32);
    __m128i x3 = Load<kReflected>(p + 48);
    for (size_t i = 64; i < n; i += 64) {
        x0 = _mm_xor_si128(Fold(x0, k512), Load<kReflected>(p + i));
        x1 = _mm_xor_si128(Fold(x1, k512), Load<kReflected>(p + i + 16));
        x2 = _mm_xor_si128(Fold(x2, k512), Load<kReflected>(p + i + 32));
        x3 = _mm_xor_si128(Fold(x3, k512), Load<kReflected>(p + i + 48));
    }
    __m128i v = _mm_xor_si128(
        _mm_xor_si128(Fold(x0, _mm_set_epi64x(int64_t(t.fold[2]), int64_t(t.fold[3]))),
                      Fold(x1, _mm_set_epi64x(int64_t(t.fold[4]), int64_t(t.fold[5])))),
        _mm_xor_si128(Fold(x2, _mm_set_epi64x(int64_t(t.fold[6]), int64_t(t.fold[7]))), x3));
    alignas(16) uint8_t bytes[16];
    const __m128i reverseBytes =
        _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), _mm_shuffle_epi8(v, reverseBytes));
    uint32_t r = 0;
    for (uint8_t b : bytes)
        r = (r << 8) ^ t.normalTable[(r >> 24) ^ b];
    return r;
}

#endif

uint32_t Folded(const CrcTables& t, uint32_t r, const uint8_t* p, size_t n) {
#if ORDOVANE_CRC_FOLDING
    size_t bulk = n & ~size_t{63};
    if (bulk != 0 && digest::CpuHasCarrylessMultiply()) {
        if (t.reflected)
            r = Reverse32(FoldBlocks<true>(t, Reverse32(r), p, bulk));
        else
            r = FoldBlocks<false>(t, r, p, bulk);
        p += bulk;
        n -= bulk;
    }
#endif
    return Sliced(t, r, p, n);
}

} // namespace

CrcPolynomial ParseCrcCoefficients(std::string_view text, bool reflected) {
    CrcPolynomial result;
    std::string_view s = Trim(text);
    if (s.empty()) {
        result.outcome = CrcPolynomial::Message;
        result.message = kMsgCrcNeedPolynomial;
        return result;
    }
    auto fail = [&](int message) {
        CrcPolynomial failed;
        failed.outcome = CrcPolynomial::Message;
        failed.message = message;
        return failed;
    };
    long previous = 0;
    bool first = true;
    size_t pos = 0;
    while (pos <= s.size()) {
        size_t comma = s.find(',', pos);
        if (comma == std::string_view::npos)
            comma = s.size();
        std::string_view piece = Trim(s.substr(pos, comma - pos));
        pos = comma + 1;
        if (piece.empty())
            continue;
        long value = ReadDecimal(piece);
        if (value < 0 || value > 32)
            return fail(kMsgCrcOrderRange);
        if (first) {
            if (value != 16 && value != 32)
                return fail(kMsgCrcMsbNotSet);
            result.order = int(value);
            first = false;
        } else {
            if (value >= previous)
                return fail(kMsgCrcCoefficientOrder);
            int bit = reflected ? result.order - int(value) - 1 : int(value);
            result.polynomial |= uint32_t(1) << bit;
        }
        previous = value;
    }
    result.outcome = result.polynomial != 0 ? CrcPolynomial::Ok : CrcPolynomial::Nothing;
    return result;
}

std::string CrcCoefficientText(int order, uint32_t normalPolynomial) {
    std::string text = std::to_string(order);
    for (int d = order - 1; d >= 0; --d)
        if (normalPolynomial & (uint32_t(1) << d)) {
            text += ',';
            text += std::to_string(d);
        }
    return text;
}

CrcRegister::CrcRegister(int order, uint32_t polynomial, bool reflected, uint32_t initial)
    : order_(order), reflected_(reflected) {
    uint32_t polynomial32 = polynomial;
    state_ = initial;
    if (!reflected && order == 16) {
        polynomial32 = polynomial << 16;
        state_ = (initial & 0xffffu) << 16;
    }
    tables_ = BuildTables(polynomial32, reflected);
}

void CrcRegister::Update(const uint8_t* data, size_t len, CrcMethod method) {
    if (len == 0)
        return;
    switch (method) {
    case CrcMethod::Bytewise:
        state_ = Bytewise(*tables_, state_, data, len);
        break;
    case CrcMethod::Sliced:
        state_ = Sliced(*tables_, state_, data, len);
        break;
    case CrcMethod::Folded:
        state_ = Folded(*tables_, state_, data, len);
        break;
    case CrcMethod::Best:
        state_ = digest::FastPathsEnabled() ? Folded(*tables_, state_, data, len)
                                            : Sliced(*tables_, state_, data, len);
        break;
    }
}

uint32_t CrcRegister::Value() const {
    if (order_ == 16)
        return reflected_ ? state_ & 0xffffu : state_ >> 16;
    return state_;
}

uint32_t CrcRegister::WithFinalXor(uint32_t finalXor) const {
    return Value() ^ (order_ == 16 ? finalXor & 0xffffu : finalXor);
}

uint32_t ParseCrcFinalXor(std::string_view text) {
    std::string_view s = Trim(text);
    return s.empty() ? 0 : ParseHexField(s);
}

std::string FormatCrc(uint32_t value, int order, bool upperCase) {
    char buf[16];
    if (order == 16)
        std::snprintf(buf, sizeof buf, upperCase ? "%04X" : "%04x", value & 0xffffu);
    else
        std::snprintf(buf, sizeof buf, upperCase ? "%08X" : "%08x", value);
    return buf;
}

} // namespace tools
