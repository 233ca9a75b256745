#include "platform/qt/message_box.h"

#include "resources/string_table.h"

#include <QMessageBox>

namespace platform {
namespace {

QString& DefaultCaption() {
    static QString caption = QStringLiteral("Ordovane");
    return caption;
}

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

MsgResult ShowQtBox(const MessageBoxRequest& r) {
    QMessageBox box(r.parent);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (r.buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        break;
    }
    // Closing a box that has no Cancel button counts as its only or first answer.
    if (r.buttons == MsgButtons::YesNo)
        return MsgResult::No;
    if (r.buttons == MsgButtons::OkCancel || r.buttons == MsgButtons::YesNoCancel)
        return MsgResult::Cancel;
    return MsgResult::Ok;
}

MsgResult Show(MessageBoxRequest r) {
    if (r.caption.isEmpty())
        r.caption = DefaultCaption();
    if (Handler())
        return Handler()(r);
    return ShowQtBox(r);
}

} // namespace

void SetMessageBoxCaption(const QString& caption) {
    DefaultCaption() = caption;
}

MsgResult messageBox(QWidget* parent, int stringId, MsgButtons buttons, MsgIcon icon,
                     const QString& caption) {
    const char* text = resources::LoadStringText(stringId);
    MessageBoxRequest r{
        parent,  stringId, text ? QString::fromUtf8(text) : QString::number(stringId),
        caption, buttons,  icon};
    return Show(std::move(r));
}

MsgResult messageBox(QWidget* parent, const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& caption) {
    return Show(MessageBoxRequest{parent, 0, text, caption, buttons, icon});
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

} // namespace platform
