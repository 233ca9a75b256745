// The popup texts of the help file ("ctxpopup.txt"): short numbered texts
// shown beside a control when the user asks for help on it.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

class QWidget;

namespace calculator {

// Reads the popup notation. A line ".topic N" (N a decimal help id) starts
// text N; the lines that follow, up to the next ".topic" line, are its text.
// Every line is trimmed; the lines of a paragraph are joined by one space and
// paragraphs (separated by blank lines) by "\n\n". Blank lines at the start
// and end of a text are dropped, so are lines before the first ".topic" and
// texts whose id is not a number or that hold nothing. When an id occurs
// twice the first text counts. The bytes are UTF-8; a byte-order mark and
// carriage returns before line feeds are ignored.
//   ".topic 1000\nOK button.\n" -> {1000: "OK button."}
QMap<int, QString> ParsePopupTexts(const QByteArray& data);

// Shows the popup text helpId of popupFile at the bottom-right corner of
// control. Returns false (showing nothing) when the file has no such text,
// so the caller can fall back to its default help handling.
bool ShowPopupHelp(int helpId, QWidget* control,
                   const QString& popupFile = QStringLiteral("ctxpopup.txt"));

} // namespace calculator
