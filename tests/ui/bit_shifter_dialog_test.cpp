// The Bit Shifter driven by its controls: history lines, load, shifts,
// feedback with taps on bits 31 and 21, the mode switches, letter case,
// names of every control and a picture drawn at two scale factors.
#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"
#include "tools/bit_shifter_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using tools::CBitShifterDialog;

namespace {

template <class T = QWidget> T* Control(const QWidget& d, int id) {
    return platform::FindControl<T>(&d, id);
}

void Click(const QWidget& d, int id) {
    Control<QAbstractButton>(d, id)->click();
}

QString Register(const QWidget& d) {
    return Control<QLineEdit>(d, ids::kIdRegister)->text();
}

int HistoryLines(const QWidget& d) {
    return Control<QPlainTextEdit>(d, ids::kIdHistory)->toPlainText().count('\n');
}

void Load(const QWidget& d, const QString& text) {
    Control<QLineEdit>(d, ids::kIdLoadValue)->setText(text);
    Click(d, ids::kIdLoad);
}

} // namespace

class BitShifterDialogTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasAName();
    void opensWithZeroAndOneHistoryLine();
    void shiftsAndLoads_data();
    void shiftsAndLoads();
    void feedbackRegister();
    void displaysAndBits();
    void pictureDrawsAtAnyScale();
};

void BitShifterDialogTest::everyControlHasAName() {
    CBitShifterDialog d(true);
    QCOMPARE(UnnamedControls(&d), QStringList());
    QCOMPARE(Control(d, ids::kIdBit0 + 5)->accessibleName(), QString("Bit 5"));
    QCOMPARE(Control(d, ids::kIdTap0 + 31)->accessibleName(), QString("Tap 31"));
    QCOMPARE(Control(d, ids::kIdByte0 + 3)->accessibleName(), QString("Byte 3"));
    QCOMPARE(d.HelpId(ids::kIdBit0 + 7), 2165);
    QCOMPARE(d.HelpId(ids::kIdTap0), 2166);
    QCOMPARE(d.HelpId(ids::kIdRotate + 3), 2157);
    QCOMPARE(d.HelpId(ids::kIdHighWord), 2163);
}

void BitShifterDialogTest::opensWithZeroAndOneHistoryLine() {
    CBitShifterDialog d(true);
    QCOMPARE(Register(d), QString("0000 0000"));
    QCOMPARE(HistoryLines(d), 1);
    QCOMPARE(Control<QLineEdit>(d, ids::kIdLoadValue)->text(), QString("0"));
    QVERIFY(!Control(d, ids::kIdTap0)->isEnabled());
    QCOMPARE(Control<QPushButton>(d, ids::kIdFeedbackBit)->text(), QString());
}

void BitShifterDialogTest::shiftsAndLoads_data() {
    QTest::addColumn<QString>("load");
    QTest::addColumn<int>("type"); // radio index
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rotate right") << "80000001" << 0 << int(ids::kIdShiftRight) << "C000 0000";
    QTest::newRow("rotate left") << "80000001" << 0 << int(ids::kIdShiftLeft) << "0000 0003";
    QTest::newRow("arithmetic right") << "80000000" << 1 << int(ids::kIdShiftRight) << "C000 0000";
    QTest::newRow("logical right") << "80000000" << 2 << int(ids::kIdShiftRight) << "4000 0000";
    QTest::newRow("arithmetic left") << "80000000" << 1 << int(ids::kIdShiftLeft) << "0000 0000";
    QTest::newRow("load 1ffffffff") << "1ffffffff" << 0 << 0 << "FFFF FFFF";
    QTest::newRow("load -1") << "-1" << 0 << 0 << "FFFF FFFF";
    QTest::newRow("load xyz") << "xyz" << 0 << 0 << "0000 0000";
}

void BitShifterDialogTest::shiftsAndLoads() {
    QFETCH(QString, load);
    QFETCH(int, type);
    QFETCH(int, button);
    QFETCH(QString, expected);
    CBitShifterDialog d(true);
    Click(d, ids::kIdRotate + type);
    Load(d, load);
    QCOMPARE(HistoryLines(d), 2);
    if (button != 0) {
        Click(d, button);
        QCOMPARE(HistoryLines(d), 3);
    }
    QCOMPARE(Register(d), expected);
    Click(d, ids::kIdClearHistory);
    QCOMPARE(HistoryLines(d), 0);
    QCOMPARE(Register(d), expected);
    Click(d, ids::kIdClearShifter);
    QCOMPARE(Register(d), QString("0000 0000"));
    QCOMPARE(HistoryLines(d), 1);
}

void BitShifterDialogTest::feedbackRegister() {
    CBitShifterDialog d(true);
    auto* feedback = Control<QPushButton>(d, ids::kIdFeedbackBit);
    Click(d, ids::kIdRotate + 3);
    QVERIFY(!Control(d, ids::kIdShiftRight)->isEnabled());
    QVERIFY(Control(d, ids::kIdTap0 + 31)->isEnabled());
    QCOMPARE(feedback->text(), QString("0"));
    Click(d, ids::kIdTap0 + 31);
    Click(d, ids::kIdTap0 + 21);
    Load(d, "1");
    // The single 1 walks up; a 1 is fed in once bit 21 is set.
    for (int step = 1; step <= 21; ++step)
        Click(d, ids::kIdShiftLeft);
    QCOMPARE(Register(d), QString("0020 0000"));
    QCOMPARE(feedback->text(), QString("1"));
    Click(d, ids::kIdShiftLeft);
    QCOMPARE(Register(d), QString("0040 0001"));
    // A bit toggle under a checked tap recomputes the indicator.
    QCOMPARE(feedback->text(), QString("0"));
    Click(d, ids::kIdBit0 + 31);
    QCOMPARE(feedback->text(), QString("1"));
    // Clear Shifter empties it until the next recomputation.
    Click(d, ids::kIdClearShifter);
    QCOMPARE(feedback->text(), QString());
    // Out of Feedback: taps off, Shift Right back, indicator empty.
    Click(d, ids::kIdRotate);
    QVERIFY(!Control(d, ids::kIdTap0)->isEnabled());
    QVERIFY(Control(d, ids::kIdShiftRight)->isEnabled());

    // No tap checked: the feedback bit is 0, so the shift is logical.
    CBitShifterDialog plain(true);
    Click(plain, ids::kIdRotate + 3);
    Load(plain, "80000001");
    Click(plain, ids::kIdShiftLeft);
    QCOMPARE(Register(plain), QString("0000 0002"));
}

void BitShifterDialogTest::displaysAndBits() {
    CBitShifterDialog lower(false);
    Load(lower, "abcd0012");
    QCOMPARE(Register(lower), QString("abcd 0012"));
    QCOMPARE(Control<QLineEdit>(lower, ids::kIdByte0 + 3)->text(), QString("ab"));
    QCOMPARE(Control<QLineEdit>(lower, ids::kIdByte0)->text(), QString("12"));
    QCOMPARE(Control<QLineEdit>(lower, ids::kIdHighWord)->text(), QString("abcd"));
    QCOMPARE(Control<QLineEdit>(lower, ids::kIdLowWord)->text(), QString("0012"));
    auto* bit1 = Control<QPushButton>(lower, ids::kIdBit0 + 1);
    QCOMPARE(bit1->text(), QString("1"));
    QCOMPARE(bit1->accessibleDescription(), QString("1"));
    bit1->click();
    QCOMPARE(bit1->text(), QString("0"));
    QCOMPARE(bit1->accessibleDescription(), QString("0"));
    QCOMPARE(Register(lower), QString("abcd 0010"));
}

void BitShifterDialogTest::pictureDrawsAtAnyScale() {
    CBitShifterDialog d(true);
    d.show();
    QWidget* picture = Control(d, ids::kIdShiftPicture);
    QVERIFY(picture);
    // Bit 31 is leftmost, bit 0 rightmost, taps under their bits.
    QVERIFY(Control(d, ids::kIdBit0 + 31)->x() < Control(d, ids::kIdBit0)->x());
    QVERIFY(Control(d, ids::kIdTap0 + 4)->y() > Control(d, ids::kIdBit0 + 4)->y());
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(picture->size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::white);
        picture->render(&pixmap);
        const QImage image = pixmap.toImage();
        // Lines were drawn: some pixels between the byte displays and the bits.
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
    }
}

QTEST_MAIN(BitShifterDialogTest)
#include "bit_shifter_dialog_test.moc"
