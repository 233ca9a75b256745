// Signed 64-bit integers as typed into the parameter fields of the data tools.
#pragma once

#include "text/number_system.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace text {

// Reads [sign] [prefix] digits, white space around sign and digits ignored.
// "-" negates, "+" is ignored; "0x"/"0X" selects hexadecimal and "O"/"o" octal
// (each only when at least two characters follow the sign); otherwise
// defaultSystem applies. Leading zeros are skipped and no digits at all read as
// 0, so "0x", "" and "-" give 0. Values wrap modulo 2^64 and a negative sign
// takes the two's complement. nullopt when a character is not a digit of the
// system (e.g. "1 0", "12a" in decimal) or defaultSystem is not a system code.
// ParseIntegerLiteral("-0x10", Decimal) == -16; ("o17", Decimal) == 15.
std::optional<int64_t> ParseIntegerLiteral(std::string_view text, NumberSystem defaultSystem);

} // namespace text
