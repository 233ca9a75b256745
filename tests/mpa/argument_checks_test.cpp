// Every exported function with lengths of 0 or less: each must fail with its
// documented failure value and write nothing, whatever capacities it is given.
#include "mpa/calculator_ops.h"
#include "mpa_test_util.h"

#include <functional>

using namespace mpatest;

namespace {

// A fuzzing run found MPA_ExtEuclid writing past capacity-0 outputs when
// aLen = bLen = -1 (a = b = 00). The table repeats that shape for every
// function: operand buffers of one zero byte, lengths 0 or -1, and every
// output a capacity-0 OutBuf, so that any write lands in the guard.
TEST(FuzzFinding, ExtEuclidNegativeLengthsWritePastCapacity) {
    struct Row {
        const char* name;
        int32_t failure;
        bool zeroLengthIsZero; // a length of 0 reads as the number zero
        std::function<int32_t(int32_t len, OutBuf& o1, OutBuf& o2, OutBuf& o3)> call;
    };
    static uint8_t a[1] = {0}, b[1] = {0};
    const Row rows[] = {
        {"ExtEuclid", -1, false,
         [](int32_t len, OutBuf& g, OutBuf& x, OutBuf& y) {
             int32_t xs = 0, ys = 0;
             return MPA_ExtEuclid(a, len, b, len, g.data(), 0, x.data(), &xs, y.data(), &ys);
         }},
        {"ExtEuclid, second length only", -1, false,
         [](int32_t len, OutBuf& g, OutBuf& x, OutBuf& y) {
             uint8_t one[1] = {1};
             int32_t xs = 0, ys = 0;
             return MPA_ExtEuclid(one, 1, b, len, g.data(), 0, x.data(), &xs, y.data(), &ys);
         }},
        {"Gcd", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_Gcd(a, len, b, len, o.data(), 0);
         }},
        {"ModInverse", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_ModInverse(a, len, b, len, o.data(), 0);
         }},
        {"ModPow, every length", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_ModPow(a, len, b, len, b, len, o.data(), 0);
         }},
        {"ModPow, exponent length only", -1, true,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             // Room for the result is claimed so that only the length check
             // can refuse; a written 01 would land in the guard.
             uint8_t three[1] = {3}, seven[1] = {7};
             return MPA_ModPow(three, 1, b, len, seven, 1, o.data(), 1);
         }},
        {"Multiply", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_Multiply(a, len, b, len, o.data(), 0);
         }},
        {"Divide", 0, false,
         [](int32_t len, OutBuf& q, OutBuf& r, OutBuf&) {
             int32_t qs = 0, rs = 0;
             return MPA_Divide(a, len, b, len, q.data(), &qs, r.data(), &rs);
         }},
        {"Modular", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_Modular(a, len, b, len, o.data(), 0);
         }},
        {"BarrettReduction", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BarrettReduction(a, len, b, len, b, len, o.data(), 0);
         }},
        {"Add", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             int32_t carry = 0;
             return MPA_Add(a, len, b, len, o.data(), 0, &carry);
         }},
        {"Subtract", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_Subtract(a, len, b, len, o.data(), 0);
         }},
        {"BitAnd", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BitAnd(a, len, b, len, o.data(), 0);
         }},
        {"BitOr", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BitOr(a, len, b, len, o.data(), 0);
         }},
        {"BitXor", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BitXor(a, len, b, len, o.data(), 0);
         }},
        {"BitNot", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) { return MPA_BitNot(a, len, o.data(), 0); }},
        {"BitLshift", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BitLshift(a, len, 1, o.data(), 0);
         }},
        {"BitRshift", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_BitRshift(a, len, 1, o.data(), 0);
         }},
        {"GenRandomBits", 0, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_GenRandomBits(o.data(), 0, len);
         }},
        {"MillerRabinSearch", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return MPA_MillerRabinSearch(len, 1, o.data(), 0);
         }},
        {"SquareRoot", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return mpa::SquareRoot(a, len, o.data(), 0);
         }},
        {"NextPrime", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return mpa::NextPrime(a, len, o.data(), 0, 1);
         }},
        {"PrevPrime", -1, false,
         [](int32_t len, OutBuf& o, OutBuf&, OutBuf&) {
             return mpa::PrevPrime(a, len, o.data(), 0, 1);
         }},
    };
    for (const Row& row : rows) {
        for (int32_t len : {-1, 0, INT32_MIN}) {
            if (len == 0 && row.zeroLengthIsZero)
                continue;
            SCOPED_TRACE(::testing::Message() << row.name << " with length " << len);
            OutBuf o1(0), o2(0), o3(0);
            EXPECT_EQ(row.call(len, o1, o2, o3), row.failure);
            EXPECT_TRUE(o1.GuardIntact() && o2.GuardIntact() && o3.GuardIntact());
        }
    }
    // The results that write no buffer: a negative length is no number.
    uint8_t seven[1] = {7};
    int32_t symbol = 99;
    EXPECT_EQ(MPA_Jacobi(a, -1, seven, 1, &symbol), 0);
    EXPECT_EQ(MPA_Jacobi(seven, 1, seven, -1, &symbol), 0);
    EXPECT_EQ(symbol, 99);
    for (auto* test : {&MPA_FermatTest, &MPA_SolovayStrassenTest, &MPA_MillerRabinTest})
        EXPECT_EQ(test(a, -1, 1), -1);
    EXPECT_EQ(MPA_BitCount(a, -1), 0);
    EXPECT_EQ(MPA_Compare(a, -1, b, 1), 0);
}

} // namespace
