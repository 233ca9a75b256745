// The operand edit box as a widget: reading and showing operands, number
// system changes, Format and byte swaps, the clipboard in both directions,
// the context menu's items and enabling, how it opens, and the prime search.
#include "calculator/common/command_registry.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "mpa/mpa.h"
#include "platform/qt/clipboard_formats.h"
#include "platform/qt/control_id.h"
#include "support/ui_test_support.h"
#include "tools/primality_test_dialog.h"
#include "tools/register_tools.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <string>
#include <vector>

using calculator::CHexEditBox;
using text::NumberSystem;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr int kMissing = -9999;

QByteArray LittleEndian32(uint32_t v) {
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray HexData(uint32_t n, const QByteArray& bytes) {
    return LittleEndian32(n) + bytes;
}

QByteArray HexBlock(uint32_t a, uint32_t b, const QByteArray& bytes) {
    return LittleEndian32(a) + LittleEndian32(b) + bytes;
}

// Puts exactly the given formats on the clipboard: text unless null, the
// private formats unless their blob is null.
void SetClipboard(const QString& text, const QByteArray& hexData = {},
                  const QByteArray& hexBlock = {}) {
    auto* mime = new QMimeData;
    if (!text.isNull())
        mime->setText(text);
    if (!hexData.isNull())
        mime->setData(platform::ClipboardFormatName(platform::ClipboardFormat::HexData), hexData);
    if (!hexBlock.isNull())
        mime->setData(platform::ClipboardFormatName(platform::ClipboardFormat::HexBlock), hexBlock);
    QGuiApplication::clipboard()->setMimeData(mime);
}

QString ClipboardText() {
    return QGuiApplication::clipboard()->text();
}

// A box in the given system and case holding text, caret at the end.
void Prepare(CHexEditBox& box, NumberSystem system, const QString& text, bool upper = true) {
    box.setUpperCase(upper);
    box.setPlainText({});
    QCOMPARE(box.SetNumberSystem(system, false) >= 0, true);
    box.setPlainText(text);
    box.moveCursor(QTextCursor::End);
}

bool CaretAtEnd(const CHexEditBox& box) {
    return box.textCursor().position() == box.toPlainText().size() &&
           !box.textCursor().hasSelection();
}

const std::vector<int> kToolCommands = {32797, 32798, 32799, 32800, 32801,
                                        32802, 32803, 32804, 32775, 32776};
const std::vector<int> kAllCommands = {32789, 32790, 32794, 32807, 32791, 32792, 32793,
                                       32795, 32796, 32797, 32798, 32799, 32800, 32801,
                                       32802, 32803, 32804, 32775, 32776};

// Whether the hash command's condition (the application crypto context) holds.
bool gCryptoContext = false;

// Serves every tool command while it lives, counting the runs; the hash
// command also needs gCryptoContext.
class ToolCommandsAvailable {
public:
    explicit ToolCommandsAvailable(int* runs = nullptr) {
        for (int id : kToolCommands)
            calculator::RegisterCommand(
                id,
                [runs](const calculator::CommandContext&) {
                    if (runs)
                        ++*runs;
                },
                id == 32776 ? calculator::CommandCondition([] { return gCryptoContext; })
                            : calculator::CommandCondition());
    }
    ~ToolCommandsAvailable() {
        for (int id : kToolCommands)
            calculator::RegisterCommand(id, {});
        gCryptoContext = false;
    }
};

// Counts requests to open the menu instead of running it.
class CountingBox : public CHexEditBox {
public:
    using CHexEditBox::CHexEditBox;
    int menus = 0;
    void ShowContextMenu(const QPoint&) override { ++menus; }
};

// Answers the next round-count dialog: records what it showed, types field
// (unless null) and presses OK or Cancel. A dialog that stays open after OK
// is cancelled.
class DialogAnswer : public QObject {
public:
    DialogAnswer(bool ok, const QString& field) : ok_(ok), field_(field) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &DialogAnswer::poll);
        timer_.start();
    }
    bool seen = false;
    QString title;
    QString note;

private:
    void poll() {
        auto* dialog =
            qobject_cast<tools::CPrimalityTestDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer_.stop();
        seen = true;
        title = dialog->windowTitle();
        if (auto* label = platform::FindControl<QLabel>(dialog, 1538))
            note = label->text();
        if (!field_.isNull())
            platform::FindControl<QLineEdit>(dialog, 1529)->setText(field_);
        platform::FindControl<QPushButton>(dialog, ok_ ? 1 : 2)->click();
        if (dialog->isVisible())
            dialog->reject();
    }
    bool ok_;
    QString field_;
    QTimer timer_;
};

std::vector<uint8_t> Bytes(const std::string& list) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < list.size(); i += 3)
        out.push_back(uint8_t(std::stoi(list.substr(i, 2), nullptr, 16)));
    return out;
}

} // namespace

class HexEditBoxTest : public QObject {
    Q_OBJECT

private slots:
    // The prime search asks its rounds through the Primality Test tool.
    void initTestCase() { tools::RegisterToolsCommands({}); }
    // First, while no box has seen input yet.
    void firstInputSeedsTheGeneratorOnce();

    void readsOperand_data();
    void readsOperand();
    void showsOperand_data();
    void showsOperand();
    void numberSystemSwitch_data();
    void numberSystemSwitch();
    void format_data();
    void format();
    void swapByteOrder_data();
    void swapByteOrder();
    void exportFormatsFirst_data();
    void exportFormatsFirst();
    void pasteAsHex_data();
    void pasteAsHex();
    void pastePlain_data();
    void pastePlain();
    void copyAll_data();
    void copyAll();
    void insertHexListIsOneUndoStep_data();
    void insertHexListIsOneUndoStep();
    void deleteCommandRemovesSelection();
    void menuLayout();
    void menuEnabling_data();
    void menuEnabling();
    void toolCommandsWaitForTheirTools();
    void menuOpensOnRightRelease_data();
    void menuOpensOnRightRelease();
    void chosenMenuItemRuns();
    void focusIsAnnounced();
    void searchPrime_data();
    void searchPrime();
    void longOperandAsksForRounds_data();
    void longOperandAsksForRounds();
};

void HexEditBoxTest::firstInputSeedsTheGeneratorOnce() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    std::srand(1);
    const int unseeded = std::rand();

    CHexEditBox box;
    std::srand(1);
    QTest::keyClick(&box, Qt::Key_A);
    QVERIFY2(std::rand() != unseeded, "the first key press seeds rand() from the time");

    // Later input, in this or another box, leaves the sequence alone.
    CHexEditBox other;
    std::srand(1);
    QTest::keyClick(&other, Qt::Key_B);
    QTest::keyClick(&box, Qt::Key_C);
    QCOMPARE(std::rand(), unseeded);
}

void HexEditBoxTest::readsOperand_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::string>("list");
    QTest::newRow("odd token") << 0 << "ABC 1" << 3 << std::string("0A BC 01 ");
    QTest::newRow("empty") << 0 << "" << 0 << std::string();
    QTest::newRow("separators only") << 0 << " \t\n " << 0 << std::string();
    QTest::newRow("decimal groups") << 1 << "1 234" << 2 << std::string("04 d2 ");
    QTest::newRow("decimal letter") << 1 << "12a" << -1 << std::string();
    QTest::newRow("negative") << 1 << "-5" << -1 << std::string();
}

void HexEditBoxTest::readsOperand() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(std::string, list);
    CHexEditBox box;
    Prepare(box, NumberSystem(system), text);
    std::string read = "stale";
    QCOMPARE(box.GetHexText(read), count);
    QCOMPARE(read, list);
    QCOMPARE(box.toPlainText(), text);
    QVERIFY(messages.shown.isEmpty()); // reading never reports
}

void HexEditBoxTest::showsOperand_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<std::string>("list");
    QTest::addColumn<QString>("shown");
    QTest::newRow("hex upper") << 0 << true << std::string("ab cd ") << "AB CD ";
    QTest::newRow("hex lower") << 0 << false << std::string("AB CD ") << "ab cd ";
    QTest::newRow("decimal drops leading zero") << 1 << true << std::string("00 0f ") << "15 ";
    QTest::newRow("binary keeps width")
        << 3 << true << std::string("00 0f ") << "0000 0000 0000 1111 ";
}

void HexEditBoxTest::showsOperand() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(bool, upper);
    QFETCH(std::string, list);
    QFETCH(QString, shown);
    for (bool readOnly : {false, true}) {
        CHexEditBox box;
        box.setReadOnly(readOnly);
        Prepare(box, NumberSystem(system), "99", upper);
        box.moveCursor(QTextCursor::Start);
        box.SetHexText(list);
        QCOMPARE(box.toPlainText(), shown);
        QVERIFY(CaretAtEnd(box));
    }
}

void HexEditBoxTest::numberSystemSwitch_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("report");
    QTest::addColumn<int>("returned");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("system");
    QTest::addColumn<QVector<int>>("shownIds");
    using V = QVector<int>;
    QTest::newRow("decimal 1a refused") << 1 << "1a" << 0 << true << -1 << "1a" << 1 << V{2002};
    QTest::newRow("refused silently") << 1 << "1a" << 0 << false << -1 << "1a" << 1 << V{};
    QTest::newRow("empty box") << 0 << "" << 1 << true << 0 << "" << 1 << V{};
    QTest::newRow("blank box keeps blanks") << 0 << "  " << 3 << true << 0 << "  " << 3 << V{};
    QTest::newRow("hex to decimal") << 0 << "00 0F" << 1 << true << 0 << "15 " << 1 << V{};
    QTest::newRow("decimal to hex") << 1 << "1 234" << 0 << true << 1 << "04 D2 " << 0 << V{};
    QTest::newRow("same system untouched") << 0 << "ab" << 0 << true << 0 << "ab" << 0 << V{};
    QTest::newRow("unknown system") << 0 << "ab" << 7 << true << -1 << "ab" << 0 << V{};
}

void HexEditBoxTest::numberSystemSwitch() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, from);
    QFETCH(QString, text);
    QFETCH(int, to);
    QFETCH(bool, report);
    QFETCH(int, returned);
    QFETCH(QString, after);
    QFETCH(int, system);
    QFETCH(QVector<int>, shownIds);
    CHexEditBox box;
    Prepare(box, NumberSystem(from), text);
    box.moveCursor(QTextCursor::Start);
    QCOMPARE(box.SetNumberSystem(to, report), returned);
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(int(box.numberSystem()), system);
    QCOMPARE(messages.ids(), shownIds);
    if (after != text)
        QVERIFY(CaretAtEnd(box));
}

void HexEditBoxTest::format_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("report");
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QVector<int>>("shownIds");
    using V = QVector<int>;
    QTest::newRow("hex normalised") << 0 << true << "abc 1" << true << true << "0A BC 01 " << V{};
    QTest::newRow("hex to lower") << 0 << false << " AB\tCD\n" << true << true << "ab cd " << V{};
    QTest::newRow("decimal regrouped")
        << 1 << true << "1234 567" << true << true << "1 234 567 " << V{};
    QTest::newRow("decimal letter") << 1 << true << "12a" << true << false << "12a" << V{2002};
    QTest::newRow("empty") << 0 << true << "" << true << false << "" << V{2001};
    QTest::newRow("silent failure") << 1 << true << "12a" << false << false << "12a" << V{};
}

void HexEditBoxTest::format() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(bool, upper);
    QFETCH(QString, text);
    QFETCH(bool, report);
    QFETCH(bool, rewritten);
    QFETCH(QString, after);
    QFETCH(QVector<int>, shownIds);
    CHexEditBox box;
    Prepare(box, NumberSystem(system), text, upper);
    box.moveCursor(QTextCursor::Start);
    QCOMPARE(box.Format(report), rewritten);
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(messages.ids(), shownIds);
    if (rewritten)
        QVERIFY(CaretAtEnd(box));
}

void HexEditBoxTest::swapByteOrder_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("after");
    QTest::newRow("Swap-W short tail") << 0 << true << "01 02 03" << 2 << true << "02 01 03 ";
    QTest::newRow("reverse one byte") << 0 << true << "7F" << 1 << true << "7F ";
    QTest::newRow("reverse five") << 0 << true << "01 02 03 04 05" << 1 << true
                                  << "05 04 03 02 01 ";
    QTest::newRow("units of 2") << 0 << true << "01 02 03 04 05" << 2 << true << "02 01 04 03 05 ";
    QTest::newRow("units of 4") << 0 << true << "01 02 03 04 05" << 4 << true << "04 03 02 01 05 ";
    QTest::newRow("units of 8") << 0 << true << "01 02 03 04 05" << 8 << true << "05 04 03 02 01 ";
    QTest::newRow("box case applied") << 0 << false << "AA BB" << 1 << true << "bb aa ";
    QTest::newRow("decimal operand") << 1 << true << "258" << 1 << true << "513 ";
    QTest::newRow("unit zero") << 0 << true << "01 02" << 0 << false << "01 02";
}

void HexEditBoxTest::swapByteOrder() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(bool, upper);
    QFETCH(QString, text);
    QFETCH(int, unit);
    QFETCH(bool, rewritten);
    QFETCH(QString, after);
    CHexEditBox box;
    Prepare(box, NumberSystem(system), text, upper);
    QCOMPARE(box.SwapByteOrder(unit), rewritten);
    QCOMPARE(box.toPlainText(), after);
    QVERIFY(messages.shown.isEmpty());
}

void HexEditBoxTest::exportFormatsFirst_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QVector<int>>("shownIds");
    QTest::newRow("formatted") << "abc"
                               << "0A BC " << QVector<int>{};
    QTest::newRow("invalid reported") << "zz"
                                      << "zz" << QVector<int>{2001};
}

void HexEditBoxTest::exportFormatsFirst() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(QString, text);
    QFETCH(QString, after);
    QFETCH(QVector<int>, shownIds);
    CHexEditBox box;
    Prepare(box, text::Hexadecimal, text);
    box.ExportToFile();
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(messages.ids(), shownIds);
}

void HexEditBoxTest::pasteAsHex_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<QString>("clipText"); // null: no text on the clipboard
    QTest::addColumn<QByteArray>("hexData");
    QTest::addColumn<QByteArray>("hexBlock");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("report");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QVector<int>>("shownIds");
    using V = QVector<int>;
    const QByteArray none;
    const QString noText;
    const int big = CHexEditBox::kDefaultTextLimit;

    QTest::newRow("hex text into decimal") << 1 << true << "" << 0 << 0 << "1 2 3" << none << none
                                           << big << true << true << "66 051 " << V{};
    QTest::newRow("ABCD into decimal") << 1 << true << "" << 0 << 0 << "ABCD" << none << none << big
                                       << true << true << "43 981 " << V{};
    QTest::newRow("text as data") << 0 << true << "" << 0 << 0 << "Hi!" << none << none << big
                                  << true << true << "48 69 21 " << V{};
    QTest::newRow("Latin-1 character") << 0 << true << "" << 0 << 0
                                       << QString::fromUtf8("\xC3\xA9"
                                                            "1")
                                       << none << none << big << true << true << "E9 31 " << V{};
    QTest::newRow("character beyond a byte")
        << 0 << true << "" << 0 << 0 << QString::fromUtf8("\xE2\x82\xAC") << none << none << big
        << true << true << "E2 82 AC " << V{};
    QTest::newRow("separators become spaces") << 0 << true << "" << 0 << 0 << "1\t2\r\n3" << none
                                              << none << big << true << true << "1 2  3" << V{};
    QTest::newRow("at the caret") << 0 << true << "11 22 " << 3 << 3 << "aa " << none << none << big
                                  << true << true << "11 AA 22 " << V{};
    QTest::newRow("over the selection") << 0 << true << "11 22 33 " << 3 << 6 << "Hi" << none
                                        << none << big << true << true << "11 48 69 33 " << V{};
    QTest::newRow("HEX-Data lower case")
        << 0 << false << "" << 0 << 0 << noText << HexData(3, "\xAA\xBB\xCC") << none << big << true
        << true << "aa bb cc " << V{};
    QTest::newRow("HEX-Data into decimal")
        << 1 << true << "" << 0 << 0 << noText << HexData(2, QByteArray("\x01\x00", 2)) << none
        << big << true << true << "256 " << V{};
    QTest::newRow("HEX-Data before text")
        << 0 << true << "" << 0 << 0 << "Hi!" << HexData(1, "\x7F") << none << big << true << true
        << "7F " << V{};
    QTest::newRow("HEX-Data before HEX-Block")
        << 0 << true << "" << 0 << 0 << noText << HexData(1, "\x7F") << HexBlock(1, 1, "\x01")
        << big << true << true << "7F " << V{};
    QTest::newRow("HEX-Data extra bytes ignored")
        << 0 << true << "" << 0 << 0 << noText << HexData(2, "\x01\x02\x03") << none << big << true
        << true << "01 02 " << V{};
    QTest::newRow("HEX-Data at the limit")
        << 0 << true << "" << 0 << 0 << noText << HexData(4, "\x01\x02\x03\x04") << none << 4
        << true << true << "01 02 03 04 " << V{};
    QTest::newRow("HEX-Block 2 by 2")
        << 0 << true << "" << 0 << 0 << noText << none << HexBlock(2, 2, "\x01\x02\x03\x04") << big
        << true << true << "01 02 03 04 " << V{};

    QTest::newRow("HEX-Data truncated, reported")
        << 0 << true << "55 " << 3 << 3 << noText << HexData(5, "\x01\x02\x03") << none << big
        << true << false << "55 " << V{2070};
    QTest::newRow("HEX-Data truncated, silent")
        << 0 << true << "55 " << 3 << 3 << noText << HexData(5, "\x01\x02\x03") << none << big
        << false << false << "55 " << V{};
    QTest::newRow("HEX-Data without its count")
        << 0 << true << "55 " << 3 << 3 << noText << QByteArray("\x01\x00", 2) << none << big
        << true << false << "55 " << V{2070};
    QTest::newRow("damaged HEX-Data does not fall back to text")
        << 0 << true << "55 " << 3 << 3 << "Hi" << HexData(9, "\x01") << none << big << true
        << false << "55 " << V{2070};
    QTest::newRow("HEX-Data over the limit")
        << 0 << true << "55 " << 3 << 3 << noText << HexData(5, "\x01\x02\x03\x04\x05") << none << 4
        << true << false << "55 " << V{2070};
    QTest::newRow("HEX-Data count near 4 GiB")
        << 0 << true << "55 " << 3 << 3 << noText << HexData(0xFFFFFFFFu, "\x01") << none << big
        << true << false << "55 " << V{2070};
    QTest::newRow("HEX-Data of no bytes")
        << 0 << true << "55 " << 0 << 3 << noText << HexData(0, "") << none << big << true << false
        << "55 " << V{2070};
    QTest::newRow("HEX-Block truncated")
        << 0 << true << "55 " << 3 << 3 << noText << none << HexBlock(2, 2, "\x01\x02\x03") << big
        << true << false << "55 " << V{2070};
    QTest::newRow("HEX-Block over the limit")
        << 0 << true << "55 " << 3 << 3 << noText << none << HexBlock(3, 2, QByteArray(6, 'x')) << 5
        << true << false << "55 " << V{2070};
    // 0x10001 * 0x10000 wraps to 0x10000 in 32 bits, which the blob holds.
    QTest::newRow("HEX-Block product beyond 32 bits")
        << 0 << true << "55 " << 3 << 3 << noText << none
        << HexBlock(0x10001, 0x10000, QByteArray(0x10000, '\x11')) << big << true << false << "55 "
        << V{2070};
    QTest::newRow("text data over the limit") << 0 << true << "55 " << 3 << 3 << "Hi!" << none
                                              << none << 2 << true << false << "55 " << V{2070};
    QTest::newRow("text data at the limit") << 0 << true << "" << 0 << 0 << "Hi!" << none << none
                                            << 3 << true << true << "48 69 21 " << V{};
    QTest::newRow("empty clipboard") << 0 << true << "55 " << 0 << 3 << noText << none << none
                                     << big << true << false << "55 " << V{2070};
}

void HexEditBoxTest::pasteAsHex() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(bool, upper);
    QFETCH(QString, before);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(QString, clipText);
    QFETCH(QByteArray, hexData);
    QFETCH(QByteArray, hexBlock);
    QFETCH(int, limit);
    QFETCH(bool, report);
    QFETCH(bool, pasted);
    QFETCH(QString, after);
    QFETCH(QVector<int>, shownIds);

    CHexEditBox box;
    Prepare(box, NumberSystem(system), before, upper);
    box.setTextLimit(limit);
    box.setReportPasteErrors(report);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(selStart);
    cursor.setPosition(selEnd, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    SetClipboard(clipText, hexData, hexBlock);

    QCOMPARE(box.Paste(true), pasted);
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(messages.ids(), shownIds);
    if (pasted) {
        // The caret follows the inserted text.
        QCOMPARE(box.textCursor().position(), int(after.size() - (before.size() - selEnd)));
    }
}

void HexEditBoxTest::pastePlain_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("clipText");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("text as it is") << false << "Hi! zz" << true << "01 Hi! zz";
    QTest::newRow("no text") << false << QString() << false << "01 ";
    QTest::newRow("read-only box") << true << "02" << false << "01 ";
}

void HexEditBoxTest::pastePlain() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(bool, readOnly);
    QFETCH(QString, clipText);
    QFETCH(bool, pasted);
    QFETCH(QString, after);
    CHexEditBox box;
    Prepare(box, text::Hexadecimal, "01 ");
    box.setReadOnly(readOnly);
    box.setReportPasteErrors(true);
    SetClipboard(clipText, QByteArray(), QByteArray());
    QCOMPARE(box.Paste(false), pasted);
    QCOMPARE(box.toPlainText(), after);
    if (readOnly) {
        // Pasting as hex into a read-only box is refused the same way.
        QVERIFY(!box.Paste(true));
        QCOMPARE(box.toPlainText(), after);
    }
    QVERIFY(messages.shown.isEmpty());
}

void HexEditBoxTest::copyAll_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("clipboard");
    const QString unchanged = "sentinel";
    QTest::newRow("trim spaces") << "0A 0B " << true << "0A0B";
    QTest::newRow("as shown") << "0A 0B " << false << "0A 0B ";
    QTest::newRow("every separator") << "0A\t0B\n 0C\r" << true << "0A0B0C";
    QTest::newRow("empty box copies nothing") << "" << false << unchanged;
    QTest::newRow("blanks trimmed to nothing") << " \n\t " << true << unchanged;
    QTest::newRow("blanks kept untrimmed") << "  " << false << "  ";
}

void HexEditBoxTest::copyAll() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(QString, text);
    QFETCH(bool, trim);
    QFETCH(QString, clipboard);
    CHexEditBox box;
    Prepare(box, text::Hexadecimal, text);
    QGuiApplication::clipboard()->setText("sentinel");
    box.CopyAll(trim);
    QCOMPARE(ClipboardText(), clipboard);
    // The same through the menu commands, which share the rule.
    QGuiApplication::clipboard()->setText("sentinel");
    box.RunCommand(trim ? calculator::kCmdCopyAllTrimSpaces : calculator::kCmdCopyAll);
    QCOMPARE(ClipboardText(), clipboard);
}

void HexEditBoxTest::insertHexListIsOneUndoStep_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selEnd");
    QTest::addColumn<std::string>("list");
    QTest::addColumn<QString>("after");
    QTest::newRow("hex upper at end")
        << 0 << true << "12 " << 3 << 3 << std::string("ab cd ") << "12 AB CD ";
    QTest::newRow("hex lower at start")
        << 0 << false << "12 " << 0 << 0 << std::string("AB CD ") << "ab cd 12 ";
    QTest::newRow("replaces the selection")
        << 0 << true << "12 34 56 " << 3 << 6 << std::string("ff ") << "12 FF 56 ";
    QTest::newRow("decimal") << 1 << true << "9 " << 2 << 2 << std::string("01 00 ") << "9 256 ";
    QTest::newRow("binary") << 3 << true << "" << 0 << 0 << std::string("05 ") << "0000 0101 ";
    QTest::newRow("octal, unnormalised list")
        << 2 << true << "7 " << 2 << 2 << std::string("1 0") << "7 400 ";
}

void HexEditBoxTest::insertHexListIsOneUndoStep() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(bool, upper);
    QFETCH(QString, typed);
    QFETCH(int, selStart);
    QFETCH(int, selEnd);
    QFETCH(std::string, list);
    QFETCH(QString, after);
    CHexEditBox box;
    Prepare(box, NumberSystem(system), "", upper);
    QTest::keyClicks(&box, typed);
    QCOMPARE(box.toPlainText(), typed);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(selStart);
    cursor.setPosition(selEnd, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);

    box.InsertHexList(list);
    QCOMPARE(box.toPlainText(), after);
    QVERIFY(box.IsCommandEnabled(calculator::kCmdUndo));
    box.RunCommand(calculator::kCmdUndo);
    QCOMPARE(box.toPlainText(), typed);
}

void HexEditBoxTest::deleteCommandRemovesSelection() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CHexEditBox box;
    Prepare(box, text::Hexadecimal, "11 22 33 ");
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(3);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.RunCommand(calculator::kCmdDelete);
    QCOMPARE(box.toPlainText(), QString("11 33 "));
    box.RunCommand(calculator::kCmdUndo);
    QCOMPARE(box.toPlainText(), QString("11 22 33 "));
    // Without a selection Delete is disabled and does nothing.
    box.moveCursor(QTextCursor::End);
    box.RunCommand(calculator::kCmdDelete);
    QCOMPARE(box.toPlainText(), QString("11 22 33 "));
}

void HexEditBoxTest::menuLayout() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CHexEditBox box;
    std::unique_ptr<QMenu> menu = box.CreateContextMenu();
    // One entry per item: id and caption, "-" for a separator, ">" for the
    // submenu, whose items follow indented by a leading space.
    QStringList seen;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            seen << "-";
        } else if (a->menu()) {
            seen << "> " + a->text();
            for (QAction* sub : a->menu()->actions())
                seen << QString(" %1 %2").arg(sub->data().toInt()).arg(sub->text());
        } else {
            seen << QString("%1 %2").arg(a->data().toInt()).arg(a->text());
        }
    }
    const QStringList expected = {"32789 Undo",
                                  "-",
                                  "32790 Copy",
                                  "32794 Copy All",
                                  "32807 Copy All (Trim Spaces)",
                                  "32791 Paste Plain Text",
                                  "32792 Paste Hex Text",
                                  "32793 Delete",
                                  "-",
                                  "32795 To Next Prime",
                                  "32796 To Previous Prime",
                                  "-",
                                  "32797 Insert Format Text...",
                                  "32798 Insert Random-Number...",
                                  "32799 Insert Random-Prime...",
                                  "-",
                                  "32800 Randomicity Test...",
                                  "> Primality Test",
                                  " 32801 Fermat Test...",
                                  " 32802 Solovay-Strassen Test...",
                                  " 32803 Miller-Rabin Test...",
                                  " 32804 General Primality Test...",
                                  "-",
                                  "32775 Get CRC Value...",
                                  "32776 Get Hash Value..."};
    QCOMPARE(seen, expected);
}

void HexEditBoxTest::menuEnabling_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // typed (undo possible) or set
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("clipText");
    QTest::addColumn<QByteArray>("hexData");
    QTest::addColumn<QByteArray>("hexBlock");
    QTest::addColumn<bool>("offerCrc");
    QTest::addColumn<bool>("crypto");
    QTest::addColumn<QList<int>>("enabled");
    const QByteArray none;
    const QString noText;
    const QByteArray blob = HexData(1, "\x01");
    QTest::newRow("writable, empty, text on clipboard")
        << false << "" << false << false << "7" << none << none << true << true
        << QList<int>{32791, 32792, 32797, 32798, 32799};
    QTest::newRow("writable, typed, nothing selected")
        << false << "01 02" << true << false << "7" << none << none << true << true
        << QList<int>{32789, 32794, 32807, 32791, 32792, 32795, 32796, 32797, 32798,
                      32799, 32800, 32801, 32802, 32803, 32804, 32775, 32776};
    QTest::newRow("writable, selection, only a private format, no crypto")
        << false << "01 02" << false << true << noText << blob << none << true << false
        << QList<int>{32790, 32794, 32807, 32792, 32793, 32795, 32796, 32797,
                      32798, 32799, 32800, 32801, 32802, 32803, 32804, 32775};
    QTest::newRow("writable, empty, only HEX-Block")
        << false << "" << false << false << noText << none << HexBlock(1, 1, "\x01") << true << true
        << QList<int>{32792, 32797, 32798, 32799};
    QTest::newRow("writable, CRC and hash not offered, clipboard empty")
        << false << "01" << false << false << noText << none << none << false << true
        << QList<int>{32794, 32807, 32795, 32796, 32797, 32798,
                      32799, 32800, 32801, 32802, 32803, 32804};
    QTest::newRow("read-only result, selection, text on clipboard")
        << true << "01 02" << false << true << "7" << blob << none << true << true
        << QList<int>{32790, 32794, 32807, 32800, 32801, 32802, 32803, 32804, 32775, 32776};
    QTest::newRow("read-only, empty, clipboard empty")
        << true << "" << false << false << noText << none << none << true << true << QList<int>{};
}

void HexEditBoxTest::menuEnabling() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    ToolCommandsAvailable available;
    QFETCH(bool, readOnly);
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(bool, selectAll);
    QFETCH(QString, clipText);
    QFETCH(QByteArray, hexData);
    QFETCH(QByteArray, hexBlock);
    QFETCH(bool, offerCrc);
    QFETCH(bool, crypto);
    QFETCH(QList<int>, enabled);

    CHexEditBox box;
    if (typed)
        QTest::keyClicks(&box, text);
    else
        box.setPlainText(text);
    QCOMPARE(box.toPlainText(), text);
    box.setReadOnly(readOnly);
    if (selectAll)
        box.selectAll();
    box.setOfferCrcAndHash(offerCrc);
    gCryptoContext = crypto;
    SetClipboard(clipText, hexData, hexBlock);

    QList<int> actual;
    for (int id : kAllCommands) {
        if (box.IsCommandEnabled(id))
            actual << id;
    }
    QCOMPARE(actual, enabled);

    // The menu shows the same states.
    std::unique_ptr<QMenu> menu = box.CreateContextMenu();
    QList<QAction*> actions = menu->actions();
    int checked = 0;
    for (int i = 0; i < actions.size(); ++i) {
        QAction* a = actions[i];
        if (a->menu())
            actions << a->menu()->actions();
        if (a->isSeparator() || a->menu())
            continue;
        QCOMPARE(a->isEnabled(), enabled.contains(a->data().toInt()));
        ++checked;
    }
    QCOMPARE(checked, int(kAllCommands.size()));
}

void HexEditBoxTest::toolCommandsWaitForTheirTools() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CHexEditBox box;
    box.setPlainText("01 02");
    gCryptoContext = true;
    SetClipboard("7");
    int runs = 0;

    // Every rule holds, yet without a tool serving them the items stay disabled.
    for (int id : kToolCommands)
        QVERIFY2(!box.IsCommandEnabled(id), qPrintable(QString::number(id)));
    {
        ToolCommandsAvailable available(&runs);
        gCryptoContext = true;
        for (int id : kToolCommands) {
            QVERIFY2(box.IsCommandEnabled(id), qPrintable(QString::number(id)));
            box.RunCommand(id);
        }
        QCOMPARE(runs, int(kToolCommands.size()));
        // The hash tool also needs the crypto context.
        gCryptoContext = false;
        QVERIFY(!box.IsCommandEnabled(32776));
        QVERIFY(box.IsCommandEnabled(32775));
    }
    QVERIFY(!box.IsCommandEnabled(32800));
}

void HexEditBoxTest::menuOpensOnRightRelease_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("menuId");
    QTest::addColumn<int>("menus");
    QTest::newRow("enabled box") << true << 138 << 1;
    QTest::newRow("disabled box") << false << 138 << 0;
    QTest::newRow("no context menu") << true << 0 << 0;
}

void HexEditBoxTest::menuOpensOnRightRelease() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(bool, enabled);
    QFETCH(int, menuId);
    QFETCH(int, menus);
    CountingBox box;
    box.setPlainText("01 02 03");
    box.setContextMenuId(menuId);
    box.setEnabled(enabled);
    box.resize(200, 80);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint at(20, 10);

    QTest::mousePress(box.viewport(), Qt::RightButton, Qt::NoModifier, at);
    QCOMPARE(box.menus, 0); // not on the press
    QTest::mouseRelease(box.viewport(), Qt::RightButton, Qt::NoModifier, at);
    QCOMPARE(box.menus, menus);

    // A mouse-driven context-menu event opens nothing by itself; the menu key does.
    QContextMenuEvent byMouse(QContextMenuEvent::Mouse, at, box.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(box.viewport(), &byMouse);
    QCOMPARE(box.menus, menus);
    QContextMenuEvent byKey(QContextMenuEvent::Keyboard, at, box.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(box.viewport(), &byKey);
    QCOMPARE(box.menus, menus * 2);
    // The left button opens nothing, nor a right release off the box.
    QTest::mouseClick(box.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(box.viewport(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(box.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(-5, 300));
    QCOMPARE(box.menus, menus * 2);
}

void HexEditBoxTest::chosenMenuItemRuns() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CHexEditBox box;
    box.setPlainText("0A 0B ");
    box.resize(200, 80);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QGuiApplication::clipboard()->setText("sentinel");

    bool chose = false;
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer.stop();
        for (QAction* a : menu->actions()) {
            if (a->data().toInt() == calculator::kCmdCopyAllTrimSpaces) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                chose = true;
                return;
            }
        }
        menu->close();
    });
    timer.start();
    QTest::mouseRelease(box.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
    QVERIFY(chose);
    QCOMPARE(ClipboardText(), QString("0A0B"));
}

void HexEditBoxTest::focusIsAnnounced() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    CHexEditBox box;
    QSignalSpy spy(&box, &CHexEditBox::focusGained);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&box, &in);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<CHexEditBox*>(), &box);
}

void HexEditBoxTest::searchPrime_data() {
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QVector<int>>("shownIds");
    using V = QVector<int>;
    QTest::newRow("next of 0E") << 0 << "0E" << true << "11 " << V{};
    QTest::newRow("previous of 11") << 0 << "11" << false << "0D " << V{};
    QTest::newRow("next keeps width") << 0 << "00 0E" << true << "00 11 " << V{};
    QTest::newRow("next grows a byte") << 0 << "FF" << true << "01 01 " << V{};
    QTest::newRow("next of zero") << 0 << "00" << true << "02 " << V{};
    QTest::newRow("previous of 03") << 0 << "03" << false << "02 " << V{};
    QTest::newRow("no prime below 02") << 0 << "02" << false << "02" << V{};
    QTest::newRow("decimal box") << 1 << "14" << true << "17 " << V{};
    // 2^128 - 160 and 2^128 - 159: 16 bytes search without asking.
    QTest::newRow("16 bytes") << 0 << "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 60" << true
                              << "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 61 " << V{};
    QTest::newRow("empty box") << 0 << "" << true << "" << V{2001};
    QTest::newRow("invalid text") << 0 << "zz" << false << "zz" << V{2001};
    QTest::newRow("decimal letter") << 1 << "1a" << true << "1a" << V{2001};
}

void HexEditBoxTest::searchPrime() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(int, system);
    QFETCH(QString, text);
    QFETCH(bool, next);
    QFETCH(QString, after);
    QFETCH(QVector<int>, shownIds);
    CHexEditBox box;
    Prepare(box, NumberSystem(system), text);
    DialogAnswer answer(false, QString());
    box.RunCommand(next ? calculator::kCmdToNextPrime : calculator::kCmdToPreviousPrime);
    if (text.isEmpty()) // disabled in the menu; the search itself reports
        box.SearchPrime(next);
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(messages.ids(), shownIds);
    QVERIFY(!answer.seen);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(calculator::GetProfileInt("Prime", "TestTimes", kMissing), kMissing);
}

void HexEditBoxTest::longOperandAsksForRounds_data() {
    QTest::addColumn<bool>("next");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("stored");
    const QString two128 = "01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    // 2^128 + 51 and 2^128 - 159, the primes either side of 2^128.
    QTest::newRow("next, cancelled") << true << false << "5" << two128 << kMissing;
    QTest::newRow("next, accepted") << true << true << "5"
                                    << "01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 33 " << 5;
    QTest::newRow("previous, accepted") << false << true << "12"
                                        << "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF 61 " << 12;
    QTest::newRow("refused count, then closed") << true << true << "0" << two128 << kMissing;
}

void HexEditBoxTest::longOperandAsksForRounds() {
    ScopedTempRegistry registry;
    MessageRecorder messages;
    QFETCH(bool, next);
    QFETCH(bool, ok);
    QFETCH(QString, field);
    QFETCH(QString, after);
    QFETCH(int, stored);
    CHexEditBox box;
    Prepare(box, text::Hexadecimal, "01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");

    DialogAnswer answer(ok, field);
    box.RunCommand(next ? calculator::kCmdToNextPrime : calculator::kCmdToPreviousPrime);
    QVERIFY(answer.seen);
    QCOMPARE(answer.title, QString(next ? "Search Next Prime" : "Search Previous Prime"));
    QCOMPARE(answer.note, QString("Search prime is time consuming when the number is a big, "
                                  "please wait for the process to finish. "));
    QCOMPARE(box.toPlainText(), after);
    QCOMPARE(calculator::GetProfileInt("Prime", "TestTimes", kMissing), stored);
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(!QApplication::overrideCursor());

    std::string list;
    if (box.GetHexText(list) > 0 && stored != kMissing) {
        std::vector<uint8_t> prime = Bytes(list);
        QVERIFY(MPA_MillerRabinTest(prime.data(), int32_t(prime.size()), 32) > 0);
    }
}

QTEST_MAIN(HexEditBoxTest)
#include "hex_edit_box_test.moc"
