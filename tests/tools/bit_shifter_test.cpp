// The Bit Shifter's register: shifts from a vector file, the feedback
// register with taps on bits 31 and 21, the load field and the displays.
#include "tools/bit_shifter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

using tools::ShiftType;

TEST(BitShifter, ShiftVectors) {
    const std::map<std::string, ShiftType> types = {{"rotate", ShiftType::Rotate},
                                                    {"arithmetic", ShiftType::Arithmetic},
                                                    {"logical", ShiftType::Logical},
                                                    {"feedback", ShiftType::Feedback}};
    std::ifstream in(TEST_DATA_DIR "/tools/bit_shifter.tsv");
    ASSERT_TRUE(in);
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream f(line);
        std::string value, type, direction, expected;
        int feedback = 0;
        f >> value >> type >> direction >> feedback >> expected;
        const uint32_t v = std::stoul(value, nullptr, 16);
        const uint32_t got = direction == "L" ? tools::ShiftLeft(v, types.at(type), feedback)
                                              : tools::ShiftRight(v, types.at(type));
        EXPECT_EQ(got, std::stoul(expected, nullptr, 16)) << line;
        ++rows;
    }
    EXPECT_GT(rows, 10);
}

// A Fibonacci register over taps 31 and 21 started at 1: the single 1 bit
// walks up, and a 1 is fed into bit 0 exactly when bit 31 or bit 21 is set
// (one of them, not both).
TEST(BitShifter, FeedbackRegisterWalksAndFeeds) {
    const uint32_t taps = (1u << 31) | (1u << 21);
    uint32_t v = 1;
    for (int step = 0; step < 40; ++step) {
        const int fed = tools::FeedbackBit(v, taps);
        EXPECT_EQ(fed, (((v >> 31) ^ (v >> 21)) & 1)) << step;
        const uint32_t next = tools::ShiftLeft(v, ShiftType::Feedback, fed);
        EXPECT_EQ(next, (v << 1) | static_cast<uint32_t>(fed));
        v = next;
    }
    EXPECT_EQ(tools::FeedbackBit(1u << 21, taps), 1);
    EXPECT_EQ(tools::FeedbackBit((1u << 21) | (1u << 31), taps), 0);
    EXPECT_EQ(tools::FeedbackBit(0xFFFFFFFF, 0), 0) << "no tap: acts as a logical shift";
}

TEST(BitShifter, LoadFieldAndDisplays) {
    struct Row {
        const char* text;
        uint32_t value;
    } rows[] = {{"1ffffffff", 0xFFFFFFFF}, {"-1", 0xFFFFFFFF}, {"xyz", 0},
                {"  0x1A2b", 0x1A2B},      {"+ff", 0xFF},      {"12g4", 0x12},
                {"-0x10", 0xFFFFFFF0},     {"0x", 0},          {"", 0},
                {"-1ffffffff", 0xFFFFFFFF}};
    for (const Row& r : rows)
        EXPECT_EQ(tools::ParseLoadValue(r.text), r.value) << r.text;

    EXPECT_EQ(tools::RegisterText(0xABCD0012, true), "ABCD 0012");
    EXPECT_EQ(tools::RegisterText(0xABCD0012, false), "abcd 0012");
    EXPECT_EQ(tools::ByteText(0xABCD0012, 3, true), "AB");
    EXPECT_EQ(tools::ByteText(0xABCD0012, 0, false), "12");
    EXPECT_EQ(tools::WordText(0xABCD0012, true, false), "abcd");
}

} // namespace
