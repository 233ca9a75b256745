#include "calculator/common/hex_edit_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using calculator::EditResult;
using text::Binary;
using text::Decimal;
using text::Hexadecimal;
using text::NumberSystem;
using text::Octal;

constexpr auto kUnchanged = EditResult::Unchanged;
constexpr auto kRewritten = EditResult::Rewritten;
constexpr auto kFailed = EditResult::Failed;

// Expected outcome: text is checked only for Rewritten, message only for Failed.
struct Expect {
    EditResult::Outcome outcome;
    std::string text;
    int message;
};

void Check(const EditResult& got, const Expect& want, const std::string& what) {
    EXPECT_EQ(got.outcome, want.outcome) << what;
    if (want.outcome == kRewritten) {
        EXPECT_EQ(got.text, want.text) << what;
    }
    if (want.outcome == kFailed) {
        EXPECT_EQ(got.message, want.message) << what;
    }
}

TEST(HexEditLogic, ChangeNumberSystem) {
    struct Case {
        const char* text;
        int from, to;
        bool upper;
        Expect want;
    } cases[] = {
        {"1a", Decimal, Hexadecimal, true, {kFailed, "", 2002}},
        {"12x", Decimal, Hexadecimal, true, {kFailed, "", 2001}},
        {"8", Octal, Decimal, true, {kFailed, "", 2003}},
        {"2", Binary, Hexadecimal, true, {kFailed, "", 2004}},
        {"0x1F", Hexadecimal, Decimal, true, {kFailed, "", 2001}},
        {"", Hexadecimal, Decimal, true, {kUnchanged, "", 0}},
        {" \t\r\n", Decimal, Binary, true, {kUnchanged, "", 0}},
        // The same system never reads the text, so even garbage stays.
        {"zz", Hexadecimal, Hexadecimal, true, {kUnchanged, "", 0}},
        {"00 0F", Hexadecimal, Decimal, true, {kRewritten, "15 ", 0}},
        {"00 0f", Hexadecimal, Binary, true, {kRewritten, "0000 0000 0000 1111 ", 0}},
        {"0000 0000 0000 1111", Binary, Hexadecimal, true, {kRewritten, "00 0F ", 0}},
        {"1 234", Decimal, Hexadecimal, false, {kRewritten, "04 d2 ", 0}},
        {"1 234", Decimal, Hexadecimal, true, {kRewritten, "04 D2 ", 0}},
        {"1000000", Decimal, Octal, true, {kRewritten, "3 641 100 ", 0}},
        {"  253", Octal, Hexadecimal, true, {kRewritten, "AB ", 0}},
        {"0", Decimal, Hexadecimal, true, {kRewritten, "00 ", 0}},
        {"00", Hexadecimal, Decimal, true, {kRewritten, "000 ", 0}},
        {"1", Hexadecimal, 7, true, {kFailed, "", 0}},
        {"1", -1, Hexadecimal, true, {kFailed, "", 0}},
    };
    for (const Case& c : cases)
        Check(calculator::ChangeNumberSystem(c.text, static_cast<NumberSystem>(c.from),
                                             static_cast<NumberSystem>(c.to), c.upper),
              c.want,
              std::string(c.text) + " " + std::to_string(c.from) + "->" + std::to_string(c.to));
}

TEST(HexEditLogic, FormatText) {
    struct Case {
        const char* text;
        NumberSystem system;
        bool upper;
        Expect want;
    } cases[] = {
        {"abc 1", Hexadecimal, true, {kRewritten, "0A BC 01 ", 0}},
        {"ABC", Hexadecimal, false, {kRewritten, "0a bc ", 0}},
        {"\r\n12 3 456\t", Hexadecimal, true, {kRewritten, "12 03 04 56 ", 0}},
        {"", Hexadecimal, true, {kFailed, "", 2001}},
        {" \t ", Decimal, true, {kFailed, "", 2001}},
        {"0x1F", Hexadecimal, true, {kFailed, "", 2001}},
        {"1234567", Decimal, true, {kRewritten, "1 234 567 ", 0}},
        {"  1 000", Decimal, true, {kRewritten, "1 000 ", 0}},
        // Radix text is regrouped, not converted: leading zeros stay.
        {"0001", Octal, true, {kRewritten, "0 001 ", 0}},
        {"101 1", Binary, true, {kRewritten, "1011 ", 0}},
        {"12a", Decimal, true, {kFailed, "", 2002}},
        {"12x", Decimal, true, {kFailed, "", 2001}},
        {"0789", Octal, true, {kFailed, "", 2003}},
        {"12", Binary, true, {kFailed, "", 2004}},
        {"-5", Decimal, true, {kFailed, "", 2001}},
    };
    for (const Case& c : cases)
        Check(calculator::FormatText(c.text, c.system, c.upper), c.want,
              std::string(c.text) + " in " + std::to_string(c.system));
}

TEST(HexEditLogic, SwapByteOrder) {
    struct Case {
        const char* text;
        NumberSystem system;
        int unit;
        bool upper;
        Expect want;
    } cases[] = {
        {"01 02 03 04 05", Hexadecimal, 2, true, {kRewritten, "02 01 04 03 05 ", 0}},
        {"01 02 03 04 05", Hexadecimal, 4, true, {kRewritten, "04 03 02 01 05 ", 0}},
        {"01 02 03 04 05", Hexadecimal, 1, true, {kRewritten, "05 04 03 02 01 ", 0}},
        // A group longer than the operand is the short last group.
        {"01 02 03 04 05", Hexadecimal, 8, true, {kRewritten, "05 04 03 02 01 ", 0}},
        {"01 02 03 04 05 06 07 08 09",
         Hexadecimal,
         8,
         true,
         {kRewritten, "08 07 06 05 04 03 02 01 09 ", 0}},
        {"01 02 03", Hexadecimal, 2, true, {kRewritten, "02 01 03 ", 0}},
        {"AB", Hexadecimal, 1, true, {kRewritten, "AB ", 0}},
        {"ab cd", Hexadecimal, 2, true, {kRewritten, "CD AB ", 0}},
        {"AB CD", Hexadecimal, 2, false, {kRewritten, "cd ab ", 0}},
        // One- and two-digit tokens are kept as typed.
        {" 1 2 3\n", Hexadecimal, 1, true, {kRewritten, "3 2 1 ", 0}},
        // Longer tokens force normalising the whole text first.
        {"0102 3", Hexadecimal, 1, true, {kRewritten, "03 02 01 ", 0}},
        {"abc", Hexadecimal, 1, true, {kRewritten, "BC 0A ", 0}},
        {"01 02", Hexadecimal, 0, true, {kUnchanged, "", 0}},
        {"01 02", Hexadecimal, -2, true, {kUnchanged, "", 0}},
        {"", Hexadecimal, 2, true, {kUnchanged, "", 0}},
        {" \r\n", Hexadecimal, 1, true, {kUnchanged, "", 0}},
        {"xy 01", Hexadecimal, 1, true, {kFailed, "", 2001}},
        {"123x", Hexadecimal, 2, true, {kFailed, "", 2001}},
        // Other systems swap the operand's bytes: 258 is 01 02, 02 01 is 513.
        {"258", Decimal, 1, true, {kRewritten, "513 ", 0}},
        {"1 0000 0000", Binary, 2, true, {kRewritten, "0000 0000 0000 0001 ", 0}},
        {"1a", Decimal, 1, true, {kFailed, "", 2002}},
    };
    for (const Case& c : cases)
        Check(calculator::SwapByteOrder(c.text, c.system, c.unit, c.upper), c.want,
              std::string(c.text) + " unit " + std::to_string(c.unit));
}

TEST(HexEditLogic, PlainTextToHexInsert) {
    struct Case {
        const char* text;
        NumberSystem system;
        bool upper;
        size_t limit;
        Expect want;
    } cases[] = {
        {"1 2 3", Decimal, true, 100, {kRewritten, "66 051 ", 0}},
        {"ABCD", Decimal, true, 100, {kRewritten, "43 981 ", 0}},
        {"ab\tcd\r\n", Hexadecimal, true, 100, {kRewritten, "AB CD  ", 0}},
        {"1 2 3", Hexadecimal, true, 100, {kRewritten, "1 2 3", 0}},
        {"Hi!", Hexadecimal, true, 100, {kRewritten, "48 69 21 ", 0}},
        {"zz", Hexadecimal, true, 100, {kRewritten, "7A 7A ", 0}},
        {"zz", Hexadecimal, false, 100, {kRewritten, "7a 7a ", 0}},
        {"Hi!", Decimal, true, 100, {kRewritten, "4 745 505 ", 0}},
        {"Hi!", Hexadecimal, true, 3, {kRewritten, "48 69 21 ", 0}},
        {"Hi!", Hexadecimal, true, 2, {kFailed, "", 2070}},
        {"", Hexadecimal, true, 100, {kFailed, "", 2070}},
        // Separators only: nothing to convert in a decimal box.
        {" \n", Decimal, true, 100, {kFailed, "", 2070}},
    };
    for (const Case& c : cases)
        Check(calculator::PlainTextToHexInsert(c.text, c.system, c.upper, c.limit), c.want,
              std::string(c.text) + " in " + std::to_string(c.system));
}

TEST(HexEditLogic, PastedDataKeepsEveryByteValue) {
    const std::string data("\x00\x7f\x80\xff", 4);
    EditResult got = calculator::PlainTextToHexInsert(data, Hexadecimal, true, 4);
    ASSERT_EQ(got.outcome, kRewritten);
    EXPECT_EQ(got.text, "00 7F 80 FF ");
}

TEST(HexEditLogic, HexListToBoxText) {
    Check(calculator::HexListToBoxText("00 ", Decimal, true), {kRewritten, "000 ", 0}, "00");
    Check(calculator::HexListToBoxText("ab ", Hexadecimal, true), {kRewritten, "AB ", 0}, "ab");
    Check(calculator::HexListToBoxText("", Octal, true), {kFailed, "", 2070}, "empty");
}

} // namespace
