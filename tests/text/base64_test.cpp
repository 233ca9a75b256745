// The program's Base64: vectors, line layout, decoding rules, round trips.
#include "text/base64.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace text {
namespace {

std::vector<uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

std::string Encode(const std::vector<uint8_t>& b) {
    std::string out = "stale";
    int32_t n = EncodeBase64(b.data(), static_cast<int32_t>(b.size()), out);
    EXPECT_EQ(n, static_cast<int32_t>(out.size()));
    return out;
}

TEST(EncodeBase64, Vectors) {
    // RFC 4648 test vectors, laid out in this program's lines.
    struct Case {
        std::vector<uint8_t> bytes;
        const char* text;
    };
    const Case cases[] = {
        {{}, "\r\n"},
        {Bytes("f"), "\r\nZg=="},
        {Bytes("fo"), "\r\nZm8="},
        {Bytes("foo"), "Zm9v\r\n"},
        {Bytes("foob"), "Zm9v\r\nYg=="},
        {Bytes("fooba"), "Zm9v\r\nYmE="},
        {Bytes("foobar"), "Zm9vYmFy\r\n"},
        {Bytes("abc"), "YWJj\r\n"},
        {{0xff}, "\r\n*w=="},             // value 63 is an asterisk
        {{0xfb, 0xff}, "\r\n+*8="},       // 62 and 63
        {{0xff, 0xff, 0xff}, "****\r\n"}, // every character 63
        {{0x00, 0x00, 0x00}, "AAAA\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.bytes), c.text);
}

std::vector<size_t> LineLengths(const std::string& text) {
    std::vector<size_t> lengths;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lengths.push_back(at - start);
    lengths.push_back(text.size() - start); // the padded remainder, unterminated
    return lengths;
}

TEST(EncodeBase64, LinesOf72AndAlwaysAFinalBreak) {
    struct Case {
        size_t bytes;
        std::vector<size_t> lines;
    };
    const Case cases[] = {
        {0, {0, 0}},
        {1, {0, 4}},
        {3, {4, 0}},
        {4, {4, 4}},
        {53, {68, 4}},
        {54, {72, 0, 0}}, // a full line, then the empty line of the final break
        {55, {72, 0, 4}},
        {57, {72, 4, 0}},
        {108, {72, 72, 0, 0}},
        {110, {72, 72, 0, 4}},
        {200, {72, 72, 72, 48, 4}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes(c.bytes, 0x5a);
        std::string text = Encode(bytes);
        EXPECT_EQ(LineLengths(text), c.lines) << c.bytes << " bytes";
        EXPECT_EQ(text.find('\n'), text.find('\r') + 1) << "CR and LF go together";
    }
}

TEST(EncodeBase64, RejectsInvalidArgumentsAndEmptiesOutput) {
    std::string out = "stale";
    EXPECT_EQ(EncodeBase64(nullptr, 3, out), -1);
    EXPECT_EQ(out, "");
    const uint8_t b[] = {1};
    EXPECT_EQ(EncodeBase64(b, -1, out), -1);
    EXPECT_EQ(EncodeBase64(nullptr, 0, out), 2);
    EXPECT_EQ(out, "\r\n");
}

std::string Decode(std::string_view text, int32_t capacity) {
    std::vector<uint8_t> out(static_cast<size_t>(std::max(capacity, 1)), 0xee);
    int32_t n = DecodeBase64(text, out.data(), capacity);
    if (n < 0)
        return "<invalid>";
    return std::string(out.begin(), out.begin() + n);
}

TEST(DecodeBase64, Vectors) {
    struct Case {
        std::string text;
        std::string decoded;
    };
    const Case cases[] = {
        {"Zm9v\r\nYg==", "foob"},
        {" Z m\t9\nv ", "foo"},
        {"Zg==garbage!/", "f"}, // nothing after the first '=' is read
        {"Zm9vYmE=", "fooba"},
        {"Zm9vY", "foo"}, // six bits left over are dropped
        {"\r\n*w==", "\xff"},
        {"", ""},
        {"====", ""},
        {"Zm9/", "<invalid>"}, // the slash is not in this alphabet
        {"Zm-9", "<invalid>"},
        {std::string("Zm\x80v"), "<invalid>"},
        {std::string("Zm\xffv"), "<invalid>"},
        {std::string("Z\0g=", 4), "<invalid>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.text, static_cast<int32_t>(c.text.size())), c.decoded) << c.text;
}

TEST(DecodeBase64, CapacityMustCoverTheTextLength) {
    // Three bytes would fit, but the rule is about the text's length.
    EXPECT_EQ(Decode("Zm9v", 3), "<invalid>");
    EXPECT_EQ(Decode("Zm9v", 4), "foo");
    EXPECT_EQ(DecodeBase64("Zm9v", nullptr, 100), -1);
    uint8_t b[1];
    EXPECT_EQ(DecodeBase64("", b, 0), 0);
    EXPECT_EQ(DecodeBase64("", b, -1), -1);
}

TEST(CheckBase64, Vectors) {
    struct Case {
        std::string text;
        int32_t expected;
    };
    const Case cases[] = {
        {"", 0},      {"Zm9v\r\n=\t ", 9}, {"+*AZaz09", 8},           {"Zm9/", -1},
        {"Zm-9", -1}, {"Zm9v\v", -1},      {std::string("\x80"), -1}, {std::string("A\0", 2), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckBase64(c.text), c.expected) << c.text;
}

TEST(Base64, DecodeOfEncodeIsIdentity) {
    const unsigned seed = 6472;
    std::printf("Base64 seed %u\n", seed);
    std::mt19937 rng(seed);
    for (size_t n = 0; n <= 400; ++n) {
        std::vector<uint8_t> bytes(n);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(rng());
        std::string text = Encode(bytes);
        ASSERT_EQ(CheckBase64(text), static_cast<int32_t>(text.size()));
        std::vector<uint8_t> back(text.size() + 1);
        int32_t len = DecodeBase64(text, back.data(), static_cast<int32_t>(back.size()));
        ASSERT_EQ(len, static_cast<int32_t>(n)) << n << " bytes";
        back.resize(static_cast<size_t>(len));
        EXPECT_EQ(back, bytes) << n << " bytes";
    }
}

} // namespace
} // namespace text
