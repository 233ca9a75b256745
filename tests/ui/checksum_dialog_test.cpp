// The Checksum Calculator as a user drives it: widths, swap, pad and final
// XOR on small files, Swap Byte's enabling, and a read that fails mid-run.
#include "calculator/common/settings_store.h"
#include "support/accessibility_check.h"
#include "support/file_tool_run.h"
#include "support/ui_test_support.h"
#include "tools/checksum_dialog.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using tools::CChecksumDialog;

namespace {

constexpr int kWidthIds[4] = {ids::kIdOneByte, ids::kIdTwoBytes, ids::kIdFourBytes,
                              ids::kIdEightBytes};

} // namespace

class ChecksumDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { registry_ = std::make_unique<ScopedTempRegistry>(); }
    void cleanup() { registry_.reset(); }
    void sums_data();
    void sums();
    void swapOnlyForWideUnits();
    void failedReadEndsWithoutResult();
    void everyControlHasAName();

private:
    std::unique_ptr<ScopedTempRegistry> registry_;
    QTemporaryDir dir_;
};

void ChecksumDialogTest::sums_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("widthType");
    QTest::addColumn<bool>("swap");
    QTest::addColumn<QString>("pad");
    QTest::addColumn<QString>("xorValue");
    QTest::addColumn<QString>("ignore");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("after");
    const QByteArray three("\x01\x02\x03", 3);
    QTest::newRow("two bytes") << three << 1 << false << "0"
                               << ""
                               << ""
                               << "0204"
                               << "0204";
    QTest::newRow("swapped") << three << 1 << true << "0"
                             << ""
                             << ""
                             << "0402"
                             << "0402";
    QTest::newRow("pad FF") << three << 1 << false << "FF"
                            << ""
                            << ""
                            << "0104"
                            << "0104";
    QTest::newRow("four bytes") << QByteArray("\x01\x02\x03\x04\x05", 5) << 2 << false << "00"
                                << ""
                                << ""
                                << "04030206"
                                << "04030206";
    QTest::newRow("one byte, xor") << QByteArray("\xff\xff", 2) << 0 << false << ""
                                   << "FF"
                                   << ""
                                   << "FE"
                                   << "01";
    QTest::newRow("xor -1") << three << 2 << false << ""
                            << "-1"
                            << ""
                            << "00030201"
                            << "FFFCFDFE";
    QTest::newRow("eight bytes carry")
        << QByteArray("\xff\xff\xff\xff\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00", 16) << 3
        << false << ""
        << ""
        << ""
        << "0000000100000000"
        << "0000000100000000";
    // Each range of odd length gets its own pad byte: 01|03 -> 0001 + 0003.
    QTest::newRow("ranges padded") << three << 1 << false << "0"
                                   << ""
                                   << "1"
                                   << "0004"
                                   << "0004";
}

void ChecksumDialogTest::sums() {
    QFETCH(QByteArray, file);
    QFETCH(int, widthType);
    QFETCH(bool, swap);
    QFETCH(QString, pad);
    QFETCH(QString, xorValue);
    QFETCH(QString, ignore);
    QFETCH(QString, sum);
    QFETCH(QString, after);
    MessageRecorder messages;
    const QString path = dir_.filePath(QStringLiteral("sum.bin"));
    WriteBytes(path, file);
    CChecksumDialog dialog;
    platform::FindControl<QLineEdit>(&dialog, ids::kIdFilePath)->setText(path);
    Click(&dialog, kWidthIds[widthType]);
    platform::FindControl<QAbstractButton>(&dialog, ids::kIdSwapByte)->setChecked(swap);
    SetText(&dialog, ids::kIdPadValue, pad);
    SetText(&dialog, ids::kIdFinalXor, xorValue);
    platform::FindControl<QAbstractButton>(&dialog, ids::kIdIgnoreRanges)
        ->setChecked(!ignore.isEmpty());
    SetText(&dialog, ids::kIdIgnoreRangesText, ignore);
    QVERIFY(RunToEnd(dialog));
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(Text(&dialog, ids::kIdHexChecksum), sum);
    QCOMPARE(Text(&dialog, ids::kIdChecksumAfterFinalXor), after);
    QCOMPARE(calculator::GetProfileInt("Checksum", "WidthType", -1), widthType);
}

void ChecksumDialogTest::swapOnlyForWideUnits() {
    CChecksumDialog dialog;
    auto* swap = platform::FindControl<QAbstractButton>(&dialog, ids::kIdSwapByte);
    Click(&dialog, ids::kIdTwoBytes);
    swap->setChecked(true);
    QVERIFY(swap->isEnabled());
    Click(&dialog, ids::kIdOneByte);
    QVERIFY(!swap->isEnabled());
    QVERIFY(!swap->isChecked());
}

void ChecksumDialogTest::failedReadEndsWithoutResult() {
    MessageRecorder messages;
    const QString path = dir_.filePath(QStringLiteral("shrinks.bin"));
    WriteBytes(path, QByteArray(100000, 'x'));
    CChecksumDialog dialog;
    platform::FindControl<QLineEdit>(&dialog, ids::kIdFilePath)->setText(path);
    dialog.OnCalculate();
    QVERIFY(dialog.isProcessing());
    // The file loses its tail after it was measured: a short read is an error.
    QVERIFY(::truncate(path.toLocal8Bit().constData(), 1000) == 0);
    QTRY_VERIFY(!dialog.isProcessing());
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgInternalError});
    QCOMPARE(Text(&dialog, ids::kIdHexChecksum), QString());
    QCOMPARE(calculator::GetProfileString("Checksum", "FilePath", "-"), std::string("-"));
}

void ChecksumDialogTest::everyControlHasAName() {
    CChecksumDialog dialog;
    QCOMPARE(UnnamedControls(&dialog), QStringList());
}

QTEST_MAIN(ChecksumDialogTest)
#include "checksum_dialog_test.moc"
