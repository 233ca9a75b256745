// The accessibility walk every dialog test runs: each control a user can
// reach (buttons, check and radio boxes, edit fields, lists, combo boxes,
// progress bars) must have a name that assistive technology reads, from its
// caption, its buddy label or an accessible name.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

// The object names (or class names) of the dialog's controls that have no
// accessible name; empty when every control can be found by its name.
inline QStringList UnnamedControls(QWidget* dialog) {
    QStringList unnamed;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        // Scroll bars and a combo box's own line edit belong to their owner.
        if (qobject_cast<QScrollBar*>(w) || qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
                             qobject_cast<QAbstractItemView*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QProgressBar*>(w) || qobject_cast<QAbstractSlider*>(w);
        if (!control)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString name = a ? a->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty())
            unnamed << (w->objectName().isEmpty()
                            ? QString::fromLatin1(w->metaObject()->className())
                            : w->objectName());
    }
    return unnamed;
}
