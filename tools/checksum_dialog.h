// CChecksumDialog, the Checksum Calculator: a file, with optional ignore
// ranges, added up as 1-, 2-, 4- or 8-byte units, little-endian or swapped,
// shown before and after a final XOR.
#pragma once

#include "tools/checksum.h"
#include "tools/file_tool_dialog.h"

#include <optional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tools {

class CChecksumDialog : public CFileToolDialog {
    Q_OBJECT

public:
    explicit CChecksumDialog(QWidget* parent = nullptr);

    void OnCalculate() override;

protected:
    bool BeginProcessing() override;
    void ProcessChunk(const uint8_t* data, size_t size) override;
    void FinishProcessing(bool cancelled) override;

private:
    // A width button was clicked: Swap Byte only for units above one byte.
    void OnWidth(int widthType);
    void SaveSettings();

    QButtonGroup* widths_ = nullptr;
    QCheckBox* swap_ = nullptr;
    QLineEdit* pad_ = nullptr;
    QLineEdit* finalXor_ = nullptr;
    QLineEdit* sum_ = nullptr;
    QLineEdit* afterXor_ = nullptr;
    int widthType_ = 2;
    std::optional<Checksum> checksum_;
};

} // namespace tools
