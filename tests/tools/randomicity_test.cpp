// The randomicity counts of the dialog's edge cases, the lines they are
// shown as, and the primality verdicts.
#include "tools/primality.h"
#include "tools/randomicity.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Randomicity, Counts) {
    struct Row {
        std::vector<uint8_t> bytes;
        int bits, ones, zeros, runOnes, runZeros, c10, c01;
    } rows[] = {
        {{0x0F}, 8, 4, 4, 4, 4, 0, 1},          {{0xAA, 0x55}, 16, 8, 8, 1, 2, 7, 7},
        {{0xFF}, 8, 8, 0, 8, 0, 0, 0},          {{0x00}, 8, 0, 8, 0, 8, 0, 0},
        {{0x80, 0x01}, 16, 2, 14, 1, 14, 1, 1}, {{0xF0, 0x0F}, 16, 8, 8, 4, 8, 1, 1},
    };
    for (const Row& r : rows) {
        tools::RandomicityCounts c = tools::CountRandomicity(r.bytes.data(), r.bytes.size());
        SCOPED_TRACE(r.bits);
        EXPECT_EQ(c.bytes, static_cast<int>(r.bytes.size()));
        EXPECT_EQ(c.bits, r.bits);
        EXPECT_EQ(c.ones, r.ones);
        EXPECT_EQ(c.zeros, r.zeros);
        EXPECT_EQ(c.longestOnes, r.runOnes);
        EXPECT_EQ(c.longestZeros, r.runZeros);
        EXPECT_EQ(c.ones10, r.c10);
        EXPECT_EQ(c.zeros01, r.c01);
    }
    EXPECT_EQ(tools::CountRandomicity(nullptr, 0).bits, 0);
}

TEST(Randomicity, LinesAsTheDialogListsThem) {
    const uint8_t ff = 0xFF;
    auto lines = tools::RandomicityLines(tools::CountRandomicity(&ff, 1));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2].first, "Number of bit 1:");
    EXPECT_EQ(lines[2].second, "8 (100.00 %)");
    EXPECT_EQ(lines[3].second, "0 (0.00 %)");
    EXPECT_EQ(lines[7].first, "Longest run of bits 01:");
    EXPECT_EQ(tools::PercentText(50), "(50.00 %)");
}

TEST(Primality, VerdictsAndTheirMessages) {
    using tools::PrimalityKind;
    struct Row {
        PrimalityKind kind;
        std::vector<uint8_t> n;
        int message;
    } rows[] = {
        {PrimalityKind::Fermat, {0x61}, 2009},
        {PrimalityKind::SolovayStrassen, {0x61}, 2010},
        {PrimalityKind::MillerRabin, {0x61}, 2011},
        {PrimalityKind::General, {0x61}, 2012},
        {PrimalityKind::General, {0x01, 0x00}, 2008},
        {PrimalityKind::MillerRabin, {0x0F}, 2008},
        {PrimalityKind::General, {0x02, 0x61}, 2008}, // 609 = 3 * 7 * 29
    };
    for (const Row& r : rows) {
        tools::PrimalityVerdict v = tools::RunPrimalityTest(r.kind, r.n, 8);
        EXPECT_EQ(v.message, r.message) << static_cast<int>(r.kind);
        EXPECT_FALSE(v.error);
    }
    tools::PrimalityVerdict bad = tools::RunPrimalityTest(PrimalityKind::Fermat, {}, 8);
    EXPECT_EQ(bad.message, 2013);
    EXPECT_TRUE(bad.error);
}

} // namespace
