// `ordovane-cli hash`: the hash value calculator's nine digests over
// messages, hex byte lists, files and standard input, writing and checking
// checksum files in the coreutils layout.
#pragma once

#include "cli/command_support.h"

namespace cli {

// args: the arguments after the command name. Exit status 0, 1 (a user
// error, or a checked line that failed or could not be read) or 2 (bad
// usage, thrown).
int RunHashCommand(Args args);

} // namespace cli
