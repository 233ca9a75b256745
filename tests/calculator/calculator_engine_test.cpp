// The calculator engine: vectors for the rules of every operation, memory
// sequences, the step box, and a differential run of every binary and unary
// operation against GMP. Reproduce a differential failure with the
// ENGINE_TEST_SEED and case number of its trace.
#include "calculator/calculator_engine.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

using calculator::CalculatorMemory;
using calculator::EngineResult;
using calculator::Operand;
using namespace calculator;

constexpr auto kDone = EngineResult::Done;
constexpr auto kFailed = EngineResult::Failed;
constexpr auto kKept = EngineResult::Kept;
constexpr auto kNothing = EngineResult::Nothing;

// "" is an empty box, "?" an invalid one, anything else a hex byte list.
Operand Box(const std::string& list) {
    if (list.empty())
        return {0, ""};
    if (list == "?")
        return {-1, ""};
    int tokens = 0;
    for (size_t i = 0; i < list.size(); ++i)
        tokens += list[i] != ' ' && (i == 0 || list[i - 1] == ' ');
    return {tokens, list};
}

// Expected: list for Done, message for Failed and Kept.
struct Want {
    EngineResult::Outcome outcome;
    std::string listOrEmpty;
    int message;
};
Want D(const char* list) {
    return {kDone, list, 0};
}
Want F(int message) {
    return {kFailed, "", message};
}
Want K(int message) {
    return {kKept, "", message};
}
const Want kNone{kNothing, "", 0};

void Check(const EngineResult& got, const Want& want, const std::string& what) {
    EXPECT_EQ(got.outcome, want.outcome) << what;
    EXPECT_EQ(got.message, want.message) << what;
    EXPECT_EQ(got.list, want.listOrEmpty) << what;
}

TEST(CalculatorEngine, BinaryVectors) {
    struct Case {
        int op;
        const char *x, *y, *z;
        Want want;
    } cases[] = {
        // Operand checks come in order x, y, z and keep r.
        {kOpAdd, "", "?", "", K(2077)},
        {kOpAdd, "?", "", "", K(2079)},
        {kOpAdd, "01 ", "", "", K(2078)},
        {kOpAdd, "01 ", "?", "", K(2080)},
        {kOpPMod, "", "", "", K(2077)},
        {kOpJacobi, "03 ", "", "", K(2078)},
        {kOpSquare, "FF ", "?", "", D("FE 01 ")},
        {kOpSqrt, "50 ", "", "", D("08 ")},
        // A positive count with a list that is no hex byte list is invalid.
        {kOpAdd, "123 ", "01 ", "", K(2079)},
        {kOpAdd, "01 ", "0x ", "", K(2080)},
        {1028, "01 ", "02 ", "", kNone},
        // Width rules and letter case of the result.
        {kOpAdd, "FF FF ", "01 ", "", D("01 00 00 ")},
        {kOpAdd, "00 05 ", "03 ", "", D("00 08 ")},
        {kOpAdd, "00 00 ff ", "01 ", "", D("00 01 00 ")},
        {kOpAnd, "12 34 56 ", "ff 0f ", "", D("00 34 06 ")},
        {kOpOr, "12 34 56 ", "FF 0F ", "", D("12 FF 5F ")},
        {kOpXor, "12 34 56 ", "FF 0F ", "", D("12 CB 59 ")},
        {kOpXor, "0f ", "0f ", "", D("00 ")},
        // Subtraction, with two's complements of y - x at its own width.
        {kOpSubtract, "05 ", "05 ", "", D("00 ")},
        {kOpSubtract, "00 00 ", "00 ", "", D("00 ")},
        {kOpSubtract, "00 10 00 ", "00 01 ", "", D("0F FF ")},
        {kOpSubtract, "01 ", "03 ", "", D("FE ")},
        {kOpSubtract, "01 ", "01 00 ", "", D("01 ")},
        {kOpSubtract, "05 ", "01 05 ", "", D("FF 00 ")},
        {kOpSubtract, "00 ", "FF 01 ", "", D("00 FF ")},
        {kOpSubtract, "00 00 00 ", "00 00 80 ", "", D("80 ")},
        {kOpMultiply, "00 00 ", "12 34 ", "", D("00 ")},
        {kOpMultiply, "01 00 ", "01 00 ", "", D("01 00 00 ")},
        {kOpSquare, "00 01 00 ", "", "", D("01 00 00 ")},
        // Division: one call, quotient or remainder; zero divisor fails.
        {kOpDivide, "07 ", "00 ", "", F(2081)},
        {kOpMod, "07 ", "00 00 ", "", F(2081)},
        {kOpDivide, "12 34 56 78 ", "00 FF ", "", D("12 46 9D ")},
        {kOpMod, "12 34 56 78 ", "00 FF ", "", D("15 ")},
        {kOpDivide, "05 ", "07 ", "", D("00 ")},
        {kOpMod, "05 ", "07 ", "", D("05 ")},
        {kOpDivide, "01 00 00 ", "01 01 ", "", D("FF ")},
        {kOpSqrt, "51 ", "", "", D("09 ")},
        {kOpSqrt, "00 03 ", "", "", D("01 ")},
        {kOpSqrt, "FF FF ", "", "", D("FF ")},
        {kOpSqrt, "01 00 00 ", "", "", D("01 00 ")},
        {kOpSqrt, "00 00 ", "", "", D("00 ")},
        {kOpGcd, "0C ", "12 ", "", D("06 ")},
        {kOpGcd, "00 ", "05 ", "", F(2081)},
        {kOpModInverse, "02 ", "04 ", "", D("00 ")},
        {kOpModInverse, "03 ", "0B ", "", D("04 ")},
        // x longer than the modulus still has its inverse: 0x1000005 = 6 mod 7.
        {kOpModInverse, "01 00 00 05 ", "07 ", "", D("06 ")},
        {kOpModInverse, "05 ", "01 ", "", D("00 ")},
        // PMod reads z only after x and y; the library refuses zero base/modulus.
        {kOpPMod, "02 ", "0A ", "", F(2083)},
        {kOpPMod, "02 ", "0A ", "?", F(2083)},
        {kOpPMod, "00 ", "0A ", "07 ", F(2081)},
        {kOpPMod, "02 ", "0A ", "00 00 ", F(2081)},
        {kOpPMod, "02 ", "0A ", "03 E8 ", D("18 ")},
        {kOpPMod, "03 ", "00 ", "05 ", D("01 ")},
        {kOpPMod, "03 ", "00 ", "00 01 ", D("00 ")},
        {kOpPMod, "03 ", "05 ", "01 ", D("00 ")},
        // Jacobi: y by value odd and >= 3, then x < y.
        {kOpJacobi, "02 ", "00 03 ", "", D("FF FF FF FF ")},
        {kOpJacobi, "01 ", "02 ", "", F(2084)},
        {kOpJacobi, "01 ", "0A ", "", F(2084)},
        {kOpJacobi, "00 ", "01 ", "", F(2084)},
        {kOpJacobi, "09 ", "00 00 ", "", F(2084)},
        {kOpJacobi, "05 ", "03 ", "", F(2085)},
        {kOpJacobi, "00 03 ", "03 ", "", F(2085)},
        {kOpJacobi, "02 ", "07 ", "", D("01 ")},
        {kOpJacobi, "03 ", "07 ", "", D("FF FF FF FF ")},
        {kOpJacobi, "05 ", "0F ", "", D("00 ")},
        {kOpJacobi, "00 00 ", "0B ", "", D("00 ")},
        {kOpJacobi, "00 02 ", "01 01 ", "", D("01 ")},
    };
    for (const Case& c : cases)
        Check(RunBinaryOperation(c.op, Box(c.x), Box(c.y), Box(c.z)), c.want,
              std::to_string(c.op) + " x=" + c.x + " y=" + c.y + " z=" + c.z);
}

TEST(CalculatorEngine, UnaryVectors) {
    // 2^10000 in 1251 bytes: shifting it right by 20000 gives 1 only when the
    // step is taken as 10000.
    std::string zeros;
    for (int i = 0; i < 1250; ++i)
        zeros += "00 ";
    const std::string big = "01 " + zeros, bigOne = zeros + "01 ";
    struct Case {
        int op;
        std::string a;
        int step;
        Want want;
    } cases[] = {
        {kOpIncrement, "", 1, K(2090)},
        {kOpNot, "?", 1, K(2091)},
        {kOpLsh, "12 ", 1, D("24 ")},
        {kOpAdd, "12 ", 1, kNone},
        {kOpIncrement, "FF ", 1, D("01 00 ")},
        {kOpIncrement, "FF FF ", 1, D("01 00 00 ")},
        {kOpIncrement, "00 ff ", 1, D("01 00 ")},
        {kOpIncrement, "00 00 ", 1, D("00 01 ")},
        {kOpDecrement, "01 ", 1, D("00 ")},
        {kOpDecrement, "00 ", 1, D("00 ")},
        {kOpDecrement, "00 00 ", 1, D("00 00 ")},
        {kOpDecrement, "01 00 ", 1, D("FF ")},
        {kOpDecrement, "00 05 ", 1, D("04 ")},
        {kOpDecrement, "00 01 ", 1, D("00 ")},
        {kOpDecrement, "0a ", 1, D("09 ")},
        {kOpNot, "00 0f ", 1, D("FF F0 ")},
        {kOpLsh, "80 01 ", 1, D("00 02 ")},
        {kOpLsh, "81 01 ", 9, D("02 00 ")},
        {kOpLsh, "81 01 ", 16, D("00 00 ")},
        {kOpRsh, "81 01 ", 12, D("00 08 ")},
        {kOpRsh, "01 ", 10000, D("00 ")},
        {kOpRsh, "FF FF ", 1000000, D("00 00 ")},
        // Steps outside the box's range act as its nearer end.
        {kOpLsh, "81 01 ", 0, D("02 02 ")},
        {kOpRsh, "81 01 ", -7, D("40 80 ")},
        {kOpRsh, big, 20000, {kDone, bigOne, 0}},
    };
    for (const Case& c : cases)
        Check(RunUnaryOperation(c.op, Box(c.a), c.step), c.want,
              std::to_string(c.op) + " " + c.a.substr(0, 24) + " step " + std::to_string(c.step));
}

TEST(CalculatorEngine, MemorySequences) {
    enum Action { MS, MP, MM, MC };
    struct Step {
        Action action;
        const char* operand;
        bool upper;
        Want want;          // for MC only the memory is checked
        const char* memory; // text after the step
    };
    const std::vector<std::vector<Step>> sequences = {
        {{MM, "05 ", true, D("00 "), "00 "}, {MP, "00 ff ", true, D("00 FF "), "00 FF "}},
        {{MS, "12 ", true, D("12 "), "12 "},
         {MS, "?", true, K(2001), "12 "},
         {MS, "", true, D(""), ""}},
        {{MP, "00 ab ", false, D("00 ab "), "00 ab "},
         {MP, "ff 55 ", false, D("01 00 00 "), "01 00 00 "},
         {MP, "", true, kNone, "01 00 00 "},
         {MM, "", true, kNone, "01 00 00 "},
         {MP, "?", true, K(2001), "01 00 00 "},
         {MM, "?", true, K(2001), "01 00 00 "},
         {MM, "00 01 ", true, D("FF FF "), "FF FF "},
         {MC, "", true, kNone, ""}},
        {{MS, "00 01 ", true, D("00 01 "), "00 01 "},
         {MP, "FF FF FF ", true, D("01 00 00 00 "), "01 00 00 00 "},
         {MM, "01 00 00 00 ", true, D("00 "), "00 "}},
        {{MS, "10 ", true, D("10 "), "10 "},
         {MM, "05 ", true, D("0B "), "0B "},
         {MM, "0C ", true, D("00 "), "00 "},
         {MP, "0c ", true, D("0C "), "0C "}},
        {{MS, "ab cd ", false, D("ab cd "), "ab cd "}, {MS, "ab cd ", true, D("AB CD "), "AB CD "}},
    };
    for (size_t s = 0; s < sequences.size(); ++s) {
        CalculatorMemory memory;
        for (size_t i = 0; i < sequences[s].size(); ++i) {
            const Step& st = sequences[s][i];
            const std::string what = "sequence " + std::to_string(s) + " step " + std::to_string(i);
            const Operand a = Box(st.operand);
            switch (st.action) {
            case MS:
                Check(memory.Store(a, st.upper), st.want, what);
                break;
            case MP:
                Check(memory.Add(a, st.upper), st.want, what);
                break;
            case MM:
                Check(memory.Subtract(a, st.upper), st.want, what);
                break;
            case MC:
                memory.Clear();
                break;
            }
            EXPECT_EQ(memory.text(), st.memory) << what;
            EXPECT_EQ(memory.empty(), std::string(st.memory).empty()) << what;
        }
    }
}

TEST(CalculatorEngine, StepText) {
    struct Case {
        const char* text;
        const char* replacement; // nullptr: the text stands
        int value;
    } cases[] = {
        {"", "1", 1},
        {"0", "1", 1},
        {"00000", "1", 1},
        {"-3", "1", 1},
        {"-0", "1", 1},
        {"abc", "1", 1},
        {"12a", "1", 1},
        {"1 2", "1", 1},
        {"+", "1", 1},
        {"-", "1", 1},
        {"   ", "1", 1},
        {"-99999999999999999999", "1", 1},
        {"10001", "10000", 10000},
        {"65536", "10000", 10000},
        {"123456", "10000", 10000},
        {"99999999999999999999999", "10000", 10000},
        {"00010001", "10000", 10000},
        {"4294967297", "10000", 10000}, // 2^32 + 1: no 32-bit wrap to 1
        {"1", nullptr, 1},
        {"10000", nullptr, 10000},
        {"9999", nullptr, 9999},
        {" 5 ", nullptr, 5},
        {"+5", nullptr, 5},
        {"007", nullptr, 7},
        {"0010000", nullptr, 10000},
    };
    for (const Case& c : cases) {
        auto got = ClampStepText(c.text);
        EXPECT_EQ(got.has_value(), c.replacement != nullptr) << '"' << c.text << '"';
        if (got && c.replacement) {
            EXPECT_EQ(*got, c.replacement) << '"' << c.text << '"';
        }
        EXPECT_EQ(StepValue(c.text), c.value) << '"' << c.text << '"';
    }
}

// --- Differential against GMP ------------------------------------------------

using Bytes = std::vector<uint8_t>;

struct Z {
    mpz_t v;
    Z() { mpz_init(v); }
    explicit Z(const Bytes& b) : Z() { mpz_import(v, b.size(), 1, 1, 0, 0, b.data()); }
    Z(const Z&) = delete;
    ~Z() { mpz_clear(v); }
    bool Is(unsigned long n) const { return mpz_cmp_ui(v, n) == 0; }
};

// Upper-case list of v in exactly max(width, its byte length, 1) bytes.
std::string ListOf(const mpz_t v, size_t width = 0) {
    size_t n = mpz_sgn(v) ? (mpz_sizeinbase(v, 2) + 7) / 8 : 0;
    Bytes b(std::max<size_t>(std::max(n, width), 1), 0);
    if (n)
        mpz_export(b.data() + (b.size() - n), nullptr, 1, 1, 0, 0, v);
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t c : b)
        s += {digits[c >> 4], digits[c & 15], ' '};
    return s;
}

uint64_t Seed() {
    const char* s = std::getenv("ENGINE_TEST_SEED");
    return s ? std::strtoull(s, nullptr, 0) : 0x4F52444Full;
}

// 1 to 64 bytes in all: random, zero, all FF, a power of two or small, often
// behind leading zero bytes; the list in either letter case.
Bytes Draw(std::mt19937_64& g) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); };
    const int sig = pick(0, 3) ? pick(1, 8) : pick(1, 60);
    Bytes v(static_cast<size_t>(sig));
    switch (pick(0, 9)) {
    case 0:
        std::fill(v.begin(), v.end(), 0);
        break;
    case 1:
        std::fill(v.begin(), v.end(), 0xFF);
        break;
    case 2:
        std::fill(v.begin(), v.end(), 0);
        v[0] = static_cast<uint8_t>(1u << pick(0, 7));
        break;
    case 3:
        std::fill(v.begin(), v.end(), 0);
        v.back() = static_cast<uint8_t>(pick(0, 4));
        break;
    default:
        for (auto& c : v)
            c = static_cast<uint8_t>(g());
    }
    if (pick(0, 2) == 0)
        v.insert(v.begin(), static_cast<size_t>(pick(1, 4)), 0);
    return v;
}

Operand AsBox(const Bytes& b, bool upper) {
    std::string s;
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    for (uint8_t c : b)
        s += {digits[c >> 4], digits[c & 15], ' '};
    return {static_cast<int>(b.size()), s};
}

TEST(CalculatorEngine, DifferentialAgainstGmp) {
    const uint64_t seed = Seed();
    std::cout << "[ seed     ] ENGINE_TEST_SEED=" << seed << std::endl;
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        std::mt19937_64 g(seed * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(i));
        Bytes xb = Draw(g), yb = Draw(g), zb = Draw(g);
        const Operand x = AsBox(xb, g() & 1), y = AsBox(yb, g() & 1), z = AsBox(zb, g() & 1);
        SCOPED_TRACE("ENGINE_TEST_SEED=" + std::to_string(seed) + " case " + std::to_string(i) +
                     ": x=" + x.list + " y=" + y.list + " z=" + z.list);
        const Z X(xb), Y(yb), M(zb);
        const size_t w = std::max(xb.size(), yb.size());
        Z r, t;
        auto expect = [&](int op, const Want& want) {
            Check(RunBinaryOperation(op, x, y, z), want, "operation " + std::to_string(op));
        };
        auto done = [](const std::string& list) { return Want{kDone, list, 0}; };

        mpz_add(r.v, X.v, Y.v);
        expect(kOpAdd, done(ListOf(r.v, w)));
        if (mpz_cmp(X.v, Y.v) >= 0) {
            mpz_sub(r.v, X.v, Y.v);
            expect(kOpSubtract, done(ListOf(r.v)));
        } else {
            mpz_sub(t.v, Y.v, X.v);
            const size_t d = (mpz_sizeinbase(t.v, 2) + 7) / 8;
            mpz_ui_pow_ui(r.v, 256, d);
            mpz_sub(r.v, r.v, t.v);
            expect(kOpSubtract, done(ListOf(r.v, d)));
        }
        mpz_mul(r.v, X.v, Y.v);
        expect(kOpMultiply, done(ListOf(r.v)));
        mpz_mul(r.v, X.v, X.v);
        expect(kOpSquare, done(ListOf(r.v)));
        if (Y.Is(0)) {
            expect(kOpDivide, F(2081));
            expect(kOpMod, F(2081));
        } else {
            mpz_tdiv_qr(r.v, t.v, X.v, Y.v);
            expect(kOpDivide, done(ListOf(r.v)));
            expect(kOpMod, done(ListOf(t.v)));
        }
        mpz_and(r.v, X.v, Y.v);
        expect(kOpAnd, done(ListOf(r.v, w)));
        mpz_ior(r.v, X.v, Y.v);
        expect(kOpOr, done(ListOf(r.v, w)));
        mpz_xor(r.v, X.v, Y.v);
        expect(kOpXor, done(ListOf(r.v, w)));
        mpz_sqrt(r.v, X.v);
        expect(kOpSqrt, done(ListOf(r.v)));
        if (X.Is(0) || Y.Is(0)) {
            expect(kOpGcd, F(2081));
        } else {
            mpz_gcd(r.v, X.v, Y.v);
            expect(kOpGcd, done(ListOf(r.v)));
        }
        // No inverse, or a zero operand, shows 00; so does every inverse mod 1.
        if (X.Is(0) || Y.Is(0) || !mpz_invert(r.v, X.v, Y.v))
            mpz_set_ui(r.v, 0);
        expect(kOpModInverse, done(ListOf(r.v)));
        if (X.Is(0) || M.Is(0)) {
            expect(kOpPMod, F(2081));
        } else {
            mpz_powm(r.v, X.v, Y.v, M.v);
            expect(kOpPMod, done(ListOf(r.v)));
        }
        if (mpz_even_p(Y.v) || mpz_cmp_ui(Y.v, 3) < 0) {
            expect(kOpJacobi, F(2084));
        } else if (mpz_cmp(X.v, Y.v) >= 0) {
            expect(kOpJacobi, F(2085));
            // The same pair with x reduced below y, keeping x's width.
            mpz_mod(r.v, X.v, Y.v);
            Bytes reduced(xb.size(), 0);
            const size_t n = (mpz_sizeinbase(r.v, 2) + 7) / 8;
            if (mpz_sgn(r.v) && n <= reduced.size())
                mpz_export(reduced.data() + reduced.size() - n, nullptr, 1, 1, 0, 0, r.v);
            const int j = mpz_jacobi(r.v, Y.v);
            Check(RunBinaryOperation(kOpJacobi, AsBox(reduced, true), y, z),
                  done(j == 0   ? "00 "
                       : j == 1 ? "01 "
                                : "FF FF FF FF "),
                  "Jacobi, x mod y");
        } else {
            const int j = mpz_jacobi(X.v, Y.v);
            expect(kOpJacobi, done(j == 0 ? "00 " : j == 1 ? "01 " : "FF FF FF FF "));
        }

        // Unary operations on x, at x's width.
        const size_t wx = xb.size();
        auto unary = [&](int op, int step, const std::string& want) {
            Check(RunUnaryOperation(op, x, step), done(want), "unary " + std::to_string(op));
        };
        mpz_add_ui(r.v, X.v, 1);
        unary(kOpIncrement, 1, ListOf(r.v, wx));
        if (X.Is(0) && wx > 1) {
            unary(kOpDecrement, 1, ListOf(X.v, wx));
        } else {
            mpz_set(r.v, X.v);
            if (!X.Is(0))
                mpz_sub_ui(r.v, r.v, 1);
            unary(kOpDecrement, 1, ListOf(r.v));
        }
        mpz_ui_pow_ui(t.v, 256, wx);
        mpz_sub_ui(t.v, t.v, 1);
        mpz_xor(r.v, X.v, t.v);
        unary(kOpNot, 1, ListOf(r.v, wx));
        const int step = std::uniform_int_distribution<int>(1, static_cast<int>(8 * wx + 9))(g);
        mpz_mul_2exp(r.v, X.v, static_cast<mp_bitcnt_t>(step));
        mpz_tdiv_r_2exp(r.v, r.v, 8 * wx);
        unary(kOpLsh, step, ListOf(r.v, wx));
        mpz_tdiv_q_2exp(r.v, X.v, static_cast<mp_bitcnt_t>(step));
        unary(kOpRsh, step, ListOf(r.v, wx));
    }
}

} // namespace
