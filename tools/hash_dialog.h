// CHashDialog, the Hash Value Calculator: a digest of a message, a hex byte
// list or a file with ignore ranges, with one of the nine algorithms (the
// provider's MD2, MD4, MD5 and SHA-1 on the application's provider handle,
// the rest from the digest library), shown as a hex byte list and saved in
// the export formats.
#pragma once

#include "tools/digest/digests.h"
#include "tools/file_tool_dialog.h"

#include <cstdint>
#include <memory>

class QListWidget;
class QPushButton;

namespace tools {

class CHashDialog : public CFileToolDialog {
    Q_OBJECT

public:
    explicit CHashDialog(QWidget* parent = nullptr);
    ~CHashDialog() override;

    // The application's provider handle, for the provider algorithms.
    void setProvider(uint32_t provider) { provider_ = provider; }
    QString hashText() const;

    void OnCalculate() override;
    // Save As: the digest in one of the export formats; the dialog stays.
    void SaveAs();

protected:
    bool BeginProcessing() override;
    void ProcessChunk(const uint8_t* data, size_t size) override;
    void FinishProcessing(bool cancelled) override;

private:
    void ReleaseHash();
    void SaveSettings();

    QListWidget* algorithms_ = nullptr;
    calculator::CHexEditBox* result_ = nullptr;
    QPushButton* saveAs_ = nullptr;
    uint32_t provider_ = 0;
    int runAlgorithm_ = 2;
    uint32_t providerHash_ = 0;              // for the provider's algorithms
    std::unique_ptr<digest::Hasher> hasher_; // for the others
    QString savePath_;
    int saveFormat_ = 1;
};

} // namespace tools
