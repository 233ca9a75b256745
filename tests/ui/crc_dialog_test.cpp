// The CRC Value Calculator as a user drives it: results for messages, hex
// numbers and files with ignore ranges, every refusal, Cancel, the settings
// written only after a result, and the edit box's "Get CRC Value...".
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "support/accessibility_check.h"
#include "support/file_tool_run.h"
#include "support/ui_test_support.h"
#include "tools/crc_dialog.h"
#include "tools/register_tools.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using tools::CCrcDialog;

class CrcDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { registry_ = std::make_unique<ScopedTempRegistry>(); }
    void cleanup() { registry_.reset(); }
    void results_data();
    void results();
    void refusals_data();
    void refusals();
    void cancelLeavesNoResult();
    void openedFromAnEditBox();
    void everyControlHasAName();

private:
    std::unique_ptr<ScopedTempRegistry> registry_;
    QTemporaryDir dir_;
};

void CrcDialogTest::results_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("reflected");
    QTest::addColumn<QString>("coefficients");
    QTest::addColumn<QString>("init");
    QTest::addColumn<QString>("xorValue");
    QTest::addColumn<QString>("crc");
    QTest::addColumn<QString>("after");
    const QString crc32 = QStringLiteral("32,26,23,22,16,12,11,10,8,7,5,4,2,1,0");
    QTest::newRow("default") << "123456789" << false << false << "16,15,2,0"
                             << "0"
                             << "0"
                             << "FEE8"
                             << "FEE8";
    QTest::newRow("reflected") << "123456789" << false << true << "16,15,2,0"
                               << "0"
                               << "0"
                               << "BB3D"
                               << "BB3D";
    QTest::newRow("crc-32") << "123456789" << false << true << crc32 << "FFFFFFFF"
                            << "FFFFFFFF"
                            << "340BC6D9"
                            << "CBF43926";
    QTest::newRow("crc-32 normal") << "123456789" << false << false << crc32 << "FFFFFFFF"
                                   << "FFFFFFFF"
                                   << "0376E6E7"
                                   << "FC891918";
    QTest::newRow("ccitt") << "123456789" << false << false << "16,12,5,0"
                           << "FFFF"
                           << ""
                           << "29B1"
                           << "29B1";
    QTest::newRow("hex number") << "31 32 33 34 35 36 37 38 39" << true << false << "16,15,2,0"
                                << "0"
                                << "0"
                                << "FEE8"
                                << "FEE8";
}

void CrcDialogTest::results() {
    QFETCH(QString, message);
    QFETCH(bool, hex);
    QFETCH(bool, reflected);
    QFETCH(QString, coefficients);
    QFETCH(QString, init);
    QFETCH(QString, xorValue);
    QFETCH(QString, crc);
    QFETCH(QString, after);
    MessageRecorder messages;
    CCrcDialog dialog;
    SetText(&dialog, ids::kIdMessage, message);
    platform::FindControl<QAbstractButton>(&dialog, ids::kIdHexNumber)->setChecked(hex);
    platform::FindControl<QAbstractButton>(&dialog, ids::kIdBitReflected)->setChecked(reflected);
    SetText(&dialog, ids::kIdPolyCoefficients, coefficients);
    SetText(&dialog, ids::kIdInitialValue, init);
    SetText(&dialog, ids::kIdFinalXor, xorValue);
    QVERIFY(RunToEnd(dialog));
    QCOMPARE(Text(&dialog, ids::kIdHexByteCrc), crc);
    QCOMPARE(Text(&dialog, ids::kIdCrcAfterFinalXor), after);
    QVERIFY(messages.shown.isEmpty());
    // A result writes the settings.
    QCOMPARE(QString::fromStdString(calculator::GetProfileString("Crc", "PolyCoefs", "-")),
             coefficients);

    // The same bytes from a file, with two bytes in front ignored.
    const QString path = dir_.filePath(QStringLiteral("crc.bin"));
    WriteBytes(path, "xx123456789");
    if (!hex) {
        PickFile(&dialog, path);
        platform::FindControl<QAbstractButton>(&dialog, ids::kIdIgnoreRanges)->setChecked(true);
        SetText(&dialog, ids::kIdIgnoreRangesText, QStringLiteral("0..1"));
        QVERIFY(RunToEnd(dialog));
        QCOMPARE(Text(&dialog, ids::kIdCrcAfterFinalXor), after);
    }
}

void CrcDialogTest::refusals_data() {
    QTest::addColumn<int>("inputType");
    QTest::addColumn<QString>("input"); // message, or file content ("<none>": no file)
    QTest::addColumn<QString>("coefficients");
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<int>("message"); // 0: nothing shown
    QTest::newRow("no message") << 0 << ""
                                << "16,15,2,0"
                                << "" << int(ids::kMsgCrcNeedMessage);
    QTest::newRow("no file") << 1 << "<empty path>"
                             << "16,15,2,0"
                             << "" << int(ids::kMsgCrcNeedFile);
    QTest::newRow("missing file") << 1 << "<none>"
                                  << "16,15,2,0"
                                  << "" << int(ids::kMsgCrcCannotOpen);
    QTest::newRow("empty file") << 1 << ""
                                << "16,15,2,0"
                                << "" << int(ids::kMsgNoValidData);
    QTest::newRow("all ignored") << 1 << "abc"
                                 << "16,15,2,0"
                                 << "0..2" << int(ids::kMsgNoValidData);
    QTest::newRow("order 8") << 0 << "1"
                             << "8,2"
                             << "" << int(ids::kMsgCrcMsbNotSet);
    QTest::newRow("order 40") << 0 << "1"
                              << "40,2"
                              << "" << int(ids::kMsgCrcOrderRange);
    QTest::newRow("low to high") << 0 << "1"
                                 << "16,2,15"
                                 << "" << int(ids::kMsgCrcCoefficientOrder);
    QTest::newRow("no polynomial") << 0 << "1"
                                   << " "
                                   << "" << int(ids::kMsgCrcNeedPolynomial);
    QTest::newRow("order only") << 0 << "1"
                                << "16"
                                << "" << 0;
}

void CrcDialogTest::refusals() {
    QFETCH(int, inputType);
    QFETCH(QString, input);
    QFETCH(QString, coefficients);
    QFETCH(QString, ignore);
    QFETCH(int, message);
    MessageRecorder messages;
    CCrcDialog dialog;
    SetText(&dialog, ids::kIdPolyCoefficients, coefficients);
    if (inputType == 0) {
        SetText(&dialog, ids::kIdMessage, input);
    } else {
        const QString path = dir_.filePath(QStringLiteral("refusal.bin"));
        QFile::remove(path);
        if (input != QLatin1String("<none>") && input != QLatin1String("<empty path>"))
            WriteBytes(path, input.toLatin1());
        PickFile(&dialog, input == QLatin1String("<empty path>") ? QString() : path);
        platform::FindControl<QAbstractButton>(&dialog, ids::kIdIgnoreRanges)->setChecked(true);
        SetText(&dialog, ids::kIdIgnoreRangesText, ignore);
    }
    QVERIFY(RunToEnd(dialog));
    QCOMPARE(messages.ids(), message ? QVector<int>{message} : QVector<int>{});
    QVERIFY(!dialog.isProcessing());
    QCOMPARE(Text(&dialog, ids::kIdHexByteCrc), QString());
    // Nothing is stored without a result.
    QCOMPARE(calculator::GetProfileString("Crc", "PolyCoefs", "-"), std::string("-"));
}

void CrcDialogTest::cancelLeavesNoResult() {
    MessageRecorder messages;
    const QString path = dir_.filePath(QStringLiteral("big.bin"));
    WriteBytes(path, QByteArray(8 << 20, 'x'));
    CCrcDialog dialog;
    PickFile(&dialog, path);
    dialog.OnCalculate();
    QVERIFY(dialog.isProcessing());
    QVERIFY(dialog.progressDialog());
    dialog.progressDialog()->reject(); // Cancel, before the first tick
    QTRY_VERIFY(!dialog.isProcessing());
    QCOMPARE(Text(&dialog, ids::kIdHexByteCrc), QString());
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(calculator::GetProfileString("Crc", "FilePath", "-"), std::string("-"));
}

void CrcDialogTest::openedFromAnEditBox() {
    MessageRecorder messages;
    calculator::ClearCommandRegistry();
    tools::RegisterToolsCommands({});
    calculator::CHexEditBox box;
    box.setUpperCase(false);
    box.setPlainText(QStringLiteral("31 32 33 34 35 36 37 38 39"));
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<CCrcDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(RunToEnd(*dialog));
        shown = Text(dialog, ids::kIdHexByteCrc);
        dialog->reject();
    });
    box.RunCommand(ids::kCmdGetCrcValue);
    // The box's operand as a hex message, in the box's letter case.
    QCOMPARE(shown, QStringLiteral("fee8"));

    // A box whose text is no operand shows 2001 instead of the tool.
    box.setPlainText(QStringLiteral("xyz"));
    box.RunCommand(ids::kCmdGetCrcValue);
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgInvalidInput});
    calculator::ClearCommandRegistry();
}

void CrcDialogTest::everyControlHasAName() {
    CCrcDialog dialog;
    QCOMPARE(UnnamedControls(&dialog), QStringList());
    dialog.show();
    PickFile(&dialog, QString());
    QCOMPARE(UnnamedControls(&dialog), QStringList());
}

QTEST_MAIN(CrcDialogTest)
#include "crc_dialog_test.moc"
