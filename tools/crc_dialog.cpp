#include "tools/crc_dialog.h"

#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tools {
namespace {

constexpr char kSection[] = "Crc";
constexpr char kDefaultCoefficients[] = "16,15,2,0";

} // namespace

CCrcDialog::CCrcDialog(QWidget* parent) : CFileToolDialog(parent, kSection, true) {
    setWindowTitle(QStringLiteral("CRC Value Calculator"));
    auto* grid = new QGridLayout(this);
    int row = AddSourceControls(grid, 0, 2);

    reflected_ = new QCheckBox(QStringLiteral("Bit Reflected"), this);
    platform::SetControlId(reflected_, ids::kIdBitReflected);
    grid->addWidget(reflected_, row++, 0, 1, 2);
    coefficients_ =
        AddField(grid, row++, ids::kIdPolyCoefficients, "Polynomial Coefficients:", false);
    auto* note = new QLabel(
        QStringLiteral("(Exponents from high to low order, e.g. 16,15,2,0 for x^16+x^15+x^2+1)"),
        this);
    platform::SetControlId(note, ids::kIdPolyNote);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, QColor(41, 153, 255));
    note->setPalette(palette);
    grid->addWidget(note, row++, 1);
    initial_ = AddField(grid, row++, ids::kIdInitialValue, "Initial Value:", false);
    finalXor_ = AddField(grid, row++, ids::kIdFinalXor, "Final XOR Value: ", false);
    crc_ = AddField(grid, row++, ids::kIdHexByteCrc, "Hex Byte CRC: ", true);
    afterXor_ = AddField(grid, row++, ids::kIdCrcAfterFinalXor, "After Final XOR: ", true);

    AddCalculateButtons(grid, row);

    using calculator::GetProfileInt;
    using calculator::GetProfileString;
    reflected_->setChecked(GetProfileInt(kSection, "BitReflected", 0) != 0);
    coefficients_->setText(
        QString::fromStdString(GetProfileString(kSection, "PolyCoefs", kDefaultCoefficients)));
    initial_->setText(QString::fromStdString(GetProfileString(kSection, "InitValue", "0")));
    finalXor_->setText(QString::fromStdString(GetProfileString(kSection, "XorValue", "0")));
    LoadSourceSettings();

    SetHelpTopic(QStringLiteral("Dlg_CrcTool.htm"));
    SetHelpIds({{ids::kIdCalculate, ids::kHelpCrcCalculate},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdIgnoreRanges, ids::kHelpIgnoreRanges},
                {ids::kIdIgnoreRangesText, ids::kHelpIgnoreRangesText},
                {ids::kIdMessage, ids::kHelpCrcMessage},
                {ids::kIdBrowseFile, ids::kHelpCrcBrowseFile},
                {ids::kIdFilePath, ids::kHelpCrcFilePath},
                {ids::kIdHexNumber, ids::kHelpCrcHexNumber},
                {ids::kIdFromMessage, ids::kHelpCrcFromMessage},
                {ids::kIdFromFile, ids::kHelpCrcFromFile},
                {ids::kIdBitReflected, ids::kHelpBitReflected},
                {ids::kIdPolyCoefficients, ids::kHelpPolyCoefficients},
                {ids::kIdInitialValue, ids::kHelpInitialValue},
                {ids::kIdFinalXor, ids::kHelpCrcFinalXor},
                {ids::kIdHexByteCrc, ids::kHelpHexByteCrc},
                {ids::kIdCrcAfterFinalXor, ids::kHelpCrcAfterFinalXor},
                {ids::kIdHelp, ids::kHelpHelpButton}});
    WatchHelpRequests();
}

void CCrcDialog::OnCalculate() {
    if (isProcessing())
        return;
    if (!PrepareInput({ids::kMsgCrcNeedMessage, ids::kMsgCrcNeedFile, ids::kMsgCrcCannotOpen}))
        return;
    polynomial_ =
        ParseCrcCoefficients(coefficients_->text().toStdString(), reflected_->isChecked());
    if (polynomial_.outcome != CrcPolynomial::Ok) {
        // A list with only the order starts nothing and says nothing.
        CloseInput();
        if (polynomial_.outcome == CrcPolynomial::Message)
            platform::messageBox(this, polynomial_.message);
        return;
    }
    StartRun(RangeReader::ShortReads::Continue);
}

bool CCrcDialog::BeginProcessing() {
    register_.emplace(polynomial_.order, polynomial_.polynomial, reflected_->isChecked(),
                      ParseHexField(initial_->text().toStdString()));
    return true;
}

void CCrcDialog::ProcessChunk(const uint8_t* data, size_t size) {
    register_->Update(data, size);
}

void CCrcDialog::FinishProcessing(bool cancelled) {
    StopProcessing();
    if (cancelled || errorFlag()) {
        crc_->clear();
        afterXor_->clear();
        if (!cancelled)
            platform::messageBox(this, kMsgInternalError);
        register_.reset();
        return;
    }
    const uint32_t value = register_->Value();
    const uint32_t after =
        register_->WithFinalXor(ParseCrcFinalXor(finalXor_->text().toStdString()));
    crc_->setText(QString::fromStdString(FormatCrc(value, polynomial_.order, upperCase())));
    afterXor_->setText(QString::fromStdString(FormatCrc(after, polynomial_.order, upperCase())));
    register_.reset();
    SaveSettings();
}

void CCrcDialog::SaveSettings() {
    SaveSourceSettings();
    calculator::WriteProfileInt(kSection, "BitReflected", reflected_->isChecked() ? 1 : 0);
    calculator::WriteProfileString(kSection, "PolyCoefs", coefficients_->text().toStdString());
    calculator::WriteProfileString(kSection, "InitValue", initial_->text().toStdString());
    calculator::WriteProfileString(kSection, "XorValue", finalXor_->text().toStdString());
}

} // namespace tools
