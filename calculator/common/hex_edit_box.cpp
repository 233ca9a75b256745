#include "calculator/common/hex_edit_box.h"

#include "calculator/common/command_registry.h"
#include "calculator/common/hex_edit_logic.h"
#include "platform/qt/clipboard_formats.h"
#include "platform/qt/message_box.h"
#include "text/hex_text.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <map>
#include <new>
#include <optional>
#include <vector>

namespace calculator {
namespace {

// The C library's generator backs the random fallback and the tip choice; it
// is seeded once per process, on the first input any box sees.
void SeedRandomOnce() {
    static bool seeded = false;
    if (!seeded) {
        seeded = true;
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    }
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

std::string PlainTextBytes(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return text.toStdString();
    }
    QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), static_cast<size_t>(latin.size()));
}

CHexEditBox::CHexEditBox(QWidget* parent) : QPlainTextEdit(parent) {
    // In a dialog Tab moves to the next control; Enter still breaks the line.
    setTabChangesFocus(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

int CHexEditBox::SetNumberSystem(int system, bool reportErrors) {
    if (!text::IsNumberSystem(system))
        return -1;
    const int previous = numberSystem_;
    if (system == previous)
        return previous;
    EditResult r = ChangeNumberSystem(toPlainText().toStdString(), numberSystem(),
                                      text::NumberSystem(system), upperCase());
    if (r.outcome == EditResult::Failed) {
        if (reportErrors && r.message != 0)
            platform::messageBox(this, r.message);
        return -1;
    }
    numberSystem_ = system;
    if (r.outcome == EditResult::Rewritten)
        ReplaceText(r.text);
    return previous;
}

int CHexEditBox::GetHexText(std::string& list) const {
    list.clear();
    std::string read;
    text::HexListResult r = text::ToHexList(numberSystem(), toPlainText().toStdString(), read);
    if (r.count > 0)
        list = std::move(read);
    return r.count;
}

void CHexEditBox::SetHexText(const std::string& list) {
    std::string shown;
    // A list that cannot be shown leaves the box empty rather than showing
    // the previous operand as if it were the new one.
    if (text::FromHexList(numberSystem(), list, upperCase(), shown) < 0)
        shown.clear();
    ReplaceText(shown);
}

void CHexEditBox::ReplaceText(const std::string& text) {
    setPlainText(QString::fromStdString(text));
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
}

void CHexEditBox::InsertBoxText(const std::string& text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(QString::fromStdString(text));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool CHexEditBox::Format(bool reportErrors) {
    EditResult r = FormatText(toPlainText().toStdString(), numberSystem(), upperCase());
    if (r.outcome != EditResult::Rewritten) {
        if (reportErrors && r.message != 0)
            platform::messageBox(this, r.message);
        return false;
    }
    ReplaceText(r.text);
    return true;
}

bool CHexEditBox::SwapByteOrder(int unit) {
    EditResult r =
        calculator::SwapByteOrder(toPlainText().toStdString(), numberSystem(), unit, upperCase());
    if (r.outcome != EditResult::Rewritten)
        return false;
    ReplaceText(r.text);
    return true;
}

void CHexEditBox::CopyAll(bool trimSpaces) {
    QString all = toPlainText();
    if (trimSpaces) {
        all.remove(QLatin1Char(' '));
        all.remove(QLatin1Char('\t'));
        all.remove(QLatin1Char('\r'));
        all.remove(QLatin1Char('\n'));
    }
    if (all.isEmpty())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(all);
}

bool CHexEditBox::Paste(bool asHex) {
    if (isReadOnly())
        return false;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!asHex) {
        if (!mime || !mime->hasText())
            return false;
        QString plain = mime->text();
        if (plain.size() > textLimit_)
            return false;
        InsertBoxText(plain.toStdString());
        return true;
    }

    const QString hexData = platform::ClipboardFormatName(platform::ClipboardFormat::HexData);
    const QString hexBlock = platform::ClipboardFormatName(platform::ClipboardFormat::HexBlock);
    EditResult r{EditResult::Failed, {}, kMsgInvalidHexData};
    if (mime && (mime->hasFormat(hexData) || mime->hasFormat(hexBlock))) {
        // The first private format present is the one taken; a damaged
        // blob fails the paste rather than falling through to another.
        const bool data = mime->hasFormat(hexData);
        const QByteArray blob = mime->data(data ? hexData : hexBlock);
        const std::string_view view(blob.constData(), static_cast<size_t>(blob.size()));
        std::optional<std::string> bytes =
            data ? HexDataBytes(view, textLimit_) : HexBlockBytes(view, textLimit_);
        std::string list;
        if (bytes && text::FormatHexBytes(reinterpret_cast<const uint8_t*>(bytes->data()),
                                          static_cast<int32_t>(bytes->size()), list) > 0)
            r = HexListToBoxText(list, numberSystem(), upperCase());
    } else if (mime && mime->hasText()) {
        r = PlainTextToHexInsert(PlainTextBytes(mime->text()), numberSystem(), upperCase(),
                                 static_cast<size_t>(textLimit_ < 0 ? 0 : textLimit_));
    }
    if (r.outcome != EditResult::Rewritten) {
        if (reportPasteErrors())
            platform::messageBox(this, kMsgInvalidHexData);
        return false;
    }
    InsertBoxText(r.text);
    return true;
}

void CHexEditBox::InsertHexList(const std::string& list) {
    EditResult r = HexListToBoxText(list, numberSystem(), upperCase());
    if (r.outcome == EditResult::Rewritten)
        InsertBoxText(r.text);
}

void CHexEditBox::SearchPrime(bool next) {
    std::string list;
    const int count = GetHexText(list);
    if (count <= 0) {
        platform::messageBox(this, text::kMsgInvalidInput);
        return;
    }
    const std::optional<int> rounds = AskPrimeRounds(this, count, next);
    if (!rounds)
        return;
    EditResult r;
    {
        WaitCursor wait;
        r = SearchPrimeList(list, next, *rounds);
    }
    // No prime in reach (nothing below 3) leaves the operand as it is.
    if (r.outcome == EditResult::Failed)
        platform::messageBox(this, r.message);
    else if (r.outcome == EditResult::Rewritten)
        SetHexText(r.text);
}

void CHexEditBox::ExportToFile() {
    if (!Format(true))
        return;
    RunRegisteredCommand(kCmdExportToFile, {this, this, true});
}

bool CHexEditBox::IsCommandEnabled(int commandId) const {
    const bool writable = !isReadOnly();
    const bool hasText = !document()->isEmpty();
    const bool hasSelection = textCursor().hasSelection();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const bool clipText = mime && mime->hasText();
    switch (commandId) {
    case kCmdUndo:
        return document()->isUndoAvailable();
    case kCmdCopy:
        return hasSelection;
    case kCmdCopyAll:
    case kCmdCopyAllTrimSpaces:
        return hasText;
    case kCmdPastePlainText:
        return writable && clipText;
    case kCmdPasteHexText:
        return writable && (clipText || (mime && (mime->hasFormat(platform::ClipboardFormatName(
                                                      platform::ClipboardFormat::HexData)) ||
                                                  mime->hasFormat(platform::ClipboardFormatName(
                                                      platform::ClipboardFormat::HexBlock)))));
    case kCmdDelete:
        return writable && hasSelection;
    case kCmdToNextPrime:
    case kCmdToPreviousPrime:
        return writable && hasText;
    default:
        break;
    }
    // The rest open a tool's dialog: offered only while a tool serves them.
    if (!IsCommandAvailable(commandId))
        return false;
    switch (commandId) {
    case kCmdInsertFormatText:
    case kCmdInsertRandomNumber:
    case kCmdInsertRandomPrime:
        return writable;
    case kCmdRandomicityTest:
    case kCmdFermatTest:
    case kCmdSolovayStrassenTest:
    case kCmdMillerRabinTest:
    case kCmdGeneralPrimalityTest:
        return hasText;
    case kCmdGetCrcValue:
    case kCmdGetHashValue:
        return offerCrcAndHash() && hasText;
    default:
        return false;
    }
}

void CHexEditBox::RunCommand(int commandId) {
    if (!IsCommandEnabled(commandId))
        return;
    switch (commandId) {
    case kCmdUndo:
        undo();
        break;
    case kCmdCopy:
        copy();
        break;
    case kCmdCopyAll:
        CopyAll(false);
        break;
    case kCmdCopyAllTrimSpaces:
        CopyAll(true);
        break;
    case kCmdPastePlainText:
        Paste(false);
        break;
    case kCmdPasteHexText:
        Paste(true);
        break;
    case kCmdDelete: {
        QTextCursor cursor = textCursor();
        cursor.removeSelectedText();
        setTextCursor(cursor);
        break;
    }
    case kCmdToNextPrime:
        SearchPrime(true);
        break;
    case kCmdToPreviousPrime:
        SearchPrime(false);
        break;
    default:
        RunRegisteredCommand(commandId, {this, this, true});
        break;
    }
}

std::unique_ptr<QMenu> CHexEditBox::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    auto item = [this](QMenu* into, int id, const char* caption) {
        QAction* action = into->addAction(QString::fromLatin1(caption));
        action->setData(id);
        action->setEnabled(IsCommandEnabled(id));
    };
    item(menu.get(), kCmdUndo, "Undo");
    menu->addSeparator();
    item(menu.get(), kCmdCopy, "Copy");
    item(menu.get(), kCmdCopyAll, "Copy All");
    item(menu.get(), kCmdCopyAllTrimSpaces, "Copy All (Trim Spaces)");
    item(menu.get(), kCmdPastePlainText, "Paste Plain Text");
    item(menu.get(), kCmdPasteHexText, "Paste Hex Text");
    item(menu.get(), kCmdDelete, "Delete");
    menu->addSeparator();
    item(menu.get(), kCmdToNextPrime, "To Next Prime");
    item(menu.get(), kCmdToPreviousPrime, "To Previous Prime");
    menu->addSeparator();
    item(menu.get(), kCmdInsertFormatText, "Insert Format Text...");
    item(menu.get(), kCmdInsertRandomNumber, "Insert Random-Number...");
    item(menu.get(), kCmdInsertRandomPrime, "Insert Random-Prime...");
    menu->addSeparator();
    item(menu.get(), kCmdRandomicityTest, "Randomicity Test...");
    QMenu* primality = menu->addMenu(QStringLiteral("Primality Test"));
    item(primality, kCmdFermatTest, "Fermat Test...");
    item(primality, kCmdSolovayStrassenTest, "Solovay-Strassen Test...");
    item(primality, kCmdMillerRabinTest, "Miller-Rabin Test...");
    item(primality, kCmdGeneralPrimalityTest, "General Primality Test...");
    menu->addSeparator();
    item(menu.get(), kCmdGetCrcValue, "Get CRC Value...");
    item(menu.get(), kCmdGetHashValue, "Get Hash Value...");
    return menu;
}

void CHexEditBox::ShowContextMenu(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    QAction* chosen = menu->exec(globalPos);
    // The command runs after the menu is gone, so its dialogs do not open
    // over it.
    const int id = chosen ? chosen->data().toInt() : 0;
    menu.reset();
    if (id != 0)
        RunCommand(id);
}

void CHexEditBox::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusGained(this);
}

void CHexEditBox::keyPressEvent(QKeyEvent* event) {
    SeedRandomOnce();
    QPlainTextEdit::keyPressEvent(event);
}

void CHexEditBox::mousePressEvent(QMouseEvent* event) {
    SeedRandomOnce();
    // The menu opens on the release; the press leaves caret and selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void CHexEditBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        // Only a release over the box counts: a press that was dragged off
        // it still sends the release here.
        if (isEnabled() && contextMenuId_ != 0 &&
            viewport()->rect().contains(event->position().toPoint()))
            ShowContextMenu(event->globalPosition().toPoint());
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void CHexEditBox::contextMenuEvent(QContextMenuEvent* event) {
    // Mouse-driven menus open on the right-button release; only the menu key
    // (or Shift+F10) comes through here, and opens the menu at the caret.
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard || !isEnabled() || contextMenuId_ == 0)
        return;
    ShowContextMenu(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

} // namespace calculator
