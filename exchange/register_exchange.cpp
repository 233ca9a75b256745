#include "exchange/register_exchange.h"

#include "calculator/common/hex_edit_box.h"
#include "exchange/output_number_dlg.h"
#include "platform/qt/message_box.h"
#include "platform/qt/string_text.h"
#include "resources/ids.h"
#include "text/hex_text.h"

namespace exchange {
namespace {

// The box has formatted itself already; the dialog gets its operand as a
// hex byte list in the box's letter case.
void ExportToFile(const calculator::CommandContext& context) {
    if (!context.box)
        return;
    std::string list;
    if (context.box->GetHexText(list) <= 0)
        return;
    std::string shown;
    if (text::FromHexList(text::Hexadecimal, list, context.box->upperCase(), shown) < 0)
        return;
    QWidget* parent = context.parent ? context.parent : context.box;
    if (OutputNumber(parent, platform::StringText(ids::kStrExportToFile), shown))
        platform::messageBox(parent, ids::kMsgDataExportOk, platform::MsgButtons::Ok,
                             platform::MsgIcon::Information);
}

} // namespace

void RegisterExchangeCommands(const calculator::ToolServices& /*services*/) {
    calculator::RegisterCommand(ids::kCmdExportToFile, &ExportToFile);
}

} // namespace exchange
