// The data exchange tools' part of the command registry: the Number
// Formatter behind File > Import Number..., the edit box's Insert Format
// Text... and Tools > Number Formatter....
#pragma once

#include "calculator/common/command_registry.h"

namespace exchange {

// Registers every command this folder serves. Tools > Number Formatter
// saves through services.outputNumber and is offered only when it is set.
void RegisterExchangeCommands(const calculator::ToolServices& services);

} // namespace exchange
