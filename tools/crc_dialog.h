// CCrcDialog, the CRC Value Calculator: a 16- or 32-bit CRC of a message, a
// hex byte list or a file with ignore ranges, with the polynomial as a list of
// exponents, normal or bit-reflected order, an initial value and a final XOR.
#pragma once

#include "tools/crc.h"
#include "tools/file_tool_dialog.h"

#include <optional>

class QCheckBox;
class QLineEdit;

namespace tools {

class CCrcDialog : public CFileToolDialog {
    Q_OBJECT

public:
    explicit CCrcDialog(QWidget* parent = nullptr);

    void OnCalculate() override;

protected:
    bool BeginProcessing() override;
    void ProcessChunk(const uint8_t* data, size_t size) override;
    void FinishProcessing(bool cancelled) override;

private:
    void SaveSettings();

    QCheckBox* reflected_ = nullptr;
    QLineEdit* coefficients_ = nullptr;
    QLineEdit* initial_ = nullptr;
    QLineEdit* finalXor_ = nullptr;
    QLineEdit* crc_ = nullptr;
    QLineEdit* afterXor_ = nullptr;
    CrcPolynomial polynomial_;
    std::optional<CrcRegister> register_;
};

} // namespace tools
