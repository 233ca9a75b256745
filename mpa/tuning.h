// The sizes at which the arithmetic changes algorithm, in one place, with the
// measurements that chose them. Tests lower them (ScopedThresholds) so that
// operands of a few limbs reach every recursive path.
#pragma once

#include <cstddef>

namespace mpa::tuning {

struct Thresholds {
    // Balanced products and squares of at least this many 64-bit limbs split
    // by Karatsuba (at least 2). Measured with bench/ BM_Multiply and a
    // sweep of the threshold on the BMI2/ADX kernels (AMD EPYC, Zen 4):
    // 16 limbs 1.00, 24 limbs 0.93, 32 limbs 0.95, 48 limbs 1.04 (time of a
    // 4096-bit product, relative to 16); the portable kernels are slower per
    // row, which moves the crossing down, but not below 24.
    size_t mulKaratsuba = 24;
    size_t sqrKaratsuba = 32;
    // Integer square roots of at least this many bits recurse on their top
    // half (Zimmermann's Karatsuba square root); below, Newton on a word.
    size_t sqrtRecursiveBits = 128;
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
