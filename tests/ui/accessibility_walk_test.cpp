// Walks the calculator window and every dialog of the program: each control
// a user can reach must carry a name for assistive technology. Also runs the
// window's commands that this walk depends on: every menu and toolbar
// command is offered once the tool folders have registered.
#include "calculator/about_dialog.h"
#include "calculator/application.h"
#include "calculator/calculator_dlg.h"
#include "calculator/common/command_registry.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/tip_of_day_dialog.h"
#include "exchange/input_text_dlg.h"
#include "exchange/number_formatter_dlg.h"
#include "exchange/output_number_dlg.h"
#include "resources/ids.h"
#include "scripting/script_console_dlg.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"
#include "tools/bit_shifter_dialog.h"
#include "tools/primality_test_dialog.h"
#include "tools/random_number_dialog.h"
#include "tools/random_prime_dialog.h"
#include "tools/statistics_dialog.h"

#include <QtTest>

#include <functional>
#include <memory>

class AccessibilityWalkTest : public QObject {
    Q_OBJECT

private slots:
    void everyDialogNamesItsControls_data();
    void everyDialogNamesItsControls();
    void operandBoxesCarryTheirNames();
    void noCommandWaitsForADialog();
};

using Factory = std::function<std::unique_ptr<QWidget>()>;
Q_DECLARE_METATYPE(Factory)

void AccessibilityWalkTest::everyDialogNamesItsControls_data() {
    QTest::addColumn<Factory>("make");
    QTest::newRow("calculator") << Factory(
        [] { return std::make_unique<calculator::CCalculatorDlg>(false); });
    QTest::newRow("about") << Factory([] { return std::make_unique<calculator::CAboutDialog>(); });
    QTest::newRow("tip") << Factory([] { return std::make_unique<calculator::CTipOfDayDialog>(); });
    QTest::newRow("primality") << Factory(
        [] { return std::make_unique<tools::CPrimalityTestDialog>(); });
    QTest::newRow("statistics") << Factory(
        [] { return std::make_unique<tools::CStatisticsDialog>(tools::RandomicityCounts{}); });
    QTest::newRow("random number")
        << Factory([] { return std::make_unique<tools::CRandomNumberDialog>(); });
    QTest::newRow("random prime") << Factory(
        [] { return std::make_unique<tools::CRandomPrimeDialog>(); });
    QTest::newRow("bit shifter") << Factory(
        [] { return std::make_unique<tools::CBitShifterDialog>(true); });
    QTest::newRow("input text") << Factory(
        [] { return std::make_unique<exchange::CInputTextDlg>(QString()); });
    QTest::newRow("number formatter") << Factory(
        [] { return std::make_unique<exchange::CNumberFormatterDlg>(QString(), QString()); });
    QTest::newRow("output number")
        << Factory([] { return std::make_unique<exchange::COutputNumberDlg>(); });
    QTest::newRow("script console")
        << Factory([] { return std::make_unique<scripting::CScriptConsoleDlg>(0); });
}

void AccessibilityWalkTest::everyDialogNamesItsControls() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(Factory, make);
    std::unique_ptr<QWidget> dialog = make();
    const QStringList unnamed = UnnamedControls(dialog.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
}

void AccessibilityWalkTest::operandBoxesCarryTheirNames() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    calculator::CCalculatorDlg window(false);
    const char* names[4] = {"First Operand (x)", "Second Operand (y)", "Third Operand (z)",
                            "Operation Result (r)"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(window.operandBox(ids::kIdX + i)->accessibleName(), QString(names[i]));
}

void AccessibilityWalkTest::noCommandWaitsForADialog() {
    calculator::ClearCommandRegistry();
    calculator::RegisterCommands(calculator::ToolServices{});
    // The key container manager, CRC, checksum and hash come with their own
    // folders; everything else is served now.
    for (int id :
         {ids::kCmdNumberFormatter, ids::kCmdRandomNumber, ids::kCmdRandomPrime, ids::kCmdScripts,
          ids::kCmdExportToFile, ids::kCmdBitShifter, ids::kCmdInsertFormatText,
          ids::kCmdInsertRandomNumber, ids::kCmdInsertRandomPrime, ids::kCmdRandomicityTest,
          ids::kCmdFermatTest, ids::kCmdSolovayStrassenTest, ids::kCmdMillerRabinTest,
          ids::kCmdGeneralPrimalityTest}) {
        QVERIFY2(calculator::IsCommandAvailable(id), qPrintable(QString::number(id)));
    }
    calculator::ClearCommandRegistry();
}

QTEST_MAIN(AccessibilityWalkTest)
#include "accessibility_walk_test.moc"
