// The calculator's operations driven through the window's buttons: binary
// results and messages, unary operations, memory, copies, format operations,
// digit entry, the number-system radios and the unary step.
#include "calculator_test_window.h"
#include "resources/ids.h"
#include "support/modal_helper.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

using calculator::CCalculatorDlg;

namespace {

constexpr int X = 1057, Y = 1058, Z = 1059, R = 1060;
// A result left from before, to see whether an operation keeps or clears it.
const QString kOldResult = QStringLiteral("AA ");

} // namespace

class CalculatorOpsTest : public QObject {
    Q_OBJECT

private slots:
    void formatFallsBackToTheFormatter();
    void binaryOperations_data();
    void binaryOperations();
    void unaryOperations_data();
    void unaryOperations();
    void resultActiveIgnoresEntryAndUnary();
    void memoryOperations();
    void copiesKeepSystems_data();
    void copiesKeepSystems();
    void formatOperations_data();
    void formatOperations();
    void digitEntryAndBackspace();
    void radiosConvertOrRefuse();
    void stepIsClamped();
    void upperCaseToggleAppliesToNewTexts();
};

// Results worked out by hand from the operands' values. A message of 0 means
// none; "old" is the label left from before, kept by a refused operation.
struct BinaryCase {
    const char* name;
    int op;
    const char *x, *y, *z, *result;
    int message;
    const char* label;
};
const BinaryCase kBinary[] = {
    {"05-05", 1020, "05", "05", "", "00 ", 0, "-"},
    {"01-03 two's complement", 1020, "01", "03", "", "FE ", 0, "-"},
    {"01-0100", 1020, "01", "01 00", "", "01 ", 0, "-"},
    {"FF+01 carries", 1019, "FF", "01", "", "01 00 ", 0, "+"},
    {"07/00", 1022, "07", "00", "", "", 2081, ""},
    {"07 mod 00", 1023, "07", "00", "", "", 2081, ""},
    {"64/07", 1022, "64", "07", "", "0E ", 0, "/"},
    {"64 mod 07", 1023, "64", "07", "", "02 ", 0, "Mod"},
    {"Jn 2,7", 1027, "02", "07", "", "01 ", 0, "Jn"},
    {"Jn 3,7", 1027, "03", "07", "", "FF FF FF FF ", 0, "Jn"},
    {"Jn y with leading zero", 1027, "02", "00 03", "", "FF FF FF FF ", 0, "Jn"},
    {"Jn y even", 1027, "01", "02", "", "", 2084, ""},
    {"Jn y 0A", 1027, "01", "0A", "", "", 2084, ""},
    {"Jn x not below y", 1027, "05", "03", "", "", 2085, ""},
    {"M^-1 without inverse", 1026, "02", "04", "", "00 ", 0, "M^-1"},
    {"M^-1 3 mod 7", 1026, "03", "07", "", "05 ", 0, "M^-1"},
    {"PMod 2^10 mod 1000", 1025, "02", "0A", "03 E8", "18 ", 0, "PMod"},
    {"PMod empty z", 1025, "02", "03", "", "", 2083, ""},
    {"PMod invalid z", 1025, "02", "03", "q", "", 2083, ""},
    {"PMod zero base", 1025, "00", "03", "05", "", 2081, ""},
    {"PMod zero modulus", 1025, "02", "03", "00", "", 2081, ""},
    {"x^2 ignores y", 1017, "10", "zz", "", "01 00 ", 0, "x^2"},
    {"Sqrt of 0x51", 1018, "51", "", "", "09 ", 0, "Sqrt"},
    {"GCD", 1024, "12", "1E", "", "06 ", 0, "GCD"},
    {"And aligns right", 1014, "FF 0F", "3C", "", "00 0C ", 0, "And"},
    {"Xor", 1016, "F0", "FF", "", "0F ", 0, "Xor"},
    {"no x", 1019, "", "01", "", "AA ", 2077, "old"},
    {"invalid x", 1019, "0x1", "01", "", "AA ", 2079, "old"},
    {"no y", 1019, "01", " ", "", "AA ", 2078, "old"},
    {"invalid y", 1021, "01", "g", "", "AA ", 2080, "old"},
};

void CalculatorOpsTest::binaryOperations_data() {
    QTest::addColumn<int>("row");
    for (const BinaryCase& c : kBinary)
        QTest::newRow(c.name) << int(&c - kBinary);
}

void CalculatorOpsTest::binaryOperations() {
    QFETCH(int, row);
    const BinaryCase& c = kBinary[row];
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Put(X, c.x);
    t.Put(Y, c.y);
    t.Put(Z, c.z);
    t.Put(R, kOldResult);
    t.Button(1061)->setText(QStringLiteral("old"));
    t.Focus(Y);
    t.Click(c.op);
    QCOMPARE(t.Text(R), QString::fromUtf8(c.result));
    QCOMPARE(t.Button(1061)->text(), QString::fromUtf8(c.label));
    QCOMPARE(t.messages.ids(), c.message ? QVector<int>{c.message} : QVector<int>{});
    // Operands are never touched; r is active after a result only.
    QCOMPARE(t.Text(X), QString::fromUtf8(c.x));
    QCOMPARE(t.Text(Y), QString::fromUtf8(c.y));
    QCOMPARE(w.activeOperand(), c.message == 0 ? t.Box(R) : t.Box(Y));
}

struct UnaryCase {
    const char* name;
    int op;
    const char* before;
    int step;
    const char* after;
    int message;
};
const UnaryCase kUnary[] = {
    {"FF ++", 1009, "FF", 1, "01 00 ", 0},
    {"00 FF ++ keeps width", 1009, "00 FF", 1, "01 00 ", 0},
    {"01 --", 1010, "01", 1, "00 ", 0},
    {"00 00 -- unchanged", 1010, "00 00", 1, "00 00 ", 0},
    {"01 00 -- drops zeros", 1010, "01 00", 1, "FF ", 0},
    {"Not 00 0F", 1013, "00 0F", 1, "FF F0 ", 0},
    {"Lsh 80 01 by 1", 1011, "80 01", 1, "00 02 ", 0},
    {"Lsh by the step", 1011, "01", 3, "08 ", 0},
    {"Rsh 01 by 10000", 1012, "01", 10000, "00 ", 0},
    {"empty", 1009, "", 1, "", 2090},
    {"invalid", 1013, "xy", 1, "xy", 2091},
};

void CalculatorOpsTest::unaryOperations_data() {
    QTest::addColumn<int>("row");
    for (const UnaryCase& c : kUnary)
        QTest::newRow(c.name) << int(&c - kUnary);
}

void CalculatorOpsTest::unaryOperations() {
    QFETCH(int, row);
    const UnaryCase& c = kUnary[row];
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    platform::FindControl<QLineEdit>(&w, 1008)->setText(QString::number(c.step));
    t.Put(Z, c.before);
    t.Button(1061)->setText(QStringLiteral("old"));
    t.Focus(Z);
    t.Click(c.op);
    QCOMPARE(t.Text(Z), QString::fromUtf8(c.after));
    QCOMPARE(t.messages.ids(), c.message ? QVector<int>{c.message} : QVector<int>{});
    QCOMPARE(t.Button(1061)->text(), c.message ? QStringLiteral("old") : QString());
    QCOMPARE(w.activeOperand(), t.Box(Z));
}

void CalculatorOpsTest::resultActiveIgnoresEntryAndUnary() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Put(X, "07");
    t.Focus(X);
    t.Click(1065); // MS: memory 07
    t.Put(R, "01 02");
    t.Focus(R);
    for (int id : {1038, 1039, 1055, 1056, 1064})
        t.Click(id);
    QTest::keyClick(t.Box(R), 'I', Qt::ShiftModifier);
    t.Settle();
    QCOMPARE(t.Text(R), QStringLiteral("01 02"));
    QVERIFY(!t.Button(1009)->isEnabled());
    QVERIFY(t.messages.shown.isEmpty());
    // Memory and copies do work on r.
    t.Click(1066); // M+: 07 + 01 02
    QCOMPARE(QString::fromStdString(w.memory().text()), QStringLiteral("01 09 "));
    t.Click(1031);
    QCOMPARE(t.Text(X), QStringLiteral("01 02"));
}

void CalculatorOpsTest::memoryOperations() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    auto memory = [&w] { return QString::fromStdString(w.memory().text()); };
    QPushButton* indicator = t.Button(1062);

    t.Put(X, "05");
    t.Focus(X);
    t.Click(1067); // M- on an empty memory: 0 - 5 is at most zero
    QCOMPARE(memory(), QStringLiteral("00 "));
    QCOMPARE(indicator->text(), QStringLiteral("M"));
    t.Click(1066); // M+
    t.Put(X, "FB");
    t.Click(1066);
    QCOMPARE(memory(), QStringLiteral("01 00 "));
    t.Put(X, "01");
    t.Click(1067);
    QCOMPARE(memory(), QStringLiteral("FF "));
    t.Put(X, "zz");
    t.Click(1065); // MS of invalid text keeps the memory
    QCOMPARE(t.messages.ids(), QVector<int>{2001});
    QCOMPARE(memory(), QStringLiteral("FF "));
    t.messages.clear();
    t.Put(X, "");
    t.Click(1066); // M+ of an empty box does nothing
    QCOMPARE(memory(), QStringLiteral("FF "));
    QVERIFY(t.messages.shown.isEmpty());

    // MR into a decimal box switches it to hexadecimal.
    t.Put(Y, "12", 1);
    t.Focus(Y);
    t.Click(1064);
    QCOMPARE(t.Text(Y), QStringLiteral("FF "));
    QCOMPARE(int(t.Box(Y)->numberSystem()), 0);
    QVERIFY(platform::FindControl<QRadioButton>(&w, 1002)->isChecked());
    QVERIFY(t.messages.shown.isEmpty());

    t.Put(Y, "");
    t.Click(1065); // MS of an empty box clears the memory
    QVERIFY(w.memory().empty());
    QCOMPARE(indicator->text(), QString());
    t.Click(1064); // MR of an empty memory changes nothing
    QCOMPARE(t.Text(Y), QString());
    t.Put(Y, "03");
    t.Click(1065);
    QCOMPARE(indicator->text(), QStringLiteral("M"));
    t.Click(1063); // MC
    QVERIFY(w.memory().empty());
    QCOMPARE(indicator->text(), QString());
}

// Before each copy: x "1 234 " decimal, y "AB " hexadecimal, r "101 " binary.
struct CopyCase {
    const char* name;
    int op;
    const char* x;
    int xSystem;
    const char* y;
    int ySystem;
};
const CopyCase kCopies[] = {
    {"x<->y", 1028, "AB ", 0, "1 234 ", 1}, {"x->y", 1029, "1 234 ", 1, "1 234 ", 1},
    {"y->x", 1030, "AB ", 0, "AB ", 0},     {"r->x", 1031, "101 ", 3, "AB ", 0},
    {"r->y", 1032, "1 234 ", 1, "101 ", 3},
};

void CalculatorOpsTest::copiesKeepSystems_data() {
    QTest::addColumn<int>("row");
    for (const CopyCase& c : kCopies)
        QTest::newRow(c.name) << int(&c - kCopies);
}

void CalculatorOpsTest::copiesKeepSystems() {
    QFETCH(int, row);
    const CopyCase& c = kCopies[row];
    CalculatorWindow t;
    t.Open();
    t.Put(X, "1 234 ", 1);
    t.Put(Y, "AB ", 0);
    t.Put(R, "101 ", 3);
    t.Button(1061)->setText(QStringLiteral("old"));
    t.Focus(X);
    t.Click(c.op);
    QCOMPARE(t.Text(X), QString::fromUtf8(c.x));
    QCOMPARE(int(t.Box(X)->numberSystem()), c.xSystem);
    QCOMPARE(t.Text(Y), QString::fromUtf8(c.y));
    QCOMPARE(int(t.Box(Y)->numberSystem()), c.ySystem);
    QCOMPARE(t.Text(R), QStringLiteral("101 "));
    QCOMPARE(t.Button(1061)->text(), QString());
    QCOMPARE(t.Box(X)->textCursor().position(), t.Text(X).size());
    // The radios follow x's system as it is now.
    QVERIFY(platform::FindControl<QRadioButton>(t.window.get(), 1002 + c.xSystem)->isChecked());
    QVERIFY(t.messages.shown.isEmpty());
}

struct FormatCase {
    const char* name;
    int op;
    const char *before, *after;
};
const FormatCase kFormats[] = {
    {"Format", 1033, "1 2 3", "01 02 03 "},
    {"Format odd token", 1033, "abc", "0A BC "},
    {"Reverse", 1034, "abc", "BC 0A "},
    {"Swap-W", 1035, "01 02 03", "02 01 03 "},
    {"Swap-D", 1036, "1 2 3 4 5", "04 03 02 01 05 "},
    {"Swap-L", 1037, "1 2 3 4 5 6 7 8 9", "08 07 06 05 04 03 02 01 09 "},
    {"empty", 1035, "", ""},
};

void CalculatorOpsTest::formatOperations_data() {
    QTest::addColumn<int>("row");
    for (const FormatCase& c : kFormats)
        QTest::newRow(c.name) << int(&c - kFormats);
}

void CalculatorOpsTest::formatOperations() {
    QFETCH(int, row);
    const FormatCase& c = kFormats[row];
    CalculatorWindow t;
    t.Open();
    t.Put(Y, c.before);
    t.Button(1061)->setText(QStringLiteral("old"));
    t.Focus(Y);
    t.Click(c.op);
    QCOMPARE(t.Text(Y), QString::fromUtf8(c.after));
    QVERIFY(t.messages.shown.isEmpty());
    const bool rewritten = qstrcmp(c.before, c.after) != 0;
    QCOMPARE(t.Button(1061)->text(), rewritten ? QString() : QStringLiteral("old"));
}

// Text that is not hexadecimal goes through the Number Formatter: its number
// becomes the operand and the operation goes on; Cancel ends it.
void CalculatorOpsTest::formatFallsBackToTheFormatter() {
    CalculatorWindow t;
    t.Open();
    t.Put(Y, "0x12, 0xab");
    t.Focus(Y);
    QString offered;
    WhenModal([&](QDialog* d) {
        auto* input = platform::FindControl<QPlainTextEdit>(d, ids::kIdFormatterInput);
        offered = input->toPlainText();
        platform::FindControl<QLineEdit>(d, ids::kIdStripText)->setText("0x");
        platform::FindControl<QPushButton>(d, ids::kIdFormatterFormat)->click();
        platform::FindControl<QPushButton>(d, ids::kIdOk)->click();
    });
    t.Click(1034); // Reverse
    QCOMPARE(offered, QStringLiteral("0x12, 0xab"));
    QCOMPARE(t.Text(Y), QStringLiteral("AB 12 "));

    t.Put(Y, "Hi!");
    t.Focus(Y);
    WhenModal([](QDialog* d) { d->reject(); });
    t.Click(1034);
    QCOMPARE(t.Text(Y), QStringLiteral("Hi!"));
    QVERIFY(t.messages.shown.isEmpty());
}

void CalculatorOpsTest::digitEntryAndBackspace() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Put(X, "12 34");
    t.Focus(X);
    QTextCursor c = t.Box(X)->textCursor();
    c.setPosition(3);
    c.setPosition(5, QTextCursor::KeepAnchor);
    t.Box(X)->setTextCursor(c);
    t.Click(1048 + 0xB - 0xA); // "B" replaces the selection
    QCOMPARE(t.Text(X), QStringLiteral("12 B"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.Box(X)));
    t.Box(X)->undo(); // one undoable edit
    QCOMPARE(t.Text(X), QStringLiteral("12 34"));

    t.Trigger(32805); // lower case letters
    t.Box(X)->moveCursor(QTextCursor::End);
    for (int id : {1055, 1053, 1047})
        t.Click(id);
    QCOMPARE(t.Text(X), QStringLiteral("12 34 f9"));

    struct Case {
        const char* text;
        int start, end;
        const char* after;
    } cases[] = {
        {"12 34", 5, 5, "12 3"},  // caret at the end
        {"12 34", 3, 5, "12"},    // the selection and the character before it
        {"12 34", 0, 2, "12 34"}, // a selection from the first character stays
        {"12 34", 0, 0, "12 34"},
    };
    for (const Case& k : cases) {
        t.Put(X, QString::fromUtf8(k.text));
        QTextCursor cur = t.Box(X)->textCursor();
        cur.setPosition(k.start);
        cur.setPosition(k.end, QTextCursor::KeepAnchor);
        t.Box(X)->setTextCursor(cur);
        t.Click(1056);
        QCOMPARE(t.Text(X), QString::fromUtf8(k.after));
    }
    QCOMPARE(w.activeOperand(), t.Box(X));
}

void CalculatorOpsTest::radiosConvertOrRefuse() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    auto radio = [&w](int system) {
        return platform::FindControl<QRadioButton>(&w, 1002 + system);
    };
    t.Put(X, "04 D2");
    t.Focus(X);
    QTest::mouseClick(radio(1), Qt::LeftButton);
    t.Settle();
    QCOMPARE(t.Text(X), QStringLiteral("1 234 "));
    QVERIFY(radio(1)->isChecked());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t.Box(X)));

    // A decimal box holding a letter refuses hexadecimal with 2002.
    t.Put(Y, "1a", 1);
    t.Focus(Y);
    QTest::mouseClick(radio(0), Qt::LeftButton);
    t.Settle();
    QCOMPARE(t.messages.ids(), QVector<int>{2002});
    QCOMPARE(int(t.Box(Y)->numberSystem()), 1);
    QCOMPARE(t.Text(Y), QStringLiteral("1a"));
    QVERIFY(radio(1)->isChecked());

    // An empty box only changes its system.
    t.messages.clear();
    t.Focus(Z);
    QTest::mouseClick(radio(3), Qt::LeftButton);
    t.Settle();
    QCOMPARE(int(t.Box(Z)->numberSystem()), 3);
    QVERIFY(t.messages.shown.isEmpty());
    QVERIFY(!t.Button(1045)->isEnabled()); // "7" is no binary digit
}

void CalculatorOpsTest::stepIsClamped() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    auto* step = platform::FindControl<QLineEdit>(&w, 1008);
    struct Typed {
        const char* keys;
        const char* shown;
    } typed[] = {{"0", "1"}, {"20000", "10000"}, {"9999", "9999"}, {"10001", "10000"}};
    for (const Typed& k : typed) {
        step->setFocus();
        step->selectAll();
        QTest::keyClicks(step, QString::fromUtf8(k.keys));
        QCOMPARE(step->text(), QString::fromUtf8(k.shown));
        QCOMPARE(step->cursorPosition(), step->text().size());
    }
    // Emptying the box is no number either.
    step->clear();
    QCOMPARE(step->text(), QStringLiteral("1"));

    QWidget* upDown = platform::FindControl(&w, 1007);
    const QList<QToolButton*> arrows = upDown->findChildren<QToolButton*>();
    QCOMPARE(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
    QToolButton* down = up == arrows[0] ? arrows[1] : arrows[0];
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(step->text(), QStringLiteral("1"));
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(step->text(), QStringLiteral("3"));
    step->setText(QStringLiteral("10000"));
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(step->text(), QStringLiteral("10000"));
}

void CalculatorOpsTest::upperCaseToggleAppliesToNewTexts() {
    CalculatorWindow t;
    CCalculatorDlg& w = t.Open();
    t.Put(X, "ab");
    t.Put(Y, "01");
    t.Focus(X);
    t.Click(1019);
    QCOMPARE(t.Text(R), QStringLiteral("AC "));
    t.Trigger(32805);
    QVERIFY(!w.upperCase());
    for (int id = X; id <= R; ++id)
        QVERIFY(!t.Box(id)->upperCase());
    QCOMPARE(t.Text(R), QStringLiteral("AC ")); // shown texts keep their case
    t.Click(1019);
    QCOMPARE(t.Text(R), QStringLiteral("ac "));
    t.Focus(X);
    t.Click(1065);
    QCOMPARE(QString::fromStdString(w.memory().text()), QStringLiteral("ab "));
}

QTEST_MAIN(CalculatorOpsTest)
#include "calculator_ops_test.moc"
