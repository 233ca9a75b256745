// Operand text: the canonical hex byte list ("01 a0 "), the looser hexadecimal
// text users type, grouping for display, and reading and showing a box's text
// in any number system. Tokens are runs of characters other than space, tab,
// CR and LF. Counts are int32_t; -1 means invalid. Nothing here shows a message:
// readers say which string id applies and the caller decides.
#pragma once

#include "resources/ids.h"

#include "text/number_system.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// String ids of the messages that reading an operand can call for.
using ids::kMsgInvalidBinary;
using ids::kMsgInvalidDecimal;
using ids::kMsgInvalidInput;
using ids::kMsgInvalidOctal;
using ids::kMsgOutOfMemory;

// Index of the first character of text at or after start that occurs in set;
// -1 when there is none, set is empty, or start is negative or past the end.
// FindOneOf("12a", "abc", 0) == 2.
int32_t FindOneOf(std::string_view text, std::string_view set, int32_t start);

// Writes count bytes as a hex byte list ("%02x " each, lower case) into out and
// returns its length (3 * count). count 0 gives "" and 0. A negative count,
// bytes == nullptr with count > 0, or a list too long for int32_t give -1 and
// leave out untouched.
int32_t FormatHexBytes(const uint8_t* bytes, int32_t count, std::string& out);

// Stores one byte per token of text: the token's leading hexadecimal digits
// read as a number (none reads as 0), of which only the lowest byte is kept
// ("1FF" stores 0xff). Stores at most capacity bytes and returns the number
// stored. With out == nullptr it returns the number of tokens (capacity is
// ignored). With out set, capacity <= 0 gives -1.
int32_t ParseHexBytes(std::string_view text, uint8_t* out, int32_t capacity);

// The token at zero-based index read as a hexadecimal number (leading digits
// only, as above); values beyond INT32_MAX saturate at INT32_MAX, as a signed
// 32-bit reader does. -1 when text is empty, index is negative or there are
// fewer tokens.
int32_t GetHexToken(std::string_view text, int32_t index);

// The number of tokens of the trimmed text when every character of every token
// is a hexadecimal digit; 0 for a text of separators only; -1 when a token
// holds another character, or, with bytesOnly, when a token is longer than two
// characters.
int32_t CountHexTokens(std::string_view text, bool bytesOnly);

// Hexadecimal text to hex byte list: each token is one big-endian number of
// whole bytes, an odd-length token getting a leading 0 ("ABC 1" -> "0A BC 01 ").
// Letter case passes through; characters are not checked (run CountHexTokens
// first). Writes out and returns the byte count, 0 for an empty text.
int32_t NormalizeHexText(std::string_view text, std::string& out);

// All tokens of text joined into one string, separators removed ("1 234" ->
// "1234"): the digit string of a radix text.
std::string JoinTokens(std::string_view text);

// Display form of text in a number system, written to out. Hexadecimal: as
// NormalizeHexText, returning the byte count. Decimal and octal: the joined
// digits in groups of 3 from the right, binary in groups of 4, each group
// followed by one space ("1000000" -> "1 000 000 "), returning the number of
// groups (0 for no digits). -1 for an unknown system, out untouched.
int32_t GroupDigits(NumberSystem system, std::string_view text, std::string& out);

// Whole text to upper or lower case (ASCII letters only).
std::string ApplyLetterCase(std::string_view text, bool upperCase);

// Outcome of reading a box's text.
struct HexListResult {
    int32_t count; // bytes of the list; 0 for no operand; -1 for invalid text
    int message;   // string id that explains a -1 (kMsgInvalid*), else 0
};

// Reads the displayed text of a box in the given system into a hex byte list.
// Checks in this order: only separators -> {0, 0}; a character that is not a
// hexadecimal digit or separator -> {-1, 2001}; in decimal, octal or binary a
// digit beyond the radix, or a failed conversion -> {-1, the system's id}.
// Otherwise radix digits are converted (RadixTextToHex) and the result is
// normalised; memory exhausted there -> {-1, 2006}. list receives the text
// (letters as typed; conversions give lower case) only on success. An unknown
// system gives {-1, 0}. ToHexList(Decimal, "1 234", l) == {2, 0}, l == "04 d2 ".
[[nodiscard]] HexListResult ToHexList(NumberSystem system, std::string_view text,
                                      std::string& list);

// The text a box in the given system shows for a hex byte list, written to out.
// Hexadecimal: the list itself in the chosen letter case. Decimal, octal,
// binary: HexToRadixText, then GroupDigits; there a list without tokens (no
// operand) shows as "". Returns out's length, or -1 (out untouched) when the
// conversion fails or the system is unknown.
int32_t FromHexList(NumberSystem system, std::string_view list, bool upperCase, std::string& out);

} // namespace text
