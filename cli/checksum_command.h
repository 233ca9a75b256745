// `ordovane-cli checksum`: the checksum calculator over files with ignore
// ranges.
#pragma once

#include "cli/command_support.h"

namespace cli {

// args: the arguments after the command name. Exit status 0, 1 (a user
// error, the calculator's message on stderr) or 2 (bad usage, thrown).
int RunChecksumCommand(Args args);

} // namespace cli
