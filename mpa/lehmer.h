// Greatest common divisor and modular inverse by Lehmer's method: runs of
// Euclid's quotients are found on the leading 63 bits and applied to the
// full numbers as one 2x2 matrix, so most steps cost single-word work.
#pragma once

#include "mpa/natural.h"

namespace mpa {

// gcd(a, b) for a, b not both zero.
Natural LehmerGcd(Natural a, Natural b);

// The inverse of a modulo m in [0, m) when gcd(a, m) = 1 (0 for m = 1);
// false when there is none. m must be non-zero.
bool LehmerInverse(const Natural& a, const Natural& m, Natural* inverse);

} // namespace mpa
