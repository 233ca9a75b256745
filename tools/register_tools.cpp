#include "tools/register_tools.h"

#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/message_box.h"
#include "platform/qt/string_text.h"
#include "resources/ids.h"
#include "text/hex_text.h"
#include "tools/bit_shifter_dialog.h"
#include "tools/checksum_dialog.h"
#include "tools/crc_dialog.h"
#include "tools/hash_dialog.h"
#include "tools/primality.h"
#include "tools/primality_test_dialog.h"
#include "tools/random_number_dialog.h"
#include "tools/random_prime_dialog.h"
#include "tools/randomicity.h"
#include "tools/statistics_dialog.h"

#include <QApplication>
#include <QDialog>

#include <vector>

namespace tools {
namespace {

using calculator::CommandContext;

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

bool UpperCase(const CommandContext& c) {
    return c.box ? c.box->upperCase() : true;
}

// The operand's bytes for a test; nothing (after STRING 2001) when the box
// holds no valid operand.
std::optional<std::vector<uint8_t>> OperandBytes(const CommandContext& c, std::string& list) {
    if (!c.box || c.box->GetHexText(list) <= 0) {
        platform::messageBox(c.parent, ids::kMsgInvalidInput);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(text::ParseHexBytes(list, nullptr, 0)) + 16);
    const int32_t n = text::ParseHexBytes(list, bytes.data(), static_cast<int32_t>(bytes.size()));
    if (n <= 0) {
        platform::messageBox(c.parent, ids::kMsgInvalidInput);
        return std::nullopt;
    }
    bytes.resize(static_cast<size_t>(n));
    return bytes;
}

void RandomicityTest(const CommandContext& c) {
    std::string list;
    std::optional<std::vector<uint8_t>> bytes = OperandBytes(c, list);
    if (!bytes)
        return;
    CStatisticsDialog dialog(CountRandomicity(bytes->data(), bytes->size()), c.parent);
    dialog.exec();
}

void PrimalityTest(const CommandContext& c, PrimalityKind kind) {
    std::string list;
    if (!c.box || c.box->GetHexText(list) <= 0) {
        platform::messageBox(c.parent, ids::kMsgInvalidInput);
        return;
    }
    CPrimalityTestDialog rounds(c.parent);
    if (rounds.exec() != QDialog::Accepted)
        return;
    std::optional<std::vector<uint8_t>> bytes = OperandBytes(c, list);
    if (!bytes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PrimalityVerdict verdict = RunPrimalityTest(kind, *bytes, rounds.testCount());
    QApplication::restoreOverrideCursor();
    platform::messageBox(c.parent, verdict.message, platform::MsgButtons::Ok,
                         verdict.error ? platform::MsgIcon::Error : platform::MsgIcon::Information,
                         platform::StringText(ids::kStrPrimalityTest));
}

// A generator dialog; on OK its number goes into the box the menu belongs
// to, or from the Tools menu to the Output Number dialog.
template <class Dialog>
void Generate(const CommandContext& c, const calculator::ToolServices& services, int savedOk) {
    Dialog dialog(c.parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (c.fromBoxMenu) {
        if (c.box)
            c.box->InsertHexList(dialog.result());
        return;
    }
    const std::string list = text::ApplyLetterCase(dialog.result(), UpperCase(c));
    if (services.outputNumber && services.outputNumber(c.parent, QString(), list))
        platform::messageBox(c.parent, savedOk, platform::MsgButtons::Ok,
                             platform::MsgIcon::Information);
}

} // namespace

void RegisterToolsCommands(const calculator::ToolServices& services) {
    using calculator::RegisterCommand;
    calculator::SetPrimeRoundsQuestion(&AskPrimeSearchRounds);

    RegisterCommand(ids::kCmdBitShifter, [](const CommandContext& c) {
        CBitShifterDialog dialog(UpperCase(c), c.parent);
        dialog.exec();
    });
    RegisterCommand(ids::kCmdRandomicityTest, &RandomicityTest);
    const std::pair<int, PrimalityKind> tests[] = {
        {ids::kCmdFermatTest, PrimalityKind::Fermat},
        {ids::kCmdSolovayStrassenTest, PrimalityKind::SolovayStrassen},
        {ids::kCmdMillerRabinTest, PrimalityKind::MillerRabin},
        {ids::kCmdGeneralPrimalityTest, PrimalityKind::General}};
    for (auto [id, kind] : tests)
        RegisterCommand(id, [kind](const CommandContext& c) { PrimalityTest(c, kind); });

    // The edit box inserts; the Tools menu saves through the Output Number
    // dialog, so those two wait for it.
    RegisterCommand(ids::kCmdInsertRandomNumber, [services](const CommandContext& c) {
        Generate<CRandomNumberDialog>(c, services, ids::kMsgRandomNumberSaveOk);
    });
    RegisterCommand(ids::kCmdInsertRandomPrime, [services](const CommandContext& c) {
        Generate<CRandomPrimeDialog>(c, services, ids::kMsgRandomPrimeSaveOk);
    });
    const bool canSave = static_cast<bool>(services.outputNumber);
    auto fromMenu = [](const CommandContext& c) {
        CommandContext m = c;
        m.fromBoxMenu = false;
        return m;
    };
    RegisterCommand(
        ids::kCmdRandomNumber,
        [services, fromMenu](const CommandContext& c) {
            Generate<CRandomNumberDialog>(fromMenu(c), services, ids::kMsgRandomNumberSaveOk);
        },
        [canSave] { return canSave; });
    RegisterCommand(
        ids::kCmdRandomPrime,
        [services, fromMenu](const CommandContext& c) {
            Generate<CRandomPrimeDialog>(fromMenu(c), services, ids::kMsgRandomPrimeSaveOk);
        },
        [canSave] { return canSave; });

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
