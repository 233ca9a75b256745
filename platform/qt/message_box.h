// The program's message boxes. Every user message goes through messageBox,
// so that tests can replace what is shown with a handler that records the
// request and answers it.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    QWidget* parent = nullptr;
    int stringId = 0; // 0 when the text was given directly
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::Warning;
};

using MessageBoxHandler = std::function<MsgResult(const MessageBoxRequest&)>;

// Caption used when a caller passes none: the program's name.
void SetMessageBoxCaption(const QString& caption);

// Shows text (or the string-table entry stringId) modally and returns the
// button chosen. An empty caption means the program's name.
MsgResult messageBox(QWidget* parent, int stringId, MsgButtons buttons = MsgButtons::Ok,
                     MsgIcon icon = MsgIcon::Warning, const QString& caption = {});
MsgResult messageBox(QWidget* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                     MsgIcon icon = MsgIcon::Warning, const QString& caption = {});

// Replaces the handler that shows boxes (an empty handler restores the real
// QMessageBox). Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

} // namespace platform
