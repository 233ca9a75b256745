// Reading and writing the hex byte strings of the automation methods.
#include "automation/zuriruv_hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using automation::CountHexTokens;
using automation::DecodeHexTokens;
using automation::FormatHexBytes;
using automation::HexTokens;
using Bytes = std::vector<uint8_t>;

struct ReadCase {
    const char* what;
    std::string text;
    Bytes bytes; // empty: the text is invalid
};

const ReadCase kReadCases[] = {
    {"two tokens", "0a 0B", {0x0a, 0x0b}},
    {"padded with spaces", "  0a 0B  ", {0x0a, 0x0b}},
    {"lone digit", "5", {0x05}},
    {"lone digits", "1 2 3", {0x01, 0x02, 0x03}},
    {"leading zero bytes count", "00 05", {0x00, 0x05}},
    {"mixed case", "fF Ab", {0xff, 0xab}},
    {"tab, CR and LF separate", "01\t02\r03\n04", {0x01, 0x02, 0x03, 0x04}},
    {"a run of separators", "01 \t\r\n 02", {0x01, 0x02}},
    {"vertical tab and form feed trimmed", "\v\f01 02\f\v", {0x01, 0x02}},
    {"every trimmed character", " \t\n\v\f\r7\r\f\v\n\t ", {0x07}},
    {"three digits", "123", {}},
    {"three digits after a good token", "01 123", {}},
    {"not a hex digit", "0g", {}},
    {"0x prefix", "0x1", {}},
    {"sign", "+1", {}},
    {"comma", "01,02", {}},
    {"empty", "", {}},
    {"only spaces", "   ", {}},
    {"only tab, CR, LF", "\t\r\n", {}},
    {"only vertical tab and form feed", "\v\f", {}},
    {"vertical tab between tokens", "01\v02", {}},
    {"form feed between tokens", "01 \f 02", {}},
    {"embedded NUL", std::string("01\0 02", 6), {}},
    {"non-ASCII letter", "ff \xc3\xa4", {}},
    {"non-breaking space",
     "01\xc2\xa0"
     "02",
     {}},
};

TEST(ZuriruvHex, ReadsTokensAndRejectsInvalidText) {
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.what);
        const size_t count = CountHexTokens(c.text);
        ASSERT_EQ(count, c.bytes.size());
        if (count == 0)
            continue;
        Bytes out(count + 1, 0xEE);
        DecodeHexTokens(c.text, out.data());
        EXPECT_EQ(out.back(), 0xEE) << "wrote past the token count";
        out.pop_back();
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(ZuriruvHex, TokensKeepTheirSpelling) {
    const std::vector<std::string_view> tokens = HexTokens("\v a\tBc\r\n0 \f");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0], "a");
    EXPECT_EQ(tokens[1], "Bc");
    EXPECT_EQ(tokens[2], "0");
}

TEST(ZuriruvHex, FormatsEveryByteAsTwoLowercaseDigitsAndASpace) {
    EXPECT_EQ(FormatHexBytes(nullptr, 0), "");
    const Bytes sample = {0x01, 0xff};
    EXPECT_EQ(FormatHexBytes(sample.data(), sample.size()), "01 ff ");

    Bytes all(256);
    std::string expected;
    for (int i = 0; i < 256; ++i) {
        all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02x ", i);
        expected += buf;
    }
    EXPECT_EQ(FormatHexBytes(all.data(), all.size()), expected);
}

} // namespace
