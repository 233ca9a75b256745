// The data exchange tools' part of the command registry: Export To File (the
// Output Number dialog) for the File menu and the edit box.
#pragma once

#include "calculator/common/command_registry.h"

namespace exchange {

void RegisterExchangeCommands(const calculator::ToolServices& services);

} // namespace exchange
