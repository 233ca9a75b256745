// `ordovane-cli script`: runs a script file through the scripting host.
#pragma once

#include <span>

// args: the arguments after the command name. Returns the exit status:
// 0 the script ran to its end, 1 a script error or a set-up failure, 2 bad
// usage (each reported on stderr).
int RunScriptCommand(std::span<char* const> args);
