#include "exchange/register_exchange.h"

#include "calculator/common/hex_edit_box.h"
#include "exchange/number_formatter_dlg.h"
#include "platform/qt/message_box.h"
#include "platform/qt/string_text.h"
#include "resources/ids.h"
#include "text/hex_text.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>

namespace exchange {
namespace {

using calculator::CommandContext;

QString ClipboardText() {
    const QClipboard* clipboard = QApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

// Insert Format Text (and File > Import Number): the clipboard's text into
// the formatter, its number into the box at the caret.
void InsertFormatText(const CommandContext& c) {
    if (!c.box)
        return;
    CNumberFormatterDlg dialog(QString(), ClipboardText(), c.parent);
    if (dialog.exec() == QDialog::Accepted)
        c.box->InsertHexList(dialog.result());
}

void NumberFormatter(const CommandContext& c, const calculator::ToolServices& services) {
    CNumberFormatterDlg dialog(platform::StringText(ids::kStrNumberFormatter), ClipboardText(),
                               c.parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.result().empty()) {
        platform::messageBox(c.parent, ids::kMsgNoValidNumber);
        return;
    }
    const bool upper = c.box ? c.box->upperCase() : true;
    const std::string list = text::ApplyLetterCase(dialog.result(), upper);
    if (services.outputNumber && services.outputNumber(c.parent, QString(), list))
        platform::messageBox(c.parent, ids::kMsgNumberSaveOk, platform::MsgButtons::Ok,
                             platform::MsgIcon::Information);
}

} // namespace

void RegisterExchangeCommands(const calculator::ToolServices& services) {
    calculator::RegisterCommand(ids::kCmdInsertFormatText, &InsertFormatText);
    const bool canSave = static_cast<bool>(services.outputNumber);
    calculator::RegisterCommand(
        ids::kCmdNumberFormatter,
        [services](const CommandContext& c) { NumberFormatter(c, services); },
        [canSave] { return canSave; });
}

} // namespace exchange
