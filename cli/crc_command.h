// `ordovane-cli crc`: the CRC value calculator over messages, hex byte lists,
// files with ignore ranges and standard input, with catalogue presets.
#pragma once

#include "cli/command_support.h"

namespace cli {

// args: the arguments after the command name. Exit status 0, 1 (a user
// error, the calculator's message on stderr) or 2 (bad usage, thrown).
int RunCrcCommand(Args args);

} // namespace cli
