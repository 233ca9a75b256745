#include "tools/register_tools.h"

#include "platform/qt/string_text.h"
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

} // namespace

void RegisterToolsCommands(const calculator::ToolServices& /*services*/) {
    calculator::SetPrimeRoundsQuestion(&AskPrimeSearchRounds);
}

} // namespace tools
