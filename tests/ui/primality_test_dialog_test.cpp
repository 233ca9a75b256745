// The round-count dialog of the primality tests and prime searches: the
// stored count it starts from, the field check on OK, what it stores, and
// the popup help ids of its controls.
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"
#include "tools/primality_test_dialog.h"

#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <utility>
#include <vector>

using tools::CPrimalityTestDialog;

namespace {

constexpr int kMissing = -9999;

int StoredTestTimes() {
    return calculator::GetProfileInt("Prime", "TestTimes", kMissing);
}

// Records popup requests instead of showing them; answers with `shown`.
class RecordingDialog : public CPrimalityTestDialog {
public:
    using CPrimalityTestDialog::CPrimalityTestDialog;
    std::vector<std::pair<int, QWidget*>> requests;
    bool shown = true;

protected:
    bool RequestPopupHelp(int helpId, QWidget* control) override {
        requests.emplace_back(helpId, control);
        return shown;
    }
};

QLineEdit* Field(const QWidget& dialog) {
    return platform::FindControl<QLineEdit>(&dialog, CPrimalityTestDialog::kIdTestTimes);
}

} // namespace

class PrimalityTestDialogTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasAName();
    void startsFromStoredCount_data();
    void startsFromStoredCount();
    void okChecksTheField_data();
    void okChecksTheField();
    void cancelStoresNothing();
    void titleAndNote();
    void helpIdsOfControls_data();
    void helpIdsOfControls();
    void helpRequestsAskForPopups_data();
    void helpRequestsAskForPopups();
    void helpCursorPicksOnlyControlsWithPopups();
};

void PrimalityTestDialogTest::startsFromStoredCount_data() {
    QTest::addColumn<int>("stored"); // kMissing: no value stored
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << kMissing << 8;
    QTest::newRow("lowest") << 1 << 1;
    QTest::newRow("highest") << 128 << 128;
    QTest::newRow("typical") << 20 << 20;
    QTest::newRow("zero") << 0 << 8;
    QTest::newRow("one above") << 129 << 8;
    QTest::newRow("far above") << 500 << 8;
    QTest::newRow("negative") << -3 << 8;
}

void PrimalityTestDialogTest::startsFromStoredCount() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, stored);
    QFETCH(int, expected);
    if (stored != kMissing)
        QVERIFY(calculator::WriteProfileInt("Prime", "TestTimes", stored));

    CPrimalityTestDialog dialog;
    QCOMPARE(CPrimalityTestDialog::StoredTestCount(), expected);
    QCOMPARE(dialog.testCount(), expected);
    QVERIFY(Field(dialog));
    QCOMPARE(Field(dialog)->text(), QString::number(expected));
    QVERIFY(messages.shown.isEmpty());
}

void PrimalityTestDialogTest::okChecksTheField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("count");
    QTest::newRow("zero") << "0" << false << 0;
    QTest::newRow("one above") << "129" << false << 0;
    QTest::newRow("negative") << "-5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "7x" << false << 0;
    QTest::newRow("decimal point") << "2.5" << false << 0;
    QTest::newRow("huge") << "99999999999" << false << 0;
    QTest::newRow("lowest") << "1" << true << 1;
    QTest::newRow("highest") << "128" << true << 128;
    QTest::newRow("surrounding blanks") << " 7 " << true << 7;
}

void PrimalityTestDialogTest::okChecksTheField() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(QString, field);
    QFETCH(bool, accepted);
    QFETCH(int, count);

    CPrimalityTestDialog dialog;
    dialog.open();
    QVERIFY(dialog.isVisible());
    Field(dialog)->setText(field);
    auto* ok = platform::FindControl<QPushButton>(&dialog, CPrimalityTestDialog::kIdOk);
    QVERIFY(ok);
    ok->click();

    if (accepted) {
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.testCount(), count);
        QCOMPARE(StoredTestTimes(), count);
    } else {
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.testCount(), 8);
        QCOMPARE(StoredTestTimes(), kMissing);
        dialog.reject();
    }
    QVERIFY(messages.shown.isEmpty());
}

void PrimalityTestDialogTest::cancelStoresNothing() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QVERIFY(calculator::WriteProfileInt("Prime", "TestTimes", 30));
    CPrimalityTestDialog dialog;
    dialog.open();
    Field(dialog)->setText("50");
    platform::FindControl<QPushButton>(&dialog, CPrimalityTestDialog::kIdCancel)->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(StoredTestTimes(), 30);
    QCOMPARE(dialog.testCount(), 30);
}

void PrimalityTestDialogTest::titleAndNote() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CPrimalityTestDialog dialog;
    auto* note = platform::FindControl<QLabel>(&dialog, CPrimalityTestDialog::kIdNote);
    QVERIFY(note);
    QCOMPARE(dialog.windowTitle(), QString("Primality Test"));
    QCOMPARE(note->text(), QString("Primality test is time consuming when the number is a big "
                                   "probable prime, please wait for the process to finish. "));
    QCOMPARE(note->palette().color(note->foregroundRole()), QColor(41, 153, 255));

    dialog.setTitle("Search Next Prime");
    dialog.setNote("Search prime is time consuming.");
    QCOMPARE(dialog.windowTitle(), QString("Search Next Prime"));
    QCOMPARE(note->text(), QString("Search prime is time consuming."));
    // Empty texts keep what is there.
    dialog.setTitle({});
    dialog.setNote({});
    QCOMPARE(dialog.windowTitle(), QString("Search Next Prime"));
    QCOMPARE(note->text(), QString("Search prime is time consuming."));
}

void PrimalityTestDialogTest::helpIdsOfControls_data() {
    QTest::addColumn<int>("controlId");
    QTest::addColumn<int>("helpId");
    QTest::newRow("OK") << 1 << 1000;
    QTest::newRow("Cancel") << 2 << 1001;
    QTest::newRow("Test Times") << 1529 << 2001;
    QTest::newRow("note") << 1538 << 0;
    QTest::newRow("no id") << 0 << 0;
}

void PrimalityTestDialogTest::helpIdsOfControls() {
    QFETCH(int, controlId);
    QFETCH(int, helpId);
    QCOMPARE(CPrimalityTestDialog::HelpIdFor(controlId), helpId);
}

void PrimalityTestDialogTest::helpRequestsAskForPopups_data() {
    QTest::addColumn<int>("controlId");
    QTest::addColumn<bool>("byKey"); // F1, else the help cursor's click
    QTest::addColumn<int>("helpId"); // 0: no popup is asked for
    QTest::newRow("F1 on the field") << 1529 << true << 2001;
    QTest::newRow("F1 on OK") << 1 << true << 1000;
    QTest::newRow("F1 on Cancel") << 2 << true << 1001;
    QTest::newRow("F1 on the note") << 1538 << true << 0;
    QTest::newRow("cursor on the field") << 1529 << false << 2001;
    QTest::newRow("cursor on Cancel") << 2 << false << 1001;
    QTest::newRow("cursor on the note") << 1538 << false << 0;
}

void PrimalityTestDialogTest::helpRequestsAskForPopups() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, controlId);
    QFETCH(bool, byKey);
    QFETCH(int, helpId);

    for (bool shown : {true, false}) {
        RecordingDialog dialog;
        dialog.shown = shown;
        QWidget* control = platform::FindControl(&dialog, controlId);
        QVERIFY(control);
        bool consumed;
        if (byKey) {
            QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            consumed = QCoreApplication::sendEvent(control, &f1) && f1.isAccepted();
        } else {
            QHelpEvent help(QEvent::WhatsThis, QPoint(1, 1), control->mapToGlobal(QPoint(1, 1)));
            consumed = QCoreApplication::sendEvent(control, &help) && help.isAccepted();
        }
        if (helpId == 0) {
            QVERIFY(dialog.requests.empty());
        } else {
            QCOMPARE(dialog.requests.size(), size_t(1));
            QCOMPARE(dialog.requests[0].first, helpId);
            QCOMPARE(dialog.requests[0].second, control);
        }
        // A shown popup ends the request; otherwise it goes on to the
        // default handling (which leaves F1 unhandled here).
        if (helpId != 0 && shown)
            QVERIFY(consumed);
        if (byKey && !(helpId != 0 && shown))
            QVERIFY(!consumed);
    }
}

void PrimalityTestDialogTest::helpCursorPicksOnlyControlsWithPopups() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    RecordingDialog dialog;
    struct Row {
        int controlId;
        bool picked;
    };
    for (Row row : {Row{1529, true}, Row{1, true}, Row{2, true}, Row{1538, false}}) {
        QWidget* control = platform::FindControl(&dialog, row.controlId);
        QVERIFY(control);
        QEvent query(QEvent::QueryWhatsThis);
        query.ignore();
        QCoreApplication::sendEvent(control, &query);
        QCOMPARE(query.isAccepted(), row.picked);
    }
}

QTEST_MAIN(PrimalityTestDialogTest)
void PrimalityTestDialogTest::everyControlHasAName() {
    ScopedTempRegistry registry;
    CPrimalityTestDialog dialog;
    QCOMPARE(UnnamedControls(&dialog), QStringList());
}

#include "primality_test_dialog_test.moc"
