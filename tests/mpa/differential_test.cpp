// Randomised differential tests of every operation against GMP (and, where
// the result depends on the algorithm's steps or on rand(), against the
// models of reference.h). Operands run from 1 to 300 bytes with leading zero
// bytes, zero, all-FF and powers of two; each output gets exactly its minimum
// capacity, and one byte less must fail without writing. Reproduce a failure
// with the MPA_TEST_SEED and case number printed in its trace;
// MPA_TEST_SCALE scales the number of cases.
#include "mpa/calculator_ops.h"
#include "mpa_test_util.h"
#include "reference.h"

#include <cstdlib>

using namespace mpatest;

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// a value below `limit` (non-zero limit), about as long.
Bytes Below(Gen& g, const Mpz& limit) {
    Bytes r = g.Random(limit.ToBytes().size());
    Mpz v(r);
    mpz_mod(v, v, limit);
    return v.ToBytes();
}

TEST(Differential, CompareAndBitCount) {
    for (int i = 0, n = Iterations(20000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(1, i));
        Bytes a = g.Operand(), b = g.Chance(0.2) ? a : g.Operand();
        if (g.Chance(0.2))
            b.insert(b.begin(), static_cast<size_t>(g.Uniform(1, 3)), 0);
        MPA_CASE_TRACE("Compare", i, Hex(a) << " vs " << Hex(b));
        const Bytes a0 = a, b0 = b;
        Mpz A(a), B(b);
        EXPECT_EQ(MPA_Compare(a.data(), Len(a), b.data(), Len(b)), Sign(mpz_cmp(A, B)));
        int32_t bits = Sgn(A) ? static_cast<int32_t>(mpz_sizeinbase(A, 2)) : 0;
        EXPECT_EQ(MPA_BitCount(a.data(), Len(a)), bits);
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

TEST(Differential, Add) {
    for (int i = 0, n = Iterations(10000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(2, i));
        Bytes a = g.Operand(), b = g.Operand();
        MPA_CASE_TRACE("Add", i, Hex(a) << " + " << Hex(b));
        const Bytes a0 = a, b0 = b;
        int32_t w = std::max(Len(a), Len(b));
        Mpz sum;
        mpz_add(sum, Mpz(a), Mpz(b));
        int32_t expectedCarry = mpz_sizeinbase(sum, 2) > static_cast<size_t>(8 * w) ? 1 : 0;
        mpz_tdiv_r_2exp(sum, sum, 8 * static_cast<mp_bitcnt_t>(w));

        OutBuf out(w);
        int32_t carry = -5;
        ASSERT_EQ(MPA_Add(a.data(), Len(a), b.data(), Len(b), out.data(), w, &carry), w);
        EXPECT_EQ(Hex(out.Get(w)), Hex(sum.ToWidth(static_cast<size_t>(w))));
        EXPECT_EQ(carry, expectedCarry);
        EXPECT_TRUE(out.GuardIntact());

        OutBuf small(w - 1);
        EXPECT_EQ(MPA_Add(a.data(), Len(a), b.data(), Len(b), small.data(), w - 1, &carry), -1);
        EXPECT_TRUE(small.Untouched());
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

TEST(Differential, Subtract) {
    for (int i = 0, n = Iterations(10000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(3, i));
        Bytes a = g.Operand(), b;
        int kind = g.Uniform(0, 3);
        if (kind == 0) {
            b = g.Operand(); // either order
        } else if (kind == 1) {
            b = a; // equal values, possibly of other widths
            if (g.Chance(0.5))
                b.insert(b.begin(), static_cast<size_t>(g.Uniform(1, 3)), 0);
            else
                b = Strip(b);
        } else if (Sgn(Mpz(a)) != 0) {
            b = Below(g, Mpz(a));
        } else {
            b = Bytes(static_cast<size_t>(g.Uniform(1, 3)), 0);
        }
        MPA_CASE_TRACE("Subtract", i, Hex(a) << " - " << Hex(b));
        const Bytes a0 = a, b0 = b;
        Mpz A(a), B(b), d;
        mpz_sub(d, A, B);
        int32_t cap = std::max(Len(a), Len(b));
        OutBuf out(cap);
        int32_t ret = MPA_Subtract(a.data(), Len(a), b.data(), Len(b), out.data(), cap);
        if (Sgn(d) < 0) {
            EXPECT_EQ(ret, -1);
        } else if (Sgn(d) == 0) {
            // Zero minuend minus zero is the one zero written as 00.
            if (Sgn(A) == 0) {
                ASSERT_EQ(ret, 1);
                EXPECT_EQ(Hex(out.Get(1)), "00");
            } else {
                EXPECT_EQ(ret, 0);
            }
        } else {
            ASSERT_EQ(ret, Len(d.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(d.ToBytes()));
        }
        EXPECT_TRUE(out.GuardIntact());

        OutBuf small(cap - 1);
        EXPECT_EQ(MPA_Subtract(a.data(), Len(a), b.data(), Len(b), small.data(), cap - 1), -1);
        EXPECT_TRUE(small.Untouched());
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

TEST(Differential, BitwiseAndShifts) {
    using Fn = int32_t (*)(const uint8_t*, int32_t, const uint8_t*, int32_t, uint8_t*, int32_t);
    using GmpFn = void (*)(mpz_ptr, mpz_srcptr, mpz_srcptr);
    const std::pair<Fn, GmpFn> ops[] = {
        {MPA_BitAnd, mpz_and}, {MPA_BitOr, mpz_ior}, {MPA_BitXor, mpz_xor}};
    for (int i = 0, n = Iterations(6000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(4, i));
        Bytes a = g.Operand(), b = g.Operand();
        int32_t shift =
            g.Chance(0.05) ? g.Uniform(8 * Len(a), INT32_MAX) : g.Uniform(0, 8 * Len(a) + 9);
        MPA_CASE_TRACE("Bitwise", i, Hex(a) << " op " << Hex(b) << ", shift " << shift);
        const Bytes a0 = a, b0 = b;
        Mpz A(a), B(b), r;
        int32_t w = std::max(Len(a), Len(b));
        for (auto [fn, gmp] : ops) {
            gmp(r, A, B);
            OutBuf out(w), small(w - 1);
            ASSERT_EQ(fn(a.data(), Len(a), b.data(), Len(b), out.data(), w), w);
            EXPECT_EQ(Hex(out.Get(w)), Hex(r.ToWidth(static_cast<size_t>(w))));
            EXPECT_TRUE(out.GuardIntact());
            EXPECT_EQ(fn(a.data(), Len(a), b.data(), Len(b), small.data(), w - 1), -1);
            EXPECT_TRUE(small.Untouched());
        }

        const size_t width = a.size();
        Mpz all;
        mpz_setbit(all, 8 * width);
        mpz_sub_ui(all, all, 1);
        mpz_sub(r, all, A);
        OutBuf notOut(Len(a)), notSmall(Len(a) - 1);
        ASSERT_EQ(MPA_BitNot(a.data(), Len(a), notOut.data(), Len(a)), Len(a));
        EXPECT_EQ(Hex(notOut.Get(Len(a))), Hex(r.ToWidth(width)));
        EXPECT_TRUE(notOut.GuardIntact());
        EXPECT_EQ(MPA_BitNot(a.data(), Len(a), notSmall.data(), Len(a) - 1), -1);
        EXPECT_TRUE(notSmall.Untouched());

        Mpz left, right;
        if (static_cast<size_t>(shift) < 8 * width) {
            mpz_mul_2exp(left, A, static_cast<mp_bitcnt_t>(shift));
            mpz_tdiv_r_2exp(left, left, 8 * width);
            mpz_tdiv_q_2exp(right, A, static_cast<mp_bitcnt_t>(shift));
        }
        OutBuf l(Len(a)), rr(Len(a)), ls(Len(a) - 1);
        ASSERT_EQ(MPA_BitLshift(a.data(), Len(a), shift, l.data(), Len(a)), Len(a));
        ASSERT_EQ(MPA_BitRshift(a.data(), Len(a), shift, rr.data(), Len(a)), Len(a));
        EXPECT_EQ(Hex(l.Get(Len(a))), Hex(left.ToWidth(width)));
        EXPECT_EQ(Hex(rr.Get(Len(a))), Hex(right.ToWidth(width)));
        EXPECT_TRUE(l.GuardIntact() && rr.GuardIntact());
        EXPECT_EQ(MPA_BitLshift(a.data(), Len(a), shift, ls.data(), Len(a) - 1), -1);
        EXPECT_EQ(MPA_BitRshift(a.data(), Len(a), shift, ls.data(), Len(a) - 1), -1);
        EXPECT_TRUE(ls.Untouched());
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

TEST(Differential, Multiply) {
    for (int i = 0, n = Iterations(8000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(5, i));
        // Every fourth case up to 40 bytes: the fixed-size path of 256 bits.
        const int maxLen = i % 4 == 0 ? 40 : 300;
        Bytes a = g.Operand(maxLen), b = g.Operand(maxLen);
        MPA_CASE_TRACE("Multiply", i, Hex(a) << " * " << Hex(b));
        const Bytes a0 = a, b0 = b;
        Mpz p;
        mpz_mul(p, Mpz(a), Mpz(b));
        const int32_t least = 2 * std::max(Len(a), Len(b));
        const int32_t cap = least + (g.Chance(0.3) ? g.Uniform(1, 40) : 0);
        OutBuf out(cap), small(least - 1);
        int32_t ret = MPA_Multiply(a.data(), Len(a), b.data(), Len(b), out.data(), cap);
        ASSERT_EQ(ret, Len(p.ToBytes()));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(p.ToBytes()));
        EXPECT_TRUE(out.GuardIntact());
        // A non-zero product clears the rest of the output; zero writes one byte.
        Bytes cleared = p.ToBytes();
        if (cleared != Bytes{0})
            cleared.resize(static_cast<size_t>(cap), 0);
        EXPECT_EQ(Hex(out.Get(Len(cleared))), Hex(cleared));
        EXPECT_EQ(MPA_Multiply(a.data(), Len(a), b.data(), Len(b), small.data(), least - 1), -1);
        EXPECT_TRUE(small.Untouched());
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

// Dividend and divisor: independent, or built as b * q + r so that the
// quotient digits and their corrections are exercised across all sizes.
std::pair<Bytes, Bytes> DivisionOperands(Gen& g) {
    if (g.Chance(0.5))
        return {g.Operand(), g.Operand()};
    Bytes b = g.Operand(150, false);
    Mpz B(b);
    if (Sgn(B) == 0)
        mpz_set_ui(B, 1);
    Mpz a, q(g.Operand(150));
    mpz_mul(a, B, q);
    mpz_add(a, a, Mpz(Below(g, B)));
    Bytes ab = a.ToBytes();
    if (g.Chance(0.3))
        ab.insert(ab.begin(), static_cast<size_t>(g.Uniform(1, 3)), 0);
    return {ab, b};
}

TEST(Differential, DivideAndModular) {
    for (int i = 0, n = Iterations(10000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(6, i));
        auto [a, b] = DivisionOperands(g);
        MPA_CASE_TRACE("Divide", i, Hex(a) << " / " << Hex(b));
        const Bytes a0 = a, b0 = b;
        Mpz A(a), B(b), q, r;
        OutBuf qo(Len(a)), ro(Len(b));
        int32_t qs = Len(a), rs = Len(b);
        int32_t ret =
            MPA_Divide(a.data(), Len(a), b.data(), Len(b), qo.data(), &qs, ro.data(), &rs);
        OutBuf mo(Len(b));
        int32_t mret = MPA_Modular(a.data(), Len(a), b.data(), Len(b), mo.data(), Len(b));
        if (Sgn(B) == 0) {
            EXPECT_EQ(ret, 0);
            EXPECT_TRUE(qo.Untouched());
            EXPECT_EQ(qs, Len(a));
            EXPECT_EQ(rs, 1);
            EXPECT_EQ(Hex(ro.Get(1)), "00");
            EXPECT_EQ(mret, -1);
        } else {
            mpz_tdiv_qr(q, r, A, B);
            ASSERT_EQ(ret, 1);
            EXPECT_EQ(Hex(qo.Get(qs)), Hex(q.ToBytes()));
            EXPECT_EQ(Hex(ro.Get(rs)), Hex(r.ToBytes()));
            ASSERT_EQ(mret, Len(r.ToBytes()));
            EXPECT_EQ(Hex(mo.Get(mret)), Hex(r.ToBytes()));
        }
        EXPECT_TRUE(qo.GuardIntact() && ro.GuardIntact() && mo.GuardIntact());

        // One byte less of either capacity fails before anything is written.
        for (int which = 0; which < 2; ++which) {
            int32_t qc = Len(a) - (which == 0), rc = Len(b) - (which == 1);
            OutBuf q2(qc), r2(rc);
            int32_t qs2 = qc, rs2 = rc;
            EXPECT_EQ(
                MPA_Divide(a.data(), Len(a), b.data(), Len(b), q2.data(), &qs2, r2.data(), &rs2),
                0);
            EXPECT_TRUE(q2.Untouched() && r2.Untouched());
            EXPECT_EQ(qs2, qc);
            EXPECT_EQ(rs2, rc);
        }
        OutBuf m2(Len(b) - 1);
        EXPECT_EQ(MPA_Modular(a.data(), Len(a), b.data(), Len(b), m2.data(), Len(b) - 1), -1);
        EXPECT_TRUE(m2.Untouched());
        EXPECT_EQ(a, a0);
        EXPECT_EQ(b, b0);
    }
}

TEST(Differential, BarrettReduction) {
    for (int i = 0, n = Iterations(8000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(7, i));
        int k = g.SigLength(150);
        Bytes m = g.Chance(0.1) ? Bytes(static_cast<size_t>(k), 0xFF) : g.Exact(k);
        if (g.Chance(0.1)) {
            m.assign(static_cast<size_t>(k), 0);
            m[0] = 1;
        }
        Mpz M(m);
        Bytes x;
        switch (g.Uniform(0, 5)) {
        case 0: { // below m, within mLen bytes: returned as given
            x = Below(g, M);
            size_t width = static_cast<size_t>(g.Uniform(static_cast<int>(x.size()), k));
            x.insert(x.begin(), width - x.size(), 0);
            break;
        }
        case 1: // m itself, possibly widened
            x = m;
            if (g.Chance(0.5))
                x.insert(x.begin(), static_cast<size_t>(g.Uniform(1, k)), 0);
            break;
        case 2: { // the largest x allowed
            Mpz sq;
            mpz_mul(sq, M, M);
            mpz_sub_ui(sq, sq, 1);
            x = sq.ToWidth(static_cast<size_t>(2 * k));
            break;
        }
        case 3:
            x = Bytes(static_cast<size_t>(2 * k), 0xFF);
            break;
        default:
            x = g.Random(static_cast<size_t>(g.Uniform(1, 2 * k)));
            break;
        }
        Mpz X(x), mu(1);
        mpz_mul_2exp(mu, mu, 16 * static_cast<mp_bitcnt_t>(k));
        mpz_tdiv_q(mu, mu, M);
        Bytes mub = mu.ToBytes();
        if (g.Chance(0.2))
            mub.insert(mub.begin(), static_cast<size_t>(g.Uniform(1, 3)), 0);
        MPA_CASE_TRACE("Barrett", i, Hex(x) << " mod " << Hex(m));
        const Bytes x0 = x, m0 = m, mu0 = mub;

        Bytes expected;
        if (k >= Len(x) && mpz_cmp(X, M) < 0) {
            expected = x;
        } else {
            Mpz r;
            mpz_mod(r, X, M);
            expected = r.ToBytes();
        }
        OutBuf out(k), small(k - 1);
        int32_t ret = MPA_BarrettReduction(x.data(), Len(x), m.data(), k, mub.data(), Len(mub),
                                           out.data(), k);
        ASSERT_EQ(ret, Len(expected));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(expected));
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(MPA_BarrettReduction(x.data(), Len(x), m.data(), k, mub.data(), Len(mub),
                                       small.data(), k - 1),
                  -1);
        EXPECT_TRUE(small.Untouched());
        // One byte beyond 2k fails, even when it is a leading zero.
        Bytes wide = x;
        wide.insert(wide.begin(), static_cast<size_t>(2 * k + 1 - Len(x)), 0);
        OutBuf out2(k);
        EXPECT_EQ(MPA_BarrettReduction(wide.data(), Len(wide), m.data(), k, mub.data(), Len(mub),
                                       out2.data(), k),
                  -1);
        EXPECT_TRUE(out2.Untouched());
        EXPECT_EQ(x, x0);
        EXPECT_EQ(m, m0);
        EXPECT_EQ(mub, mu0);
    }
}

TEST(Differential, ModPow) {
    for (int i = 0, n = Iterations(3000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(8, i));
        Bytes m = g.Operand(300, g.Chance(0.05));
        Bytes base = g.Operand(300, g.Chance(0.05));
        int r = g.Uniform(0, 9);
        int expMax = SigLen(m) > 64 ? 16 : (r < 6 ? 8 : (r < 9 ? 64 : 300));
        Bytes e = g.Operand(expMax);
        if (g.Chance(0.5) && !m.empty())
            m.back() |= 1; // odd moduli as often as even ones
        MPA_CASE_TRACE("ModPow", i, Hex(base) << " ^ " << Hex(e) << " mod " << Hex(m));
        const Bytes b0 = base, e0 = e, m0 = m;
        Mpz B(base), E(e), M(m);
        int32_t k = static_cast<int32_t>(SigLen(m));
        OutBuf out(k), small(k - 1);
        int32_t ret =
            MPA_ModPow(base.data(), Len(base), e.data(), Len(e), m.data(), Len(m), out.data(), k);
        if (Sgn(B) == 0 || Sgn(M) == 0) {
            EXPECT_EQ(ret, -1);
            EXPECT_TRUE(out.Untouched());
        } else {
            Mpz r(1);
            if (Sgn(E) != 0)
                mpz_powm(r, B, E, M);
            ASSERT_EQ(ret, Len(r.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
            EXPECT_TRUE(out.GuardIntact());
            EXPECT_EQ(MPA_ModPow(base.data(), Len(base), e.data(), Len(e), m.data(), Len(m),
                                 small.data(), k - 1),
                      -1);
            EXPECT_TRUE(small.Untouched());
        }
        EXPECT_EQ(base, b0);
        EXPECT_EQ(e, e0);
        EXPECT_EQ(m, m0);
    }
}

TEST(Differential, Jacobi) {
    for (int i = 0, n = Iterations(5000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(9, i));
        Bytes nb = g.Operand();
        bool even = g.Chance(0.1);
        if (even)
            nb.back() &= 0xFE;
        else
            nb.back() |= 1;
        Mpz N(nb);
        Bytes a;
        switch (g.Uniform(0, 4)) {
        case 0: { // shares a factor with n
            Mpz f(g.Operand(20, false)), p;
            mpz_mul(p, N, f);
            a = p.ToBytes();
            break;
        }
        case 1:
            a = nb;
            break;
        default:
            a = g.Operand();
            break;
        }
        MPA_CASE_TRACE("Jacobi", i, "(" << Hex(a) << " / " << Hex(nb) << ")");
        const Bytes a0 = a, n0 = nb;
        Mpz A(a);
        int32_t symbol = 99;
        int32_t ret = MPA_Jacobi(a.data(), Len(a), nb.data(), Len(nb), &symbol);
        if (even || Sgn(N) == 0) {
            EXPECT_EQ(ret, 0);
        } else {
            ASSERT_EQ(ret, 1);
            EXPECT_EQ(symbol, Sgn(A) == 0 ? 0 : mpz_jacobi(A, N));
        }
        EXPECT_EQ(a, a0);
        EXPECT_EQ(nb, n0);
    }
}

// Operand buffers for the gcd family, with the room the algorithm may use.
struct GcdOperands {
    WorkBuf wa, wb;
    GcdOperands(const Bytes& x, const Bytes& y)
        : wa(x, x.size() - SigLen(x) + std::max(SigLen(x), SigLen(y))), wb(y, y.size()) {}
};

std::pair<Bytes, Bytes> GcdInputs(Gen& g) {
    Bytes a = g.Operand(300, false), b = g.Operand(300, false);
    if (g.Chance(0.3)) { // a common factor
        Mpz f(g.Operand(30, false)), x(a), y(b);
        if (Sgn(f) != 0 && mpz_sizeinbase(f, 256) + std::max(SigLen(a), SigLen(b)) <= 300) {
            mpz_mul(x, x, f);
            mpz_mul(y, y, f);
            a = x.ToBytes();
            b = y.ToBytes();
        }
    }
    if (g.Chance(0.05))
        b = a;
    return {a, b};
}

TEST(Differential, ExtEuclid) {
    for (int i = 0, n = Iterations(4000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(10, i));
        auto [a, b] = GcdInputs(g);
        MPA_CASE_TRACE("ExtEuclid", i, Hex(a) << ", " << Hex(b));
        Mpz A(a), B(b);
        if (Sgn(A) == 0 || Sgn(B) == 0)
            continue;
        EuclidResult model = ExtEuclidModel(A, B);
        int32_t w = static_cast<int32_t>(std::max(SigLen(a), SigLen(b)));
        for (int shrink = -1; shrink < 3; ++shrink) {
            GcdOperands ops(a, b);
            int32_t gc = w - (shrink == 0), xc = w - (shrink == 1), yc = w - (shrink == 2);
            OutBuf go(gc), xo(xc), yo(yc);
            int32_t xs = xc, ys = yc;
            int32_t ret = MPA_ExtEuclid(ops.wa.data(), Len(a), ops.wb.data(), Len(b), go.data(), gc,
                                        xo.data(), &xs, yo.data(), &ys);
            EXPECT_TRUE(ops.wa.GuardIntact() && ops.wb.GuardIntact());
            EXPECT_TRUE(go.GuardIntact() && xo.GuardIntact() && yo.GuardIntact());
            if (shrink >= 0) {
                EXPECT_EQ(ret, -1) << "capacity " << shrink << " one byte short";
                EXPECT_TRUE(go.Untouched() && xo.Untouched() && yo.Untouched());
                continue;
            }
            ASSERT_EQ(ret, Len(model.gcd));
            EXPECT_EQ(Hex(go.Get(ret)), Hex(model.gcd));
            EXPECT_EQ(Hex(xo.Get(xs)), Hex(model.x));
            EXPECT_EQ(Hex(yo.Get(ys)), Hex(model.y));
            Mpz g0, ax;
            mpz_gcd(g0, A, B);
            EXPECT_EQ(Hex(model.gcd), Hex(g0.ToBytes()));
            mpz_mul(ax, A, Mpz(model.x));
            EXPECT_TRUE(mpz_congruent_p(ax, g0, B));
            EXPECT_LE(mpz_cmp(Mpz(model.x), B), 0);
        }
    }
}

TEST(Differential, GcdAndModInverse) {
    for (int i = 0, n = Iterations(4000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(11, i));
        auto [a, b] = GcdInputs(g);
        if (g.Chance(0.05))
            a.assign(a.size(), 0);
        MPA_CASE_TRACE("Gcd", i, Hex(a) << ", " << Hex(b));
        Mpz A(a), B(b), g0;
        mpz_gcd(g0, A, B);
        int32_t w = static_cast<int32_t>(std::max(SigLen(a), SigLen(b)));
        bool zero = Sgn(A) == 0 || Sgn(B) == 0;
        for (int32_t cap : {w, w - 1}) {
            GcdOperands ops(a, b);
            OutBuf out(cap);
            int32_t ret = MPA_Gcd(ops.wa.data(), Len(a), ops.wb.data(), Len(b), out.data(), cap);
            EXPECT_TRUE(ops.wa.GuardIntact() && ops.wb.GuardIntact() && out.GuardIntact());
            if (zero || cap < w) {
                EXPECT_EQ(ret, -1);
                EXPECT_TRUE(out.Untouched());
            } else {
                ASSERT_EQ(ret, Len(g0.ToBytes()));
                EXPECT_EQ(Hex(out.Get(ret)), Hex(g0.ToBytes()));
            }
        }

        // Inverse of a modulo b, at capacity mLen, mLen - 1 and (when a is
        // longer) the significant length of a.
        const int32_t mLen = Len(b);
        for (int32_t cap : {mLen, mLen - 1, static_cast<int32_t>(SigLen(a))}) {
            GcdOperands ops(a, b);
            OutBuf out(cap);
            int32_t ret =
                MPA_ModInverse(ops.wa.data(), Len(a), ops.wb.data(), mLen, out.data(), cap);
            EXPECT_TRUE(ops.wa.GuardIntact() && ops.wb.GuardIntact() && out.GuardIntact());
            if (cap < mLen) {
                EXPECT_EQ(ret, -1);
                EXPECT_TRUE(out.Untouched());
            } else if (zero || cap < w || g0.Cmp(1) != 0) {
                EXPECT_EQ(ret, 0);
            } else {
                Bytes x = ExtEuclidModel(A, B).x;
                ASSERT_EQ(ret, Len(x));
                EXPECT_EQ(Hex(out.Get(ret)), Hex(x));
                Mpz inv, got(x);
                ASSERT_TRUE(mpz_invert(inv, A, B) || B.Cmp(1) == 0);
                if (B.Cmp(1) != 0) {
                    mpz_mod(got, got, B);
                    EXPECT_EQ(mpz_cmp(got, inv), 0);
                }
            }
        }
    }
}

TEST(Differential, SquareRoot) {
    for (int i = 0, n = Iterations(4000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(12, i));
        Bytes a = g.Operand();
        if (g.Chance(0.2)) { // perfect squares and their neighbours
            Mpz r(g.Operand(150)), s;
            mpz_mul(s, r, r);
            int d = g.Uniform(-1, 1);
            if (d < 0 && Sgn(s) > 0)
                mpz_sub_ui(s, s, 1);
            if (d > 0)
                mpz_add_ui(s, s, 1);
            a = s.ToBytes();
        }
        MPA_CASE_TRACE("SquareRoot", i, Hex(a));
        const Bytes a0 = a;
        Mpz A(a), r;
        mpz_sqrt(r, A);
        int32_t cap = 1;
        if (A.Cmp(24) > 0) {
            int32_t bits = static_cast<int32_t>(mpz_sizeinbase(A, 2));
            cap = ((bits + 1) / 2 + 7) / 8;
        }
        OutBuf out(cap), small(cap - 1);
        int32_t ret = mpa::SquareRoot(a.data(), Len(a), out.data(), cap);
        ASSERT_EQ(ret, Len(r.ToBytes()));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(mpa::SquareRoot(a.data(), Len(a), small.data(), cap - 1), -1);
        EXPECT_TRUE(small.Untouched());
        EXPECT_EQ(a, a0);
    }
}

// Largest probable prime below a (a > 3), by GMP.
Mpz GmpPrevPrime(const Mpz& a) {
    Mpz c;
    mpz_sub_ui(c, a, 1);
    while (!mpz_probab_prime_p(c, 30))
        mpz_sub_ui(c, c, 1);
    return c;
}

TEST(Differential, NextAndPrevPrime) {
    RandomSourceReset reset;
    for (int i = 0, n = Iterations(300); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(13, i));
        Bytes a = g.Operand(24, true, 20);
        MPA_CASE_TRACE("NextPrime/PrevPrime", i, Hex(a));
        const Bytes a0 = a;
        Mpz A(a);
        const unsigned seed = static_cast<unsigned>(CaseSeed(13, i));

        // NextPrime keeps the width of a and grows by a byte on carry.
        Mpz next;
        mpz_nextprime(next, A);
        Bytes expected = A.Cmp(2) <= 0 ? next.ToBytes() : next.ToWidth(a.size());
        OutBuf out(Len(a) + 1), small(Len(a));
        std::srand(seed);
        int32_t ret = mpa::NextPrime(a.data(), Len(a), out.data(), out.cap(), 20);
        ASSERT_EQ(ret, Len(expected));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(expected));
        if (A.Cmp(2) > 0) {
            std::srand(seed);
            EXPECT_EQ(Hex(NextPrimeModel(A, 20).ToWidth(a.size())), Hex(expected));
        }
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(mpa::NextPrime(a.data(), Len(a), small.data(), small.cap(), 20), -1);
        EXPECT_TRUE(small.Untouched());

        // PrevPrime writes its result without leading zeros.
        OutBuf pout(Len(a)), psmall(Len(a) - 1);
        std::srand(seed);
        ret = mpa::PrevPrime(a.data(), Len(a), pout.data(), pout.cap(), 20);
        if (A.Cmp(2) <= 0) {
            EXPECT_EQ(ret, -1);
        } else {
            Mpz prev(2);
            if (A.Cmp(3) > 0)
                prev = GmpPrevPrime(A);
            ASSERT_EQ(ret, Len(prev.ToBytes()));
            EXPECT_EQ(Hex(pout.Get(ret)), Hex(prev.ToBytes()));
            EXPECT_EQ(mpa::PrevPrime(a.data(), Len(a), psmall.data(), psmall.cap(), 20), -1);
            EXPECT_TRUE(psmall.Untouched());
        }
        EXPECT_TRUE(pout.GuardIntact());

        // One trial: exactly the first candidate that passes the drawn base.
        if (A.Cmp(3) > 0) {
            OutBuf o1(Len(a) + 1);
            std::srand(seed + 1);
            ret = mpa::NextPrime(a.data(), Len(a), o1.data(), o1.cap(), 1);
            std::srand(seed + 1);
            Bytes model = NextPrimeModel(A, 1).ToWidth(a.size());
            ASSERT_EQ(ret, Len(model));
            EXPECT_EQ(Hex(o1.Get(ret)), Hex(model));
            std::srand(seed + 2);
            ret = mpa::PrevPrime(a.data(), Len(a), o1.data(), o1.cap(), 1);
            std::srand(seed + 2);
            model = PrevPrimeModel(A, 1).ToBytes();
            ASSERT_EQ(ret, Len(model));
            EXPECT_EQ(Hex(o1.Get(ret)), Hex(model));
        }
        EXPECT_EQ(a, a0);
    }
}

TEST(Differential, RandomBitsAndPrimalityTests) {
    RandomSourceReset reset;
    using TestFn = int32_t (*)(const uint8_t*, int32_t, int32_t);
    const std::pair<TestFn, PrimeTest> tests[] = {
        {MPA_FermatTest, PrimeTest::Fermat},
        {MPA_SolovayStrassenTest, PrimeTest::SolovayStrassen},
        {MPA_MillerRabinTest, PrimeTest::MillerRabin},
    };
    for (int i = 0, n = Iterations(1500); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(14, i));
        const unsigned seed = static_cast<unsigned>(CaseSeed(14, i));
        int32_t nBits = g.Uniform(1, 2400);
        int32_t len = (nBits + 7) / 8;
        MPA_CASE_TRACE("GenRandomBits", i, nBits << " bits");
        OutBuf out(len), small(len - 1);
        std::srand(seed);
        ASSERT_EQ(MPA_GenRandomBits(out.data(), len, nBits), len);
        std::srand(seed);
        EXPECT_EQ(Hex(out.Get(len)), Hex(RandBytes(static_cast<size_t>(len))));
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(MPA_GenRandomBits(small.data(), len - 1, nBits), 0);
        EXPECT_TRUE(small.Untouched());

        // Odd numbers, primes and products of two primes, up to 40 bytes.
        Mpz v(g.Operand(40, true, 36));
        int kind = g.Uniform(0, 2);
        if (kind == 1) {
            mpz_nextprime(v, v);
        } else if (kind == 2) {
            Mpz p(g.Operand(20, false, 18)), q(g.Operand(20, false, 18));
            mpz_nextprime(p, p);
            mpz_nextprime(q, q);
            mpz_mul(v, p, q);
        } else {
            mpz_setbit(v, 0);
        }
        Bytes nb = v.ToBytes();
        if (g.Chance(0.3))
            nb.insert(nb.begin(), static_cast<size_t>(g.Uniform(1, 3)), 0);
        int trials = g.Uniform(1, 4);
        for (auto [fn, kindOfTest] : tests) {
            MPA_CASE_TRACE("primality", i, Hex(nb) << " trials " << trials);
            const Bytes n0 = nb;
            std::srand(seed + 17);
            int32_t got = fn(nb.data(), Len(nb), trials);
            int after = std::rand();
            std::srand(seed + 17);
            EXPECT_EQ(got, PrimeTestModel(kindOfTest, v, trials));
            EXPECT_EQ(after, std::rand()) << "different number of random bytes drawn";
            EXPECT_EQ(nb, n0);
        }
    }
}

TEST(Differential, MillerRabinSearch) {
    RandomSourceReset reset;
    for (int i = 0, n = Iterations(300); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(15, i));
        int32_t nBits = g.Chance(0.5) ? g.Uniform(9, 40) : g.Uniform(41, 200);
        int trials = g.Uniform(1, 8);
        int32_t len = (nBits + 7) / 8;
        const unsigned seed = static_cast<unsigned>(CaseSeed(15, i));
        MPA_CASE_TRACE("MillerRabinSearch", i, nBits << " bits, trials " << trials);
        OutBuf out(len), small(len - 1);
        std::srand(seed);
        ASSERT_EQ(MPA_MillerRabinSearch(nBits, trials, out.data(), len), len);
        std::srand(seed);
        Bytes expected = MillerRabinSearchModel(nBits, trials);
        EXPECT_EQ(Hex(out.Get(len)), Hex(expected));
        EXPECT_TRUE(out.GuardIntact());
        Mpz v(out.Get(len));
        EXPECT_GT(v.Cmp(1999), 0);
        if (trials >= 3) {
            EXPECT_GT(mpz_probab_prime_p(v, 30), 0);
        }
        EXPECT_EQ(MPA_MillerRabinSearch(nBits, trials, small.data(), len - 1), -1);
        EXPECT_TRUE(small.Untouched());
    }
}

// The interface lets an output buffer be an input buffer.
TEST(Differential, OutputMayAliasInput) {
    for (int i = 0, n = Iterations(1000); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(16, i));
        Bytes a = g.Operand(150), b = g.Operand(150, false);
        if (Sgn(Mpz(b)) == 0)
            b.back() = 1;
        MPA_CASE_TRACE("alias", i, Hex(a) << ", " << Hex(b));
        Mpz A(a), B(b), r;
        const int32_t w = std::max(Len(a), Len(b));
        auto inPlace = [&](size_t cap) {
            Bytes buf(std::max(cap, a.size()), 0x77);
            std::copy(a.begin(), a.end(), buf.begin());
            return buf;
        };

        Bytes buf = inPlace(static_cast<size_t>(w));
        int32_t carry;
        ASSERT_EQ(MPA_Add(buf.data(), Len(a), b.data(), Len(b), buf.data(), w, &carry), w);
        mpz_add(r, A, B);
        mpz_tdiv_r_2exp(r, r, 8 * static_cast<mp_bitcnt_t>(w));
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + w)), Hex(r.ToWidth(static_cast<size_t>(w))));

        buf = inPlace(static_cast<size_t>(2 * w));
        int32_t ret = MPA_Multiply(buf.data(), Len(a), b.data(), Len(b), buf.data(), 2 * w);
        mpz_mul(r, A, B);
        ASSERT_EQ(ret, Len(r.ToBytes()));
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + ret)), Hex(r.ToBytes()));

        buf = inPlace(a.size());
        Bytes bbuf = b;
        int32_t qs = Len(a), rs = Len(b);
        ASSERT_EQ(
            MPA_Divide(buf.data(), Len(a), bbuf.data(), Len(b), buf.data(), &qs, bbuf.data(), &rs),
            1);
        Mpz q, rem;
        mpz_tdiv_qr(q, rem, A, B);
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + qs)), Hex(q.ToBytes()));
        EXPECT_EQ(Hex(Bytes(bbuf.begin(), bbuf.begin() + rs)), Hex(rem.ToBytes()));

        buf = inPlace(static_cast<size_t>(w));
        ret = MPA_Modular(buf.data(), Len(a), b.data(), Len(b), buf.data(), w);
        ASSERT_EQ(ret, Len(rem.ToBytes()));
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + ret)), Hex(rem.ToBytes()));

        if (Sgn(A) != 0) {
            Bytes e = g.Operand(4);
            buf = inPlace(static_cast<size_t>(w));
            ret = MPA_ModPow(buf.data(), Len(a), e.data(), Len(e), b.data(), Len(b), buf.data(), w);
            Mpz pw(1);
            if (Sgn(Mpz(e)) != 0)
                mpz_powm(pw, A, Mpz(e), B);
            ASSERT_EQ(ret, Len(pw.ToBytes()));
            EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + ret)), Hex(pw.ToBytes()));
        }

        buf = inPlace(a.size());
        ret = mpa::SquareRoot(buf.data(), Len(a), buf.data(), Len(a));
        mpz_sqrt(r, A);
        ASSERT_EQ(ret, Len(r.ToBytes()));
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + ret)), Hex(r.ToBytes()));

        buf = inPlace(a.size());
        int32_t shift = g.Uniform(0, 8 * Len(a));
        ASSERT_EQ(MPA_BitRshift(buf.data(), Len(a), shift, buf.data(), Len(a)), Len(a));
        mpz_tdiv_q_2exp(r, A, static_cast<mp_bitcnt_t>(shift));
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + Len(a))), Hex(r.ToWidth(a.size())));
        buf = inPlace(a.size());
        ASSERT_EQ(MPA_BitLshift(buf.data(), Len(a), shift, buf.data(), Len(a)), Len(a));
        mpz_mul_2exp(r, A, static_cast<mp_bitcnt_t>(shift));
        mpz_tdiv_r_2exp(r, r, 8 * a.size());
        EXPECT_EQ(Hex(Bytes(buf.begin(), buf.begin() + Len(a))), Hex(r.ToWidth(a.size())));
    }
}

} // namespace
