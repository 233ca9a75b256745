// `ordovane-cli random`: a pseudo-random number as the generator dialog
// makes it.
#pragma once

#include "cli/command_support.h"

namespace cli {

// --bits N [--seed-hex HEX]: the number as a hex byte list; a seed that is
// not hexadecimal gives "Invalid initialization data." and exit 1.
int RunRandomCommand(Args args);

} // namespace cli
