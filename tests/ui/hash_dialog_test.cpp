// The Hash Value Calculator as a user drives it: digests of messages, hex
// numbers and files with the provider's and the library's algorithms, a
// provider that cannot hash, Save As, and Cancel.
#include "calculator/common/settings_store.h"
#include "platform/crypto/crypt_provider.h"
#include "support/accessibility_check.h"
#include "support/file_dialog_answer.h"
#include "support/file_tool_run.h"
#include "support/ui_test_support.h"
#include "tools/hash_dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using tools::CHashDialog;

class HashDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { provider_ = platform::AcquireRandomContext(); }
    void cleanupTestCase() { platform::CryptReleaseContext(provider_, 0); }
    void init() { registry_ = std::make_unique<ScopedTempRegistry>(); }
    void cleanup() { registry_.reset(); }
    void digests_data();
    void digests();
    void providerThatCannotHash();
    void saveAsWritesUpperCaseLines();
    void cancelLeavesNoResult();
    void everyControlHasAName();

private:
    uint32_t provider_ = 0;
    std::unique_ptr<ScopedTempRegistry> registry_;
    QTemporaryDir dir_;
};

void HashDialogTest::digests_data() {
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("digest");
    QTest::newRow("MD5 a") << 2 << "a" << false
                           << "0c c1 75 b9 c0 f1 b6 a8 31 c3 99 e2 69 77 26 61 ";
    QTest::newRow("SHA-224 abc") << 4 << "abc" << false
                                 << "23 09 7d 22 34 05 d8 22 86 42 a4 77 bd a2 55 b3 2a ad bc "
                                    "e4 bd a0 b3 f7 e3 6c 9d a7 ";
    QTest::newRow("SHA-224 hex") << 4 << "61 62 63" << true
                                 << "23 09 7d 22 34 05 d8 22 86 42 a4 77 bd a2 55 b3 2a ad bc "
                                    "e4 bd a0 b3 f7 e3 6c 9d a7 ";
    QTest::newRow("SHA-160 abc") << 3 << "abc" << false
                                 << "a9 99 3e 36 47 06 81 6a ba 3e 25 71 78 50 c2 6c 9c d0 d8 9d ";
}

void HashDialogTest::digests() {
    QFETCH(int, algorithm);
    QFETCH(QString, message);
    QFETCH(bool, hex);
    QFETCH(QString, digest);
    MessageRecorder messages;
    CHashDialog dialog;
    dialog.setProvider(provider_);
    SetText(&dialog, ids::kIdMessage, message);
    platform::FindControl<QAbstractButton>(&dialog, ids::kIdHexNumber)->setChecked(hex);
    platform::FindControl<QListWidget>(&dialog, ids::kIdAlgorithm)->setCurrentRow(algorithm);
    QVERIFY(RunToEnd(dialog));
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(dialog.hashText(), digest);
    QVERIFY(platform::FindControl<QPushButton>(&dialog, ids::kIdHashSaveAs)->isEnabled());
    QCOMPARE(calculator::GetProfileInt("Hash", "Algorithm", -1), algorithm);

    // A file hashed with ignore ranges equals the hash of its included bytes.
    if (!hex) {
        const QString path = dir_.filePath(QStringLiteral("hash.bin"));
        WriteBytes(path, "<<" + message.toLatin1() + ">>");
        PickFile(&dialog, path);
        platform::FindControl<QAbstractButton>(&dialog, ids::kIdIgnoreRanges)->setChecked(true);
        SetText(&dialog, ids::kIdIgnoreRangesText,
                QStringLiteral("0..1, %1..%2").arg(message.size() + 2).arg(message.size() + 3));
        QVERIFY(RunToEnd(dialog));
        QCOMPARE(dialog.hashText(), digest);
    }
}

void HashDialogTest::providerThatCannotHash() {
    MessageRecorder messages;
    CHashDialog dialog; // no provider handle
    SetText(&dialog, ids::kIdMessage, QStringLiteral("a"));
    platform::FindControl<QListWidget>(&dialog, ids::kIdAlgorithm)->setCurrentRow(2);
    QVERIFY(RunToEnd(dialog));
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgHashCannotCreate});
    QCOMPARE(messages.shown.at(0).icon, platform::MsgIcon::Error);
    QCOMPARE(dialog.hashText(), QString());
}

void HashDialogTest::saveAsWritesUpperCaseLines() {
    MessageRecorder messages;
    FileDialogAnswer files;
    CHashDialog dialog;
    dialog.setProvider(provider_);
    SetText(&dialog, ids::kIdMessage, QStringLiteral("abc"));
    platform::FindControl<QListWidget>(&dialog, ids::kIdAlgorithm)->setCurrentRow(3);
    QVERIFY(RunToEnd(dialog));
    const QString path = dir_.filePath(QStringLiteral("digest.txt"));
    files.answers.push_back(calculator::FileChoice{path, 3});
    Click(&dialog, ids::kIdHashSaveAs);
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgNumberSaveOk});
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("A9 99 3E 36 47 06 81 6A BA 3E 25 71 78 50 C2 6C \r\n"
                                     "9C D0 D8 9D \r\n"));
    // The chosen path and format are offered again next time.
    Click(&dialog, ids::kIdHashSaveAs);
    QCOMPARE(files.requests.at(1).path, path);
    QCOMPARE(files.requests.at(1).initialFilter, 3);
}

void HashDialogTest::cancelLeavesNoResult() {
    MessageRecorder messages;
    const QString path = dir_.filePath(QStringLiteral("big.bin"));
    WriteBytes(path, QByteArray(8 << 20, 'x'));
    CHashDialog dialog;
    dialog.setProvider(provider_);
    PickFile(&dialog, path);
    dialog.OnCalculate();
    QVERIFY(dialog.isProcessing());
    dialog.progressDialog()->reject();
    QTRY_VERIFY(!dialog.isProcessing());
    QCOMPARE(dialog.hashText(), QString());
    QVERIFY(!platform::FindControl<QPushButton>(&dialog, ids::kIdHashSaveAs)->isEnabled());
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(calculator::GetProfileInt("Hash", "Algorithm", -1), -1);
}

void HashDialogTest::everyControlHasAName() {
    CHashDialog dialog;
    QCOMPARE(UnnamedControls(&dialog), QStringList());
}

QTEST_MAIN(HashDialogTest)
#include "hash_dialog_test.moc"
