// COutputNumberDlg, the Output Number dialog: shows a number, switches the
// number system it is shown in, and saves it in one of the export formats.
// Every place that saves a number goes through it (OutputNumber below).
#pragma once

#include "calculator/common/help_dialog.h"
#include "resources/ids.h"

#include <QString>

#include <string>

class QButtonGroup;
class QPlainTextEdit;
class QPushButton;

namespace exchange {

class COutputNumberDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    static constexpr int kIdNumber = ids::kIdOutputNumberText;
    static constexpr int kIdSaveAs = ids::kIdSaveAs;

    explicit COutputNumberDlg(QWidget* parent = nullptr);

    // An empty caption keeps "Output Number".
    void setCaption(const QString& caption);
    // The number as a hex byte list, in the case the caller chose; an empty
    // number disables the radios and Save As.
    void setNumber(const std::string& hexList);
    int numberSystem() const { return system_; }
    QString shownText() const;
    // The file type of the last save (1..5), 3 at first.
    int fileType() const { return fileType_; }

    // Switches the shown system (the radios' click), always through the hex
    // form; returns false when the shown text cannot be read.
    bool SwitchNumberSystem(int system);
    // Save As: asks for a file, writes it, and closes with OK after a
    // successful write; a failure shows its message and the dialog stays.
    void SaveAs();

private:
    QPlainTextEdit* number_ = nullptr;
    QButtonGroup* radios_ = nullptr;
    QPushButton* saveAs_ = nullptr;
    int system_ = 0;
    int fileType_ = 3;
    QString filePath_;
};

// Runs the dialog modally with caption and number; true after a file was
// written (the caller shows its own confirmation).
bool OutputNumber(QWidget* parent, const QString& caption, const std::string& hexList);

} // namespace exchange
