// The scripting host's part of the command registry: Script > Run Scripts...
// and its toolbar button open the console.
#pragma once

#include "calculator/common/command_registry.h"

namespace scripting {

// Registers the console command; the console's runs get the application
// crypto context from services.
void RegisterScriptingCommands(const calculator::ToolServices& services);

} // namespace scripting
