// The data exchange tools' part of the command registry: Export To File (the
// Output Number dialog) for the File menu and the edit box, and the Number
// Formatter behind File > Import Number..., the edit box's Insert Format
// Text... and Tools > Number Formatter....
#pragma once

#include "calculator/common/command_registry.h"

namespace exchange {

// Registers every command this folder serves.
void RegisterExchangeCommands(const calculator::ToolServices& services);

} // namespace exchange
