// The Zuriruv methods on hex byte strings: result codes, starting values,
// the per-method rules and the console and provider hooks.
#include "automation/zuriruv_methods.h"
#include "mpa/mpa.h"
#include "mpa/random_source.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using automation::TextResult;
using automation::ZuriruvCore;
using platform::com::E_INVALIDARG;
using platform::com::E_OUTOFMEMORY;
using platform::com::HRESULT;
using platform::com::S_FALSE;
using platform::com::S_OK;

// Pre-set results, so that a test can tell whether a method reset them.
const TextResult kJunkText = std::string("junk");
constexpr int32_t kJunkInt = 12345;

// Expected text results: nullopt for a failure (the result must then be the
// null string).
using Expected = std::optional<std::string>;
const Expected kFails = std::nullopt;

// --- Methods of two text operands and a text result ----------------------------

using BinaryMethod = HRESULT (ZuriruvCore::*)(std::string_view, std::string_view, TextResult*);

struct BinaryCase {
    const char* method;
    BinaryMethod fn;
    const char* a;
    const char* b;
    Expected result;
};

#define M(name) #name, &ZuriruvCore::name

const BinaryCase kBinaryCases[] = {
    {M(BitAnd), "12 34 56", "ff 0f", "00 34 06 "},
    {M(BitOr), "12 34 56", "ff 0f", "12 ff 5f "},
    {M(BitXor), "12 34 56", "ff 0f", "12 cb 59 "},
    {M(BitXor), "00 00", "0", "00 00 "},
    {M(BitAnd), "12", "0g", kFails},

    {M(Add), "ff", "01", "01 00 "},
    {M(Add), "00 ff", "01", "01 00 "},
    {M(Add), "ff ff", "1", "01 00 00 "},
    {M(Add), "00 05", "3", "00 08 "},
    {M(Add), "0", "0", "00 "},
    {M(Add), "80", "80", "01 00 "},
    {M(Add), "", "01", kFails},

    {M(Subtract), "05", "05", ""},
    {M(Subtract), "00", "00", ""},
    {M(Subtract), "00 00", "0", ""},
    {M(Subtract), "01", "02", "ff "},
    {M(Subtract), "01 00", "01 01", "ff "},
    {M(Subtract), "03", "05", "fe "},
    {M(Subtract), "01", "ff ff", "00 02 "},
    {M(Subtract), "00", "01 00", "ff 00 "},
    {M(Subtract), "00 00 01", "00 80", "81 "},
    {M(Subtract), "01 00", "01", "ff "},
    {M(Subtract), "1 00 00 00", "1", "ff ff ff "},
    {M(Subtract), "00 10", "00 05", "0b "},
    {M(Subtract), "05", "00 00", "05 "},
    {M(Subtract), "00 05", "00", "05 "},
    {M(Subtract), "05", "123", kFails},

    {M(Multiply), "00 00", "12 34", "00 "},
    {M(Multiply), "ff", "ff", "fe 01 "},
    {M(Multiply), "01 00", "01 00", "01 00 00 "},
    {M(Multiply), "00 02", "00 00 03", "06 "},
    {M(Multiply), "ff ff ff", "ff ff ff", "ff ff fe 00 00 01 "},

    {M(Divide), "10", "00", kFails},
    {M(Divide), "10", "00 00", kFails},
    {M(Divide), "01 00", "03", "55 "},
    {M(Divide), "05", "07", "00 "},
    {M(Divide), "07", "07", "01 "},
    {M(Divide), "00 00", "03", "00 "},
    {M(Divide), "01 00 00", "01 01", "ff "},
    {M(Divide), "12 34 56 78", "00 ff", "12 46 9d "},

    {M(Mod), "10", "00", kFails},
    {M(Mod), "00 05", "07", "05 "},
    {M(Mod), "12 34 56 78", "00 ff", "15 "},
    {M(Mod), "07", "07", "00 "},

    {M(ModPow2), "03", "05", "04 "},
    {M(ModPow2), "0a", "07", "02 "},
    {M(ModPow2), "00 00", "05", kFails},
    {M(ModPow2), "03", "00", kFails},

    {M(GCD), "0c", "12", "06 "},
    {M(GCD), "00 0c", "00 00 12", "06 "},
    {M(GCD), "11", "0d", "01 "},
    {M(GCD), "00", "05", kFails},
    {M(GCD), "05", "00 00", kFails},

    {M(ModInverse), "02", "04", "0"},
    {M(ModInverse), "03", "0b", "04 "},
    {M(ModInverse), "00", "05", "0"},
    {M(ModInverse), "0a", "00", "0"},
    // 01 02 03 is 6 modulo 7, its own inverse; the result area is not
    // limited to the modulus' length.
    {M(ModInverse), "01 02 03", "07", "06 "},
    {M(ModInverse), "03", "", kFails},
};

TEST(ZuriruvMethods, BinaryMethodTable) {
    ZuriruvCore core;
    for (const BinaryCase& c : kBinaryCases) {
        SCOPED_TRACE(std::string(c.method) + "(\"" + c.a + "\", \"" + c.b + "\")");
        TextResult r = kJunkText;
        const HRESULT hr = (core.*c.fn)(c.a, c.b, &r);
        EXPECT_EQ(hr, c.result ? S_OK : E_INVALIDARG);
        EXPECT_EQ(r, c.result);
    }
}

// --- One text operand and an integer argument --------------------------------------

using ShiftMethod = HRESULT (ZuriruvCore::*)(std::string_view, int32_t, TextResult*);

struct ShiftCase {
    const char* method;
    ShiftMethod fn;
    const char* text;
    int32_t n;
    Expected result;
};

const ShiftCase kShiftCases[] = {
    {M(BitLeftShift), "80 01", 1, "00 02 "},
    {M(BitLeftShift), "80 01", -1, kFails},
    {M(BitLeftShift), "81 01", 9, "02 00 "},
    {M(BitLeftShift), "81 01", 16, "00 00 "},
    {M(BitLeftShift), "81 01", 0, "81 01 "},
    {M(BitLeftShift), "1", 3, "08 "},
    {M(BitLeftShift), "80", 1, "00 "},
    {M(BitLeftShift), "1 2 3", 2147483647, "00 00 00 "},
    {M(BitLeftShift), "zz", 1, kFails},
    {M(BitRightShift), "81 01", 1, "40 80 "},
    {M(BitRightShift), "81 01", 12, "00 08 "},
    {M(BitRightShift), "81 01", -1, kFails},
    {M(BitRightShift), "00 01", 1, "00 00 "},

    {M(Swap), "11 22 33 44 55", 2, "22 11 44 33 55 "},
    {M(Swap), "11 22 33 44 55", 1, "55 44 33 22 11 "},
    {M(Swap), "11 22 33 44 55", 0, "11 22 33 44 55 "},
    {M(Swap), "11 22 33 44 55", 3, "33 22 11 55 44 "},
    {M(Swap), "11 22 33 44 55", 5, "55 44 33 22 11 "},
    {M(Swap), "11 22 33 44 55", 9, "55 44 33 22 11 "},
    {M(Swap), "1 2 3", 0, "1 2 3 "},
    {M(Swap), "\v a\tBc\r\n0 1 \f", 2, "Bc a 1 0 "},
    {M(Swap), "7", 1, "7 "},
    {M(Swap), "11 22", -1, kFails},
    {M(Swap), "", 2, kFails},
    {M(Swap), " \t ", 0, kFails},
    {M(Swap), "11 223", 1, kFails},
};

TEST(ZuriruvMethods, ShiftAndSwapTable) {
    ZuriruvCore core;
    for (const ShiftCase& c : kShiftCases) {
        SCOPED_TRACE(std::string(c.method) + "(\"" + c.text + "\", " + std::to_string(c.n) + ")");
        TextResult r = kJunkText;
        const HRESULT hr = (core.*c.fn)(c.text, c.n, &r);
        EXPECT_EQ(hr, c.result ? S_OK : E_INVALIDARG);
        EXPECT_EQ(r, c.result);
    }
}

// --- Methods of one text operand ---------------------------------------------------

using UnaryMethod = HRESULT (ZuriruvCore::*)(std::string_view, TextResult*);

struct UnaryCase {
    const char* method;
    UnaryMethod fn;
    const char* text;
    Expected result;
};

const UnaryCase kUnaryCases[] = {
    {M(BitNot), "00 0f", "ff f0 "},  {M(BitNot), "5", "fa "},
    {M(BitNot), "FF FF", "00 00 "},  {M(BitNot), "0 g", kFails},
    {M(Pow2), "ff", "fe 01 "},       {M(Pow2), "00 00", "00 "},
    {M(Pow2), "01 00", "01 00 00 "}, {M(Pow2), "00 00 00 03", "09 "},
    {M(Pow2), "", kFails},
};

TEST(ZuriruvMethods, UnaryMethodTable) {
    ZuriruvCore core;
    for (const UnaryCase& c : kUnaryCases) {
        SCOPED_TRACE(std::string(c.method) + "(\"" + c.text + "\")");
        TextResult r = kJunkText;
        const HRESULT hr = (core.*c.fn)(c.text, &r);
        EXPECT_EQ(hr, c.result ? S_OK : E_INVALIDARG);
        EXPECT_EQ(r, c.result);
    }
}

struct ModPowCase {
    const char* base;
    const char* pow;
    const char* mod;
    Expected result;
};

const ModPowCase kModPowCases[] = {
    {"02", "0a", "03 e8", "18 "}, {"03", "00", "05", "01 "},
    {"03", "00 00", "01", "01 "}, // a zero exponent gives 01 even modulo 1
    {"05", "01", "03", "02 "},    {"07", "ff", "01", "00 "},
    {"00", "05", "07", kFails},   {"03", "02", "00 00", kFails},
    {"03", "2", "0 5", "04 "},    {"03", "x", "05", kFails},
};

TEST(ZuriruvMethods, ModPowTable) {
    ZuriruvCore core;
    for (const ModPowCase& c : kModPowCases) {
        SCOPED_TRACE(std::string("ModPow(\"") + c.base + "\", \"" + c.pow + "\", \"" + c.mod +
                     "\")");
        TextResult r = kJunkText;
        const HRESULT hr = core.ModPow(c.base, c.pow, c.mod, &r);
        EXPECT_EQ(hr, c.result ? S_OK : E_INVALIDARG);
        EXPECT_EQ(r, c.result);
    }
}

// --- Integer results ---------------------------------------------------------------

TEST(ZuriruvMethods, BitCountAndCompare) {
    ZuriruvCore core;
    struct CountCase {
        const char* text;
        HRESULT hr;
        int32_t bits;
    };
    const CountCase counts[] = {
        {"  0a 0B  ", S_OK, 12}, {"00 00 01 00", S_OK, 9}, {"00 00", S_OK, 0},
        {"80 00 00", S_OK, 24},  {"g", E_INVALIDARG, 0},   {"", E_INVALIDARG, 0},
    };
    for (const CountCase& c : counts) {
        SCOPED_TRACE(c.text);
        int32_t bits = kJunkInt;
        EXPECT_EQ(core.BitCount(c.text, &bits), c.hr);
        EXPECT_EQ(bits, c.bits);
    }

    struct CompareCase {
        const char* a;
        const char* b;
        HRESULT hr;
        int32_t order;
    };
    const CompareCase compares[] = {
        {"00 01", "1", S_OK, 0},      {"01 00", "ff", S_OK, 1}, {"5", "6", S_OK, -1},
        {"00 00", "0", S_OK, 0},      {"0", "00 01", S_OK, -1}, {"123", "1", E_INVALIDARG, -1},
        {"1", " ", E_INVALIDARG, -1},
    };
    for (const CompareCase& c : compares) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        int32_t order = kJunkInt;
        EXPECT_EQ(core.Compare(c.a, c.b, &order), c.hr);
        EXPECT_EQ(order, c.order);
    }
}

using TestMethod = HRESULT (ZuriruvCore::*)(std::string_view, int32_t, int32_t*);

struct PrimalityCase {
    const char* method;
    TestMethod fn;
    const char* text;
    int32_t trials;
    HRESULT hr;
    int32_t verdict;
};

const PrimalityCase kPrimalityCases[] = {
    {M(MillerRabinTest), "0d", 0, S_OK, -1},
    {M(MillerRabinTest), "0d", -3, S_OK, -1},
    {M(MillerRabinTest), "0d", 5, S_OK, 1},
    {M(MillerRabinTest), "02 31", 20, S_OK, 0}, // 561, a Carmichael number
    {M(MillerRabinTest), "00 02", 1, S_OK, 1},
    {M(MillerRabinTest), "00 01", 1, S_OK, 0},
    {M(MillerRabinTest), "0", 1, S_OK, 0},
    {M(MillerRabinTest), "04", 1, S_OK, 0},
    {M(MillerRabinTest), "0x0d", 5, E_INVALIDARG, -1},
    {M(SolovayStrassenTest), "01 01", 10, S_OK, 1},
    {M(SolovayStrassenTest), "03 e7", 20, S_OK, 0}, // 999
    {M(SolovayStrassenTest), "01 01", 0, S_OK, -1},
    {M(SolovayStrassenTest), "", 1, E_INVALIDARG, -1},
    {M(FermatTest), "01 00 01", 10, S_OK, 1},
    {M(FermatTest), "03 e7", 20, S_OK, 0},
    {M(FermatTest), "3", 1, S_OK, 1},
    {M(FermatTest), "01 00 01", 0, S_OK, -1},
    {M(FermatTest), "1 2 3 100", 1, E_INVALIDARG, -1},
};

TEST(ZuriruvMethods, PrimalityTestTable) {
    ZuriruvCore core;
    for (const PrimalityCase& c : kPrimalityCases) {
        SCOPED_TRACE(std::string(c.method) + "(\"" + c.text + "\", " + std::to_string(c.trials) +
                     ")");
        int32_t verdict = kJunkInt;
        EXPECT_EQ((core.*c.fn)(c.text, c.trials, &verdict), c.hr);
        EXPECT_EQ(verdict, c.verdict);
    }
}

#undef M

// --- Common failures ---------------------------------------------------------------

TEST(ZuriruvMethods, NullResultPointerIsInvalid) {
    ZuriruvCore core;
    EXPECT_EQ(core.Add("01", "02", nullptr), E_INVALIDARG);
    EXPECT_EQ(core.BitCount("01", nullptr), E_INVALIDARG);
    EXPECT_EQ(core.Swap("01", 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(core.GenRandomBits(8, nullptr), E_INVALIDARG);
    EXPECT_EQ(core.MillerRabinSearch(16, 1, nullptr), E_INVALIDARG);
}

TEST(ZuriruvMethods, RefusedWorkingBlockIsOutOfMemory) {
    ZuriruvCore core;
    core.SetWorkingLimit(0);
    TextResult r = kJunkText;
    EXPECT_EQ(core.Multiply("02", "03", &r), E_OUTOFMEMORY);
    EXPECT_EQ(r, std::nullopt);
    r = kJunkText;
    EXPECT_EQ(core.GenRandomBits(8, &r), E_OUTOFMEMORY);
    EXPECT_EQ(r, std::nullopt);
    r = kJunkText;
    EXPECT_EQ(core.MillerRabinSearch(16, 1, &r), E_OUTOFMEMORY);
    EXPECT_EQ(r, std::nullopt);
    int32_t n = kJunkInt;
    EXPECT_EQ(core.BitCount("01", &n), E_OUTOFMEMORY);
    EXPECT_EQ(n, 0);
    n = kJunkInt;
    EXPECT_EQ(core.Compare("01", "02", &n), E_OUTOFMEMORY);
    EXPECT_EQ(n, -1);
    n = kJunkInt;
    EXPECT_EQ(core.MillerRabinTest("0d", 2, &n), E_OUTOFMEMORY);
    EXPECT_EQ(n, -1);
    // Invalid text is reported before any block is asked for.
    EXPECT_EQ(core.Multiply("02", "g", &r), E_INVALIDARG);

    // A block of a few hundred bytes is enough for small operands.
    core.SetWorkingLimit(1024);
    EXPECT_EQ(core.Multiply("02", "03", &r), S_OK);
    EXPECT_EQ(r, "06 ");
}

// --- Console output ----------------------------------------------------------------

struct FakeConsole {
    struct Sent {
        uint32_t hwnd, msg;
        std::string text;
    };
    std::vector<Sent> sent;
    std::vector<uint32_t> windows; // live handles

    ZuriruvCore Make() {
        return ZuriruvCore(
            [this](uint32_t hwnd, uint32_t msg, const std::string& text) {
                sent.push_back({hwnd, msg, text});
                return int32_t{0};
            },
            [this](uint32_t hwnd) {
                return std::find(windows.begin(), windows.end(), hwnd) != windows.end();
            });
    }
};

TEST(ZuriruvOutput, WithoutConsoleNothingIsSent) {
    FakeConsole console;
    console.windows = {0u};
    ZuriruvCore core = console.Make();
    EXPECT_EQ(core.ConsoleHandle(), 0u);
    EXPECT_EQ(core.Output("hello"), S_FALSE);
    EXPECT_TRUE(console.sent.empty());
}

TEST(ZuriruvOutput, SendsTextWithLineEndToTheConsole) {
    FakeConsole console;
    console.windows = {7};
    ZuriruvCore core = console.Make();
    EXPECT_EQ(core.SetConsoleHandle(7, 1535), S_OK);
    EXPECT_EQ(core.Output("r = 01 ff "), S_OK);
    EXPECT_EQ(core.Output(""), S_OK);
    EXPECT_EQ(core.Output("gr\xc3\xbc\xc3\x9f"
                          "e"),
              S_OK);
    ASSERT_EQ(console.sent.size(), 3u);
    EXPECT_EQ(console.sent[0].hwnd, 7u);
    EXPECT_EQ(console.sent[0].msg, 1535u);
    EXPECT_EQ(console.sent[0].text, "r = 01 ff \r\n");
    EXPECT_EQ(console.sent[1].text, "\r\n");
    EXPECT_EQ(console.sent[2].text, "gr\xc3\xbc\xc3\x9f"
                                    "e\r\n");
}

TEST(ZuriruvOutput, ClosedWindowGivesFalse) {
    FakeConsole console;
    console.windows = {7};
    ZuriruvCore core = console.Make();
    core.SetConsoleHandle(7, 1535);
    console.windows.clear();
    EXPECT_EQ(core.Output("x"), S_FALSE);
    // A later handle is used as given, including the high bit.
    core.SetConsoleHandle(-2, -1);
    EXPECT_EQ(core.ConsoleHandle(), 0xFFFFFFFEu);
    EXPECT_EQ(core.OutputMessage(), 0xFFFFFFFFu);
    console.windows = {0xFFFFFFFEu};
    EXPECT_EQ(core.Output("y"), S_OK);
    ASSERT_EQ(console.sent.size(), 1u);
    EXPECT_EQ(console.sent[0].hwnd, 0xFFFFFFFEu);
    EXPECT_EQ(console.sent[0].msg, 0xFFFFFFFFu);
}

TEST(ZuriruvOutput, HooksMissing) {
    std::vector<std::string> sent;
    ZuriruvCore sendOnly([&](uint32_t, uint32_t, const std::string& t) {
        sent.push_back(t);
        return int32_t{1};
    });
    EXPECT_EQ(sendOnly.Output("a"), S_FALSE);
    sendOnly.SetConsoleHandle(3, 1535);
    EXPECT_EQ(sendOnly.Output("b"), S_OK);
    EXPECT_EQ(sent, std::vector<std::string>{"b\r\n"});

    ZuriruvCore none;
    none.SetConsoleHandle(3, 1535);
    EXPECT_EQ(none.Output("c"), S_FALSE);
}

// --- Random numbers, the provider handle and the prime search --------------------

// Stands in for the platform provider: records the handle, writes a counter.
uint32_t g_seen_handle = 0;
uint8_t g_next_byte = 0;
int CountingFiller(uint32_t handle, uint32_t len, uint8_t* out) {
    g_seen_handle = handle;
    for (uint32_t i = 0; i < len; ++i)
        out[i] = g_next_byte++;
    return 1;
}

// Every candidate starts with a 00 byte; the rest is seeded pseudo-random.
std::mt19937 g_prime_rng(20240611);
int LeadingZeroFiller(uint32_t, uint32_t len, uint8_t* out) {
    for (uint32_t i = 0; i < len; ++i)
        out[i] = i == 0 ? 0 : static_cast<uint8_t>(g_prime_rng());
    return 1;
}

class ZuriruvRandom : public ::testing::Test {
protected:
    void TearDown() override {
        MPA_SetCryptHandle(0);
        mpa::SetRandomFiller(nullptr);
    }
};

// Bytes of a method's text result; empty when it is not "%02x " per byte.
std::vector<uint8_t> BytesOf(const std::string& text) {
    std::vector<uint8_t> bytes;
    if (text.size() % 3 != 0)
        return {};
    for (size_t i = 0; i < text.size(); i += 3) {
        const std::string digits = text.substr(i, 2);
        if (text[i + 2] != ' ' || digits.find_first_not_of("0123456789abcdef") != std::string::npos)
            return {};
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
    }
    return bytes;
}

TEST_F(ZuriruvRandom, GenRandomBitsLengthAndRange) {
    ZuriruvCore core;
    for (int32_t bad : {0, -1, INT32_MIN}) {
        TextResult r = kJunkText;
        EXPECT_EQ(core.GenRandomBits(bad, &r), E_INVALIDARG);
        EXPECT_EQ(r, std::nullopt);
    }
    const struct {
        int32_t bits;
        size_t bytes;
    } lengths[] = {{1, 1}, {8, 1}, {9, 2}, {16, 2}, {17, 3}, {1000, 125}};
    for (const auto& c : lengths) {
        SCOPED_TRACE(c.bits);
        TextResult r;
        ASSERT_EQ(core.GenRandomBits(c.bits, &r), S_OK);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(BytesOf(*r).size(), c.bytes) << *r;
    }
}

TEST_F(ZuriruvRandom, SetCryptHandleSelectsTheProvider) {
    mpa::SetRandomFiller(&CountingFiller);
    ZuriruvCore core;
    EXPECT_EQ(core.SetCryptHandle(0x1234), S_OK);
    g_next_byte = 0;
    TextResult r;
    ASSERT_EQ(core.GenRandomBits(24, &r), S_OK);
    EXPECT_EQ(r, "00 01 02 ");
    EXPECT_EQ(g_seen_handle, 0x1234u);

    // A negative long is the same 32-bit handle; the previous one is replaced.
    EXPECT_EQ(core.SetCryptHandle(-1), S_OK);
    ASSERT_EQ(core.GenRandomBits(4, &r), S_OK);
    EXPECT_EQ(r, "03 ");
    EXPECT_EQ(g_seen_handle, 0xFFFFFFFFu);
    EXPECT_EQ(MPA_SetCryptHandle(0), 0xFFFFFFFFu);
}

TEST_F(ZuriruvRandom, MillerRabinSearchArguments) {
    ZuriruvCore core;
    // Below 9 bits the search could never succeed: refused at once.
    for (int32_t bits : {INT32_MIN, -5, 0, 1, 8}) {
        SCOPED_TRACE(bits);
        TextResult r = kJunkText;
        EXPECT_EQ(core.MillerRabinSearch(bits, 5, &r), E_INVALIDARG);
        EXPECT_EQ(r, std::nullopt);
    }
    TextResult r = kJunkText;
    EXPECT_EQ(core.MillerRabinSearch(16, 0, &r), E_INVALIDARG);
    EXPECT_EQ(r, std::nullopt);
}

bool IsPrimeAbove1999(const std::vector<uint8_t>& bytes) {
    mpz_t z;
    mpz_init(z);
    mpz_import(z, bytes.size(), 1, 1, 1, 0, bytes.data());
    const bool ok = mpz_cmp_ui(z, 1999) > 0 && mpz_probab_prime_p(z, 30) > 0;
    mpz_clear(z);
    return ok;
}

TEST_F(ZuriruvRandom, MillerRabinSearchFindsPrimesOfTheAskedLength) {
    ZuriruvCore core;
    const struct {
        int32_t bits;
        size_t bytes;
    } cases[] = {{9, 2}, {16, 2}, {17, 3}, {64, 8}, {130, 17}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        TextResult r;
        ASSERT_EQ(core.MillerRabinSearch(c.bits, 10, &r), S_OK);
        ASSERT_TRUE(r.has_value());
        const std::vector<uint8_t> bytes = BytesOf(*r);
        EXPECT_EQ(bytes.size(), c.bytes) << *r;
        EXPECT_TRUE(IsPrimeAbove1999(bytes)) << *r;
    }
}

TEST_F(ZuriruvRandom, MillerRabinSearchKeepsLeadingZeroByte) {
    mpa::SetRandomFiller(&LeadingZeroFiller);
    ZuriruvCore core;
    core.SetCryptHandle(1);
    TextResult r;
    ASSERT_EQ(core.MillerRabinSearch(24, 10, &r), S_OK);
    ASSERT_TRUE(r.has_value());
    const std::vector<uint8_t> bytes = BytesOf(*r);
    ASSERT_EQ(bytes.size(), 3u) << *r;
    EXPECT_EQ(bytes[0], 0) << *r;
    EXPECT_TRUE(IsPrimeAbove1999(bytes)) << *r;
}

// --- The method table --------------------------------------------------------------

TEST(ZuriruvMethodTable, DescribesTheInterfaceInVtableOrder) {
    // Names, dispatch ids and parameters of IZuriruv, [out, retval] last.
    const char* const expected[] = {
        "1 SetConsoleHandle(long hConsole, int nMsg)",
        "2 Output(text pbstr)",
        "3 BitCount(text pbstr, out int pnBitCount)",
        "4 BitLeftShift(text pbstrHex, int nShift, out text ppbstrSft)",
        "5 BitRightShift(text pbstrHex, int nShift, out text ppbstrSft)",
        "6 BitNot(text pbstrSrc, out text ppbstrDest)",
        "7 BitAnd(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "8 BitOr(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "9 BitXor(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "10 GenRandomBits(int nBits, out text ppbstrOut)",
        "11 Compare(text pbstrHex1, text pbstrHex2, out int pnCmpVal)",
        "12 Add(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "13 Subtract(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "14 Multiply(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "15 Divide(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "16 Mod(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "17 Pow2(text pbstrOp, out text ppbstrRes)",
        "18 ModPow2(text pbstrBase, text pbstrMod, out text ppbstrRes)",
        "19 ModPow(text pbstrBase, text pbstrPow, text pbstrMod, out text ppbstrRes)",
        "20 GCD(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "21 ModInverse(text pbstrOp1, text pbstrOp2, out text ppbstrRes)",
        "22 FermatTest(text pbstrHex, int nTimes, out int pnVal)",
        "23 SolovayStrassenTest(text pbstrHex, int nTimes, out int pnVal)",
        "24 MillerRabinTest(text pbstrHex, int nTimes, out int pnVal)",
        "25 Swap(text pbstrHex, int nUnit, out text ppbstrRes)",
        "26 SetCryptHandle(long hCrypt)",
        "27 MillerRabinSearch(int nBits, int nTest, out text ppbstrRes)",
    };
    const auto methods = automation::ZuriruvMethods();
    ASSERT_EQ(methods.size(), std::size(expected));
    for (size_t i = 0; i < methods.size(); ++i) {
        const automation::MethodInfo& m = methods[i];
        std::ostringstream s;
        s << m.dispid << ' ' << m.name << '(';
        for (size_t p = 0; p < m.params.size(); ++p) {
            const automation::ParamInfo& param = m.params[p];
            if (p)
                s << ", ";
            if (param.direction == automation::ParamDirection::OutRetval) {
                EXPECT_EQ(p + 1, m.params.size()) << m.name << ": retval not last";
                s << "out ";
            }
            s << (param.type == automation::ParamType::Text   ? "text"
                  : param.type == automation::ParamType::Long ? "long"
                                                              : "int")
              << ' ' << param.name;
        }
        s << ')';
        EXPECT_EQ(s.str(), expected[i]);
        EXPECT_EQ(std::string(m.help), std::string("method ") + m.name);
    }
}

} // namespace
