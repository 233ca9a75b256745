// The paths that ordinary test operands do not reach: the BMI2/ADX row
// kernels against the portable ones, the AVX-512 IFMA powers at every width, and the recursive
// products, squares, powers and roots with their thresholds lowered so that operands of a few limbs
// recurse all the way down. Results are checked against GMP.
#include "mpa/calculator_ops.h"
#include "mpa/cpu_features.h"
#include "mpa/limb_ifma.h"
#include "mpa/limb_kernels.h"
#include "mpa/tuning.h"
#include "mpa_test_util.h"

using namespace mpatest;
using mpa::limb::limb_t;

namespace {

// Limbs at the carry edges: 0, 1, all ones, the top bit alone, random.
std::vector<limb_t> Limbs(Gen& g, size_t n) {
    std::vector<limb_t> v(n);
    int kind = g.Uniform(0, 4);
    for (auto& x : v) {
        switch (kind) {
        case 0:
            x = ~limb_t{0};
            break;
        case 1:
            x = g.Chance(0.5) ? ~limb_t{0} : 0;
            break;
        case 2:
            x = limb_t{1} << 63;
            break;
        default:
            x = g.Next();
        }
    }
    return v;
}

TEST(FastPaths, AdxRowKernelsMatchPortable) {
    const auto& cpu = mpa::DetectedCpuFeatures();
    if (!mpa::limb::adx::Available() || !cpu.bmi2 || !cpu.adx)
        GTEST_SKIP() << "this CPU has no BMI2/ADX";
    using Kernel = limb_t (*)(limb_t*, const limb_t*, size_t, limb_t);
    const struct {
        const char* name;
        Kernel fast, portable;
    } kernels[] = {
        {"Mul1", &mpa::limb::adx::Mul1, &mpa::limb::portable::Mul1},
        {"AddMul1", &mpa::limb::adx::AddMul1, &mpa::limb::portable::AddMul1},
        {"SubMul1", &mpa::limb::adx::SubMul1, &mpa::limb::portable::SubMul1},
    };
    for (int i = 0, count = Iterations(4000); i < count && !HasFailure(); ++i) {
        Gen g(CaseSeed(40, i));
        // Every remainder of the four-limb unrolling, and long rows.
        size_t n = static_cast<size_t>(i % 3 == 0 ? g.Uniform(1, 70) : g.Uniform(0, 9));
        std::vector<limb_t> a = Limbs(g, n), r0 = Limbs(g, n);
        std::vector<limb_t> b = Limbs(g, 1);
        for (const auto& k : kernels) {
            SCOPED_TRACE(::testing::Message() << k.name << " case " << i << " n " << n);
            std::vector<limb_t> rf = r0, rp = r0;
            // A guard limb past the row must stay as it was.
            rf.push_back(0x5C5C5C5C5C5C5C5Cull);
            rp.push_back(0x5C5C5C5C5C5C5C5Cull);
            limb_t cf = k.fast(rf.data(), a.data(), n, b[0]);
            limb_t cp = k.portable(rp.data(), a.data(), n, b[0]);
            EXPECT_EQ(cf, cp);
            EXPECT_EQ(rf, rp);
        }
        // The two whole-operand steps, on 2n limbs (results modulo B^2n).
        std::vector<limb_t> t0 = Limbs(g, 2 * n);
        std::vector<limb_t> tf = t0, tp = t0;
        mpa::limb::adx::RedcRows(tf.data(), a.data(), n, b[0]);
        mpa::limb::portable::RedcRows(tp.data(), a.data(), n, b[0]);
        EXPECT_EQ(tf, tp) << "RedcRows case " << i << " n " << n;
        tf = t0;
        tp = t0;
        mpa::limb::adx::SqrDiagonal(tf.data(), a.data(), n);
        mpa::limb::portable::SqrDiagonal(tp.data(), a.data(), n);
        EXPECT_EQ(tf, tp) << "SqrDiagonal case " << i << " n " << n;
        // Whole base-case products, and the fixed 4 x 4 one on edge limbs.
        if (n > 0) {
            std::vector<limb_t> c = Limbs(g, static_cast<size_t>(g.Uniform(1, int(n))));
            tf.assign(n + c.size(), 0);
            tp = tf;
            mpa::limb::adx::MulBasecase(tf.data(), a.data(), n, c.data(), c.size());
            mpa::limb::portable::MulBasecase(tp.data(), a.data(), n, c.data(), c.size());
            EXPECT_EQ(tf, tp) << "MulBasecase case " << i << " n " << n;
        }
        std::vector<limb_t> x = Limbs(g, 4), y = Limbs(g, 4), pf(8), pp(8);
        mpa::limb::adx::Mul4x4(pf.data(), x.data(), y.data());
        mpa::limb::portable::Mul4x4(pp.data(), x.data(), y.data());
        EXPECT_EQ(pf, pp) << "Mul4x4 case " << i;
    }
}

// Thresholds low enough that a product of a few limbs recurses to the base.
std::vector<mpa::tuning::Thresholds> LoweredThresholds() {
    std::vector<mpa::tuning::Thresholds> all;
    for (size_t t : {2, 3, 4, 5, 8}) {
        mpa::tuning::Thresholds th;
        th.mulKaratsuba = t;
        th.sqrKaratsuba = t + 1;
        th.ifmaPowLimbs = t - 1; // down to one-limb moduli
        // 52-bit products of a few limbs, and Karatsuba above them.
        th.ifmaMulLimbs = t - 1;
        th.ifmaSqrLimbs = t;
        th.ifmaMulMaxLimbs = 3 * t;
        th.divRecursiveLimbs = t;
        all.push_back(th);
    }
    return all;
}

// Runs body once per set of lowered thresholds and once with the portable
// kernels selected as well, so both kernel sets reach the recursive paths.
template <class Body> void ForEachLoweredThreshold(Body body) {
    for (bool fast : {true, false}) {
        mpa::SelectFastKernels(fast);
        int set = 0;
        for (const auto& th : LoweredThresholds()) {
            mpa::tuning::ScopedThresholds scoped(th);
            SCOPED_TRACE(::testing::Message() << (fast ? "fast" : "portable") << " kernels, "
                                              << "mul threshold " << th.mulKaratsuba);
            body(set++);
        }
    }
    mpa::SelectFastKernels(true);
}

TEST(FastPaths, RecursiveProductsAndSquares) {
    ForEachLoweredThreshold([](int set) {
        for (int i = 0, n = Iterations(300); i < n && !::testing::Test::HasFailure(); ++i) {
            Gen g(CaseSeed(41, 1000 * set + i));
            Bytes a = g.Operand(300, true, 300), b;
            int kind = g.Uniform(0, 3);
            if (kind == 0)
                b = a; // a square
            else if (kind == 1)
                b = Bytes(a.size(), 0xFF); // the widest partial products
            else
                b = g.Operand(300, true, 300);
            MPA_CASE_TRACE("product", i, Hex(a) << " * " << Hex(b));
            Mpz p;
            mpz_mul(p, Mpz(a), Mpz(b));
            int32_t cap = 2 * std::max(Len(a), Len(b));
            OutBuf out(cap);
            int32_t ret = MPA_Multiply(a.data(), Len(a), b.data(), Len(b), out.data(), cap);
            ASSERT_EQ(ret, Len(p.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(p.ToBytes()));
            EXPECT_TRUE(out.GuardIntact());
        }
    });
}

TEST(FastPaths, RecursiveModularPowers) {
    ForEachLoweredThreshold([](int set) {
        for (int i = 0, n = Iterations(40); i < n && !::testing::Test::HasFailure(); ++i) {
            Gen g(CaseSeed(42, 1000 * set + i));
            Bytes m = g.Operand(120, false), base = g.Operand(130, false);
            Bytes e = g.Operand(g.Chance(0.8) ? 8 : 40);
            if (g.Chance(0.5))
                m.back() |= 1;
            Mpz B(base), E(e), M(m);
            if (Sgn(B) == 0 || Sgn(M) == 0)
                continue;
            MPA_CASE_TRACE("power", i, Hex(base) << " ^ " << Hex(e) << " mod " << Hex(m));
            Mpz r(1);
            if (Sgn(E) != 0)
                mpz_powm(r, B, E, M);
            int32_t k = static_cast<int32_t>(SigLen(m));
            OutBuf out(k);
            int32_t ret = MPA_ModPow(base.data(), Len(base), e.data(), Len(e), m.data(), Len(m),
                                     out.data(), k);
            ASSERT_EQ(ret, Len(r.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
        }
    });
}

// Widths one limb either side of the measured thresholds (and of twice
// them, where a split half crosses again), in bytes one either side of the
// word edge, for products, squares, roots and decimal conversions, with the
// thresholds as shipped.
TEST(FastPaths, WidthsAroundTheShippedThresholds) {
    const mpa::tuning::Thresholds th;
    std::vector<size_t> limbs;
    for (size_t t : {th.mulKaratsuba, th.sqrKaratsuba, th.radixRecursiveLimbs})
        for (size_t m : {size_t{1}, size_t{2}})
            for (size_t d : {m * t - 1, m * t, m * t + 1})
                limbs.push_back(d);
    for (bool fast : {true, false}) {
        mpa::SelectFastKernels(fast);
        for (size_t i = 0; i < limbs.size() && !HasFailure(); ++i) {
            Gen g(CaseSeed(45, static_cast<int>(i) + (fast ? 0 : 100)));
            for (int edge : {-1, 0, 1}) {
                const int bytes = static_cast<int>(8 * limbs[i]) + edge;
                Bytes a = g.Chance(0.3) ? Bytes(static_cast<size_t>(bytes), 0xFF) : g.Exact(bytes);
                Bytes b = g.Exact(bytes), c = g.Exact(g.Uniform(bytes / 3 + 1, bytes));
                MPA_CASE_TRACE("width", i, bytes << " bytes, " << (fast ? "fast" : "portable"));
                for (const Bytes* y : {&a, &b, &c}) {
                    Mpz p;
                    mpz_mul(p, Mpz(a), Mpz(*y));
                    int32_t cap = 2 * std::max(Len(a), Len(*y));
                    OutBuf out(cap);
                    int32_t ret =
                        MPA_Multiply(a.data(), Len(a), y->data(), Len(*y), out.data(), cap);
                    ASSERT_EQ(ret, Len(p.ToBytes()));
                    EXPECT_EQ(Hex(out.Get(ret)), Hex(p.ToBytes()));
                }
                Mpz root;
                mpz_sqrt(root, Mpz(b));
                OutBuf out(Len(b));
                int32_t ret = mpa::SquareRoot(b.data(), Len(b), out.data(), out.cap());
                ASSERT_EQ(ret, Len(root.ToBytes()));
                EXPECT_EQ(Hex(out.Get(ret)), Hex(root.ToBytes()));
            }
        }
    }
    mpa::SelectFastKernels(true);
}

// An even modulus m = 2^t mo is split into a power modulo the odd mo and one
// modulo 2^t; t runs across the word edges, mo from 1 to several words.
TEST(FastPaths, EvenModuliSplitByTheirPowerOfTwo) {
    for (int i = 0, n = Iterations(400); i < n && !HasFailure(); ++i) {
        Gen g(CaseSeed(44, i));
        const unsigned kShifts[] = {1, 2, 63, 64, 65, 127, 128, 129, 300, 700};
        unsigned t = kShifts[i % 10];
        Mpz M(g.Operand(g.Chance(0.2) ? 1 : 90, false));
        mpz_setbit(M, 0);
        mpz_mul_2exp(M, M, t);
        Bytes base = g.Operand(200, false), e = g.Operand(g.Chance(0.7) ? 3 : 40);
        Bytes m = M.ToBytes();
        Mpz B(base), E(e);
        if (Sgn(B) == 0)
            continue;
        MPA_CASE_TRACE("even modulus", i, Hex(base) << " ^ " << Hex(e) << " mod " << Hex(m));
        Mpz r(1);
        if (Sgn(E) != 0)
            mpz_powm(r, B, E, M);
        OutBuf out(Len(m));
        int32_t ret = MPA_ModPow(base.data(), Len(base), e.data(), Len(e), m.data(), Len(m),
                                 out.data(), out.cap());
        ASSERT_EQ(ret, Len(r.ToBytes()));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
    }
}

// The 52-bit products alone, at every vector count of the longer factor up
// to the widest it takes (past the kernels that keep the accumulator in
// registers), against shorter factors of one digit to as many as it has.
TEST(FastPaths, IfmaProductsAtEveryVectorCount) {
    mpa::tuning::Thresholds th;
    th.ifmaMulLimbs = 1;
    th.ifmaSqrLimbs = 1;
    th.ifmaMulMaxLimbs = mpa::limb::ifma::kMaxLimbs;
    mpa::tuning::ScopedThresholds scoped(th);
    for (size_t v = 1, i = 0; v <= 79 && !HasFailure(); v += v < 24 ? 1 : 11, ++i) {
        // The widest factor of v vectors: 8v digits of 52 bits.
        const int bytes = static_cast<int>(std::min<size_t>(8 * v * 52 / 8, 8 * 512));
        Gen g(CaseSeed(49, static_cast<int>(i)));
        Bytes a = g.Chance(0.3) ? Bytes(static_cast<size_t>(bytes), 0xFF) : g.Exact(bytes);
        for (int bb : {1, 7, g.Uniform(1, bytes), bytes}) {
            Bytes b = bb == bytes && g.Chance(0.5) ? a : g.Exact(bb);
            MPA_CASE_TRACE("IFMA product", static_cast<int>(i), bytes << " x " << bb << " bytes");
            Mpz p;
            mpz_mul(p, Mpz(a), Mpz(b));
            OutBuf out(2 * Len(a));
            int32_t ret = MPA_Multiply(a.data(), Len(a), b.data(), Len(b), out.data(), out.cap());
            ASSERT_EQ(ret, Len(p.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(p.ToBytes()));
        }
    }
}

// Division by halves, with quotients of all ones and divisors whose top limbs
// say least about the rest (top bit then zeros, then ones), where the
// estimated quotient halves need their corrections; remainders up to d - 1.
TEST(FastPaths, RecursiveDivision) {
    ForEachLoweredThreshold([](int set) {
        for (int i = 0, n = Iterations(300); i < n && !::testing::Test::HasFailure(); ++i) {
            Gen g(CaseSeed(48, 1000 * set + i));
            const int db = g.Uniform(1, 150), qb = g.Uniform(1, 150);
            Bytes d = g.Exact(db), q = g.Exact(qb);
            switch (g.Uniform(0, 3)) {
            case 0:
                d.assign(static_cast<size_t>(db), 0xFF);
                break;
            case 1:
                std::fill(d.begin(), d.end(), 0);
                d[0] = 0x80;
                std::fill(d.begin() + std::min(db, 8), d.end(), 0xFF);
                break;
            default:
                break;
            }
            if (g.Chance(0.4))
                q.assign(static_cast<size_t>(qb), 0xFF);
            Mpz D(d), A, R;
            mpz_mul(A, D, Mpz(q));
            if (g.Chance(0.5))
                mpz_sub_ui(R, D, 1);
            else
                mpz_tdiv_r(R, Mpz(g.Exact(db)), D);
            mpz_add(A, A, R);
            Bytes a = A.ToBytes();
            MPA_CASE_TRACE("division", i, Hex(a) << " / " << Hex(d));
            Mpz wantQ, wantR;
            mpz_tdiv_qr(wantQ, wantR, A, D);
            OutBuf qo(Len(a)), ro(Len(d));
            int32_t qs = Len(a), rs = Len(d);
            ASSERT_EQ(
                MPA_Divide(a.data(), Len(a), d.data(), Len(d), qo.data(), &qs, ro.data(), &rs), 1);
            EXPECT_EQ(Hex(qo.Get(qs)), Hex(wantQ.ToBytes()));
            EXPECT_EQ(Hex(ro.Get(rs)), Hex(wantR.ToBytes()));
        }
    });
}

// The word-level root with its remainder, which the calculator never shows:
// every width up to 40 limbs, at the edges where the recursion's estimate is
// one too big (squares and their neighbours), all ones, and the smallest
// normalised top limb.
TEST(FastPaths, SquareRootRemaindersAtEveryWidth) {
    for (size_t n = 1, i = 0; n <= 40 && !HasFailure(); ++n) {
        for (int kind = 0; kind < 5; ++kind, ++i) {
            Gen g(CaseSeed(50, static_cast<int>(i)));
            std::vector<limb_t> a(2 * n);
            for (auto& x : a)
                x = kind == 2 ? ~limb_t{0} : g.Next();
            if (kind == 3)
                a[2 * n - 1] = limb_t{1} << 62;
            a[2 * n - 1] |= limb_t{1} << 62;
            Mpz A, S, R;
            mpz_import(A, a.size(), -1, sizeof(limb_t), 0, 0, a.data());
            if (kind <= 1) {
                // A square, or one below a square, of the same width.
                mpz_sqrt(S, A);
                mpz_mul(A, S, S);
                if (kind == 1)
                    mpz_sub_ui(A, A, 1);
                a.assign(2 * n, 0);
                mpz_export(a.data(), nullptr, -1, sizeof(limb_t), 0, 0, A);
            }
            mpz_sqrtrem(S, R, A);
            std::vector<limb_t> s(n), r(n + 1), ws(n), wr(n + 1);
            r[n] = mpa::limb::SqrtRem(s.data(), r.data(), a.data(), n);
            mpz_export(ws.data(), nullptr, -1, sizeof(limb_t), 0, 0, S);
            mpz_export(wr.data(), nullptr, -1, sizeof(limb_t), 0, 0, R);
            EXPECT_EQ(s, ws) << n << " limbs, kind " << kind;
            EXPECT_EQ(r, wr) << n << " limbs, kind " << kind;
        }
    }
}

TEST(FastPaths, RecursiveSquareRoots) {
    ForEachLoweredThreshold([](int set) {
        for (int i = 0, n = Iterations(300); i < n && !::testing::Test::HasFailure(); ++i) {
            Gen g(CaseSeed(43, 1000 * set + i));
            Bytes a = g.Operand(300, true, 300);
            Mpz A(a), root;
            // Perfect squares and their neighbours, where the correction step acts.
            if (g.Chance(0.3)) {
                mpz_mul(A, A, A);
                if (Sgn(A) != 0 && g.Chance(0.5))
                    mpz_sub_ui(A, A, 1);
                a = A.ToBytes();
            }
            MPA_CASE_TRACE("root", i, Hex(a));
            mpz_sqrt(root, A);
            OutBuf out(Len(a));
            int32_t ret = mpa::SquareRoot(a.data(), Len(a), out.data(), out.cap());
            ASSERT_EQ(ret, Len(root.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(root.ToBytes()));
        }
    });
}

// The carry pass at the end of every 52-bit product, against a scalar ripple:
// runs of lanes equal to 2^52 - 1 that a carry must cross, within a vector
// and across vector edges, under carries of every size.
TEST(FastPaths, IfmaDigitNormalisationRipplesLikeScalarCarries) {
    if (!mpa::UsingIfmaKernels())
        GTEST_SKIP() << "the AVX-512 IFMA kernels are not in use";
    constexpr uint64_t kTop = (uint64_t{1} << 52) - 1;
    for (int i = 0, count = Iterations(3000); i < count && !HasFailure(); ++i) {
        Gen g(CaseSeed(46, i));
        const size_t nv = static_cast<size_t>(i % 5 == 0 ? g.Uniform(9, 79) : g.Uniform(1, 4));
        std::vector<uint64_t> lanes(8 * nv);
        for (auto& x : lanes) {
            switch (g.Uniform(0, 5)) {
            case 0:
            case 1:
                x = kTop; // passes a carry on
                break;
            case 2:
                x = kTop + 1 + (g.Next() % 4096); // carries one
                break;
            case 3:
                x = g.Next() >> 1; // redundant: carries thousands
                break;
            default:
                x = g.Next() & kTop;
            }
        }
        // The value must stay below 2^(52 lanes): the top lanes take no carry out.
        lanes[lanes.size() - 1] = 0;
        lanes[lanes.size() - 2] &= kTop >> 1;
        std::vector<uint64_t> want(lanes.size());
        unsigned __int128 carry = 0;
        for (size_t j = 0; j < lanes.size(); ++j) {
            carry += lanes[j];
            want[j] = static_cast<uint64_t>(carry) & kTop;
            carry >>= 52;
        }
        mpa::limb::ifma::NormalizeDigits(lanes.data(), nv);
        EXPECT_EQ(lanes, want) << "case " << i << ", " << nv << " vectors";
    }
}

// Odd moduli at the widths where the 52-bit representation changes shape:
// a digit more (bit lengths 52j - 3 .. 52j - 1, since R must exceed 4m), a
// vector more (416 v - 3 .. 416 v - 1), the kernels with the accumulator in
// registers and the one for any width, the widest modulus on this path and
// the first past it; moduli of all ones (4m just below R), bases m - 1, m, 1
// and above m. Checked against GMP, on whichever path this CPU takes.
TEST(FastPaths, OddModulusPowersAtEveryDigitAndVectorWidth) {
    std::vector<int> bits;
    for (int j : {2, 5, 6, 7, 8, 9, 16, 17, 40, 41})
        for (int d : {3, 2, 1})
            bits.push_back(52 * j - d);
    for (int v = 1; v <= 22; ++v)
        for (int d : {2, 1})
            bits.push_back(416 * v - d);
    for (int b : {32768 - 1, 32768, 32768 + 1})
        bits.push_back(b);
    for (size_t i = 0; i < bits.size() && !HasFailure(); ++i) {
        Gen g(CaseSeed(47, static_cast<int>(i)));
        const int n = bits[i];
        Mpz M;
        if (i % 3 == 0) {
            mpz_setbit(M, static_cast<mp_bitcnt_t>(n));
            mpz_sub_ui(M, M, 1);
        } else {
            M = Mpz(g.Exact((n + 7) / 8));
            mpz_fdiv_r_2exp(M, M, static_cast<mp_bitcnt_t>(n));
            mpz_setbit(M, static_cast<mp_bitcnt_t>(n - 1));
            mpz_setbit(M, 0);
        }
        Mpz B;
        switch (i % 4) {
        case 0:
            mpz_sub_ui(B, M, 1);
            break;
        case 1:
            B = Mpz(g.Exact((n + 7) / 8 + 3)); // above m
            break;
        case 2:
            if (g.Chance(0.5))
                B = M; // zero once reduced
            else
                B = Mpz(1ul);
            break;
        default:
            B = Mpz(g.Exact((n + 7) / 8));
        }
        Bytes e = g.Chance(0.3) ? Bytes(static_cast<size_t>(g.Uniform(1, 12)), 0xFF)
                                : g.Exact(g.Uniform(1, 24));
        Bytes m = M.ToBytes(), base = B.ToBytes();
        if (base.empty())
            base = Bytes(1, 0);
        MPA_CASE_TRACE("odd modulus width", static_cast<int>(i), n << " bits");
        Mpz r;
        mpz_powm(r, B, Mpz(e), M);
        OutBuf out(Len(m));
        int32_t ret = MPA_ModPow(base.data(), Len(base), e.data(), Len(e), m.data(), Len(m),
                                 out.data(), out.cap());
        ASSERT_EQ(ret, Len(r.ToBytes()));
        EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
    }
}

} // namespace
