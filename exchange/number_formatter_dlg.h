// CNumberFormatterDlg, "Import Number": turns pasted text, source-code
// declarations, memory dumps or Base64 into a hex byte list with the strip
// rules, Base64 decoding, a separator and a number system (the rules are
// number_formatter.h), with the "Format" settings.
#pragma once

#include "calculator/common/help_dialog.h"

#include <QString>

#include <optional>
#include <string>
#include <utility>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace calculator {
class CCaretEdit;
}

namespace exchange {

class CNumberFormatterDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    // caption: the title, empty for "Import Number"; initialText: the input
    // text, which Reset restores.
    CNumberFormatterDlg(const QString& caption, const QString& initialText,
                        QWidget* parent = nullptr);

    // The hex byte list after OK, the digits in the case they were typed in
    // (lower case for decoded and converted input).
    const std::string& result() const { return result_; }

    void Format();
    void Reset();
    void DecodeBase64(bool asText);
    void InputFromFile();

public slots:
    // Ok: converts the text; a message keeps the dialog open.
    void accept() override;

protected:
    // The Input Text dialog opened on path: the path chosen there and its
    // text, nothing on Cancel. Tests answer it.
    virtual std::optional<std::pair<QString, std::string>> RunInputText(const QString& path);

private:
    void InputChanged();
    void UpdateOk();
    void ShowCaret();
    int SeparatorType() const;
    int NumberSystem() const;
    QString InputText() const;
    void SetInputText(const QString& text);

    QString initialText_;
    std::string result_;
    bool updating_ = false;
    calculator::CCaretEdit* input_ = nullptr;
    QLineEdit* line_ = nullptr;
    QLineEdit* column_ = nullptr;
    QLineEdit* counts_[4] = {};
    QLineEdit* stripText_ = nullptr;
    QRadioButton* separators_[5] = {};
    QLineEdit* other_ = nullptr;
    QRadioButton* systems_[4] = {};
    QPushButton* ok_ = nullptr;
    QPushButton* reset_ = nullptr;
};

} // namespace exchange
