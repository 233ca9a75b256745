// Helpers shared by the arithmetic tests: hex text, conversion to and from
// GMP, output buffers with a guard region, the seeded operand generator and
// the iteration scale (smaller under AddressSanitizer or MPA_TEST_SCALE).
#pragma once

#include "mpa/mpa.h"
#include "mpa/random_source.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace mpatest {

using Bytes = std::vector<uint8_t>;

// "01 0a FF" or "010aff"; spaces are ignored.
inline Bytes H(std::string_view hex) {
    Bytes out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(static_cast<uint8_t>(nibble * 16 + v));
            nibble = -1;
        }
    }
    return out;
}

inline std::string Hex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789ABCDEF";
    if (n == 0)
        return "(empty)";
    std::string s;
    s.reserve(n * 3);
    for (size_t i = 0; i < n; ++i) {
        if (i)
            s += ' ';
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}
inline std::string Hex(const Bytes& b) {
    return Hex(b.data(), b.size());
}

// Number of bytes after the leading zero bytes.
inline size_t SigLen(const Bytes& b) {
    size_t i = 0;
    while (i < b.size() && b[i] == 0)
        ++i;
    return b.size() - i;
}

// The value form: no leading zero bytes, zero as the single byte 00.
inline Bytes Strip(const Bytes& b) {
    size_t lz = b.size() - SigLen(b);
    if (lz == b.size())
        return Bytes{0};
    return Bytes(b.begin() + static_cast<long>(lz), b.end());
}

inline int32_t Len(const Bytes& b) {
    return static_cast<int32_t>(b.size());
}

// RAII mpz_t that converts to the GMP argument types.
class Mpz {
public:
    Mpz() { mpz_init(z_); }
    explicit Mpz(unsigned long v) { mpz_init_set_ui(z_, v); }
    explicit Mpz(const Bytes& b) : Mpz() { Set(b); }
    explicit Mpz(const char* dec) { mpz_init_set_str(z_, dec, 0); }
    Mpz(const Mpz& o) { mpz_init_set(z_, o.z_); }
    Mpz& operator=(const Mpz& o) {
        mpz_set(z_, o.z_);
        return *this;
    }
    ~Mpz() { mpz_clear(z_); }

    void Set(const Bytes& b) { mpz_import(z_, b.size(), 1, 1, 1, 0, b.data()); }
    operator mpz_ptr() { return z_; }
    operator mpz_srcptr() const { return z_; }

    // Value form (no leading zeros, zero as 00).
    Bytes ToBytes() const { return ToWidth(0); }
    // Exactly width bytes, or the value form when width is 0. The value must fit.
    Bytes ToWidth(size_t width) const {
        size_t n = (mpz_sizeinbase(z_, 2) + 7) / 8;
        if (mpz_sgn(z_) == 0)
            n = 0;
        Bytes out(std::max<size_t>(std::max(n, width), 1), 0);
        if (n) {
            size_t count = 0;
            mpz_export(out.data() + (out.size() - n), &count, 1, 1, 1, 0, z_);
        }
        return out;
    }
    int Cmp(unsigned long v) const { return mpz_cmp_ui(z_, v); }
    int Cmp(const Mpz& o) const { return mpz_cmp(z_, o.z_); }

private:
    mpz_t z_;
};

// The GMP sign and parity macros need a real mpz_t.
inline int Sgn(mpz_srcptr z) {
    return mpz_sgn(z);
}
inline bool IsOdd(mpz_srcptr z) {
    return mpz_odd_p(z);
}

// Output buffer of a given capacity followed by a guard region. Everything is
// pre-filled so that the tests can tell which bytes a call wrote.
class OutBuf {
public:
    static constexpr size_t kGuard = 24;
    static constexpr uint8_t kFill = 0xA5;
    static constexpr uint8_t kGuardByte = 0x5C;

    explicit OutBuf(int32_t capacity)
        : cap_(capacity > 0 ? static_cast<size_t>(capacity) : 0), store_(cap_ + kGuard, kFill) {
        std::fill(store_.begin() + static_cast<long>(cap_), store_.end(), kGuardByte);
    }
    uint8_t* data() { return store_.data(); }
    int32_t cap() const { return static_cast<int32_t>(cap_); }
    Bytes Get(int32_t len) const {
        size_t n = len > 0 ? std::min(static_cast<size_t>(len), cap_) : 0;
        return Bytes(store_.begin(), store_.begin() + static_cast<long>(n));
    }
    bool GuardIntact() const {
        return std::all_of(store_.begin() + static_cast<long>(cap_), store_.end(),
                           [](uint8_t c) { return c == kGuardByte; });
    }
    bool Untouched() const { return UntouchedFrom(0); }
    // A call that returned ret: on success the first ret bytes are expected,
    // on failure nothing was written; the guard holds either way.
    void ExpectOutcome(int32_t ret, std::string_view expectedHex) const {
        if (ret > 0) {
            EXPECT_EQ(Hex(Get(ret)), Hex(H(expectedHex)));
        } else {
            EXPECT_TRUE(Untouched());
        }
        EXPECT_TRUE(GuardIntact());
    }
    // Nothing written at or after byte `from` (guard included).
    bool UntouchedFrom(int32_t from) const {
        size_t f = from > 0 ? std::min(static_cast<size_t>(from), cap_) : 0;
        return GuardIntact() && std::all_of(store_.begin() + static_cast<long>(f),
                                            store_.begin() + static_cast<long>(cap_),
                                            [](uint8_t c) { return c == kFill; });
    }

private:
    size_t cap_;
    Bytes store_;
};

// An operand buffer that the callee may use as work space: the bytes of the
// operand, then free room up to `room`, then a guard region.
class WorkBuf {
public:
    static constexpr size_t kGuard = 24;
    static constexpr uint8_t kGuardByte = 0x3E;
    WorkBuf(const Bytes& value, size_t room)
        : room_(std::max(room, value.size())), store_(room_ + kGuard, kGuardByte) {
        // Byte by byte: GCC 12 misreads the bounds of an inlined std::copy here.
        for (size_t i = 0; i < room_; ++i)
            store_[i] = i < value.size() ? value[i] : 0xEE;
    }
    uint8_t* data() { return store_.data(); }
    bool GuardIntact() const {
        return std::all_of(store_.begin() + static_cast<long>(room_), store_.end(),
                           [](uint8_t c) { return c == kGuardByte; });
    }

private:
    size_t room_;
    Bytes store_;
};

inline uint64_t BaseSeed() {
    if (const char* s = std::getenv("MPA_TEST_SEED"))
        return std::strtoull(s, nullptr, 0);
    return 0x0D0A2024ull;
}

#if defined(__SANITIZE_ADDRESS__)
#define MPA_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MPA_TEST_SANITIZED 1
#endif
#endif

inline double Scale() {
    if (const char* s = std::getenv("MPA_TEST_SCALE"))
        return std::max(0.001, std::atof(s));
#ifdef MPA_TEST_SANITIZED
    return 0.25;
#else
    return 1.0;
#endif
}

// n scaled, at least a handful so that every loop still runs.
inline int Iterations(int n) {
    return std::max(std::min(n, 5), static_cast<int>(n * Scale()));
}

// Seeded operand generator; every case of a loop gets its own seed so that a
// failure names the one case to reproduce.
class Gen {
public:
    explicit Gen(uint64_t seed) : rng_(seed) {}

    uint64_t Next() { return rng_(); }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    Bytes Random(size_t n) {
        Bytes b(n);
        for (auto& c : b)
            c = static_cast<uint8_t>(rng_());
        return b;
    }

    // Significant length biased towards short operands but reaching maxLen.
    int SigLength(int maxLen) {
        int r = Uniform(0, 9);
        if (r < 4)
            return Uniform(1, std::min(8, maxLen));
        if (r < 7)
            return Uniform(1, std::min(40, maxLen));
        return Uniform(1, maxLen);
    }

    // An operand of at most maxLen bytes in total: random, all FF, a power of
    // two, a small value or (when allowed) all zero, often with leading zero
    // bytes.
    Bytes Operand(int maxLen = 300, bool allowZero = true, int sigMax = 0) {
        int sig = SigLength(sigMax > 0 ? std::min(sigMax, maxLen) : maxLen);
        Bytes v;
        int kind = Uniform(0, 19);
        if (kind == 0 && allowZero) {
            v.assign(static_cast<size_t>(sig), 0);
        } else if (kind <= 2) {
            v.assign(static_cast<size_t>(sig), 0xFF);
        } else if (kind <= 4) {
            v.assign(static_cast<size_t>(sig), 0);
            v[0] = static_cast<uint8_t>(1u << Uniform(0, 7));
        } else if (kind == 5) {
            v.assign(static_cast<size_t>(sig), 0);
            v.back() = static_cast<uint8_t>(Uniform(1, 255));
        } else if (kind == 6) {
            v = Random(static_cast<size_t>(sig));
            v[0] = 1;
        } else if (kind == 7 && maxLen >= 9) {
            // 2^(64j) - 1, 2^(64j) or 2^(64j) + 1: values at machine-word edges.
            int j = Uniform(1, std::min(37, (maxLen - 1) / 8));
            int edge = Uniform(-1, 1);
            if (edge < 0) {
                v.assign(static_cast<size_t>(8 * j), 0xFF);
            } else {
                v.assign(static_cast<size_t>(8 * j + 1), 0);
                v[0] = 1;
                v.back() = static_cast<uint8_t>(edge);
            }
            sig = Len(v);
        } else {
            v = Random(static_cast<size_t>(sig));
            if (v[0] == 0)
                v[0] = static_cast<uint8_t>(Uniform(1, 255));
        }
        if (Chance(0.3)) {
            int lz = std::min(Uniform(1, 4), maxLen - sig);
            v.insert(v.begin(), static_cast<size_t>(lz), 0);
        }
        return v;
    }
    // Significant length exactly sig, top byte non-zero.
    Bytes Exact(int sig) {
        Bytes v = Random(static_cast<size_t>(sig));
        if (v[0] == 0)
            v[0] = static_cast<uint8_t>(Uniform(1, 255));
        return v;
    }

private:
    std::mt19937_64 rng_;
};

inline uint64_t CaseSeed(uint64_t tag, int i) {
    return BaseSeed() * 0x9E3779B97F4A7C15ull + tag * 1000003ull + static_cast<uint64_t>(i);
}

// Keeps the random source in its default state (no handle, no filler) for a
// test and restores whatever was set before.
class RandomSourceReset {
public:
    RandomSourceReset() : handle_(MPA_SetCryptHandle(0)), filler_(mpa::SetRandomFiller(nullptr)) {}
    ~RandomSourceReset() {
        MPA_SetCryptHandle(handle_);
        mpa::SetRandomFiller(filler_);
    }

private:
    uint32_t handle_;
    mpa::RandomFiller filler_;
};

} // namespace mpatest

// Trace text for a differential case: base seed, case index and operands.
#define MPA_CASE_TRACE(tag, i, ...)                                                                \
    SCOPED_TRACE(::testing::Message() << "MPA_TEST_SEED=" << ::mpatest::BaseSeed() << " " << tag   \
                                      << " case " << i << ": " << __VA_ARGS__)
