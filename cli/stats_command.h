// `ordovane-cli stats`: the randomicity counts of a number, as the
// Statistical Results dialog lists them.
#pragma once

#include "cli/command_support.h"

namespace cli {

// HEX...: one "label value" line per count; no valid byte gives "Invalid
// characters occur in the input text." and exit 1.
int RunStatsCommand(Args args);

} // namespace cli
