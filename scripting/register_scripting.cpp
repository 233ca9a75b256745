#include "scripting/register_scripting.h"

#include "resources/ids.h"
#include "scripting/script_console_dlg.h"

namespace scripting {

void RegisterScriptingCommands(const calculator::ToolServices& services) {
    calculator::RegisterCommand(ids::kCmdScripts, [services](const calculator::CommandContext& c) {
        const uint32_t crypt = services.cryptoContext ? services.cryptoContext() : 0;
        CScriptConsoleDlg dialog(crypt, c.parent);
        dialog.exec();
    });
}

} // namespace scripting
