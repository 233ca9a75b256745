// Drives a file tool dialog the way a user does: fills its fields by control
// id, presses Calculate, and waits for the run to end.
#pragma once

#include "platform/qt/control_id.h"
#include "tools/file_tool_dialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

// Presses Calculate and lets the run's ticks go until it ends; false when it
// was still running after ten seconds.
inline bool RunToEnd(tools::CFileToolDialog& dialog) {
    dialog.OnCalculate();
    QDeadlineTimer deadline(10000);
    while (dialog.isProcessing() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return !dialog.isProcessing();
}

inline void SetText(QWidget* dialog, int id, const QString& text) {
    if (auto* line = platform::FindControl<QLineEdit>(dialog, id))
        line->setText(text);
    else if (auto* box = platform::FindControl<QPlainTextEdit>(dialog, id))
        box->setPlainText(text);
}

inline QString Text(QWidget* dialog, int id) {
    if (auto* line = platform::FindControl<QLineEdit>(dialog, id))
        return line->text();
    auto* box = platform::FindControl<QPlainTextEdit>(dialog, id);
    return box ? box->toPlainText() : QString();
}

inline void Click(QWidget* dialog, int id) {
    platform::FindControl<QAbstractButton>(dialog, id)->click();
}

// The path (chosen through the file dialog in real use) goes straight into
// the read-only path field.
inline void PickFile(QWidget* dialog, const QString& path) {
    Click(dialog, ids::kIdFromFile);
    platform::FindControl<QLineEdit>(dialog, ids::kIdFilePath)->setText(path);
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}
