#include "calculator/common/caret_edit/caret_edit.h"

#include <QMouseEvent>
#include <QTextCursor>

namespace calculator {

CCaretEdit::CCaretEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // Script and dump text reads best unwrapped, in a fixed font.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    setFont(fixed);
}

CaretPosition CCaretEdit::caretPosition() const {
    const QTextCursor cursor = textCursor();
    const QString all = toPlainText();
    return CaretAt(std::u16string_view(reinterpret_cast<const char16_t*>(all.utf16()),
                                       static_cast<size_t>(all.size())),
                   cursor.selectionStart(), cursor.selectionEnd());
}

void CCaretEdit::Notify() {
    if (notificationMessage_ != 0)
        emit caretMoved(notificationMessage_);
}

void CCaretEdit::keyPressEvent(QKeyEvent* event) {
    // The owner hears of the key before the edit handles it, and again on
    // the release, after the change.
    Notify();
    QPlainTextEdit::keyPressEvent(event);
}

void CCaretEdit::keyReleaseEvent(QKeyEvent* event) {
    Notify();
    QPlainTextEdit::keyReleaseEvent(event);
}

void CCaretEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Notify();
    QPlainTextEdit::mouseReleaseEvent(event);
}

} // namespace calculator
