#include "tools/register_tools.h"

#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/message_box.h"
#include "platform/qt/string_text.h"
#include "text/hex_text.h"
#include "tools/checksum_dialog.h"
#include "tools/crc_dialog.h"
#include "tools/hash_dialog.h"
#include "tools/primality_test_dialog.h"

#include <QDialog>

namespace tools {
namespace {

// Operands above this many bytes ask for the round count before a prime
// search, as a warning that it can take long.
constexpr int kAskRoundsAbove = 16;

std::optional<int> AskPrimeSearchRounds(QWidget* parent, int operandBytes, bool next) {
    if (operandBytes <= kAskRoundsAbove)
        return CPrimalityTestDialog::StoredTestCount();
    CPrimalityTestDialog dialog(parent);
    dialog.setTitle(
        platform::StringText(next ? ids::kStrSearchNextPrime : ids::kStrSearchPreviousPrime));
    dialog.setNote(platform::StringText(ids::kStrPrimeSearchNote));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.testCount();
}

// Sets up a file tool as its opener does: from an edit box's menu the box's
// operand becomes a hex message and the box's letter case is used; from the
// window, the "Upper Case Letters" setting (which every box follows). False
// when the box holds no valid operand (the message is shown then).
bool PrepareFileTool(CFileToolDialog& dialog, const calculator::CommandContext& context) {
    if (context.fromBoxMenu && context.box) {
        std::string list;
        if (context.box->GetHexText(list) <= 0) {
            platform::messageBox(context.parent, text::kMsgInvalidInput);
            return false;
        }
        dialog.SetHexMessage(list);
    }
    dialog.setUpperCase(context.box ? context.box->upperCase()
                                    : calculator::GetProfileInt("View", "UpperCase", 1) != 0);
    return true;
}

template <typename Dialog> void RunFileTool(const calculator::CommandContext& context) {
    Dialog dialog(context.parent);
    if (PrepareFileTool(dialog, context))
        dialog.exec();
}

} // namespace

void RegisterToolsCommands(const calculator::ToolServices& services) {
    calculator::SetPrimeRoundsQuestion(&AskPrimeSearchRounds);
    calculator::RegisterCommand(ids::kCmdCrc, &RunFileTool<CCrcDialog>);
    calculator::RegisterCommand(ids::kCmdChecksum, &RunFileTool<CChecksumDialog>);
    // The hash calculator works on the application's provider handle: it is
    // offered only while one is held.
    auto cryptoContext = services.cryptoContext;
    calculator::RegisterCommand(
        ids::kCmdHash,
        [cryptoContext](const calculator::CommandContext& context) {
            CHashDialog dialog(context.parent);
            dialog.setProvider(cryptoContext ? cryptoContext() : 0);
            if (PrepareFileTool(dialog, context))
                dialog.exec();
        },
        [cryptoContext] { return cryptoContext && cryptoContext() != 0; });
}

} // namespace tools
