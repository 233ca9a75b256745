// CInputTextDlg, "Input Text": picks a text file, previews its text and
// returns it (the loading rules are input_text.h).
#pragma once

#include "calculator/common/help_dialog.h"

#include <QString>

#include <optional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace exchange {

class CInputTextDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    // path: shown and loaded without messages when not empty.
    explicit CInputTextDlg(const QString& path, QWidget* parent = nullptr);

    QString filePath() const { return path_; }
    const std::string& text() const { return text_; }

    // Browse File: asks for a file, then loads it with messages.
    void Browse();

protected:
    // The file dialog: the chosen path, nothing on Cancel. Tests answer it.
    virtual std::optional<QString> ChooseTextFile(const QString& start);

private:
    // Loads path into the text and the preview; with messages, a failure is
    // reported, otherwise it leaves everything as it was.
    void Load(bool withMessages);

    QString path_;
    std::string text_;
    QLineEdit* pathField_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace exchange
