// The open- and save-file dialogs every tool uses, behind one handler that
// tests replace to answer for the user (as they do for message boxes).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace calculator {

struct FileDialogRequest {
    enum Kind { Open, Save } kind = Open;
    QStringList filters;   // "Hex Byte (*.hex)", ... in order
    int initialFilter = 1; // 1-based index into filters
    QString path;          // the initial file (or folder)
    QString title;         // empty: the platform's own
};

struct FileChoice {
    QString path;
    int filter = 1; // the 1-based index of the filter the user chose
};

// Shows the platform's file dialog: nothing when the user cancels. A save
// dialog asks before it replaces an existing file.
std::optional<FileChoice> ChooseFile(QWidget* parent, const FileDialogRequest& request);

using FileDialogHandler =
    std::function<std::optional<FileChoice>(QWidget* parent, const FileDialogRequest& request)>;
// Replaces the dialogs (tests); returns the previous handler. An empty
// handler restores the platform's dialogs.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

} // namespace calculator
