// The sizes at which the arithmetic changes algorithm, in one place, with the
// measurements that chose them. Tests lower them (ScopedThresholds) so that
// operands of a few limbs reach every recursive path.
#pragma once

#include <cstddef>

namespace mpa::tuning {

struct Thresholds {
    // Balanced products and squares of at least this many 64-bit limbs split
    // by Karatsuba (at least 2). Chosen by timing MPA_Multiply (best of 15
    // runs, BMI2/ADX kernels, AMD EPYC Zen 4, loaded machine) with both
    // thresholds swept from 16 to 96:
    //   product ns    T=24   T=40   T=64   T=96
    //   2048 bits      519    498    516    512
    //   4096 bits     1782   1696   1722   1826
    //   8192 bits     5945   5511   5676   5997
    //   square ns     T=24   T=48   T=64   T=80
    //   2048 bits      453    349    352    354
    //   4096 bits     1490   1208   1202   1092
    //   8192 bits     5036   4018   4177   3693
    // The base cases gain from the two-chain kernels more than Karatsuba's
    // extra additions do, so the crossings sit high.
    size_t mulKaratsuba = 40;
    size_t sqrKaratsuba = 80;
    // Integer square roots of at least this many bits recurse on their top
    // half (Zimmermann's Karatsuba square root); below, Newton on a word.
    size_t sqrtRecursiveBits = 128;
    // Decimal conversions of at least this many limbs (or 19 times as many
    // digits) split by a power of ten; below, one word pass per 19 digits.
    size_t radixRecursiveLimbs = 24;
};

// The values in use; read by the algorithms on every call.
extern Thresholds g_thresholds;

// Test hook: replaces the thresholds for its lifetime. Not for concurrent use.
class ScopedThresholds {
public:
    explicit ScopedThresholds(const Thresholds& t) : saved_(g_thresholds) { g_thresholds = t; }
    ~ScopedThresholds() { g_thresholds = saved_; }
    ScopedThresholds(const ScopedThresholds&) = delete;
    ScopedThresholds& operator=(const ScopedThresholds&) = delete;

private:
    Thresholds saved_;
};

} // namespace mpa::tuning
