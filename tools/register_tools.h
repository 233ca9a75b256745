// The data tools' part of the command registry: what the Tools menu, the
// toolbar and the edit box menu get from this folder.
#pragma once

#include "calculator/common/command_registry.h"

namespace tools {

// Registers every command this folder serves, and the prime-search round
// question (the Primality Test dialog). Called once at start-up; calling it
// again replaces the handlers.
void RegisterToolsCommands(const calculator::ToolServices& services);

} // namespace tools
