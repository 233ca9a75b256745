// Multiplication, division, remainder and Barrett reduction: edge values,
// capacity rules counted on the lengths as given, division by zero.
#include "mpa_test_util.h"

using namespace mpatest;

namespace {

TEST(Multiply, Table) {
    struct Case {
        const char *a, *b;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"00 00", "12 34", 4, 1, "00"},
        {"FF", "FF", 2, 2, "FE 01"},
        {"01 00", "01 00", 4, 3, "01 00 00"},
        {"FF", "01 00", 3, -1, ""}, // 2 * bLen = 4
        {"00 00 00", "05", 6, 1, "00"},
        {"00 05", "00 07", 4, 1, "23"},
        {"FF FF", "FF FF", 4, 4, "FF FE 00 01"},
        {"01", "00 00 00 00 00 FF", 12, 1, "FF"},
        {"00 00 00 00", "01", 7, -1, ""}, // 2 * aLen = 8, though the product is one byte
        {"00", "00", 2, 1, "00"},
        {"80", "02", 2, 2, "01 00"},
        {"12 34 56", "00 00 00 00 00", 10, 1, "00"},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " * " + c.b);
        OutBuf out(c.outSize);
        int32_t ret = MPA_Multiply(a.data(), Len(a), b.data(), Len(b), out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        out.ExpectOutcome(ret, c.out);
    }
}

TEST(Multiply, InvalidArguments) {
    Bytes a = H("02"), b = H("03");
    OutBuf out(8);
    EXPECT_EQ(MPA_Multiply(nullptr, 1, b.data(), 1, out.data(), 8), -1);
    EXPECT_EQ(MPA_Multiply(a.data(), 1, nullptr, 1, out.data(), 8), -1);
    EXPECT_EQ(MPA_Multiply(a.data(), 1, b.data(), 1, nullptr, 8), -1);
    EXPECT_EQ(MPA_Multiply(a.data(), 0, b.data(), 1, out.data(), 8), -1);
    EXPECT_EQ(MPA_Multiply(a.data(), 1, b.data(), -2, out.data(), 8), -1);
    // 2 * aLen must not wrap around: the capacity check comes before any read.
    EXPECT_EQ(MPA_Multiply(a.data(), 0x40000001, b.data(), 1, out.data(), 8), -1);
    EXPECT_EQ(MPA_Multiply(a.data(), 1, b.data(), 0x7FFFFFFF, out.data(), 8), -1);
    EXPECT_TRUE(out.Untouched());
}

struct DivideCall {
    int32_t ret, qSize, rSize;
    Bytes q, r;
    bool qUntouched, guardsIntact;
};

DivideCall Divide(const Bytes& a, const Bytes& b, int32_t qCap, int32_t rCap) {
    OutBuf q(qCap), r(rCap);
    DivideCall c;
    c.qSize = qCap;
    c.rSize = rCap;
    c.ret = MPA_Divide(a.data(), Len(a), b.data(), Len(b), q.data(), &c.qSize, r.data(), &c.rSize);
    c.q = q.Get(c.qSize);
    c.r = r.Get(c.rSize);
    c.qUntouched = q.Untouched();
    c.guardsIntact = q.GuardIntact() && r.GuardIntact();
    return c;
}

TEST(Divide, Table) {
    struct Case {
        const char *a, *b, *q, *r;
    };
    const Case cases[] = {
        {"05", "07", "00", "05"},
        {"07", "07", "01", "00"},
        {"00 00", "03", "00", "00"},
        {"01 00 00", "01 01", "FF", "01"},
        {"12 34 56 78", "00 FF", "12 46 9D", "15"},
        {"00 00 0A", "00 03", "03", "01"},
        {"FF FF FF FF", "FF FF", "01 00 01", "00"},
        {"01 00 00 00 00", "80", "02 00 00 00", "00"},
        {"01 00 00 00 00", "FF", "01 01 01 01", "01"},
        {"00 05", "00 00 07", "00", "05"},
        {"00 00 07", "00 07", "01", "00"},
        {"FF FF FF FF FF FF", "01", "FF FF FF FF FF FF", "00"},
        {"01 00 00 00 00 00 00 00 00", "01 00 00 00 01", "FF FF FF FF", "01"},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        DivideCall d = Divide(a, b, Len(a), Len(b));
        ASSERT_EQ(d.ret, 1);
        EXPECT_EQ(Hex(d.q), Hex(H(c.q)));
        EXPECT_EQ(Hex(d.r), Hex(H(c.r)));
        EXPECT_EQ(d.qSize, Len(H(c.q)));
        EXPECT_EQ(d.rSize, Len(H(c.r)));
        EXPECT_TRUE(d.guardsIntact);
    }
}

TEST(Divide, ByZeroKeepsQuotientAndClearsRemainder) {
    const std::pair<const char*, const char*> cases[] = {
        {"01 00", "00"}, {"00", "00"}, {"01 00", "00 00 00"}, {"FF FF FF", "00 00"}};
    for (auto [as, bs] : cases) {
        Bytes a = H(as), b = H(bs);
        SCOPED_TRACE(std::string(as) + " / " + bs);
        DivideCall d = Divide(a, b, Len(a), Len(b));
        EXPECT_EQ(d.ret, 0);
        EXPECT_TRUE(d.qUntouched);
        EXPECT_EQ(d.qSize, Len(a));
        EXPECT_EQ(d.rSize, 1);
        EXPECT_EQ(Hex(d.r), "00");
        EXPECT_TRUE(d.guardsIntact);
    }
}

TEST(Divide, CapacitiesCountedOnGivenLengths) {
    struct Case {
        const char *a, *b;
        int32_t qCap, rCap;
    };
    // Each fails although the significant digits would fit.
    const Case cases[] = {
        {"00 00 0A", "03", 2, 1},
        {"0A", "00 03", 1, 1},
        {"01 00", "00", 1, 1}, // checked before the division by zero
        {"05", "07", 0, 1},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        OutBuf q(c.qCap), r(c.rCap);
        int32_t qSize = c.qCap, rSize = c.rCap;
        EXPECT_EQ(
            MPA_Divide(a.data(), Len(a), b.data(), Len(b), q.data(), &qSize, r.data(), &rSize), 0);
        EXPECT_TRUE(q.Untouched());
        EXPECT_TRUE(r.Untouched());
        EXPECT_EQ(qSize, c.qCap);
        EXPECT_EQ(rSize, c.rCap);
    }
}

TEST(Divide, InvalidArguments) {
    Bytes a = H("10"), b = H("03");
    OutBuf q(4), r(4);
    int32_t qs = 4, rs = 4;
    EXPECT_EQ(MPA_Divide(nullptr, 1, b.data(), 1, q.data(), &qs, r.data(), &rs), 0);
    EXPECT_EQ(MPA_Divide(a.data(), 1, nullptr, 1, q.data(), &qs, r.data(), &rs), 0);
    EXPECT_EQ(MPA_Divide(a.data(), 1, b.data(), 1, nullptr, &qs, r.data(), &rs), 0);
    EXPECT_EQ(MPA_Divide(a.data(), 1, b.data(), 1, q.data(), &qs, nullptr, &rs), 0);
    EXPECT_EQ(MPA_Divide(a.data(), 0, b.data(), 1, q.data(), &qs, r.data(), &rs), 0);
    EXPECT_EQ(MPA_Divide(a.data(), 1, b.data(), 0, q.data(), &qs, r.data(), &rs), 0);
    EXPECT_TRUE(q.Untouched());
    EXPECT_TRUE(r.Untouched());
    EXPECT_EQ(qs, 4);
    EXPECT_EQ(rs, 4);
}

TEST(Modular, Table) {
    struct Case {
        const char *a, *m;
        int32_t outSize, ret;
        const char* out;
    };
    const Case cases[] = {
        {"00 05", "07", 1, 1, "05"},
        {"12 34 56 78", "00 FF", 2, 1, "15"},
        {"FF", "01", 1, 1, "00"},
        {"0A", "00 05", 2, 1, "00"},
        {"00 00", "09", 1, 1, "00"},
        {"01 00 00", "01 01", 2, 1, "01"},
        {"12 34", "56 78 9A", 3, 2, "12 34"},
        {"12 34", "00", 1, -1, ""},
        {"12 34", "00 00", 2, -1, ""},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), m = H(c.m);
        SCOPED_TRACE(std::string(c.a) + " mod " + c.m);
        OutBuf out(c.outSize);
        int32_t ret = MPA_Modular(a.data(), Len(a), m.data(), Len(m), out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        if (ret > 0) {
            EXPECT_EQ(Hex(out.Get(ret)), Hex(H(c.out)));
        }
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(Modular, InvalidArgumentsWriteNothing) {
    Bytes a = H("0A"), m = H("00 05");
    OutBuf out(2), small(1);
    EXPECT_EQ(MPA_Modular(a.data(), 1, m.data(), 2, small.data(), 1), -1); // outSize < mLen
    EXPECT_TRUE(small.Untouched());
    EXPECT_EQ(MPA_Modular(a.data(), 0, m.data(), 2, out.data(), 2), -1);
    EXPECT_EQ(MPA_Modular(a.data(), 1, m.data(), 0, out.data(), 2), -1);
    EXPECT_EQ(MPA_Modular(nullptr, 1, m.data(), 2, out.data(), 2), -1);
    EXPECT_EQ(MPA_Modular(a.data(), 1, nullptr, 2, out.data(), 2), -1);
    EXPECT_EQ(MPA_Modular(a.data(), 1, m.data(), 2, nullptr, 2), -1);
    EXPECT_TRUE(out.Untouched());
}

// floor(256^(2k) / m) for k = mLen.
Bytes BarrettMu(const Bytes& m) {
    Mpz b(1), mz(m);
    mpz_mul_2exp(b, b, 16 * m.size());
    mpz_tdiv_q(b, b, mz);
    return b.ToBytes();
}

TEST(BarrettReduction, Table) {
    struct Case {
        const char *x, *m;
        int32_t ret;
        const char* out;
    };
    const Case cases[] = {
        {"12", "34", 1, "12"},             // x < m: copied
        {"00 12", "01 34", 2, "00 12"},    // copied with its leading zero
        {"00 00", "01 00", 2, "00 00"},    // zero below m is copied too
        {"01 34", "01 34", 1, "00"},       // x = m
        {"00 01 34", "01 34", 1, "00"},    // x = m, but xLen > mLen: reduced
        {"01 35", "01 34", 1, "01"},       // x > m of the same length
        {"00 00 00 12", "01 34", 1, "12"}, // x < m, but xLen > mLen: reduced, no zeros
        {"FF FF FF FF", "FF FF", 1, "00"},
        {"FF FF FF FE", "FF FF", 2, "FF FE"},
        {"12 34 56 78", "01 00", 1, "78"}, // m = 256^(k-1): mu has k + 2 bytes
        {"FF", "01", 1, "00"},
        {"FF FF", "FF", 1, "00"},
        {"FE 01", "FF", 1, "00"},
        {"FE 00", "FF", 1, "FE"},
    };
    for (const auto& c : cases) {
        Bytes x = H(c.x), m = H(c.m), mu = BarrettMu(m);
        SCOPED_TRACE(std::string(c.x) + " mod " + c.m);
        OutBuf out(Len(m));
        int32_t ret = MPA_BarrettReduction(x.data(), Len(x), m.data(), Len(m), mu.data(), Len(mu),
                                           out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        EXPECT_EQ(Hex(out.Get(ret)), Hex(H(c.out)));
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(BarrettReduction, MuWithLeadingZerosIsItsValue) {
    Bytes x = H("12 34 56 78"), m = H("12 34"), mu = BarrettMu(m);
    mu.insert(mu.begin(), 3, 0);
    OutBuf out(2);
    int32_t ret = MPA_BarrettReduction(x.data(), 4, m.data(), 2, mu.data(), Len(mu), out.data(), 2);
    ASSERT_EQ(ret, 2);
    EXPECT_EQ(Hex(out.Get(ret)), "0D A8"); // 0x12345678 mod 0x1234
}

TEST(BarrettReduction, InvalidArgumentsWriteNothing) {
    Bytes m = H("01 34"), mu = BarrettMu(m);
    Bytes x = H("12 34 56 78"), x5 = H("00 12 34 56 78");
    struct Case {
        const char* what;
        const uint8_t* x;
        int32_t xLen;
        const uint8_t* m;
        int32_t mLen;
        const uint8_t* mu;
        int32_t muLen, outSize;
        bool nullOut;
    };
    const Case cases[] = {
        {"xLen > 2k", x5.data(), 5, m.data(), 2, mu.data(), Len(mu), 2, false},
        {"muLen < mLen", x.data(), 4, m.data(), 2, mu.data(), 1, 2, false},
        {"outSize < mLen", x.data(), 4, m.data(), 2, mu.data(), Len(mu), 1, false},
        {"xLen 0", x.data(), 0, m.data(), 2, mu.data(), Len(mu), 2, false},
        {"mLen 0", x.data(), 4, m.data(), 0, mu.data(), Len(mu), 2, false},
        {"null x", nullptr, 4, m.data(), 2, mu.data(), Len(mu), 2, false},
        {"null m", x.data(), 4, nullptr, 2, mu.data(), Len(mu), 2, false},
        {"null mu", x.data(), 4, m.data(), 2, nullptr, Len(mu), 2, false},
        {"null out", x.data(), 4, m.data(), 2, mu.data(), Len(mu), 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OutBuf out(c.outSize);
        EXPECT_EQ(MPA_BarrettReduction(c.x, c.xLen, c.m, c.mLen, c.mu, c.muLen,
                                       c.nullOut ? nullptr : out.data(), c.outSize),
                  -1);
        EXPECT_TRUE(out.Untouched());
    }
}

} // namespace
