#include "keys/register_keys.h"

#include "calculator/common/settings_store.h"
#include "keys/key_container_dlg.h"
#include "keys/profile_settings.h"
#include "resources/ids.h"

namespace keys {

void RegisterKeysCommands(const calculator::ToolServices& /*services*/) {
    calculator::RegisterCommand(ids::kCmdKeyContainers, [](const calculator::CommandContext& c) {
        RegistryProfile settings(&calculator::SectionKey);
        CKeyContainerDlg dialog(settings, c.parent);
        dialog.exec();
    });
}

} // namespace keys
