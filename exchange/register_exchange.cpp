#include "exchange/register_exchange.h"

#include "calculator/common/hex_edit_box.h"
#include "exchange/number_formatter_dlg.h"
#include "exchange/output_number_dlg.h"
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

// The box has formatted itself already; the dialog gets its operand as a
// hex byte list in the box's letter case.
void ExportToFile(const CommandContext& context) {
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

// Tools > Number Formatter: the number is saved through the Output Number
// dialog, in the window's letter case.
void NumberFormatter(const CommandContext& c) {
    CNumberFormatterDlg dialog(platform::StringText(ids::kStrNumberFormatter), ClipboardText(),
                               c.parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.result().empty()) {
        platform::messageBox(c.parent, ids::kMsgNoValidNumber);
        return;
    }
    const bool upper = c.box ? c.box->upperCase() : true;
    if (OutputNumber(c.parent, QString(), text::ApplyLetterCase(dialog.result(), upper)))
        platform::messageBox(c.parent, ids::kMsgNumberSaveOk, platform::MsgButtons::Ok,
                             platform::MsgIcon::Information);
}

} // namespace

void RegisterExchangeCommands(const calculator::ToolServices& /*services*/) {
    calculator::RegisterCommand(ids::kCmdExportToFile, &ExportToFile);
    calculator::RegisterCommand(ids::kCmdInsertFormatText, &InsertFormatText);
    calculator::RegisterCommand(ids::kCmdNumberFormatter, &NumberFormatter);
}

} // namespace exchange
