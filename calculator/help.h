// Help for every window of the program: topics of the compiled help file,
// popup texts for controls, and the folder browser dialogs share.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace calculator {

// The help file: the executable's path with its extension replaced (set at
// start-up). Topic pages and the popup file "ctxpopup.txt" live inside it.
void SetHelpFilePath(const QString& path);
QString HelpFilePath();

// The window that owns help windows and popups (the calculator window).
void SetHelpOwner(QWidget* owner);

// Opens the help file at topic ("Dlg_CrcTool.htm"); an empty topic opens its
// default page. A missing help file shows nothing.
void ShowHelpTopic(const QString& topic = {});
// The help file's index and full-text search pages.
void ShowHelpIndex();
void ShowHelpSearch();

// Shows the popup text helpId of popupFile at the bottom-right corner of
// control. Returns false (showing nothing) when the file has no such text,
// so the caller can fall back to its default help handling.
bool ShowPopupHelp(int helpId, QWidget* control,
                   const QString& popupFile = QStringLiteral("ctxpopup.txt"));

// The folder browser: the chosen folder, or nothing when cancelled. OK is
// enabled only for a writable folder on a local, fixed file system.
std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title,
                                       const QString& initialFolder);

} // namespace calculator
