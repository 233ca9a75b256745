#include "exchange/output_number_dlg.h"

#include "calculator/common/file_dialogs.h"
#include "exchange/export_formats.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "text/hex_text.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <new>
#include <vector>

namespace exchange {
namespace {

const QStringList kHexFilters = {
    QStringLiteral("Hex Byte (*.hex)"),         QStringLiteral("Base64 Encoded Hex Byte (*.txt)"),
    QStringLiteral("ASCII Text (*.txt)"),       QStringLiteral("C Source (*.c;*.cpp)"),
    QStringLiteral("HTML Text (*.htm;*.html)"),
};
const QStringList kDigitFilters = {
    QStringLiteral("ASCII Text (*.txt)"),
    QStringLiteral("All File (*.*)"),
};
constexpr int kTextFileType = 3;

} // namespace

COutputNumberDlg::COutputNumberDlg(QWidget* parent) : CHelpDialog(parent) {
    setWindowTitle(QStringLiteral("Output Number"));

    number_ = new QPlainTextEdit(this);
    platform::SetControlId(number_, kIdNumber);
    number_->setReadOnly(true);
    number_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    number_->setAccessibleName(QStringLiteral("Number"));
    number_->setMinimumSize(420, 140);

    auto* systems = new QGroupBox(this);
    auto* systemRow = new QHBoxLayout(systems);
    radios_ = new QButtonGroup(this);
    const char* captions[4] = {"Hexadecimal", "Decimal", "Octal", "Binary"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(captions[i]), systems);
        platform::SetControlId(radio, ids::kIdHexadecimal + i);
        radios_->addButton(radio, i);
        systemRow->addWidget(radio);
    }
    radios_->button(0)->setChecked(true);
    connect(radios_, &QButtonGroup::idClicked, this, [this](int system) {
        if (!SwitchNumberSystem(system))
            radios_->button(system_)->setChecked(true);
    });

    saveAs_ = new QPushButton(QStringLiteral("Save As..."), this);
    platform::SetControlId(saveAs_, kIdSaveAs);
    saveAs_->setDefault(true);
    connect(saveAs_, &QPushButton::clicked, this, &COutputNumberDlg::SaveAs);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, ids::kIdCancel);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(saveAs_);
    buttons->addWidget(cancel);
    buttons->addWidget(CreateHelpButton());
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(number_, 0, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->addWidget(systems, 1, 0);

    SetHelpTopic(QStringLiteral("Dlg_OutputHex.htm"));
    SetHelpIds({{kIdSaveAs, ids::kHelpOutputSaveAs},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdHexadecimal, ids::kHelpOutputHexadecimal},
                {ids::kIdDecimal, ids::kHelpOutputHexadecimal + 1},
                {ids::kIdOctal, ids::kHelpOutputHexadecimal + 2},
                {ids::kIdBinary, ids::kHelpOutputHexadecimal + 3},
                {kIdNumber, ids::kHelpOutputNumberText},
                {ids::kIdHelp, ids::kHelpHelpButton}});
    WatchHelpRequests();
    setNumber({});
}

void COutputNumberDlg::setCaption(const QString& caption) {
    if (!caption.isEmpty())
        setWindowTitle(caption);
}

void COutputNumberDlg::setNumber(const std::string& hexList) {
    number_->setPlainText(QString::fromStdString(hexList));
    const bool any = !number_->toPlainText().trimmed().isEmpty();
    for (QAbstractButton* radio : radios_->buttons())
        radio->setEnabled(any);
    saveAs_->setEnabled(any);
}

QString COutputNumberDlg::shownText() const {
    return number_->toPlainText();
}

bool COutputNumberDlg::SwitchNumberSystem(int system) {
    if (system == system_ || !text::IsNumberSystem(system))
        return system == system_;
    std::string list;
    const text::HexListResult read =
        text::ToHexList(text::NumberSystem(system_), shownText().toStdString(), list);
    if (read.count < 0) {
        if (read.message != 0)
            platform::messageBox(this, read.message);
        return false;
    }
    // Lower case whatever the caller passed: the shown text is rebuilt from
    // the hex form.
    std::string shown;
    if (text::FromHexList(text::NumberSystem(system), list, false, shown) < 0) {
        platform::messageBox(this, text::kMsgOutOfMemory);
        return false;
    }
    number_->setPlainText(QString::fromStdString(shown));
    system_ = system;
    return true;
}

void COutputNumberDlg::SaveAs() try {
    const bool hex = system_ == text::Hexadecimal;
    calculator::FileDialogRequest request;
    request.kind = calculator::FileDialogRequest::Save;
    request.filters = hex ? kHexFilters : kDigitFilters;
    request.initialFilter = hex ? fileType_ : 1;
    request.path = filePath_;
    const std::optional<calculator::FileChoice> choice = calculator::ChooseFile(this, request);
    if (!choice)
        return;
    filePath_ = choice->path;
    fileType_ = hex ? choice->filter : kTextFileType;

    std::string content;
    const std::string shown = shownText().toStdString();
    if (hex) {
        std::vector<uint8_t> bytes(shown.size());
        const int32_t count =
            text::ParseHexBytes(shown, bytes.data(), static_cast<int32_t>(bytes.size()));
        if (count <= 0) {
            platform::messageBox(this, ids::kMsgNoValidNumber);
            return;
        }
        content = WriteHexExport(ExportFormat(fileType_), bytes.data(), size_t(count));
    } else {
        content = WriteDigitGroups(shown);
    }
    if (const int failure = WriteFileChecked(filePath_.toStdString(), content)) {
        platform::messageBox(this, failure);
        return;
    }
    accept();
} catch (const std::bad_alloc&) {
    platform::messageBox(this, text::kMsgOutOfMemory);
}

bool OutputNumber(QWidget* parent, const QString& caption, const std::string& hexList) {
    COutputNumberDlg dialog(parent);
    dialog.setCaption(caption);
    dialog.setNumber(hexList);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace exchange
