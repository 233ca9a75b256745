// CRandomNumberDialog, "Generate Pseudo-Random Number": bit count and seed
// in, a random hex byte list out (generators.h), with the "RandomData"
// settings.
#pragma once

#include "calculator/common/help_dialog.h"

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace tools {

class CRandomNumberDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    explicit CRandomNumberDialog(QWidget* parent = nullptr);
    // The number after OK, "%02x " per byte.
    const std::string& result() const { return result_; }

public slots:
    // Generate: ends with OK when a number was made.
    void accept() override;

private:
    int SeedType() const;

    QLineEdit* bits_ = nullptr;
    QPlainTextEdit* seed_ = nullptr;
    QRadioButton* seedTypes_[3] = {};
    std::string result_;
};

} // namespace tools
