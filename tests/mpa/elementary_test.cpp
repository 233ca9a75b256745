// Comparison, bit count, addition, subtraction, bitwise operations and shifts:
// the listed edge values, the width rules and the argument checks.
#include "mpa_test_util.h"

#include <climits>

using namespace mpatest;

namespace {

TEST(Compare, Table) {
    struct Case {
        const char *a, *b;
        int32_t expected;
    };
    const Case cases[] = {
        {"00 00 05", "05", 0},
        {"01 00", "FF", 1},
        {"00", "00 00 00", 0},
        {"00 00", "01", -1},
        {"12 34", "12 35", -1},
        {"12 35", "00 00 12 34", 1},
        {"FF FF FF", "FF FF FE", 1},
        {"80", "7F", 1},
        {"00 01 00", "00 00 FF", 1},
        {"00 00 00", "00", 0},
        {"7F FF FF FF", "80 00 00 00", -1},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(MPA_Compare(a.data(), Len(a), b.data(), Len(b)), c.expected);
        EXPECT_EQ(MPA_Compare(b.data(), Len(b), a.data(), Len(a)), -c.expected);
    }
}

TEST(Compare, InvalidArgumentsReadAsEqual) {
    Bytes a = H("05"), b = H("07");
    EXPECT_EQ(MPA_Compare(a.data(), 0, b.data(), 1), 0);
    EXPECT_EQ(MPA_Compare(a.data(), 1, b.data(), 0), 0);
    EXPECT_EQ(MPA_Compare(a.data(), -3, b.data(), 1), 0);
    EXPECT_EQ(MPA_Compare(nullptr, 1, b.data(), 1), 0);
    EXPECT_EQ(MPA_Compare(a.data(), 1, nullptr, 1), 0);
}

constexpr int32_t kWhole = INT32_MIN;

TEST(BitCount, Table) {
    struct Case {
        const char* a;
        int32_t len; // kWhole: the whole string
        int32_t expected;
    };
    const Case cases[] = {
        {"00 00 01 00", kWhole, 9},
        {"00 00", kWhole, 0},
        {"05", 0, 0},
        {"05", -7, 0},
        {"01", kWhole, 1},
        {"FF", kWhole, 8},
        {"80 00", kWhole, 16},
        {"00 7F FF", kWhole, 15},
        {"00", kWhole, 0},
        {"00 01 FF", 2, 1},
        {"01 00 00 00 00", kWhole, 33},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a);
        SCOPED_TRACE(c.a);
        EXPECT_EQ(MPA_BitCount(a.data(), c.len == kWhole ? Len(a) : c.len), c.expected);
    }
}

TEST(Add, Table) {
    struct Case {
        const char *a, *b;
        int32_t outSize, ret;
        const char* out;
        int32_t carry;
    };
    const Case cases[] = {
        {"FF FF", "01", 2, 2, "00 00", 1},
        {"00 05", "03", 2, 2, "00 08", 0},
        {"03", "00 05", 2, 2, "00 08", 0},
        {"01", "02", 1, 1, "03", 0},
        {"FF", "FF", 1, 1, "FE", 1},
        {"00 00", "00", 2, 2, "00 00", 0},
        {"FF FF", "01", 4, 2, "00 00", 1},
        {"00 FF FF", "01", 3, 3, "01 00 00", 0},
        {"12 34", "00 00 00 01", 4, 4, "00 00 12 35", 0},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " + " + c.b);
        OutBuf out(c.outSize);
        int32_t carry = 77;
        ASSERT_EQ(MPA_Add(a.data(), Len(a), b.data(), Len(b), out.data(), out.cap(), &carry),
                  c.ret);
        EXPECT_EQ(Hex(out.Get(c.ret)), Hex(H(c.out)));
        EXPECT_EQ(carry, c.carry);
        // The carry is reported, never written after the w bytes.
        EXPECT_TRUE(out.UntouchedFrom(c.ret));
    }
}

TEST(Add, InvalidArgumentsWriteNothing) {
    Bytes a = H("01"), b = H("01 02");
    struct Case {
        const uint8_t *a, *b;
        int32_t aLen, bLen, outSize;
        bool nullOut;
    };
    const Case cases[] = {
        {a.data(), b.data(), 1, 2, 1, false}, // outSize below bLen
        {b.data(), a.data(), 2, 1, 1, false}, // outSize below aLen
        {a.data(), b.data(), 0, 2, 4, false}, {a.data(), b.data(), 1, -1, 4, false},
        {nullptr, b.data(), 1, 2, 4, false},  {a.data(), nullptr, 1, 2, 4, false},
        {a.data(), b.data(), 1, 2, 4, true},
    };
    for (const auto& c : cases) {
        OutBuf out(c.outSize);
        int32_t carry = 77;
        EXPECT_EQ(
            MPA_Add(c.a, c.aLen, c.b, c.bLen, c.nullOut ? nullptr : out.data(), c.outSize, &carry),
            -1);
        EXPECT_TRUE(out.Untouched());
        EXPECT_EQ(carry, 77);
    }
}

TEST(Subtract, Table) {
    struct Case {
        const char *a, *b;
        int32_t ret;
        const char* out; // checked when ret > 0
    };
    const Case cases[] = {
        {"05", "05", 0, ""},
        {"00", "00", 1, "00"},
        {"00 00", "00", 1, "00"},
        {"00", "00 00", 1, "00"},
        {"01 00", "01", 1, "FF"},
        {"03", "05", -1, ""},
        {"00 05", "00 00", 1, "05"},
        {"12 34", "12 34", 0, ""},
        {"00 12 34", "12 34", 0, ""},
        {"01 00 00", "00 01", 2, "FF FF"},
        {"05", "00", 1, "05"},
        {"00", "05", -1, ""},
        {"01 00", "01 01", -1, ""},
        {"00 00 01", "01", 0, ""},
        {"FF FF", "FF FE", 1, "01"},
        {"00 00 12 34", "00 00 00 34", 2, "12 00"},
        {"01 00 00 00", "FF FF FF", 1, "01"},
    };
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        SCOPED_TRACE(std::string(c.a) + " - " + c.b);
        OutBuf out(std::max(Len(a), Len(b)));
        int32_t ret = MPA_Subtract(a.data(), Len(a), b.data(), Len(b), out.data(), out.cap());
        ASSERT_EQ(ret, c.ret);
        if (ret > 0) {
            EXPECT_EQ(Hex(out.Get(ret)), Hex(H(c.out)));
        }
        EXPECT_TRUE(out.GuardIntact());
        // With fewer significant bytes than the subtrahend, nothing is written.
        if (SigLen(a) < SigLen(b)) {
            EXPECT_TRUE(out.Untouched());
        }
    }
}

TEST(Subtract, InvalidArgumentsWriteNothing) {
    Bytes a = H("01 00"), b = H("01");
    struct Case {
        const uint8_t *a, *b;
        int32_t aLen, bLen, outSize;
        bool nullOut;
    };
    const Case cases[] = {
        {a.data(), b.data(), 2, 1, 1, false}, {b.data(), a.data(), 1, 2, 1, false},
        {a.data(), b.data(), 0, 1, 4, false}, {a.data(), b.data(), 2, 0, 4, false},
        {nullptr, b.data(), 2, 1, 4, false},  {a.data(), nullptr, 2, 1, 4, false},
        {a.data(), b.data(), 2, 1, 4, true},
    };
    for (const auto& c : cases) {
        OutBuf out(c.outSize);
        EXPECT_EQ(
            MPA_Subtract(c.a, c.aLen, c.b, c.bLen, c.nullOut ? nullptr : out.data(), c.outSize),
            -1);
        EXPECT_TRUE(out.Untouched());
    }
}

TEST(Bitwise, Table) {
    struct Case {
        const char *a, *b, *andOut, *orOut, *xorOut;
    };
    const Case cases[] = {
        {"12 34 56", "FF 0F", "00 34 06", "12 FF 5F", "12 CB 59"},
        {"FF 0F", "12 34 56", "00 34 06", "12 FF 5F", "12 CB 59"},
        {"00 00 F0", "0F", "00 00 00", "00 00 FF", "00 00 FF"},
        {"AA", "55", "00", "FF", "FF"},
        {"00", "00", "00", "00", "00"},
        {"FF FF", "FF", "00 FF", "FF FF", "FF 00"},
        {"00 00", "00 00 00 00", "00 00 00 00", "00 00 00 00", "00 00 00 00"},
    };
    using Fn = int32_t (*)(const uint8_t*, int32_t, const uint8_t*, int32_t, uint8_t*, int32_t);
    for (const auto& c : cases) {
        Bytes a = H(c.a), b = H(c.b);
        const std::pair<Fn, const char*> ops[] = {
            {MPA_BitAnd, c.andOut}, {MPA_BitOr, c.orOut}, {MPA_BitXor, c.xorOut}};
        for (auto [fn, expected] : ops) {
            SCOPED_TRACE(std::string(c.a) + " op " + c.b + " -> " + expected);
            int32_t w = std::max(Len(a), Len(b));
            OutBuf out(w + 2);
            ASSERT_EQ(fn(a.data(), Len(a), b.data(), Len(b), out.data(), out.cap()), w);
            EXPECT_EQ(Hex(out.Get(w)), Hex(H(expected)));
            EXPECT_TRUE(out.UntouchedFrom(w));

            OutBuf small(w - 1);
            EXPECT_EQ(fn(a.data(), Len(a), b.data(), Len(b), small.data(), small.cap()), -1);
            EXPECT_TRUE(small.Untouched());
            OutBuf any(w);
            EXPECT_EQ(fn(nullptr, Len(a), b.data(), Len(b), any.data(), w), -1);
            EXPECT_EQ(fn(a.data(), Len(a), nullptr, Len(b), any.data(), w), -1);
            EXPECT_EQ(fn(a.data(), Len(a), b.data(), Len(b), nullptr, w), -1);
            EXPECT_EQ(fn(a.data(), 0, b.data(), Len(b), any.data(), w), -1);
            EXPECT_EQ(fn(a.data(), Len(a), b.data(), -1, any.data(), w), -1);
            EXPECT_TRUE(any.Untouched());
        }
    }
}

TEST(BitNot, Table) {
    const std::pair<const char*, const char*> cases[] = {{"00 0F", "FF F0"},
                                                         {"FF", "00"},
                                                         {"00", "FF"},
                                                         {"12 34", "ED CB"},
                                                         {"00 00 00", "FF FF FF"}};
    for (auto [in, expected] : cases) {
        Bytes a = H(in);
        SCOPED_TRACE(in);
        OutBuf out(Len(a) + 1);
        ASSERT_EQ(MPA_BitNot(a.data(), Len(a), out.data(), out.cap()), Len(a));
        EXPECT_EQ(Hex(out.Get(Len(a))), Hex(H(expected)));
        EXPECT_TRUE(out.UntouchedFrom(Len(a)));
        OutBuf small(Len(a) - 1);
        EXPECT_EQ(MPA_BitNot(a.data(), Len(a), small.data(), small.cap()), -1);
        EXPECT_TRUE(small.Untouched());
    }
    OutBuf out(4);
    Bytes a = H("01");
    EXPECT_EQ(MPA_BitNot(nullptr, 1, out.data(), 4), -1);
    EXPECT_EQ(MPA_BitNot(a.data(), 1, nullptr, 4), -1);
    EXPECT_EQ(MPA_BitNot(a.data(), 0, out.data(), 4), -1);
    EXPECT_TRUE(out.Untouched());
}

TEST(Shift, Table) {
    struct Case {
        const char* a;
        int32_t shift;
        const char *left, *right;
    };
    const Case cases[] = {
        {"81 01", 1, "02 02", "40 80"},
        {"81 01", 9, "02 00", "00 40"},
        {"81 01", 16, "00 00", "00 00"},
        {"81 01", 12, "10 00", "00 08"},
        {"81 01", 0, "81 01", "81 01"},
        {"80", 1, "00", "40"},
        {"81 01", 8, "01 00", "00 81"},
        {"81 01", 15, "80 00", "00 01"},
        {"12 34 56", 4, "23 45 60", "01 23 45"},
        {"00 FF", 4, "0F F0", "00 0F"},
        {"FF", 1000000, "00", "00"},
        {"FF", INT32_MAX, "00", "00"},
        {"00 00 12", 0, "00 00 12", "00 00 12"},
        {"FF FF FF", 23, "80 00 00", "00 00 01"},
        {"FF FF FF", 24, "00 00 00", "00 00 00"},
    };
    using Fn = int32_t (*)(const uint8_t*, int32_t, int32_t, uint8_t*, int32_t);
    for (const auto& c : cases) {
        Bytes a = H(c.a);
        const std::pair<Fn, const char*> ops[] = {{MPA_BitLshift, c.left},
                                                  {MPA_BitRshift, c.right}};
        for (auto [fn, expected] : ops) {
            SCOPED_TRACE(std::string(c.a) + " shift " + std::to_string(c.shift) + " -> " +
                         expected);
            OutBuf out(Len(a) + 3);
            ASSERT_EQ(fn(a.data(), Len(a), c.shift, out.data(), out.cap()), Len(a));
            EXPECT_EQ(Hex(out.Get(Len(a))), Hex(H(expected)));
            EXPECT_TRUE(out.UntouchedFrom(Len(a)));
        }
    }
}

TEST(Shift, InvalidArgumentsWriteNothing) {
    Bytes a = H("81 01");
    for (auto fn : {MPA_BitLshift, MPA_BitRshift}) {
        OutBuf out(2), small(1);
        EXPECT_EQ(fn(a.data(), 2, -1, out.data(), 2), -1);
        EXPECT_EQ(fn(a.data(), 2, INT32_MIN, out.data(), 2), -1);
        EXPECT_EQ(fn(nullptr, 2, 1, out.data(), 2), -1);
        EXPECT_EQ(fn(a.data(), 2, 1, nullptr, 2), -1);
        EXPECT_EQ(fn(a.data(), 0, 1, out.data(), 2), -1);
        EXPECT_TRUE(out.Untouched());
        EXPECT_EQ(fn(a.data(), 2, 0, small.data(), 1), -1);
        EXPECT_TRUE(small.Untouched());
    }
}

} // namespace
