// The Input Text dialog: silent loading at start, Browse with its messages,
// the preview and the OK rule.
#include "exchange/input_text_dlg.h"
#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using exchange::CInputTextDlg;

namespace {

class TestDialog : public CInputTextDlg {
public:
    using CInputTextDlg::CInputTextDlg;
    std::optional<QString> choice;

protected:
    std::optional<QString> ChooseTextFile(const QString&) override { return choice; }
};

template <class T = QWidget> T* Control(const QWidget& d, int id) {
    return platform::FindControl<T>(&d, id);
}

} // namespace

class InputTextDlgTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasAName();
    void startLoadsSilently();
    void browseLoadsWithMessages();

private:
    QString Write(const QString& name, const std::string& bytes) {
        const QString path = dir_.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << bytes;
        return path;
    }
    QTemporaryDir dir_;
};

void InputTextDlgTest::everyControlHasAName() {
    CInputTextDlg d{QString()};
    QCOMPARE(UnnamedControls(&d), QStringList());
    QCOMPARE(d.HelpId(ids::kIdInputBrowse), 2050);
    QCOMPARE(d.HelpId(ids::kIdInputPreview), 2052);
}

void InputTextDlgTest::startLoadsSilently() {
    MessageRecorder messages;
    const QString good = Write("a.txt", "12 34\r\n56");
    CInputTextDlg d(good);
    QCOMPARE(Control<QLineEdit>(d, ids::kIdInputPath)->text(), good);
    QCOMPARE(d.text(), std::string("12 34\r\n56"));
    QVERIFY(Control(d, ids::kIdOk)->isEnabled());

    const QString missing = dir_.filePath("missing.txt");
    CInputTextDlg none(missing);
    QCOMPARE(Control<QLineEdit>(none, ids::kIdInputPath)->text(), missing);
    QCOMPARE(Control<QPlainTextEdit>(none, ids::kIdInputPreview)->toPlainText(), QString());
    QVERIFY(messages.shown.isEmpty());
}

void InputTextDlgTest::browseLoadsWithMessages() {
    struct Row {
        QString path;
        QString message;
        bool okEnabled;
    };
    const QVector<Row> rows = {
        {Write("nul.txt", std::string("\0ab", 3)), {}, false},
        {Write("big.txt", std::string(4194305, 'a')), "The file size is too big.", true},
        {Write("empty.txt", ""), "Invalid file size.", true},
        {dir_.filePath("none.txt"), "Can't open file.", true},
        {Write("good.txt", "ab"), {}, true},
    };
    for (const Row& r : rows) {
        MessageRecorder messages;
        TestDialog d{QString()};
        d.choice = r.path;
        Control<QPushButton>(d, ids::kIdInputBrowse)->click();
        QCOMPARE(d.filePath(), r.path);
        QCOMPARE(Control(d, ids::kIdOk)->isEnabled(), r.okEnabled);
        if (r.message.isEmpty()) {
            QVERIFY(messages.shown.isEmpty());
        } else {
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].text, r.message);
        }
    }
}

QTEST_MAIN(InputTextDlgTest)
#include "input_text_dlg_test.moc"
