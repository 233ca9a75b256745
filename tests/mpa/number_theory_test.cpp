// Modular powers, Jacobi symbols, the extended Euclidean family and integer
// square roots: edge values, capacity rules and the exact coefficients.
#include "mpa/calculator_ops.h"
#include "mpa_test_util.h"
#include "reference.h"

#include <cmath>

using namespace mpatest;

namespace {

TEST(ModPow, Table) {
    struct Case {
        const char *base, *exp, *m;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"02", "0A", "03 E8", 2, 1, "18"},
        {"03", "00", "05", 1, 1, "01"},
        {"03", "00", "01", 1, 1, "01"}, // a zero exponent gives 1 even modulo 1
        {"03", "00 00", "00 01", 1, 1, "01"},
        {"05", "03", "01", 1, 1, "00"},
        {"07", "05", "07", 1, 1, "00"},
        {"12 34", "01", "64", 1, 1, "3C"}, // exponent 1: base mod m
        {"00 00 01 00", "03", "07", 1, 1, "01"},
        {"FF FF FF", "02", "10", 1, 1, "01"},
        {"02", "FF", "FF FF FF FF FF FF FF FF", 8, 8, "80 00 00 00 00 00 00 00"},
        {"02", "0A", "00 00 03 E8", 2, 1, "18"}, // capacity against m's significant length
        {"02", "0A", "00 00 03 E8", 1, -1, ""},
        {"02", "0A", "03 E8", 1, -1, ""},
        {"03", "00", "03 E8", 1, -1, ""}, // capacity checked before the zero exponent
        {"00", "05", "07", 1, -1, ""},
        {"00 00", "00", "07", 1, -1, ""}, // zero base fails even with a zero exponent
        {"05", "03", "00", 1, -1, ""},
        {"05", "00", "00 00", 2, -1, ""},
    };
    for (const auto& c : cases) {
        Bytes b = H(c.base), e = H(c.exp), m = H(c.m);
        SCOPED_TRACE(std::string(c.base) + " ^ " + c.exp + " mod " + c.m);
        OutBuf out(c.outSize);
        int32_t ret =
            MPA_ModPow(b.data(), Len(b), e.data(), Len(e), m.data(), Len(m), out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        out.ExpectOutcome(ret, c.out);
    }
}

// Powers of two and their neighbours, at every bit position up to 520, with
// the machine-word multiples among them.
TEST(ModPow, PowerOfTwoModuli) {
    const Bytes base = H("4C 99 BB 12 34 56 78 9A BC DE F0 0F"), e = H("01 00 01");
    for (unsigned j = 1; j <= 520 && !HasFailure(); ++j) {
        for (int delta : {-1, 0, 1}) {
            Mpz m;
            mpz_setbit(m, j);
            if (delta < 0)
                mpz_sub_ui(m, m, 1);
            else
                mpz_add_ui(m, m, static_cast<unsigned long>(delta));
            Bytes mb = m.ToBytes();
            SCOPED_TRACE("modulus 2^" + std::to_string(j) + " + " + std::to_string(delta));
            Mpz r;
            mpz_powm(r, Mpz(base), Mpz(e), m);
            OutBuf out(Len(mb));
            int32_t ret = MPA_ModPow(base.data(), Len(base), e.data(), Len(e), mb.data(), Len(mb),
                                     out.data(), out.cap());
            ASSERT_EQ(ret, Len(r.ToBytes()));
            EXPECT_EQ(Hex(out.Get(ret)), Hex(r.ToBytes()));
        }
    }
}

TEST(ModPow, InvalidArguments) {
    Bytes b = H("02"), e = H("03"), m = H("07");
    OutBuf out(1);
    EXPECT_EQ(MPA_ModPow(nullptr, 1, e.data(), 1, m.data(), 1, out.data(), 1), -1);
    EXPECT_EQ(MPA_ModPow(b.data(), 1, nullptr, 1, m.data(), 1, out.data(), 1), -1);
    EXPECT_EQ(MPA_ModPow(b.data(), 1, e.data(), 1, nullptr, 1, out.data(), 1), -1);
    EXPECT_EQ(MPA_ModPow(b.data(), 1, e.data(), 1, m.data(), 1, nullptr, 1), -1);
    EXPECT_EQ(MPA_ModPow(b.data(), 0, e.data(), 1, m.data(), 1, out.data(), 1), -1); // zero base
    EXPECT_EQ(MPA_ModPow(b.data(), 1, e.data(), 1, m.data(), 0, out.data(), 1), -1); // zero m
    EXPECT_TRUE(out.Untouched());

    // An exponent of length 0 has no bytes: it is zero.
    OutBuf one(1);
    ASSERT_EQ(MPA_ModPow(b.data(), 1, e.data(), 0, m.data(), 1, one.data(), 1), 1);
    EXPECT_EQ(Hex(one.Get(1)), "01");
}

TEST(Jacobi, Table) {
    struct Case {
        const char *a, *n;
        int32_t symbol;
    };
    const Case cases[] = {
        {"02", "07", 1},       {"03", "07", -1}, {"05", "0F", 0}, {"00 02", "01 01", 1},
        {"00 01", "07", 1},    {"00", "07", 0},  {"01", "01", 1}, {"05", "01", 1},
        {"0F", "05", 0},       {"02", "03", -1}, {"1E", "23", 0}, {"03 E9", "26 B3", -1},
        {"00 00", "01", 0},    // a zero is answered before anything else, even for n = 1
        {"FF FF", "00 07", 1}, // 65535 = 1 (mod 7)
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), n = H(c.n);
        SCOPED_TRACE(std::string("(") + c.a + " / " + c.n + ")");
        int32_t symbol = 99;
        ASSERT_EQ(MPA_Jacobi(a.data(), Len(a), n.data(), Len(n), &symbol), 1);
        EXPECT_EQ(symbol, c.symbol);
    }
    Bytes n = H("07");
    int32_t symbol = 99;
    ASSERT_EQ(MPA_Jacobi(n.data(), 0, n.data(), 1, &symbol), 1); // aLen 0 reads as zero
    EXPECT_EQ(symbol, 0);
}

TEST(Jacobi, EvenOrZeroModulusFails) {
    const std::pair<const char*, const char*> cases[] = {
        {"03", "08"},    {"01", "08"}, {"00", "08"},       {"03", "00"},
        {"03", "00 00"}, {"05", "02"}, {"01", "00 00 0A"}, {"07", "01 00"},
    };
    for (auto [as, ns] : cases) {
        Bytes a = H(as), n = H(ns);
        SCOPED_TRACE(std::string("(") + as + " / " + ns + ")");
        int32_t symbol = 99;
        EXPECT_EQ(MPA_Jacobi(a.data(), Len(a), n.data(), Len(n), &symbol), 0);
    }
    Bytes a = H("03"), n = H("07");
    int32_t symbol = 99;
    EXPECT_EQ(MPA_Jacobi(a.data(), 1, n.data(), 0, &symbol), 0);
}

// Runs MPA_ExtEuclid with every capacity set to cap and the operand buffers
// given the room the algorithm needs; checks the room is respected.
struct EuclidCall {
    int32_t ret, xSize, ySize;
    Bytes gcd, x, y;
};

EuclidCall ExtEuclid(const Bytes& a, const Bytes& b, int32_t gcdCap, int32_t xCap, int32_t yCap) {
    size_t w = std::max(SigLen(a), SigLen(b));
    WorkBuf wa(a, a.size() - SigLen(a) + w), wb(b, b.size());
    OutBuf g(gcdCap), x(xCap), y(yCap);
    EuclidCall c;
    c.xSize = xCap;
    c.ySize = yCap;
    c.ret = MPA_ExtEuclid(wa.data(), Len(a), wb.data(), Len(b), g.data(), g.cap(), x.data(),
                          &c.xSize, y.data(), &c.ySize);
    c.gcd = g.Get(c.ret);
    c.x = x.Get(c.xSize);
    c.y = y.Get(c.ySize);
    EXPECT_TRUE(wa.GuardIntact() && wb.GuardIntact() && g.GuardIntact() && x.GuardIntact() &&
                y.GuardIntact());
    if (c.ret < 0) {
        EXPECT_TRUE(g.Untouched() && x.Untouched() && y.Untouched());
    }
    return c;
}

// Coefficients worked out by hand from the algorithm, including a negative
// multiple of b written as b (10 x 1 + 3 x (-3) = 1, y = -3 -> 03).
TEST(ExtEuclid, HandWorkedCoefficients) {
    struct Case {
        const char *a, *b, *gcd, *x, *y;
    };
    const Case cases[] = {
        {"0C", "12", "06", "11", "01"}, {"06", "03", "03", "00", "01"},
        {"0A", "03", "01", "01", "03"}, {"05", "01", "01", "00", "01"},
        {"03", "0B", "01", "04", "0A"}, {"00 00 0C", "00 12", "06", "11", "01"},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + ", " + c.b);
        EuclidResult model = ExtEuclidModel(Mpz(a), Mpz(b));
        EXPECT_EQ(Hex(model.gcd), Hex(H(c.gcd)));
        EXPECT_EQ(Hex(model.x), Hex(H(c.x)));
        EXPECT_EQ(Hex(model.y), Hex(H(c.y)));

        int32_t w = static_cast<int32_t>(std::max(SigLen(a), SigLen(b)));
        EuclidCall r = ExtEuclid(a, b, w, w, w);
        ASSERT_EQ(r.ret, Len(H(c.gcd)));
        EXPECT_EQ(Hex(r.gcd), Hex(H(c.gcd)));
        EXPECT_EQ(Hex(r.x), Hex(H(c.x)));
        EXPECT_EQ(Hex(r.y), Hex(H(c.y)));
    }
}

// Structured operand pairs against the step-by-step model.
TEST(ExtEuclid, MatchesModelOnStructuredPairs) {
    const std::pair<const char*, const char*> cases[] = {
        {"05", "01 00 01"},
        {"01 00 01", "05"},
        {"01", "FF FF"},
        {"FF FF", "01"},
        {"12 34", "12 34"},
        {"80 00 00", "40"},
        {"FF FF FF FF", "FF FF"},
        {"00 00 00 07", "00 0E"},
        {"0E", "07"},
        {"DE AD BE EF", "00 00 00 00 01 00 00 00 00 00 00 01"},
        {"01 00", "FF"},
        {"01 00 00 00 00 00 00 00 00", "FF FF FF FF FF FF FF FF"},
        {"62 C4", "3E 80"},
        {"AB CD EF 01 23", "12 34 56 78 9A BC DE F1"},
    };
    for (auto [as, bs] : cases) {
        Bytes a = H(as), b = H(bs);
        SCOPED_TRACE(std::string(as) + ", " + bs);
        EuclidResult model = ExtEuclidModel(Mpz(a), Mpz(b));
        int32_t w = static_cast<int32_t>(std::max(SigLen(a), SigLen(b)));
        EuclidCall r = ExtEuclid(a, b, w, w, w);
        ASSERT_EQ(r.ret, Len(model.gcd));
        EXPECT_EQ(Hex(r.gcd), Hex(model.gcd));
        EXPECT_EQ(Hex(r.x), Hex(model.x));
        EXPECT_EQ(Hex(r.y), Hex(model.y));
        EXPECT_EQ(r.xSize, Len(model.x));
        EXPECT_EQ(r.ySize, Len(model.y));
        Mpz ax, g(r.gcd), bz(b);
        mpz_mul(ax, Mpz(a), Mpz(r.x));
        EXPECT_TRUE(mpz_congruent_p(ax, g, bz)) << "a * x is not the gcd modulo b";
    }
}

TEST(ExtEuclid, CapacitiesAndZeroOperands) {
    Bytes a = H("00 00 12 34 56"), b = H("07");
    EXPECT_EQ(ExtEuclid(a, b, 3, 3, 3).ret, 1); // w counts significant bytes
    EXPECT_EQ(ExtEuclid(a, b, 2, 3, 3).ret, -1);
    EXPECT_EQ(ExtEuclid(a, b, 3, 2, 3).ret, -1);
    EXPECT_EQ(ExtEuclid(a, b, 3, 3, 2).ret, -1);
    EXPECT_EQ(ExtEuclid(b, a, 3, 3, 2).ret, -1);
    EXPECT_EQ(ExtEuclid(H("00"), H("05"), 2, 2, 2).ret, -1);
    EXPECT_EQ(ExtEuclid(H("05"), H("00 00"), 2, 2, 2).ret, -1);

    Bytes x = H("05"), y = H("03");
    uint8_t g[4], cx[4], cy[4];
    int32_t xs = 4, ys = 4;
    EXPECT_EQ(MPA_ExtEuclid(nullptr, 1, y.data(), 1, g, 4, cx, &xs, cy, &ys), -1);
    EXPECT_EQ(MPA_ExtEuclid(x.data(), 1, nullptr, 1, g, 4, cx, &xs, cy, &ys), -1);
    EXPECT_EQ(MPA_ExtEuclid(x.data(), 1, y.data(), 1, nullptr, 4, cx, &xs, cy, &ys), -1);
    EXPECT_EQ(MPA_ExtEuclid(x.data(), 1, y.data(), 1, g, 4, nullptr, &xs, cy, &ys), -1);
    EXPECT_EQ(MPA_ExtEuclid(x.data(), 1, y.data(), 1, g, 4, cx, &xs, nullptr, &ys), -1);
}

// Calls MPA_Gcd or MPA_ModInverse with work-space operand buffers (room for
// the longer significant length in a) and a guarded output.
using GcdFamilyFn = int32_t (*)(uint8_t*, int32_t, uint8_t*, int32_t, uint8_t*, int32_t);
int32_t CallGcdFamily(GcdFamilyFn fn, const Bytes& a, const Bytes& b, int32_t outSize,
                      Bytes* result) {
    size_t w = std::max(SigLen(a), SigLen(b));
    WorkBuf wa(a, a.size() - SigLen(a) + w), wb(b, b.size());
    OutBuf out(outSize);
    int32_t ret = fn(wa.data(), Len(a), wb.data(), Len(b), out.data(), out.cap());
    *result = out.Get(ret);
    EXPECT_TRUE(wa.GuardIntact() && wb.GuardIntact() && out.GuardIntact());
    if (ret < 0) {
        EXPECT_TRUE(out.Untouched());
    }
    return ret;
}

int32_t Gcd(const Bytes& a, const Bytes& b, int32_t outSize, Bytes* result) {
    return CallGcdFamily(&MPA_Gcd, a, b, outSize, result);
}

TEST(Gcd, Table) {
    struct Case {
        const char *a, *b;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"0C", "12", 1, 1, "06"},          {"00", "05", 1, -1, ""},
        {"05", "00", 1, -1, ""},           {"01", "FF", 1, 1, "01"},
        {"FF FF", "FF", 2, 1, "FF"},       {"00 00 10", "00 18", 1, 1, "08"},
        {"12 34 56", "07", 2, -1, ""},     {"12 34 56", "07", 3, 1, "01"},
        {"07", "12 34 56", 2, -1, ""},     {"80 00 00 00", "00 00 40 00", 4, 2, "40 00"},
        {"12 34", "12 34", 2, 2, "12 34"}, {"05", "07", 0, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("gcd(") + c.a + ", " + c.b + ")");
        Bytes result;
        ASSERT_EQ(Gcd(H(c.a), H(c.b), c.outSize, &result), c.ret);
        if (c.ret > 0) {
            EXPECT_EQ(Hex(result), Hex(H(c.out)));
        }
    }
    Bytes a = H("0C"), b = H("12");
    uint8_t out[2];
    EXPECT_EQ(MPA_Gcd(nullptr, 1, b.data(), 1, out, 2), -1);
    EXPECT_EQ(MPA_Gcd(a.data(), 1, nullptr, 1, out, 2), -1);
    EXPECT_EQ(MPA_Gcd(a.data(), 1, b.data(), 1, nullptr, 2), -1);
    EXPECT_EQ(MPA_Gcd(a.data(), 0, b.data(), 1, out, 2), -1);
    EXPECT_EQ(MPA_Gcd(a.data(), 1, b.data(), -1, out, 2), -1);
}

int32_t ModInverse(const Bytes& a, const Bytes& m, int32_t outSize, Bytes* result) {
    return CallGcdFamily(&MPA_ModInverse, a, m, outSize, result);
}

TEST(ModInverse, Table) {
    struct Case {
        const char *a, *m;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"03", "0B", 1, 1, "04"},
        {"02", "04", 1, 0, ""},       // no inverse
        {"01 02 03", "07", 1, 0, ""}, // a longer than outSize: not computed
        {"01 02 03", "07", 3, 1, "06"},
        {"05", "01", 1, 1, "00"},   // modulo 1 everything is 0
        {"03", "00 0B", 1, -1, ""}, // outSize below mLen as given
        {"03", "00 0B", 2, 1, "04"},
        {"00", "0B", 1, 0, ""}, // zero operands: the computation
                                // fails
        {"03", "00", 1, 0, ""},
        {"0A", "03", 1, 1, "01"},
        {"0E", "0F", 1, 1, "0E"},
        {"00 00 03", "0B", 1, 1, "04"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("inverse of ") + c.a + " mod " + c.m);
        Bytes result;
        ASSERT_EQ(ModInverse(H(c.a), H(c.m), c.outSize, &result), c.ret);
        if (c.ret > 0) {
            EXPECT_EQ(Hex(result), Hex(H(c.out)));
        }
    }
    Bytes a = H("03"), m = H("0B");
    uint8_t out[2];
    EXPECT_EQ(MPA_ModInverse(nullptr, 1, m.data(), 1, out, 2), -1);
    EXPECT_EQ(MPA_ModInverse(a.data(), 1, nullptr, 1, out, 2), -1);
    EXPECT_EQ(MPA_ModInverse(a.data(), 1, m.data(), 1, nullptr, 2), -1);
    EXPECT_EQ(MPA_ModInverse(a.data(), 0, m.data(), 1, out, 2), -1);
    EXPECT_EQ(MPA_ModInverse(a.data(), 1, m.data(), 0, out, 2), -1);
}

TEST(SquareRoot, SmallValues) {
    for (unsigned v = 0; v <= 300; ++v) {
        Bytes a = Mpz(v).ToBytes();
        SCOPED_TRACE("sqrt of " + std::to_string(v));
        OutBuf out(1);
        ASSERT_EQ(mpa::SquareRoot(a.data(), Len(a), out.data(), 1), 1);
        EXPECT_EQ(out.Get(1)[0], static_cast<uint8_t>(std::sqrt(static_cast<double>(v))));
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(SquareRoot, Table) {
    struct Case {
        const char* a;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"50", 1, 1, "08"},
        {"51", 1, 1, "09"},
        {"00 03", 1, 1, "01"},
        {"18", 1, 1, "04"},
        {"00 00 00 18", 1, 1, "04"},
        {"FF FF", 1, 1, "FF"},
        {"00 00 00 FF FF", 1, 1, "FF"},
        {"01 00 00", 2, 2, "01 00"},
        {"01 00 00", 1, -1, ""}, // 17 bits: the root takes 9 bits, 2 bytes
        {"FF FF FF FF FF FF FF FF", 32, 4, "FF FF FF FF"},
        {"FF FF FF FF FF FF FF FF", 4, 4, "FF FF FF FF"},
        {"FF FF FF FF FF FF FF FF", 3, -1, ""},
        {"01 00 00 00 00 00 00 00 00", 5, 5, "01 00 00 00 00"},
        {"00 FF FF FF FF FF FF FF FF", 4, 4, "FF FF FF FF"},
        {"00", 0, -1, ""},
        {"00 00", 1, 1, "00"},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a);
        SCOPED_TRACE(std::string("sqrt of ") + c.a + " into " + std::to_string(c.outSize));
        OutBuf out(c.outSize);
        int32_t ret = mpa::SquareRoot(a.data(), Len(a), out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        out.ExpectOutcome(ret, c.out);
    }
    Bytes a = H("10");
    uint8_t out[1];
    EXPECT_EQ(mpa::SquareRoot(nullptr, 1, out, 1), -1);
    EXPECT_EQ(mpa::SquareRoot(a.data(), 1, nullptr, 1), -1);
    EXPECT_EQ(mpa::SquareRoot(a.data(), 0, out, 1), -1);
}

} // namespace
