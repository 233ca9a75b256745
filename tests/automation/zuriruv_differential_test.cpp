// The Zuriruv methods against GMP on random operands, written as hex byte
// strings in random spellings (letter case, lone digits, separator runs,
// trimmed white space). The base seed is printed; MPA_TEST_SEED repeats a run.
#include "automation/zuriruv_methods.h"
#include "mpa/mpa_test_util.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using automation::TextResult;
using automation::ZuriruvCore;
using mpatest::Bytes;
using mpatest::CaseSeed;
using mpatest::Gen;
using mpatest::Iterations;
using mpatest::Mpz;
using platform::com::E_INVALIDARG;
using platform::com::HRESULT;
using platform::com::S_OK;

void PrintSeedOnce() {
    static const bool printed = [] {
        std::printf("automation differential tests: MPA_TEST_SEED=%llu\n",
                    static_cast<unsigned long long>(mpatest::BaseSeed()));
        return true;
    }();
    (void)printed;
}

// One spelling of bytes as a hex byte string.
std::string Spell(const Bytes& bytes, Gen& gen) {
    static const char* const kDigits[2] = {"0123456789abcdef", "0123456789ABCDEF"};
    static const char kSeparators[] = " \t\r\n";
    static const char kTrimmed[] = " \t\n\v\f\r";
    std::string text;
    for (int n = gen.Uniform(0, 2); n > 0; --n)
        text += kTrimmed[gen.Uniform(0, 5)];
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            for (int n = gen.Uniform(1, 3); n > 0; --n)
                text += kSeparators[gen.Uniform(0, 3)];
        }
        const uint8_t b = bytes[i];
        if (b >= 16 || gen.Chance(0.5))
            text += kDigits[gen.Uniform(0, 1)][b >> 4];
        text += kDigits[gen.Uniform(0, 1)][b & 15];
    }
    for (int n = gen.Uniform(0, 2); n > 0; --n)
        text += kTrimmed[gen.Uniform(0, 5)];
    return text;
}

// "%02x " per byte.
std::string Formatted(const Bytes& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02x ", b);
        text += buf;
    }
    return text;
}

std::string Value(const Mpz& z) {
    return Formatted(z.ToBytes());
}

std::string Describe(const Bytes& a, const Bytes& b) {
    return mpatest::Hex(a) + " | " + mpatest::Hex(b);
}

void ExpectText(HRESULT hr, const TextResult& r, const std::optional<std::string>& expected) {
    if (!expected) {
        EXPECT_EQ(hr, E_INVALIDARG);
        EXPECT_EQ(r, std::nullopt);
        return;
    }
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(r, expected);
}

TEST(ZuriruvDifferential, MultiplyDivideMod) {
    PrintSeedOnce();
    ZuriruvCore core;
    for (int i = 0; i < Iterations(1000); ++i) {
        Gen gen(CaseSeed(201, i));
        const Bytes a = gen.Operand(120), b = gen.Operand(i % 4 == 0 ? 8 : 120);
        MPA_CASE_TRACE("MultiplyDivideMod", i, Describe(a, b));
        const Mpz x(a), y(b);
        Mpz product, quotient, remainder;
        mpz_mul(product, x, y);

        TextResult r;
        ExpectText(core.Multiply(Spell(a, gen), Spell(b, gen), &r), r, Value(product));

        std::optional<std::string> q, m;
        if (y.Cmp(0ul) != 0) {
            mpz_tdiv_qr(quotient, remainder, x, y);
            q = Value(quotient);
            m = Value(remainder);
        }
        ExpectText(core.Divide(Spell(a, gen), Spell(b, gen), &r), r, q);
        ExpectText(core.Mod(Spell(a, gen), Spell(b, gen), &r), r, m);

        Mpz square;
        mpz_mul(square, x, x);
        ExpectText(core.Pow2(Spell(a, gen), &r), r, Value(square));
    }
}

TEST(ZuriruvDifferential, AddAndSubtractKeepTheirWidthRules) {
    PrintSeedOnce();
    ZuriruvCore core;
    for (int i = 0; i < Iterations(1000); ++i) {
        Gen gen(CaseSeed(202, i));
        const Bytes a = gen.Operand(60), b = gen.Operand(60);
        MPA_CASE_TRACE("AddSubtract", i, Describe(a, b));
        const Mpz x(a), y(b);
        TextResult r;

        // The sum in the longer operand's width, 01 in front on carry.
        const size_t width = std::max(a.size(), b.size());
        Mpz sum, limit;
        mpz_add(sum, x, y);
        mpz_ui_pow_ui(limit, 256, width);
        std::string expected;
        if (mpz_cmp(sum, limit) >= 0) {
            expected = "01 ";
            mpz_sub(sum, sum, limit);
        }
        expected += Formatted(sum.ToWidth(width));
        ExpectText(core.Add(Spell(a, gen), Spell(b, gen), &r), r, expected);

        // Op1 - Op2, or 256^k - (Op2 - Op1) in k bytes.
        Mpz diff;
        const int order = x.Cmp(y);
        if (order == 0) {
            expected.clear();
        } else if (order > 0) {
            mpz_sub(diff, x, y);
            expected = Value(diff);
        } else {
            mpz_sub(diff, y, x);
            const size_t k = diff.ToBytes().size();
            mpz_ui_pow_ui(limit, 256, k);
            mpz_sub(diff, limit, diff);
            expected = Formatted(diff.ToWidth(k));
        }
        ExpectText(core.Subtract(Spell(a, gen), Spell(b, gen), &r), r, expected);

        int32_t cmp = 99;
        EXPECT_EQ(core.Compare(Spell(a, gen), Spell(b, gen), &cmp), S_OK);
        EXPECT_EQ(cmp, order > 0 ? 1 : order < 0 ? -1 : 0);
    }
}

TEST(ZuriruvDifferential, ModPow) {
    PrintSeedOnce();
    ZuriruvCore core;
    for (int i = 0; i < Iterations(400); ++i) {
        Gen gen(CaseSeed(203, i));
        const Bytes base = gen.Operand(40), exponent = gen.Operand(i % 3 == 0 ? 2 : 24),
                    mod = gen.Operand(40);
        MPA_CASE_TRACE("ModPow", i, Describe(base, exponent) << " mod " << mpatest::Hex(mod));
        const Mpz b(base), e(exponent), m(mod);
        std::optional<std::string> expected, square;
        if (b.Cmp(0ul) != 0 && m.Cmp(0ul) != 0) {
            Mpz r;
            if (e.Cmp(0ul) == 0) {
                mpz_set_ui(r, 1); // 01 whatever the modulus, 1 included
            } else {
                mpz_powm(r, b, e, m);
            }
            expected = Value(r);
            Mpz s;
            mpz_powm_ui(s, b, 2, m);
            square = Value(s);
        }
        TextResult r;
        ExpectText(core.ModPow(Spell(base, gen), Spell(exponent, gen), Spell(mod, gen), &r), r,
                   expected);
        ExpectText(core.ModPow2(Spell(base, gen), Spell(mod, gen), &r), r, square);
    }
}

TEST(ZuriruvDifferential, GcdAndModInverse) {
    PrintSeedOnce();
    ZuriruvCore core;
    for (int i = 0; i < Iterations(1000); ++i) {
        Gen gen(CaseSeed(204, i));
        const Bytes a = gen.Operand(80), b = gen.Operand(i % 5 == 0 ? 3 : 80);
        MPA_CASE_TRACE("GcdModInverse", i, Describe(a, b));
        const Mpz x(a), y(b);
        TextResult r;

        std::optional<std::string> gcd;
        if (x.Cmp(0ul) != 0 && y.Cmp(0ul) != 0) {
            Mpz g;
            mpz_gcd(g, x, y);
            gcd = Value(g);
        }
        ExpectText(core.GCD(Spell(a, gen), Spell(b, gen), &r), r, gcd);

        // GMP leaves a modulus of 0 undefined and inverts anything modulo 1;
        // those are covered by the vector tables.
        if (y.Cmp(1ul) <= 0)
            continue;
        std::string inverse = "0";
        Mpz v;
        if (x.Cmp(0ul) != 0 && mpz_invert(v, x, y) != 0)
            inverse = Value(v);
        ExpectText(core.ModInverse(Spell(a, gen), Spell(b, gen), &r), r, inverse);
    }
}

TEST(ZuriruvDifferential, ShiftsAndBitwise) {
    PrintSeedOnce();
    ZuriruvCore core;
    for (int i = 0; i < Iterations(600); ++i) {
        Gen gen(CaseSeed(205, i));
        const Bytes a = gen.Operand(40), b = gen.Operand(40);
        const int shift = gen.Uniform(0, 8 * static_cast<int>(a.size()) + 9);
        MPA_CASE_TRACE("ShiftsAndBitwise", i, Describe(a, b) << " shift " << shift);
        const Mpz x(a), y(b);
        const size_t width = std::max(a.size(), b.size());
        Mpz limit, t;
        mpz_ui_pow_ui(limit, 256, a.size());
        TextResult r;

        mpz_mul_2exp(t, x, static_cast<mp_bitcnt_t>(shift));
        mpz_mod(t, t, limit);
        ExpectText(core.BitLeftShift(Spell(a, gen), shift, &r), r, Formatted(t.ToWidth(a.size())));
        mpz_tdiv_q_2exp(t, x, static_cast<mp_bitcnt_t>(shift));
        ExpectText(core.BitRightShift(Spell(a, gen), shift, &r), r, Formatted(t.ToWidth(a.size())));
        mpz_sub_ui(t, limit, 1);
        mpz_sub(t, t, x);
        ExpectText(core.BitNot(Spell(a, gen), &r), r, Formatted(t.ToWidth(a.size())));

        mpz_and(t, x, y);
        ExpectText(core.BitAnd(Spell(a, gen), Spell(b, gen), &r), r, Formatted(t.ToWidth(width)));
        mpz_ior(t, x, y);
        ExpectText(core.BitOr(Spell(a, gen), Spell(b, gen), &r), r, Formatted(t.ToWidth(width)));
        mpz_xor(t, x, y);
        ExpectText(core.BitXor(Spell(a, gen), Spell(b, gen), &r), r, Formatted(t.ToWidth(width)));

        int32_t bits = -7;
        EXPECT_EQ(core.BitCount(Spell(a, gen), &bits), S_OK);
        EXPECT_EQ(bits, x.Cmp(0ul) == 0 ? 0 : static_cast<int32_t>(mpz_sizeinbase(x, 2)));
    }
}

} // namespace
