// Conversions between the bytes of an operand and the digit strings of its
// value in radix 2, 8 and 10. Decimal and octal work on 64-bit words, so even
// numbers of a hundred thousand digits convert at once; binary is linear.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// A digit string (no separators; join tokens first) in radix 2, 8 or 10 to the
// bytes of its value as two lower-case hex digits per byte, no spaces, written
// to out. Binary keeps ceil(n/8) bytes for n digits (leading zero digits stay as
// 00 bytes); decimal and octal give the minimal byte string, zero being "00"
// ("0255" -> "ff", "256" -> "0100"). Returns out's length (twice the bytes);
// -1, out untouched, for an empty string, another radix, a character that is not
// a digit of the radix, or exhausted memory.
int32_t RadixTextToHex(int radix, std::string_view digits, std::string& out);

// A hex byte list (tokens read as ParseHexBytes does) to the ungrouped digit
// string of its value in radix 2, 8 or 10, written to out. Binary writes eight
// digits per byte, leading zeros included. Decimal and octal drop leading zero
// bytes; a zero of two or more bytes gives "0", the single byte 00 gives "000".
// Returns out's length; -1, out untouched, when the list holds no token, the
// radix is another value or memory runs out.
int32_t HexToRadixText(std::string_view list, int radix, std::string& out);

} // namespace text
