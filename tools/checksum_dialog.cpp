#include "tools/checksum_dialog.h"

#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tools {
namespace {

constexpr char kSection[] = "Checksum";
constexpr int kWidthIds[4] = {ids::kIdOneByte, ids::kIdTwoBytes, ids::kIdFourBytes,
                              ids::kIdEightBytes};
constexpr const char* kWidthCaptions[4] = {"One Byte", "Two Bytes", "Four Bytes", "Eight Bytes"};

} // namespace

CChecksumDialog::CChecksumDialog(QWidget* parent) : CFileToolDialog(parent, kSection, false) {
    setWindowTitle(QStringLiteral("Checksum Calculator"));
    auto* grid = new QGridLayout(this);
    int row = AddSourceControls(grid, 0, 2);

    auto* widthBox = new QGroupBox(this);
    auto* widthRow = new QHBoxLayout(widthBox);
    widths_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(kWidthCaptions[i]), widthBox);
        platform::SetControlId(radio, kWidthIds[i]);
        widths_->addButton(radio, i);
        widthRow->addWidget(radio);
    }
    connect(widths_, &QButtonGroup::idClicked, this, &CChecksumDialog::OnWidth);
    grid->addWidget(widthBox, row++, 0, 1, 2);
    swap_ = new QCheckBox(QStringLiteral("Swap Byte"), this);
    platform::SetControlId(swap_, ids::kIdSwapByte);
    grid->addWidget(swap_, row++, 0, 1, 2);
    pad_ = AddField(grid, row++, ids::kIdPadValue, "Padding Value:", false);
    finalXor_ = AddField(grid, row++, ids::kIdFinalXor, "Final XOR Value: ", false);
    sum_ = AddField(grid, row++, ids::kIdHexChecksum, "Hex Checksum: ", true);
    afterXor_ = AddField(grid, row++, ids::kIdChecksumAfterFinalXor, "After Final XOR: ", true);

    AddCalculateButtons(grid, row);

    using calculator::GetProfileInt;
    using calculator::GetProfileString;
    const int stored = GetProfileInt(kSection, "WidthType", 2);
    widthType_ = stored >= 0 && stored <= 3 ? stored : 2;
    widths_->button(widthType_)->setChecked(true);
    swap_->setChecked(GetProfileInt(kSection, "SwapByte", 0) != 0);
    OnWidth(widthType_);
    pad_->setText(QString::fromStdString(GetProfileString(kSection, "PadValue", std::string())));
    finalXor_->setText(
        QString::fromStdString(GetProfileString(kSection, "XorValue", std::string())));
    LoadSourceSettings();

    SetHelpTopic(QStringLiteral("Dlg_ChecksumTool.htm"));
    SetHelpIds({{ids::kIdCalculate, ids::kHelpChecksumCalculate},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdIgnoreRanges, ids::kHelpIgnoreRanges},
                {ids::kIdIgnoreRangesText, ids::kHelpIgnoreRangesText},
                {ids::kIdBrowseFile, ids::kHelpChecksumBrowseFile},
                {ids::kIdFilePath, ids::kHelpChecksumFilePath},
                {ids::kIdFinalXor, ids::kHelpChecksumFinalXor},
                {ids::kIdOneByte, ids::kHelpOneByte},
                {ids::kIdTwoBytes, ids::kHelpOneByte + 1},
                {ids::kIdFourBytes, ids::kHelpOneByte + 2},
                {ids::kIdEightBytes, ids::kHelpOneByte + 3},
                {ids::kIdSwapByte, ids::kHelpSwapByte},
                {ids::kIdPadValue, ids::kHelpPadValue},
                {ids::kIdHexChecksum, ids::kHelpHexChecksum},
                {ids::kIdChecksumAfterFinalXor, ids::kHelpChecksumAfterFinalXor},
                {ids::kIdHelp, ids::kHelpHelpButton}});
    WatchHelpRequests();
}

void CChecksumDialog::OnWidth(int widthType) {
    widthType_ = widthType;
    const bool multiByte = widthType != 0;
    swap_->setEnabled(multiByte);
    if (!multiByte)
        swap_->setChecked(false);
}

void CChecksumDialog::OnCalculate() {
    if (isProcessing())
        return;
    if (!PrepareInput({0, ids::kMsgChecksumNeedFile, ids::kMsgChecksumCannotOpen}))
        return;
    StartRun(RangeReader::ShortReads::Fail);
}

bool CChecksumDialog::BeginProcessing() {
    checksum_.emplace(ChecksumWidthOfType(widthType_), swap_->isChecked(),
                      ParseChecksumPad(pad_->text().toStdString()));
    sum_->clear();
    afterXor_->clear();
    return true;
}

void CChecksumDialog::ProcessChunk(const uint8_t* data, size_t size) {
    checksum_->AddChunk(data, size);
}

void CChecksumDialog::FinishProcessing(bool cancelled) {
    StopProcessing();
    if (cancelled || errorFlag()) {
        if (!cancelled)
            platform::messageBox(this, kMsgInternalError);
        checksum_.reset();
        return;
    }
    const int width = checksum_->width();
    const uint64_t sum = checksum_->Sum();
    const uint64_t after = sum ^ ParseChecksumFinalXor(finalXor_->text().toStdString());
    sum_->setText(QString::fromStdString(FormatChecksum(sum, width, upperCase())));
    afterXor_->setText(QString::fromStdString(FormatChecksum(after, width, upperCase())));
    checksum_.reset();
    SaveSettings();
}

void CChecksumDialog::SaveSettings() {
    SaveSourceSettings();
    calculator::WriteProfileInt(kSection, "WidthType", widthType_);
    calculator::WriteProfileInt(kSection, "SwapByte", swap_->isChecked() ? 1 : 0);
    calculator::WriteProfileString(kSection, "PadValue", pad_->text().toStdString());
    calculator::WriteProfileString(kSection, "XorValue", finalXor_->text().toStdString());
}

} // namespace tools
