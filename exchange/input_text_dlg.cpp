#include "exchange/input_text_dlg.h"

#include "calculator/common/file_dialogs.h"
#include "exchange/input_text.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "resources/ids.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace exchange {

CInputTextDlg::CInputTextDlg(const QString& path, QWidget* parent)
    : CHelpDialog(parent), path_(path) {
    setWindowTitle(QStringLiteral("Input Text"));
    SetHelpTopic(QStringLiteral("Dlg_InputText.htm"));
    SetHelpIds({{ids::kIdOk, ids::kHelpOk},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdInputBrowse, ids::kHelpInputBrowse},
                {ids::kIdInputPath, ids::kHelpInputPath},
                {ids::kIdInputPreview, ids::kHelpInputPreview},
                {ids::kIdHelp, ids::kHelpHelpButton}});

    auto* browse = new QPushButton(QStringLiteral("Browse File..."), this);
    browse->setAutoDefault(false);
    platform::SetControlId(browse, ids::kIdInputBrowse);
    pathField_ = new QLineEdit(this);
    pathField_->setReadOnly(true);
    pathField_->setAccessibleName(QStringLiteral("File Path"));
    platform::SetControlId(pathField_, ids::kIdInputPath);
    auto* group = new QGroupBox(QStringLiteral("Preview"), this);
    preview_ = new QPlainTextEdit(group);
    preview_->setReadOnly(true);
    preview_->setAccessibleName(QStringLiteral("Preview"));
    preview_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    platform::SetControlId(preview_, ids::kIdInputPreview);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(preview_);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    platform::SetControlId(ok_, ids::kIdOk);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, ids::kIdCancel);
    connect(browse, &QPushButton::clicked, this, &CInputTextDlg::Browse);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(browse);
    fileRow->addWidget(pathField_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(CreateHelpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
    resize(560, 420);

    if (!path_.isEmpty()) {
        pathField_->setText(path_);
        Load(false);
    }
    WatchHelpRequests();
}

std::optional<QString> CInputTextDlg::ChooseTextFile(const QString& start) {
    calculator::FileDialogRequest request;
    request.filters = {QStringLiteral("Text File (*.txt)"), QStringLiteral("Hex File (*.hex)"),
                       QStringLiteral("All File (*)")};
    request.path = start;
    request.title = QStringLiteral("Browse Text File");
    const std::optional<calculator::FileChoice> choice = calculator::ChooseFile(this, request);
    if (!choice)
        return std::nullopt;
    return choice->path;
}

void CInputTextDlg::Browse() {
    std::optional<QString> chosen = ChooseTextFile(path_);
    if (!chosen)
        return;
    path_ = *chosen;
    pathField_->setText(path_);
    Load(true);
}

void CInputTextDlg::Load(bool withMessages) {
    TextFile file = LoadTextFile(QFile::encodeName(path_).toStdString());
    if (!file.ok) {
        if (withMessages)
            platform::messageBox(this, QString::fromStdString(file.message),
                                 platform::MsgButtons::Ok);
        return;
    }
    text_ = file.text;
    preview_->setPlainText(QString::fromLatin1(text_));
    ok_->setEnabled(!text_.empty());
}

} // namespace exchange
