// `ordovane-cli prime`: a random probable prime as the prime generator
// makes it, or the verdict of the edit box's primality tests on a number.
#pragma once

#include "cli/command_support.h"

namespace cli {

// --bits N [--rounds K]: the prime as a hex byte list. --test KIND [--rounds
// K] HEX...: the test's message; exit 0 for a probable prime, 3 for a
// composite, 1 for a user error or an internal error of the test.
int RunPrimeCommand(Args args);

} // namespace cli
