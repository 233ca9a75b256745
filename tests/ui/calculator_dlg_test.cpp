// The calculator window: typing and keys, settings over two lifetimes,
// toolbar geometry, tooltips, enabling, Tip of the Day and the window loop.
#include "calculator_test_window.h"

#include "calculator/application.h"
#include "calculator/common/command_registry.h"
#include "calculator/tip_of_day_dialog.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>

using calculator::CCalculatorDlg;

namespace {

constexpr int X = 1057, Y = 1058, Z = 1059, R = 1060;

calculator::CTipOfDayDialog* OpenTip() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* tip = qobject_cast<calculator::CTipOfDayDialog*>(w); tip && tip->isVisible())
            return tip;
    }
    return nullptr;
}

bool ShowsToolTip(QWidget* w) {
    // Hiding a tip takes a timer's run.
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000))
        return true;
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &event);
    return QToolTip::isVisible();
}

} // namespace

class CalculatorDlgTest : public QObject {
    Q_OBJECT

private slots:
    void typedProductLandsInResult();
    void firstStartGivesDefaults();
    void tipOfDayStaysClosedWhenTurnedOff();
    void settingsSurviveTwoLifetimes();
    void hidingToolbarMovesEveryControl();
    void keyPreTranslation_data();
    void keyPreTranslation();
    void escClearsAndF1AsksForHelp();
    void enablingFollowsSystem_data();
    void enablingFollowsSystem();
    void exportNeedsOperandText();
    void toolsServedByTheirFolders();
    void toolTipsFollowSetting();
    void buttonColoursAndCaptions();
    void temporaryHidesKeepTheLoop();
};

void CalculatorDlgTest::typedProductLandsInResult() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Focus(X);
    QTest::keyClicks(t.Box(X), "12 34");
    QTest::keyClick(t.Box(X), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.Box(Y)));
    QTest::keyClicks(t.Box(Y), "56");
    QTest::keyClick(t.Box(Y), '*');
    t.Settle();
    QCOMPARE(t.Text(R), QStringLiteral("06 1D 78 "));
    QCOMPARE(t.Button(1061)->text(), QStringLiteral("*"));
    QCOMPARE(t.Text(Y), QStringLiteral("56"));
    QCOMPARE(w.activeOperand(), t.Box(R));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.Box(R)));
    QVERIFY(t.messages.shown.isEmpty());
    // A text change of x clears the operation label.
    t.Focus(X);
    QTest::keyClicks(t.Box(X), "0");
    QCOMPARE(t.Button(1061)->text(), QString());
}

void CalculatorDlgTest::firstStartGivesDefaults() {
    CalculatorWindow t;
    calculator::CTipOfDayDialog* tip = nullptr;
    CCalculatorDlg& w = t.Open(true);
    QTRY_VERIFY((tip = OpenTip()) != nullptr);
    QCOMPARE(tip->parentWidget(), static_cast<QWidget*>(&w));
    tip->close();
    for (int id = X; id <= R; ++id) {
        QCOMPARE(int(t.Box(id)->numberSystem()), 0);
        QVERIFY(t.Box(id)->upperCase());
    }
    QVERIFY(t.Box(R)->isReadOnly());
    QVERIFY(w.toolbarShown());
    QVERIFY(w.findChild<QToolBar*>()->isVisible());
    QVERIFY(w.toolTipsOn());
    QVERIFY(w.upperCase());
    QVERIFY(!w.topmost());
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    QCOMPARE(w.activeOperand(), t.Box(X));
    QVERIFY(platform::FindControl<QRadioButton>(&w, 1002)->isChecked());
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrune Multibyte Calculator"));
    struct Check {
        int command;
        bool checked;
    } checks[] = {{32781, false}, {59392, true}, {32782, true}, {32805, true}};
    for (const Check& c : checks)
        QCOMPARE(w.commandAction(c.command)->isChecked(), c.checked);
    QCOMPARE(platform::FindControl<QLineEdit>(&w, 1008)->text(), QStringLiteral("1"));
}

void CalculatorDlgTest::tipOfDayStaysClosedWhenTurnedOff() {
    CalculatorWindow t;
    calculator::WriteProfileInt("View", "TipOfDay", 0);
    t.Open(true);
    QTest::qWait(50);
    QVERIFY(OpenTip() == nullptr);
    // The Help menu opens it regardless.
    t.Trigger(32784);
    QTRY_VERIFY(OpenTip() != nullptr);
    OpenTip()->close();
}

void CalculatorDlgTest::settingsSurviveTwoLifetimes() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    // Each box gets its own system through the radios, as a user would.
    const int systems[4] = {1, 2, 3, 1};
    for (int i = 0; i < 4; ++i) {
        t.Focus(X + i);
        QTest::mouseClick(platform::FindControl<QRadioButton>(&w, 1002 + systems[i]),
                          Qt::LeftButton);
        t.Settle();
        QCOMPARE(int(t.Box(X + i)->numberSystem()), systems[i]);
    }
    for (int command : {59392, 32782, 32805, 32781})
        t.Trigger(command);
    QVERIFY(w.topmost());
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.isVisible());
    t.Close();

    struct Stored {
        const char* section;
        const char* name;
        int value;
    } stored[] = {{"View", "Topmost", 8},   {"View", "Toolbar", 0},   {"View", "Tooltip", 0},
                  {"View", "UpperCase", 0}, {"General", "Op1 NS", 1}, {"General", "Op2 NS", 2},
                  {"General", "Op3 NS", 3}, {"General", "OpR NS", 1}};
    for (const Stored& s : stored)
        QCOMPARE(t.Setting(s.section, s.name), s.value);

    CCalculatorDlg& again = t.Open();
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(int(t.Box(X + i)->numberSystem()), systems[i]);
        QVERIFY(!t.Box(X + i)->upperCase());
    }
    QVERIFY(!again.toolbarShown());
    QVERIFY(!again.findChild<QToolBar*>()->isVisible());
    QVERIFY(!again.toolTipsOn());
    QVERIFY(!again.upperCase());
    QVERIFY(again.topmost());
    QVERIFY(again.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(again.commandAction(32781)->isChecked());
    // x is active again, so the radios show its system.
    QVERIFY(platform::FindControl<QRadioButton>(&again, 1003)->isChecked());
}

void CalculatorDlgTest::hidingToolbarMovesEveryControl() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    auto* toolbar = w.findChild<QToolBar*>();
    const int h = w.toolbarHeight();
    QCOMPARE(h, 32 + 16);
    QCOMPARE(toolbar->height(), h);
    QCOMPARE(toolbar->widgetForAction(w.commandAction(32771))->size(), QSize(32, 32));

    // Every numbered control of the window is in the list and moves with it.
    const std::vector<int> moving = CCalculatorDlg::MovingControlIds();
    QCOMPARE(moving.size(), size_t(14 + 53));
    QMap<int, int> before;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (int id = platform::ControlId(c); id != 0 && c->parentWidget() == &w) {
            QVERIFY2(std::find(moving.begin(), moving.end(), id) != moving.end(),
                     qPrintable(QString::number(id)));
            before.insert(id, c->y());
        }
    }
    QCOMPARE(before.size(), int(moving.size()));
    const int height = w.height();
    const int menuY = w.findChild<QMenuBar*>()->y();

    t.Trigger(59392);
    QVERIFY(!w.toolbarShown());
    QVERIFY(!toolbar->isVisible());
    QTRY_COMPARE(w.height(), height - h);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(platform::FindControl(&w, it.key())->y(), it.value() - h);
    QCOMPARE(w.findChild<QMenuBar*>()->y(), menuY);
    QVERIFY(!w.commandAction(59392)->isChecked());

    t.Trigger(59392);
    QTRY_COMPARE(w.height(), height);
    QVERIFY(toolbar->isVisible());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(platform::FindControl(&w, it.key())->y(), it.value());
    // Asking for the state it is in changes nothing.
    w.ShowToolbar(true);
    QCOMPARE(w.height(), height);
}

// A key typed into a control (x unless named) with x and y filled; what x, r
// and the memory show afterwards.
struct KeyCase {
    const char* name;
    int target;
    const char *x, *y;
    char key;
    int modifiers;
    const char *expectX, *expectR, *memory;
};
constexpr int kShift = Qt::ShiftModifier;
const KeyCase kKeys[] = {
    {"Shift+I increments", X, "FF", "", 'I', kShift, "01 00 ", "", ""},
    {"Shift+i with caps lock", X, "FF", "", 'i', kShift, "01 00 ", "", ""},
    {"Shift+D decrements", X, "01 00", "", 'D', kShift, "FF ", "", ""},
    {"+ runs Add, inserts nothing", X, "01", "02", '+', 0, "01", "03 ", ""},
    {"* with Shift is still Multiply", X, "03", "05", '*', kShift, "03", "0F ", ""},
    {"g runs GCD", X, "0C", "08", 'g', 0, "0C", "04 ", ""},
    {"Shift+G is GCD, not a Shift letter", X, "0C", "08", 'G', kShift, "0C", "04 ", ""},
    {"r runs Sqrt", X, "10", "", 'r', 0, "10", "04 ", ""},
    {"~ runs Not", X, "0F", "", '~', 0, "F0 ", "", ""},
    {"< shifts left by the step", X, "40", "", '<', 0, "80 ", "", ""},
    {"| runs Or", X, "F0", "0F", '|', 0, "F0", "FF ", ""},
    {"Shift+M stores", X, "05", "", 'M', kShift, "05", "", "05 "},
    {"plain d is typed", X, "", "", 'd', 0, "d", "", ""},
    {"plain a is typed", X, "1", "", 'a', 0, "1a", "", ""},
    {"Ctrl+G is no character", X, "0C", "08", 'g', Qt::ControlModifier, "0C", "", ""},
    {"keys in the step box run too", 1008, "02", "03", '+', 0, "02", "05 ", ""},
};

void CalculatorDlgTest::keyPreTranslation_data() {
    QTest::addColumn<int>("row");
    for (const KeyCase& c : kKeys)
        QTest::newRow(c.name) << int(&c - kKeys);
}

void CalculatorDlgTest::keyPreTranslation() {
    QFETCH(int, row);
    const KeyCase& c = kKeys[row];
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Put(X, c.x);
    t.Put(Y, c.y);
    t.Focus(X);
    t.Box(X)->moveCursor(QTextCursor::End);
    QWidget* receiver = platform::FindControl(&w, c.target);
    receiver->setFocus();
    QTest::keyClick(receiver, c.key, Qt::KeyboardModifiers(c.modifiers));
    t.Settle();
    QCOMPARE(t.Text(X), QString::fromUtf8(c.expectX));
    QCOMPARE(t.Text(R), QString::fromUtf8(c.expectR));
    QCOMPARE(QString::fromStdString(w.memory().text()), QString::fromUtf8(c.memory));
    QVERIFY(t.messages.shown.isEmpty());
}

void CalculatorDlgTest::escClearsAndF1AsksForHelp() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    for (int id : {X, Y, Z, R})
        t.Put(id, "10", id == Y ? 1 : 0);
    t.Focus(Y);
    t.Click(1065); // MS keeps a memory that Clear must not touch
    QTest::keyClick(t.Box(Y), Qt::Key_Escape);
    t.Settle();
    QVERIFY(w.isVisible());
    for (int id : {X, Y, Z, R})
        QCOMPARE(t.Text(id), QString());
    QCOMPARE(int(t.Box(Y)->numberSystem()), 1);
    QCOMPARE(t.Button(1062)->text(), QStringLiteral("M"));

    QSignalSpy help(&w, &CCalculatorDlg::helpRequested);
    QTest::keyClick(t.Button(1021), Qt::Key_F1);
    QCOMPARE(help.size(), 1);
    QCOMPARE(help.at(0).at(0).toInt(), 32783);
}

void CalculatorDlgTest::enablingFollowsSystem_data() {
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("enabledKeys"); // digits, letters, U: the unary operations
    struct {
        const char* name;
        int active, system;
        const char* keys;
    } rows[] = {{"x hexadecimal", X, 0, "0123456789ABCDEFU"},
                {"x decimal", X, 1, "0123456789U"},
                {"y octal", Y, 2, "01234567U"},
                {"z binary", Z, 3, "01U"},
                {"r hexadecimal", R, 0, "0123456789ABCDEF"},
                {"r binary", R, 3, "01"}};
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.active << r.system << QString::fromUtf8(r.keys);
}

void CalculatorDlgTest::enablingFollowsSystem() {
    QFETCH(int, active);
    QFETCH(int, system);
    QFETCH(QString, enabledKeys);
    CalculatorWindow t;
    t.Open();
    t.Put(active, "", system);
    t.Focus(active);
    for (int d = 0; d < 10; ++d)
        QCOMPARE(t.Button(1038 + d)->isEnabled(), enabledKeys.contains(QChar('0' + d)));
    for (int i = 0; i < 6; ++i)
        QCOMPARE(t.Button(1048 + i)->isEnabled(), enabledKeys.contains(QChar('A' + i)));
    // The format group goes with the letters: hexadecimal only.
    for (int id = 1033; id <= 1037; ++id)
        QCOMPARE(t.Button(id)->isEnabled(), system == 0);
    for (int id = 1009; id <= 1013; ++id)
        QCOMPARE(t.Button(id)->isEnabled(), enabledKeys.contains(QLatin1Char('U')));
    for (int id : {1019, 1028, 1054, 1055, 1056, 1063, 1064})
        QVERIFY(t.Button(id)->isEnabled());
    QVERIFY(platform::FindControl<QRadioButton>(t.window.get(), 1002 + system)->isChecked());
}

void CalculatorDlgTest::exportNeedsOperandText() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    QAction* exportItem = w.commandAction(32779);
    QCOMPARE(exportItem->text(), QStringLiteral("&Export To File..."));
    t.Focus(X);
    QVERIFY(!exportItem->isEnabled());
    QTest::keyClicks(t.Box(X), "12");
    QCOMPARE(exportItem->isEnabled(), CCalculatorDlg::CommandAvailable(32779));
    t.Focus(Y); // empty again
    QVERIFY(!exportItem->isEnabled());
    // No crypto context yet: the hash calculator stays off in menu and toolbar.
    QVERIFY(!w.commandAction(32776)->isEnabled());
    QVERIFY(!w.findChild<QToolBar*>()->widgetForAction(w.commandAction(32776))->isEnabled());
    for (int id :
         {32808, 57665, 32781, 59392, 32782, 32805, 32783, 57667, 57666, 32784, 32787, 32788})
        QVERIFY(w.commandAction(id)->isEnabled());
}

void CalculatorDlgTest::toolTipsFollowSetting() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    struct Tip {
        int id;
        const char* text;
    } tips[] = {{1021, "Multiplication (*)"},
                {1015, "Bitwise-inclusive-OR (|)"},
                {1008, "Unary Operation Step (Decimal)"},
                {1061, "Current Operation"},
                {1003, "Convert active operand / result to decimal"},
                {1057, "First Operand (x, Hexadecimal)"},
                {1060, "Operation Result (r, Hexadecimal)"}};
    for (const Tip& tip : tips)
        QCOMPARE(platform::FindControl(&w, tip.id)->toolTip(), QString::fromUtf8(tip.text));
    QWidget* toolButton = w.findChild<QToolBar*>()->widgetForAction(w.commandAction(32808));
    QCOMPARE(toolButton->toolTip(), QStringLiteral("Switch to Windows Calculator"));

    // A box's tooltip names its current system.
    t.Focus(Y);
    QTest::mouseClick(platform::FindControl<QRadioButton>(&w, 1005), Qt::LeftButton);
    t.Settle();
    QCOMPARE(t.Box(Y)->toolTip(), QStringLiteral("Second Operand (y, Binary)"));

    QVERIFY(ShowsToolTip(t.Button(1021)));
    t.Trigger(32782);
    QVERIFY(!w.toolTipsOn());
    QVERIFY(!ShowsToolTip(t.Button(1021)));
    QVERIFY(!ShowsToolTip(t.Box(X)));
    QVERIFY(!ShowsToolTip(toolButton));
    t.Trigger(32782);
    QVERIFY(ShowsToolTip(toolButton));
    QToolTip::hideText();
}

void CalculatorDlgTest::buttonColoursAndCaptions() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    struct Colour {
        int first, last;
        QColor colour;
    } groups[] = {{1009, 1013, QColor(255, 0, 255)},
                  {1014, 1027, QColor(255, 0, 0)},
                  {1028, 1037, QColor(255, 0, 255)},
                  {1038, 1056, QColor(0, 0, 255)},
                  {1063, 1067, QColor(255, 0, 0)}};
    int count = 0;
    for (const Colour& g : groups) {
        for (int id = g.first; id <= g.last; ++id, ++count) {
            QPushButton* b = t.Button(id);
            QCOMPARE(b->palette().color(QPalette::Active, QPalette::ButtonText), g.colour);
            QCOMPARE(b->palette().color(QPalette::Inactive, QPalette::ButtonText), g.colour);
            QVERIFY(b->palette().color(QPalette::Disabled, QPalette::ButtonText) != g.colour);
            QVERIFY(!b->autoDefault());
        }
    }
    QCOMPARE(count, 53);
    // Backspace spans two keypad columns, with the next button right after.
    QCOMPARE(t.Button(1033)->x() - t.Button(1056)->x(),
             2 * (t.Button(1055)->x() - t.Button(1054)->x()));
    QVERIFY(t.Button(1056)->width() > 2 * t.Button(1055)->width());
    for (int id : {1061, 1062}) {
        QVERIFY(t.Button(id)->isFlat());
        QVERIFY(!t.Button(id)->isEnabled());
    }
    QVERIFY(w.minimumSize() == w.maximumSize());
}

void CalculatorDlgTest::temporaryHidesKeepTheLoop() {
    // Changing the window flags hides the window for a moment; the dialog's
    // loop must go on until the window is really closed.
    CalculatorWindow t;
    t.window = std::make_unique<CCalculatorDlg>();
    CCalculatorDlg& w = *t.window;
    w.setShowTipAtStartup(false);
    bool stillRunning = false;
    QTimer::singleShot(0, &w, [&] {
        w.commandAction(32781)->trigger();
        QTimer::singleShot(50, &w, [&] {
            stillRunning = w.isVisible() && w.topmost();
            w.commandAction(57665)->trigger(); // Exit
        });
    });
    w.exec();
    QVERIFY(stillRunning);
    QVERIFY(!w.isVisible());
    // Esc does not end it either.
    QTimer::singleShot(0, &w, [&] {
        QTest::keyClick(t.Box(X), Qt::Key_Escape);
        QTimer::singleShot(20, &w, [&] {
            stillRunning = w.isVisible();
            w.close();
        });
    });
    stillRunning = false;
    w.exec();
    QVERIFY(stillRunning);
}

QTEST_MAIN(CalculatorDlgTest)
void CalculatorDlgTest::toolsServedByTheirFolders() {
    // The start-up registers every folder's commands; the hash calculator
    // also waits for the application crypto context.
    uint32_t context = 0;
    calculator::ToolServices services;
    services.cryptoContext = [&context] { return context; };
    calculator::RegisterCommands(services);
    {
        CalculatorWindow t;
        CCalculatorDlg& w = t.Open();
        // Every command of the menus and the toolbar is served.
        for (int id :
             {ids::kCmdCrc, ids::kCmdChecksum, ids::kCmdNumberFormatter, ids::kCmdKeyContainers,
              ids::kCmdRandomNumber, ids::kCmdRandomPrime, ids::kCmdScripts, ids::kCmdBitShifter})
            QVERIFY2(w.commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
        // And every command of the edit box's menu.
        for (int id : {ids::kCmdInsertFormatText, ids::kCmdInsertRandomNumber,
                       ids::kCmdInsertRandomPrime, ids::kCmdRandomicityTest, ids::kCmdFermatTest,
                       ids::kCmdSolovayStrassenTest, ids::kCmdMillerRabinTest,
                       ids::kCmdGeneralPrimalityTest, ids::kCmdCrc, ids::kCmdExportToFile})
            QVERIFY2(calculator::IsCommandAvailable(id), qPrintable(QString::number(id)));
        QVERIFY(!w.commandAction(ids::kCmdHash)->isEnabled());
        context = 1;
        t.Focus(X);
        QVERIFY(w.commandAction(ids::kCmdHash)->isEnabled());
        QTest::keyClicks(t.Box(X), "12");
        QVERIFY(w.commandAction(ids::kCmdExportToFile)->isEnabled());
    }
    calculator::ClearCommandRegistry();
}

#include "calculator_dlg_test.moc"
