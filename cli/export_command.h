// `ordovane-cli export`: a number written as the Output Number dialog writes
// its export files.
#pragma once

#include "cli/command_support.h"

namespace cli {

// args: the arguments after the command name. Exit status 0, 1 (a user
// error, the dialog's message on stderr) or 2 (bad usage, thrown).
int RunExportCommand(Args args);

} // namespace cli
