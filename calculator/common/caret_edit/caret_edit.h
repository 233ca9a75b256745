// CCaretEdit: the multi-line edit control that tells its owner when the
// caret may have moved, so the owner can show the caret's line and column.
// The script console and the Number Formatter use it.
#pragma once

#include "calculator/common/caret_edit/caret_position.h"

#include <QPlainTextEdit>

namespace calculator {

class CCaretEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCaretEdit(QWidget* parent = nullptr);

    // The owner's message number for caret moves (0: none, nothing is sent).
    int notificationMessage() const { return notificationMessage_; }
    void setNotificationMessage(int message) { notificationMessage_ = message; }

    // The caret's line and column now.
    CaretPosition caretPosition() const;

signals:
    // Sent before a key press is handled, and again after a key release or a
    // left-button release, whenever the notification message is not 0.
    void caretMoved(int message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Notify();

    int notificationMessage_ = 0;
};

} // namespace calculator
