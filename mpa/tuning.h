// The sizes at which the arithmetic changes algorithm, in one place, with the
// measurements that chose them. Tests lower them (ScopedThresholds) so that
// operands of a few limbs reach every recursive path.
#pragma once

#include <cstddef>

namespace mpa::tuning {

struct Thresholds {
    // Balanced products and squares of at least this many 64-bit limbs split
    // by Karatsuba (at least 2). Chosen by timing MPA_Multiply with the
    // candidate thresholds interleaved round by round (best of 40 rounds, so
    // that the load of the shared machine hits all alike), BMI2/ADX kernels,
    // adc-chain additions, AMD EPYC Zen 4:
    //   product ns    T=20   T=24   T=28   T=32   T=40   T=48
    //   2048 bits      477    476    477    476    514    515
    //   4096 bits     1511   1505   1507   1514   1591   1571
    //   8192 bits     4750   4715   4727   4690   4928   4937
    //   square ns     T=32   T=48   T=64   T=80   T=100
    //   2048 bits      369    325    326    327    328
    //   4096 bits     1126    998    996   1037   1034
    //   8192 bits     3569   3224   3222   3298   3280
    // Squares have the cheaper base case (half the products), so their
    // crossing sits higher.
    size_t mulKaratsuba = 28;
    size_t sqrKaratsuba = 64;
    // Decimal conversions of at least this many limbs (or 19 times as many
    // digits) split by a power of ten; below, one word pass per 19 digits.
    size_t radixRecursiveLimbs = 24;
    // Divisions with divisor and quotient of at least this many limbs split
    // the quotient in halves (Burnikel and Ziegler); below, Knuth's
    // Algorithm D. 2n / n limbs, ns, fast kernels, same machine:
    //   divisor limbs     32     64     96    128    256    1024     2600
    //   T=24             659   1874   3625   5309  15166  133205   591437
    //   T=40             612   1878   3482   5213  14767  129749   592211
    //   T=48             618   1791   3439   5113  14800  129579   592557
    //   T=64             608   1803   3634   5039  14796  129680   592165
    //   Algorithm D      611   2240   4747   8518  33061  485235  3108561
    size_t divRecursiveLimbs = 48;
    // Odd moduli of at least this many limbs take the AVX-512 IFMA powers
    // where the CPU has them. Full-length powers, us, 64-bit Montgomery with
    // BMI2/ADX against 52-bit digits, AMD EPYC Zen 4:
    //   limbs      4      5      6      7
    //   64-bit   10.9   16.8   24.1   29.2
    //   52-bit   11.1   17.3   22.0   29.0
    size_t ifmaPowLimbs = 6;
    // Products with the shorter factor at least ifmaMulLimbs long and the
    // longer at most ifmaMulMaxLimbs long, and squares from ifmaSqrLimbs to
    // ifmaMulMaxLimbs, are one pass on 52-bit digits where the CPU has AVX-512
    // IFMA; wider ones split by Karatsuba down to that width. Balanced, ns,
    // same machine (64-bit: the BMI2/ADX base case and Karatsuba):
    //   limbs           12    16    24    32    48    64    96    128
    //   52-bit digits   88   125   184   235   422   615  1209   2475
    //   64-bit product  63   108   244   374   786  1193  2487   3857
    //   64-bit square   49    76   151   257   516   808  1665   2681
    // At 128 limbs three 64-limb IFMA products and a Karatsuba step (about
    // 2000) beat one IFMA product.
    size_t ifmaMulLimbs = 20;
    size_t ifmaSqrLimbs = 32;
    size_t ifmaMulMaxLimbs = 100;
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
