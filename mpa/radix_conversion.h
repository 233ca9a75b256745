// Decimal digit strings to and from values, divide and conquer: a number is
// split by a power 10^(19 * 2^k) (kept for the call), so the work is a few
// large products or quotients instead of one word pass per 19 digits.
#pragma once

#include "mpa/natural.h"

#include <string>
#include <string_view>

namespace mpa {

// The decimal digits of v, most significant first, without leading zeros;
// "0" for zero.
std::string ToDecimalDigits(const Natural& v);

// The value of a non-empty string of the characters '0' to '9' (leading
// zeros allowed). The caller checks the characters.
Natural FromDecimalDigits(std::string_view digits);

} // namespace mpa
