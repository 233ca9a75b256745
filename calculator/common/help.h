// The program's compiled help file: where it is, the viewer on its topics,
// index and search, and the files inside it (popup texts are read from it).
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace calculator {

// The help file: the executable's path with its extension replaced (set at
// start-up). Topic pages and the popup file "ctxpopup.txt" live inside it.
void SetHelpFilePath(const QString& path);
QString HelpFilePath();

// The window that owns help windows and popups (the calculator window).
void SetHelpOwner(QWidget* owner);
QWidget* HelpOwner();

// Opens the help file at topic ("Dlg_CrcTool.htm"); an empty topic opens its
// default page. A missing help file shows nothing.
void ShowHelpTopic(const QString& topic = {});
// The help file's index and full-text search pages.
void ShowHelpIndex();
void ShowHelpSearch();

// The bytes of fileName inside the help file ("ctxpopup.txt"); empty when the
// help file or the file in it is missing.
QByteArray HelpFileData(const QString& fileName);

} // namespace calculator
