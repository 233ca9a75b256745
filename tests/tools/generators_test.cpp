// The generators' requests: lengths, seeds and their message, the raised
// prime length.
#include "mpa/mpa.h"
#include "text/hex_text.h"
#include "tools/generators.h"

#include <gtest/gtest.h>

namespace {

using tools::SeedType;

int Bytes(const std::string& list) {
    return text::ParseHexBytes(list, nullptr, 0);
}

TEST(Generators, RandomNumberLengths) {
    struct Row {
        int bits, bytes;
    } rows[] = {{1, 1}, {0, 1}, {8, 1}, {9, 2}, {12, 2}, {128, 16}, {1000, 125}};
    for (const Row& r : rows) {
        tools::GeneratorResult g = tools::GenerateRandomNumber(r.bits, SeedType::None, "");
        ASSERT_TRUE(g.ok) << r.bits;
        EXPECT_EQ(Bytes(g.list), r.bytes) << r.bits;
        EXPECT_EQ(text::CountHexTokens(g.list, true), r.bytes);
    }
}

TEST(Generators, SeedsEnterTheBufferAsBytes) {
    std::string bytes;
    ASSERT_TRUE(tools::SeedBytes(SeedType::Hex, "12 345", bytes));
    EXPECT_EQ(bytes, std::string("\x12\x03\x45", 3));
    EXPECT_FALSE(tools::SeedBytes(SeedType::Hex, "12 XY", bytes));
    ASSERT_TRUE(tools::SeedBytes(SeedType::Ascii, "Hi!", bytes));
    EXPECT_EQ(bytes, "Hi!");
    ASSERT_TRUE(tools::SeedBytes(SeedType::None, "12", bytes));
    EXPECT_EQ(bytes, "");

    tools::GeneratorResult bad = tools::GenerateRandomNumber(64, SeedType::Hex, "12 XY");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.message, 2005);
    // A seed longer than the buffer enlarges it; the number keeps its size.
    tools::GeneratorResult longSeed =
        tools::GenerateRandomNumber(16, SeedType::Hex, std::string(200, 'a'));
    ASSERT_TRUE(longSeed.ok);
    EXPECT_EQ(Bytes(longSeed.list), 2);
}

TEST(Generators, PrimesAreProbablePrimesOfTheirLength) {
    struct Row {
        int bits, bytes;
    } rows[] = {{8, 2}, {9, 2}, {16, 2}, {17, 3}, {64, 8}};
    for (const Row& r : rows) {
        tools::GeneratorResult g = tools::GenerateRandomPrime(r.bits, 8);
        ASSERT_TRUE(g.ok) << r.bits;
        uint8_t n[16] = {};
        const int len = text::ParseHexBytes(g.list, n, sizeof n);
        EXPECT_EQ(len, r.bytes) << r.bits;
        EXPECT_EQ(n[len - 1] & 1, 1) << g.list;
        EXPECT_GT(MPA_MillerRabinTest(n, len, 16), 0) << g.list;
        if (r.bits <= 16) {
            EXPECT_GT(n[0] * 256 + n[1], 1999) << g.list;
        }
    }
}

} // namespace
