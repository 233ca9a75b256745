// Decimal conversions of values against GMP's, with the recursion threshold
// at its default and lowered to two limbs, on powers of ten and their
// neighbours (where padding of the low halves matters) and on random values.
#include "mpa/radix_conversion.h"
#include "mpa/tuning.h"
#include "mpa_test_util.h"

#include <cstring>

using namespace mpatest;

namespace {

std::string GmpDecimal(const Mpz& z) {
    std::string s(mpz_sizeinbase(z, 10) + 2, '\0');
    mpz_get_str(s.data(), 10, z);
    s.resize(std::strlen(s.c_str()));
    return s;
}

mpa::Natural ToNatural(const Bytes& b) {
    return mpa::Natural::FromBytes(b.data(), static_cast<int64_t>(b.size()));
}

TEST(RadixConversion, DecimalBothWaysMatchesGmp) {
    for (size_t threshold : {size_t{2}, size_t{3}, mpa::tuning::Thresholds{}.radixRecursiveLimbs}) {
        mpa::tuning::Thresholds th;
        th.radixRecursiveLimbs = threshold;
        mpa::tuning::ScopedThresholds scoped(th);
        for (int i = 0, n = Iterations(400); i < n && !HasFailure(); ++i) {
            Gen g(CaseSeed(50, i));
            Mpz v;
            int kind = g.Uniform(0, 3);
            if (kind == 0) {
                // 10^k - 1, 10^k, 10^k + 1 around chunk and split boundaries.
                mpz_ui_pow_ui(v, 10, static_cast<unsigned long>(g.Uniform(0, 1300)));
                int delta = g.Uniform(-1, 1);
                if (delta < 0)
                    mpz_sub_ui(v, v, 1);
                else if (delta > 0)
                    mpz_add_ui(v, v, 1);
            } else {
                v = Mpz(g.Operand(kind == 1 ? 40 : 560));
            }
            const std::string expected = GmpDecimal(v);
            SCOPED_TRACE(::testing::Message()
                         << "threshold " << threshold << " case " << i << ": " << expected);
            Bytes bytes = v.ToBytes();
            EXPECT_EQ(mpa::ToDecimalDigits(ToNatural(bytes)), expected);
            EXPECT_TRUE(mpa::FromDecimalDigits(expected) == ToNatural(bytes));
            // Leading zeros do not change the value.
            EXPECT_TRUE(mpa::FromDecimalDigits("000" + expected) == ToNatural(bytes));
        }
    }
}

} // namespace
