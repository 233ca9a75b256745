// `ordovane-cli keys`: the key containers of the program's key store: list,
// create, delete, and export a key pair as the Export Key Pair dialog does.
#pragma once

#include <span>

// args: the arguments after "keys". Returns the exit status: 0 success, 1 a
// user error (the system's message on stderr), 2 bad usage.
int RunKeysCommand(std::span<char* const> args);
