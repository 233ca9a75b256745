// The Number Formatter driven by its controls: Format and Reset, Base64, the
// "Ok" rule, Ok's conversions and messages, the settings, Input From File.
#include "calculator/common/caret_edit/caret_edit.h"
#include "calculator/common/settings_store.h"
#include "exchange/number_formatter_dlg.h"
#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using exchange::CNumberFormatterDlg;

namespace {

class TestDialog : public CNumberFormatterDlg {
public:
    using CNumberFormatterDlg::CNumberFormatterDlg;
    std::optional<std::pair<QString, std::string>> answer;
    QString askedPath;

protected:
    std::optional<std::pair<QString, std::string>> RunInputText(const QString& path) override {
        askedPath = path;
        return answer;
    }
};

template <class T = QWidget> T* Control(const QWidget& d, int id) {
    return platform::FindControl<T>(&d, id);
}

QString Input(const QWidget& d) {
    return Control<QPlainTextEdit>(d, ids::kIdFormatterInput)->toPlainText();
}

void Click(const QWidget& d, int id) {
    Control<QAbstractButton>(d, id)->click();
}

} // namespace

class NumberFormatterDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() { registry_.emplace(); }
    void cleanup() { registry_.reset(); }
    void everyControlHasAName();
    void formatAndReset();
    void base64();
    void okRuleAndSeparatorOther();
    void okConverts_data();
    void okConverts();
    void inputFromFile();

private:
    std::optional<ScopedTempRegistry> registry_;
};

void NumberFormatterDlgTest::everyControlHasAName() {
    CNumberFormatterDlg d({}, {});
    QCOMPARE(UnnamedControls(&d), QStringList());
    QCOMPARE(d.windowTitle(), QString("Import Number"));
    QCOMPARE(Control(d, ids::kIdFormatterInput)->accessibleName(), QString("Input Text"));
    QCOMPARE(d.HelpId(ids::kIdSepComma + 4), 1087);
    QCOMPARE(d.HelpId(ids::kIdSystemHex + 3), 1082);
    QCOMPARE(d.HelpId(ids::kIdDecodeBase64Text), 1089);
    CNumberFormatterDlg titled("Number Formatter", {});
    QCOMPARE(titled.windowTitle(), QString("Number Formatter"));
}

void NumberFormatterDlgTest::formatAndReset() {
    MessageRecorder messages;
    CNumberFormatterDlg d({}, "a\r\nb\r\nc");
    QCOMPARE(Input(d), QString("a\nb\nc"));
    QVERIFY(!Control(d, ids::kIdFormatterReset)->isEnabled());
    Control<QLineEdit>(d, ids::kIdLinesFromStart)->setText("1");
    Control<QLineEdit>(d, ids::kIdLinesFromEnd)->setText("1");
    Click(d, ids::kIdFormatterFormat);
    QCOMPARE(Input(d), QString("b\n"));
    QCOMPARE(Control<QLineEdit>(d, ids::kIdLinesFromStart)->text(), QString("0"));
    QVERIFY(Control(d, ids::kIdFormatterReset)->isEnabled());
    Click(d, ids::kIdFormatterReset);
    QCOMPARE(Input(d), QString("a\nb\nc"));
    QVERIFY(!Control(d, ids::kIdFormatterReset)->isEnabled());
    // A count out of range brings the field check's message.
    Control<QLineEdit>(d, ids::kIdCharsFromEnd)->setText("1000");
    Click(d, ids::kIdFormatterFormat);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(Input(d), QString("a\nb\nc"));
}

void NumberFormatterDlgTest::base64() {
    MessageRecorder messages;
    CNumberFormatterDlg d({}, "YWIAYw==");
    Click(d, ids::kIdDecodeBase64Text);
    QCOMPARE(Input(d), QString("ab"));
    Click(d, ids::kIdFormatterReset);
    Click(d, ids::kIdDecodeBase64Hex);
    QCOMPARE(Input(d), QString("61 62 00 63 "));
    QVERIFY(messages.shown.isEmpty());
    Control<QPlainTextEdit>(d, ids::kIdFormatterInput)->setPlainText("/w==");
    Click(d, ids::kIdDecodeBase64Hex);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, QString("Invalid base64 string!"));
    QCOMPARE(messages.shown[0].icon, platform::MsgIcon::Error);
}

void NumberFormatterDlgTest::okRuleAndSeparatorOther() {
    MessageRecorder messages;
    CNumberFormatterDlg d({}, {});
    d.open();
    // Enabled at the start; Ok on an empty text gives the input message.
    QVERIFY(Control(d, ids::kIdOk)->isEnabled());
    Click(d, ids::kIdOk);
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgInvalidInput});
    auto* input = Control<QPlainTextEdit>(d, ids::kIdFormatterInput);
    input->setPlainText("12:34");
    QVERIFY(Control(d, ids::kIdOk)->isEnabled());
    Click(d, ids::kIdSepOther);
    QVERIFY(!Control(d, ids::kIdOk)->isEnabled());
    Control<QLineEdit>(d, ids::kIdSepOtherChar)->setText(":");
    QVERIFY(Control(d, ids::kIdOk)->isEnabled());
    Click(d, ids::kIdOk);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), std::string("12 34 "));
    QCOMPARE(calculator::GetProfileString("Format", "SepChar", ""), ":");
    QCOMPARE(calculator::GetProfileInt("Format", "SepType", 0), 4);

    // The stored separator comes back and the rule applies at once.
    CNumberFormatterDlg again({}, {});
    QVERIFY(Control<QRadioButton>(again, ids::kIdSepOther)->isChecked());
    QCOMPARE(Control<QLineEdit>(again, ids::kIdSepOtherChar)->text(), QString(":"));
    QVERIFY(!Control(again, ids::kIdOk)->isEnabled()); // the input is empty
}

void NumberFormatterDlgTest::okConverts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("separator");
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("result"); // empty: a message
    QTest::addColumn<int>("message");
    QTest::newRow("comma hex") << "12,3456" << 0 << 0 << "12 34 56 " << 0;
    QTest::newRow("odd items") << "1,2" << 0 << 0 << "01 02 " << 0;
    QTest::newRow("decimal") << "25 6" << 1 << 1 << "01 00 " << 0;
    QTest::newRow("decimal letter") << "1a" << 1 << 1 << "" << 2002;
    QTest::newRow("not hex") << "1g" << 1 << 3 << "" << 2001;
}

void NumberFormatterDlgTest::okConverts() {
    QFETCH(QString, text);
    QFETCH(int, separator);
    QFETCH(int, system);
    QFETCH(QString, result);
    QFETCH(int, message);
    MessageRecorder messages;
    CNumberFormatterDlg d({}, text);
    d.open();
    Click(d, ids::kIdSepComma + separator);
    Click(d, ids::kIdSystemHex + system);
    Click(d, ids::kIdOk);
    if (message != 0) {
        QCOMPARE(messages.ids(), QVector<int>{message});
        QVERIFY(d.isVisible());
        QCOMPARE(calculator::GetProfileInt("Format", "NumberSystem", -1), -1);
        d.reject();
    } else {
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(QString::fromStdString(d.result()), result);
        QCOMPARE(calculator::GetProfileInt("Format", "NumberSystem", -1), system);
    }
}

void NumberFormatterDlgTest::inputFromFile() {
    TestDialog d({}, "old");
    calculator::WriteProfileString("Format", "InputFile", "/no/such/file");
    d.answer = std::make_pair(QString("/chosen.txt"), std::string("ab\r\ncd"));
    Click(d, ids::kIdInputFromFile);
    QCOMPARE(d.askedPath, QString()); // a missing stored file is forgotten
    QCOMPARE(calculator::GetProfileString("Format", "InputFile", ""), "/chosen.txt");
    QCOMPARE(Input(d), QString("ab\ncd"));
    QVERIFY(!Control(d, ids::kIdFormatterReset)->isEnabled());
    Control<QPlainTextEdit>(d, ids::kIdFormatterInput)->setPlainText("x");
    Click(d, ids::kIdFormatterReset);
    QCOMPARE(Input(d), QString("ab\ncd")); // the file's text is the new initial text
}

QTEST_MAIN(NumberFormatterDlgTest)
#include "number_formatter_dlg_test.moc"
