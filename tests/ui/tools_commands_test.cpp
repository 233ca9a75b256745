// The data tools' edit-box and menu commands through the command registry:
// the randomicity test into the Statistical Results dialog, the four
// primality tests with their verdicts, the generators inserting into the box
// and saving through the Output Number service, the Bit Shifter command.
#include "calculator/common/command_registry.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "support/accessibility_check.h"
#include "support/modal_helper.h"
#include "support/ui_test_support.h"
#include "text/hex_text.h"
#include "tools/random_number_dialog.h"
#include "tools/random_prime_dialog.h"
#include "tools/register_tools.h"
#include "tools/statistics_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

template <class T = QWidget> T* Control(const QWidget* d, int id) {
    return platform::FindControl<T>(d, id);
}

void Press(QDialog* d, int id) {
    Control<QPushButton>(d, id)->click();
}

} // namespace

class ToolsCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statisticsDialogShowsTheCounts();
    void randomicityCommand();
    void primalityCommands_data();
    void primalityCommands();
    void randomNumberDialog();
    void randomPrimeDialog();
    void generatorsInsertAndSave();

private:
    std::optional<ScopedTempRegistry> registry_;
    std::vector<std::string> saved_;
    calculator::CHexEditBox* box_ = nullptr;
};

void ToolsCommandsTest::init() {
    registry_.emplace();
    saved_.clear();
    calculator::ClearCommandRegistry();
    calculator::ToolServices services;
    services.outputNumber = [this](QWidget*, const QString&, const std::string& list) {
        saved_.push_back(list);
        return true;
    };
    tools::RegisterToolsCommands(services);
    box_ = new calculator::CHexEditBox;
}

void ToolsCommandsTest::cleanup() {
    delete box_;
    calculator::ClearCommandRegistry();
    registry_.reset();
}

void ToolsCommandsTest::statisticsDialogShowsTheCounts() {
    const uint8_t bytes[] = {0xAA, 0x55};
    tools::CStatisticsDialog d(tools::CountRandomicity(bytes, 2));
    QCOMPARE(UnnamedControls(&d), QStringList());
    struct Row {
        int id;
        QString text;
    } rows[] = {{ids::kIdStatBytes, "2"},   {ids::kIdStatBits, "16"},
                {ids::kIdStatOnes, "8"},    {ids::kIdStatOnesPercent, "(50.00 %)"},
                {ids::kIdStatRunOnes, "1"}, {ids::kIdStatRunZeros, "2"},
                {ids::kIdStat10, "7"},      {ids::kIdStat01, "7"}};
    for (const Row& r : rows)
        QCOMPARE(Control<QLabel>(&d, r.id)->text(), r.text);
}

void ToolsCommandsTest::randomicityCommand() {
    MessageRecorder messages;
    calculator::CommandContext c{nullptr, box_, true};
    QVERIFY(calculator::RunRegisteredCommand(ids::kCmdRandomicityTest, c));
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgInvalidInput});

    messages.clear();
    box_->setPlainText("0F");
    QString bits;
    WhenModal([&](QDialog* d) {
        bits = Control<QLabel>(d, ids::kIdStatBits)->text();
        Press(d, ids::kIdOk);
    });
    calculator::RunRegisteredCommand(ids::kCmdRandomicityTest, c);
    QCOMPARE(bits, QString("8"));
    QVERIFY(messages.shown.isEmpty());
}

void ToolsCommandsTest::primalityCommands_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("operand");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("message"); // 0: none
    QTest::newRow("fermat prime") << int(ids::kCmdFermatTest) << "61" << false << 2009;
    QTest::newRow("solovay prime") << int(ids::kCmdSolovayStrassenTest) << "61" << false << 2010;
    QTest::newRow("miller prime") << int(ids::kCmdMillerRabinTest) << "61" << false << 2011;
    QTest::newRow("general prime") << int(ids::kCmdGeneralPrimalityTest) << "61" << false << 2012;
    QTest::newRow("general composite")
        << int(ids::kCmdGeneralPrimalityTest) << "02 61" << false << 2008;
    QTest::newRow("cancelled") << int(ids::kCmdFermatTest) << "61" << true << 0;
    QTest::newRow("empty") << int(ids::kCmdFermatTest) << "" << false << 2001;
    QTest::newRow("invalid") << int(ids::kCmdMillerRabinTest) << "xy" << false << 2001;
}

void ToolsCommandsTest::primalityCommands() {
    QFETCH(int, command);
    QFETCH(QString, operand);
    QFETCH(bool, cancel);
    QFETCH(int, message);
    MessageRecorder messages;
    box_->setPlainText(operand);
    bool asked = false;
    if (message != 2001)
        WhenModal([&](QDialog* d) {
            asked = true;
            Press(d, cancel ? ids::kIdCancel : ids::kIdOk);
        });
    calculator::RunRegisteredCommand(command, {nullptr, box_, true});
    QCOMPARE(asked, message != 2001);
    if (message == 0) {
        QVERIFY(messages.shown.isEmpty());
        return;
    }
    QCOMPARE(messages.ids(), QVector<int>{message});
    if (message != 2001) {
        QCOMPARE(messages.shown[0].caption, QString("Primality Test"));
        QCOMPARE(messages.shown[0].icon, platform::MsgIcon::Information);
    }
}

void ToolsCommandsTest::randomNumberDialog() {
    MessageRecorder messages;
    {
        tools::CRandomNumberDialog d;
        QCOMPARE(UnnamedControls(&d), QStringList());
        QCOMPARE(Control<QLineEdit>(&d, ids::kIdBitCount)->text(), QString("128"));
        QVERIFY(Control<QRadioButton>(&d, ids::kIdSeedNone)->isChecked());
        d.open();
        Control<QLineEdit>(&d, ids::kIdBitCount)->setText("12");
        Control<QRadioButton>(&d, ids::kIdSeedHex)->setChecked(true);
        Control<QPlainTextEdit>(&d, ids::kIdSeedText)->setPlainText("12 XY");
        Press(&d, ids::kIdGenerate);
        QCOMPARE(messages.ids(), QVector<int>{ids::kMsgInvalidSeed});
        QVERIFY(d.isVisible());
        Control<QPlainTextEdit>(&d, ids::kIdSeedText)->setPlainText("12 345");
        Press(&d, ids::kIdGenerate);
        QVERIFY(!d.isVisible());
        QCOMPARE(text::CountHexTokens(d.result(), true), 2);
        QCOMPARE(calculator::GetProfileInt("RandomData", "BitLength", 0), 12);
        QCOMPARE(calculator::GetProfileInt("RandomData", "InitType", 0), 2);
        QCOMPARE(calculator::GetProfileString("RandomData", "InitData", ""), "12 345");
    }
    {
        // The stored seed comes back; "Not use" then removes it.
        tools::CRandomNumberDialog d;
        QCOMPARE(Control<QPlainTextEdit>(&d, ids::kIdSeedText)->toPlainText(), QString("12 345"));
        QCOMPARE(Control<QLineEdit>(&d, ids::kIdBitCount)->text(), QString("12"));
        d.open();
        Control<QRadioButton>(&d, ids::kIdSeedNone)->setChecked(true);
        Control<QLineEdit>(&d, ids::kIdBitCount)->setText("1");
        Press(&d, ids::kIdGenerate);
        QVERIFY(!d.isVisible());
        QCOMPARE(text::CountHexTokens(d.result(), true), 1);
        QCOMPARE(calculator::GetProfileString("RandomData", "InitData", "gone"), "gone");
    }
    messages.clear();
    tools::CRandomNumberDialog d;
    d.open();
    Control<QLineEdit>(&d, ids::kIdBitCount)->setText("-3");
    Press(&d, ids::kIdGenerate);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(d.isVisible());
    d.reject();
}

void ToolsCommandsTest::randomPrimeDialog() {
    MessageRecorder messages;
    tools::CRandomPrimeDialog d;
    QCOMPARE(UnnamedControls(&d), QStringList());
    d.open();
    struct Row {
        QString bits, tests;
        bool accepted;
    } rows[] = {{"7", "8", false},
                {"65537", "8", false},
                {"16", "0", false},
                {"16", "129", false},
                {"8", "4", true}};
    for (const Row& r : rows) {
        messages.clear();
        Control<QLineEdit>(&d, ids::kIdBitCount)->setText(r.bits);
        Control<QLineEdit>(&d, ids::kIdPrimeTestTimes)->setText(r.tests);
        Press(&d, ids::kIdGenerate);
        QCOMPARE(d.isVisible(), !r.accepted);
        QCOMPARE(messages.shown.size(), r.accepted ? 0 : 1);
    }
    // Eight bits are raised to nine: a two-byte prime above 1999.
    uint8_t n[4] = {};
    QCOMPARE(text::ParseHexBytes(d.result(), n, 4), 2);
    QVERIFY(n[0] * 256 + n[1] > 1999);
    QCOMPARE(calculator::GetProfileInt("Prime", "BitLength", 0), 8);
    QCOMPARE(calculator::GetProfileInt("Prime", "TestTimes", 0), 4);
}

void ToolsCommandsTest::generatorsInsertAndSave() {
    MessageRecorder messages;
    box_->setPlainText("AA ");
    box_->moveCursor(QTextCursor::End);
    WhenModal([](QDialog* d) {
        Control<QLineEdit>(d, ids::kIdBitCount)->setText("16");
        Press(d, ids::kIdGenerate);
    });
    calculator::RunRegisteredCommand(ids::kCmdInsertRandomNumber, {nullptr, box_, true});
    QCOMPARE(text::CountHexTokens(box_->toPlainText().toStdString(), true), 3);
    QVERIFY(saved_.empty());

    // From the Tools menu the number goes to the Output Number service, in
    // the box's letter case, and the save is confirmed.
    box_->setUpperCase(false);
    QVERIFY(calculator::IsCommandAvailable(ids::kCmdRandomPrime));
    WhenModal([](QDialog* d) {
        Control<QLineEdit>(d, ids::kIdBitCount)->setText("32");
        Press(d, ids::kIdGenerate);
    });
    calculator::RunRegisteredCommand(ids::kCmdRandomPrime, {nullptr, box_, false});
    QCOMPARE(saved_.size(), size_t(1));
    QCOMPARE(text::CountHexTokens(saved_[0], true), 4);
    QCOMPARE(QString::fromStdString(saved_[0]), QString::fromStdString(saved_[0]).toLower());
    QCOMPARE(messages.ids(), QVector<int>{ids::kMsgRandomPrimeSaveOk});

    // Without the service the two menu commands are not offered.
    calculator::ClearCommandRegistry();
    tools::RegisterToolsCommands({});
    QVERIFY(!calculator::IsCommandAvailable(ids::kCmdRandomNumber));
    QVERIFY(calculator::IsCommandAvailable(ids::kCmdInsertRandomNumber));
    QVERIFY(calculator::IsCommandAvailable(ids::kCmdBitShifter));
}

QTEST_MAIN(ToolsCommandsTest)
#include "tools_commands_test.moc"
