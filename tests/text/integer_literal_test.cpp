// Integer literals of the parameter fields.
#include "text/integer_literal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace text {
namespace {

TEST(ParseIntegerLiteral, Table) {
    struct Case {
        const char* text;
        NumberSystem system;
        std::optional<int64_t> expected;
    };
    const std::optional<int64_t> fail;
    const Case cases[] = {
        {"123", Decimal, 123},
        {"+5", Decimal, 5},
        {"  -  5 \r\n", Decimal, -5},
        {"0x", Decimal, 0}, // prefix without digits: hexadecimal zero
        {"-0x10", Decimal, -16},
        {"0X1f", Decimal, 31},
        {" 0x  1F ", Decimal, 31},
        {"o17", Decimal, 15},
        {"O17", Hexadecimal, 15},
        {"00012", Decimal, 12},
        {"0", Decimal, 0},
        {"000", Binary, 0},
        {"", Decimal, 0},
        {"-", Decimal, 0},
        {"1 0", Decimal, fail},
        {"12a", Decimal, fail},
        {"o", Decimal, fail}, // a lone o is no prefix
        {"0x-1", Decimal, fail},
        {"0o17", Decimal, fail},
        {"0b101", Decimal, fail},
        {"0b101", Hexadecimal, 0xb101},
        {"ff", Hexadecimal, 255},
        {"FF", Decimal, fail},
        {"17", Octal, 15},
        {"19", Octal, fail},
        {"101", Binary, 5},
        {"102", Binary, fail},
        {"--1", Decimal, fail},
        // wrap-around modulo 2^64
        {"18446744073709551615", Decimal, -1},
        {"18446744073709551616", Decimal, 0},
        {"18446744073709551617", Decimal, 1},
        {"0x10000000000000001", Decimal, 1},
        {"9223372036854775808", Decimal, std::numeric_limits<int64_t>::min()},
        {"-9223372036854775808", Decimal, std::numeric_limits<int64_t>::min()},
        {"-1", Decimal, -1},
        {"-0xffffffffffffffff", Decimal, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIntegerLiteral(c.text, c.system), c.expected)
            << '"' << c.text << "\" system " << c.system;
}

TEST(ParseIntegerLiteral, UnknownDefaultSystemFails) {
    EXPECT_EQ(ParseIntegerLiteral("1", static_cast<NumberSystem>(9)), std::nullopt);
    EXPECT_EQ(ParseIntegerLiteral("0x1", static_cast<NumberSystem>(-1)), std::nullopt);
}

} // namespace
} // namespace text
