// The Output Number dialog: the shown system, what Save As writes for each
// choice, its refusals, and Export To File from an edit box through the
// command registry.
#include "calculator/common/hex_edit_box.h"
#include "exchange/export_formats.h"
#include "exchange/output_number_dlg.h"
#include "exchange/register_exchange.h"
#include "platform/qt/control_id.h"
#include "support/accessibility_check.h"
#include "support/file_dialog_answer.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using exchange::COutputNumberDlg;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray Bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

class OutputNumberDlgTest : public QObject {
    Q_OBJECT

private slots:
    void systemsGoThroughTheHexForm();
    void emptyNumberDisablesEverything();
    void saveAsWrites_data();
    void saveAsWrites();
    void saveAsRefusals();
    void exportToFileFromABox();
    void everyControlHasAName();

private:
    QTemporaryDir dir_;
};

void OutputNumberDlgTest::systemsGoThroughTheHexForm() {
    COutputNumberDlg dialog;
    dialog.setNumber("AB CD ");
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Output Number"));
    QVERIFY(dialog.SwitchNumberSystem(1));
    QCOMPARE(dialog.shownText(), QStringLiteral("43 981 "));
    QVERIFY(dialog.SwitchNumberSystem(3));
    QCOMPARE(dialog.shownText(), QStringLiteral("1010 1011 1100 1101 "));
    // Back to hexadecimal: lower case, whatever the caller passed.
    QVERIFY(dialog.SwitchNumberSystem(0));
    QCOMPARE(dialog.shownText(), QStringLiteral("ab cd "));
    dialog.setCaption(QStringLiteral("Export To File"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export To File"));
}

void OutputNumberDlgTest::emptyNumberDisablesEverything() {
    COutputNumberDlg dialog;
    dialog.setNumber("");
    for (int id = ids::kIdHexadecimal; id <= ids::kIdBinary; ++id)
        QVERIFY(!platform::FindControl<QAbstractButton>(&dialog, id)->isEnabled());
    QVERIFY(!platform::FindControl<QPushButton>(&dialog, COutputNumberDlg::kIdSaveAs)->isEnabled());
}

void OutputNumberDlgTest::saveAsWrites_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QByteArray>("content");
    const uint8_t bytes[] = {0x01, 0xab};
    for (int type = 1; type <= 5; ++type)
        QTest::addRow("hex type %d", type)
            << 0 << type << Bytes(exchange::WriteHexExport(exchange::ExportFormat(type), bytes, 2));
    // Decimal: digit groups, whatever filter was chosen.
    QTest::newRow("decimal") << 1 << 2 << QByteArray("427 \r\n");
}

void OutputNumberDlgTest::saveAsWrites() {
    QFETCH(int, system);
    QFETCH(int, filter);
    QFETCH(QByteArray, content);
    MessageRecorder messages;
    FileDialogAnswer files;
    const QString path = dir_.filePath(QStringLiteral("out-%1-%2").arg(system).arg(filter));
    files.answers.push_back(calculator::FileChoice{path, filter});
    COutputNumberDlg dialog;
    dialog.setNumber("01 AB ");
    QVERIFY(dialog.SwitchNumberSystem(system));
    dialog.SaveAs();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ReadAll(path), content);
    QVERIFY(messages.shown.isEmpty());
    // Hexadecimal offers the five formats starting at ASCII Text; the other
    // systems offer text or any file.
    QCOMPARE(files.requests.at(0).filters.size(), system == 0 ? 5 : 2);
    QCOMPARE(files.requests.at(0).initialFilter, system == 0 ? 3 : 1);
}

void OutputNumberDlgTest::saveAsRefusals() {
    MessageRecorder messages;
    FileDialogAnswer files;
    COutputNumberDlg dialog;
    dialog.setNumber("01 02 ");
    dialog.SaveAs(); // cancelled
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(messages.shown.isEmpty());

    files.answers.push_back(calculator::FileChoice{dir_.filePath("missing/dir/x.hex"), 1});
    dialog.SaveAs();
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgCannotCreateFile});
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // The path and type chosen last are offered again.
    dialog.SaveAs();
    QCOMPARE(files.requests.at(2).path, dir_.filePath("missing/dir/x.hex"));
    QCOMPARE(files.requests.at(2).initialFilter, 1);

    messages.clear();
    dialog.setNumber("  ");
    files.answers.push_back(calculator::FileChoice{dir_.filePath("none.hex"), 1});
    dialog.SaveAs();
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgNoValidNumber});
    QVERIFY(!QFile::exists(dir_.filePath("none.hex")));
}

void OutputNumberDlgTest::exportToFileFromABox() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    FileDialogAnswer files;
    calculator::ClearCommandRegistry();
    calculator::CHexEditBox box;
    box.setPlainText(QStringLiteral("abc"));
    box.ExportToFile(); // no tool serves the command: the box only formats
    QCOMPARE(box.toPlainText(), QStringLiteral("0A BC "));
    QVERIFY(files.requests.empty());

    exchange::RegisterExchangeCommands({});
    const QString path = dir_.filePath(QStringLiteral("export.hex"));
    files.answers.push_back(calculator::FileChoice{path, 1});
    // The user presses Save As in the dialog that opens.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<COutputNumberDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Export To File"));
        QCOMPARE(dialog->shownText(), QStringLiteral("0A BC "));
        platform::FindControl<QPushButton>(dialog, COutputNumberDlg::kIdSaveAs)->click();
    });
    box.ExportToFile();
    QCOMPARE(ReadAll(path), QByteArray("\x0a\xbc", 2));
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgDataExportOk});
    calculator::ClearCommandRegistry();
}

void OutputNumberDlgTest::everyControlHasAName() {
    COutputNumberDlg dialog;
    QCOMPARE(UnnamedControls(&dialog), QStringList());
}

QTEST_MAIN(OutputNumberDlgTest)
#include "output_number_dlg_test.moc"
