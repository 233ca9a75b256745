// Operand text: token helpers, normalising, grouping, and reading and showing
// box text in every number system.
#include "text/hex_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace text {
namespace {

TEST(FindOneOf, Vectors) {
    struct Case {
        const char* text;
        const char* set;
        int32_t start;
        int32_t expected;
    };
    const Case cases[] = {
        {"12a", "abc", 0, 2},  {"12a", "abc", 2, 2}, {"12a", "abc", 3, -1}, {"a1a", "a", 1, 2},
        {"xyz", "abc", 0, -1}, {"abc", "", 0, -1},   {"abc", "a", -1, -1},  {"", "a", 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOneOf(c.text, c.set, c.start), c.expected)
            << c.text << " / " << c.set << " from " << c.start;
}

TEST(FormatHexBytes, WritesEveryByteWithTrailingSpace) {
    const uint8_t bytes[] = {0x01, 0xA0, 0x00, 0xff};
    std::string out = "old";
    EXPECT_EQ(FormatHexBytes(bytes, 2, out), 6);
    EXPECT_EQ(out, "01 a0 ");
    EXPECT_EQ(FormatHexBytes(bytes, 4, out), 12);
    EXPECT_EQ(out, "01 a0 00 ff ");
    EXPECT_EQ(FormatHexBytes(bytes, 0, out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(FormatHexBytes(nullptr, 0, out), 0);
}

TEST(FormatHexBytes, InvalidArgumentsLeaveOutputUntouched) {
    const uint8_t bytes[] = {1};
    std::string out = "keep";
    EXPECT_EQ(FormatHexBytes(bytes, -1, out), -1);
    EXPECT_EQ(FormatHexBytes(nullptr, 3, out), -1);
    EXPECT_EQ(out, "keep");
}

TEST(ParseHexBytes, KeepsLowestByteOfLeadingDigits) {
    struct Case {
        const char* text;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"1FF", {0xff}},
        {"12 zz 3g", {0x12, 0x00, 0x03}},
        {"  01\t02\r\n03 ", {1, 2, 3}},
        {"abcdef", {0xef}},
        {"g3 \xff" "1 4\xe9" "5", {0x00, 0x00, 0x04}},
        {"", {}},
        {" \n ", {}},
    };
    for (const Case& c : cases) {
        uint8_t buf[8] = {};
        int32_t n = ParseHexBytes(c.text, buf, sizeof buf);
        EXPECT_EQ(std::vector<uint8_t>(buf, buf + std::max(n, 0)), c.expected) << c.text;
        EXPECT_EQ(ParseHexBytes(c.text, nullptr, 0), static_cast<int32_t>(c.expected.size()));
    }
}

TEST(ParseHexBytes, StopsAtCapacityAndRejectsZeroCapacity) {
    uint8_t buf[3] = {0xee, 0xee, 0xee};
    EXPECT_EQ(ParseHexBytes("01 02 03", buf, 2), 2);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(buf[2], 0xee);
    EXPECT_EQ(ParseHexBytes("01", buf, 0), -1);
    EXPECT_EQ(ParseHexBytes("01", buf, -4), -1);
}

TEST(GetHexToken, Vectors) {
    struct Case {
        const char* text;
        int32_t index;
        int32_t expected;
    };
    const Case cases[] = {
        {"12 ab 7", 0, 0x12},
        {"12 ab 7", 1, 0xab},
        {"12 ab 7", 2, 7},
        {"12 ab 7", 3, -1},
        {"12 ab 7", -1, -1},
        {"", 0, -1},
        {"  7fffffff ", 0, 0x7fffffff},
        {"ffffffff", 0, INT32_MAX},
        {"1x", 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetHexToken(c.text, c.index), c.expected) << c.text << " #" << c.index;
}

TEST(CountHexTokens, Vectors) {
    struct Case {
        const char* text;
        bool bytesOnly;
        int32_t expected;
    };
    const Case cases[] = {
        {"12 ab", false, 2}, {" \t\r\n", false, 0}, {"", true, 0},     {"12 x", false, -1},
        {"123", true, -1},   {"123", false, 1},     {"1 22", true, 2}, {"0x1F", false, -1},
        {"-5", false, -1},   {"aB\tCd\n", true, 2}, {"g", false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountHexTokens(c.text, c.bytesOnly), c.expected)
            << '"' << c.text << "\" bytesOnly=" << c.bytesOnly;
}

TEST(NormalizeHexText, OddTokensGetALeadingZero) {
    struct Case {
        const char* text;
        const char* list;
        int32_t bytes;
    };
    const Case cases[] = {
        {"1", "01 ", 1},
        {"ABC 1", "0A BC 01 ", 3},
        {"12 3 456", "12 03 04 56 ", 4},
        {"  abcde\r\n", "0a bc de ", 3},
        {"aB Cd", "aB Cd ", 2},
        {"", "", 0},
        {" \t ", "", 0},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        EXPECT_EQ(NormalizeHexText(c.text, out), c.bytes) << c.text;
        EXPECT_EQ(out, c.list) << c.text;
    }
}

TEST(GroupDigits, GroupsFromTheRight) {
    struct Case {
        NumberSystem system;
        const char* text;
        const char* shown;
        int32_t groups;
    };
    const Case cases[] = {
        {Decimal, "1000000", "1 000 000 ", 3},
        {Decimal, "  12 34 5 ", "12 345 ", 2},
        {Decimal, "123", "123 ", 1},
        {Octal, "1234", "1 234 ", 2},
        {Binary, "101", "101 ", 1},
        {Binary, "00001111", "0000 1111 ", 2},
        {Binary, "100000000", "1 0000 0000 ", 3},
        {Decimal, "", "", 0},
        {Binary, " \n", "", 0},
        {Hexadecimal, "ABC 1", "0A BC 01 ", 3},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        EXPECT_EQ(GroupDigits(c.system, c.text, out), c.groups) << c.text;
        EXPECT_EQ(out, c.shown) << c.text;
    }
    std::string out = "keep";
    EXPECT_EQ(GroupDigits(static_cast<NumberSystem>(7), "12", out), -1);
    EXPECT_EQ(out, "keep");
}

TEST(ApplyLetterCase, WholeText) {
    EXPECT_EQ(ApplyLetterCase("ab cd ", true), "AB CD ");
    EXPECT_EQ(ApplyLetterCase("AB cD ", false), "ab cd ");
    EXPECT_EQ(ApplyLetterCase("0x-z9", true), "0X-Z9");
}

struct ReadCase {
    NumberSystem system;
    const char* text;
    int32_t count;
    int message;
    const char* list;
};

TEST(ToHexList, ChecksInOrderAndConverts) {
    const ReadCase cases[] = {
        // hexadecimal text as typed
        {Hexadecimal, "1", 1, 0, "01 "},
        {Hexadecimal, "ABC", 2, 0, "0A BC "},
        {Hexadecimal, "12 3 456", 4, 0, "12 03 04 56 "},
        {Hexadecimal, " aB\r\n", 1, 0, "aB "},
        {Hexadecimal, "", 0, 0, ""},
        {Hexadecimal, " \t\r\n ", 0, 0, ""},
        {Hexadecimal, "0x1F", -1, kMsgInvalidInput, ""},
        // decimal
        {Decimal, "1 234", 2, 0, "04 d2 "},
        {Decimal, "1234", 2, 0, "04 d2 "},
        {Decimal, "0", 1, 0, "00 "},
        {Decimal, "0000", 1, 0, "00 "},
        {Decimal, "0255", 1, 0, "ff "},
        {Decimal, "256", 2, 0, "01 00 "},
        {Decimal, "\n 65 536 \n", 3, 0, "01 00 00 "},
        {Decimal, "-5", -1, kMsgInvalidInput, ""},
        {Decimal, "12x", -1, kMsgInvalidInput, ""},
        {Decimal, "12a", -1, kMsgInvalidDecimal, ""},
        {Decimal, "1a x", -1, kMsgInvalidInput, ""}, // the generic message wins
        {Decimal, "  ", 0, 0, ""},
        // octal
        {Octal, "17", 1, 0, "0f "},
        {Octal, "377 0", 2, 0, "07 f8 "},
        {Octal, "8", -1, kMsgInvalidOctal, ""},
        {Octal, "9a", -1, kMsgInvalidOctal, ""},
        // binary
        {Binary, "1 0000 0000", 2, 0, "01 00 "},
        {Binary, "0000000000000001", 2, 0, "00 01 "},
        {Binary, "0", 1, 0, "00 "},
        {Binary, "2", -1, kMsgInvalidBinary, ""},
        {Binary, "10f", -1, kMsgInvalidBinary, ""},
        {static_cast<NumberSystem>(4), "12", -1, 0, ""},
    };
    for (const ReadCase& c : cases) {
        std::string list = "untouched";
        HexListResult r = ToHexList(c.system, c.text, list);
        SCOPED_TRACE(testing::Message() << "system " << c.system << " text \"" << c.text << '"');
        EXPECT_EQ(r.count, c.count);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(list, c.count > 0 ? c.list : "untouched");
    }
}

TEST(FromHexList, ShowsInEverySystem) {
    struct Case {
        NumberSystem system;
        const char* list;
        bool upper;
        const char* shown;
    };
    const Case cases[] = {
        {Decimal, "00 0F ", true, "15 "},
        {Decimal, "00 ", true, "000 "},
        {Decimal, "00 00 ", true, "0 "},
        {Decimal, "0F 42 40 ", true, "1 000 000 "},
        {Octal, "0A BC ", true, "5 274 "},
        {Octal, "00 ", true, "000 "},
        {Binary, "00 0F ", true, "0000 0000 0000 1111 "},
        {Binary, "05 ", true, "0000 0101 "},
        {Hexadecimal, "ab cd ", true, "AB CD "},
        {Hexadecimal, "AB Cd ", false, "ab cd "},
        {Decimal, "", true, ""},
        {Binary, " \r\n", true, ""},
        {Hexadecimal, "", false, ""},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        SCOPED_TRACE(testing::Message() << "system " << c.system << " list \"" << c.list << '"');
        EXPECT_EQ(FromHexList(c.system, c.list, c.upper, out),
                  static_cast<int32_t>(std::string(c.shown).size()));
        EXPECT_EQ(out, c.shown);
    }
    std::string out = "keep";
    EXPECT_EQ(FromHexList(static_cast<NumberSystem>(-1), "01 ", true, out), -1);
    EXPECT_EQ(out, "keep");
}

// Changing a box's number system: show the list in the new system, read it
// back. Binary keeps every byte; decimal and octal keep only the value.
TEST(NumberSystemChange, RoundTripsOfRandomLists) {
    const unsigned seed = 20240611;
    std::printf("NumberSystemChange seed %u\n", seed);
    std::mt19937 rng(seed);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(1 + rng() % 40);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(rng());
        for (size_t z = rng() % 4; z > 0 && z <= bytes.size(); --z)
            bytes[z - 1] = 0; // leading zero bytes
        std::string list;
        ASSERT_GT(FormatHexBytes(bytes.data(), static_cast<int32_t>(bytes.size()), list), 0);

        std::string minimal = list.substr(0, list.size() - 3);
        while (minimal.starts_with("00 "))
            minimal.erase(0, 3);
        minimal += list.substr(list.size() - 3); // the last byte always stays

        SCOPED_TRACE(list);
        for (NumberSystem system : {Hexadecimal, Decimal, Octal, Binary}) {
            std::string shown, back;
            ASSERT_GT(FromHexList(system, list, false, shown), 0);
            HexListResult r = ToHexList(system, shown, back);
            EXPECT_EQ(r.message, 0);
            const std::string& expected =
                system == Hexadecimal || system == Binary ? list : minimal;
            EXPECT_EQ(back, expected) << "system " << system << " shown " << shown;
            EXPECT_EQ(r.count, static_cast<int32_t>(expected.size() / 3));
        }
    }
}

} // namespace
} // namespace text
