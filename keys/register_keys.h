// The key container tools' part of the command registry: the Key Container
// Manager for the Tools menu and the toolbar.
#pragma once

#include "calculator/common/command_registry.h"

namespace keys {

// Registers the Key Container Manager command (ids::kCmdKeyContainers). The
// window reopens the application crypto context after the command, as the
// current container may have changed. Calling it again replaces the handler.
void RegisterKeysCommands(const calculator::ToolServices& services);

} // namespace keys
