#include "keys/key_export_dlg.h"

#include "calculator/common/folder_browser.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace keys {
namespace {

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A labelled field in the next row of grid.
QLineEdit* AddField(QWidget* owner, QGridLayout* grid, const char* caption, int id) {
    const int row = grid->rowCount();
    auto* label = new QLabel(QString::fromLatin1(caption), owner);
    auto* field = new QLineEdit(owner);
    platform::SetControlId(field, id);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, 2);
    return field;
}

} // namespace

CKeyExportDlg::CKeyExportDlg(platform::HCRYPTPROV provider, const std::string& container,
                             KeyKind kind, const ExportFields& fields, QWidget* parent)
    : CHelpDialog(parent), provider_(provider), kind_(kind), fields_(fields) {
    setWindowTitle(QString::fromStdString(ExportTitle(kind, container)));

    rc2_ = new QRadioButton(QStringLiteral("RC2 block cipher"), this);
    platform::SetControlId(rc2_, ids::kIdRc2);
    rc4_ = new QRadioButton(QStringLiteral("RC4 stream cipher"), this);
    platform::SetControlId(rc4_, ids::kIdRc4);
    auto* cipherGroup = new QButtonGroup(this);
    cipherGroup->addButton(rc2_);
    cipherGroup->addButton(rc4_);

    auto* grid = new QGridLayout;
    baseMessage_ = AddField(this, grid, "Base Message: ", ids::kIdBaseMessage);
    const int folderRow = grid->rowCount();
    folder_ = new QLineEdit(this);
    platform::SetControlId(folder_, ids::kIdExportFolder);
    folder_->setReadOnly(true);
    // No label of its own: the button beside it says what it holds.
    folder_->setAccessibleName(QStringLiteral("Folder"));
    auto* browse = new QPushButton(QStringLiteral("Browse Folder..."), this);
    platform::SetControlId(browse, ids::kIdBrowseFolder);
    browse->setAutoDefault(false);
    grid->addWidget(folder_, folderRow, 0, 1, 2);
    grid->addWidget(browse, folderRow, 2);
    publicFile_ = AddField(this, grid, "Public Key File: ", ids::kIdPublicKeyFile);
    privateFile_ = AddField(this, grid, "Private Key File: ", ids::kIdPrivateKeyFile);
    sessionFile_ = AddField(this, grid, "Session Data MD5: ", ids::kIdSessionFile);
    grid->setColumnStretch(1, 1);

    export_ = new QPushButton(QStringLiteral("Export"), this);
    platform::SetControlId(export_, kIdExport);
    export_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, kIdCancel);
    cancel->setAutoDefault(false);
    QPushButton* help = CreateHelpButton();

    auto* ciphers = new QHBoxLayout;
    ciphers->addWidget(rc2_);
    ciphers->addWidget(rc4_);
    ciphers->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(export_);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ciphers);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    SetHelpTopic(QStringLiteral("Dlg_ExportKeypairs.htm"));
    SetHelpIds({
        {kIdExport,
         kind == KeyKind::Exchange ? ids::kHelpExportExchangePair : ids::kHelpExportSignaturePair},
        {kIdCancel, ids::kHelpCancel},
        {ids::kIdExportFolder, ids::kHelpExportFolder},
        {ids::kIdBrowseFolder, ids::kHelpBrowseFolder},
        {ids::kIdSessionFile, ids::kHelpSessionFile},
        {ids::kIdPublicKeyFile, ids::kHelpPublicKeyFile},
        {ids::kIdPrivateKeyFile, ids::kHelpPrivateKeyFile},
        {ids::kIdBaseMessage, ids::kHelpBaseMessage},
        {ids::kIdRc2, ids::kHelpRc2},
        {ids::kIdRc4, ids::kHelpRc4},
        {ids::kIdHelp, ids::kHelpHelpButton},
    });
    WatchHelpRequests();

    (fields_.cipher == SessionCipher::Rc4 ? rc4_ : rc2_)->setChecked(true);
    baseMessage_->setText(fields_.baseMessage);
    folder_->setText(fields_.folder);
    publicFile_->setText(fields_.publicFile);
    privateFile_->setText(fields_.privateFile);
    sessionFile_->setText(fields_.sessionFile);
    connect(publicFile_, &QLineEdit::textChanged, this, &CKeyExportDlg::UpdateExportButton);
    connect(privateFile_, &QLineEdit::textChanged, this, &CKeyExportDlg::UpdateExportButton);
    connect(browse, &QPushButton::clicked, this, &CKeyExportDlg::BrowseFolder);
    connect(export_, &QPushButton::clicked, this, &CKeyExportDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CKeyExportDlg::reject);
    UpdateExportButton();
    baseMessage_->setFocus();
}

void CKeyExportDlg::TakeFields() {
    fields_.cipher = rc4_->isChecked() ? SessionCipher::Rc4 : SessionCipher::Rc2;
    fields_.baseMessage = baseMessage_->text();
    fields_.folder = folder_->text();
    fields_.publicFile = publicFile_->text();
    fields_.privateFile = privateFile_->text();
    fields_.sessionFile = sessionFile_->text();
}

void CKeyExportDlg::UpdateExportButton() {
    export_->setEnabled(
        ExportEnabled(PathBytes(publicFile_->text()), PathBytes(privateFile_->text())));
}

void CKeyExportDlg::BrowseFolder() {
    TakeFields();
    std::optional<QString> chosen =
        calculator::BrowseForFolder(this, QStringLiteral("Browse Folder"), fields_.folder);
    if (!chosen)
        return;
    fields_.folder = *chosen;
    folder_->setText(fields_.folder);
}

void CKeyExportDlg::accept() {
    // Export is not possible without both blob file names, however asked.
    if (!export_->isEnabled())
        return;
    TakeFields();
    ExportRequest request;
    request.provider = provider_;
    request.kind = kind_;
    request.cipher = fields_.cipher;
    // The characters the user typed, as bytes of the program's encoding.
    request.baseMessage = fields_.baseMessage.toUtf8().toStdString();
    request.folder = PathBytes(fields_.folder);
    request.publicFile = PathBytes(fields_.publicFile);
    request.privateFile = PathBytes(fields_.privateFile);
    request.sessionFile = PathBytes(fields_.sessionFile);

    const ExportResult result = ExportKeyPair(request);
    const QString message = QString::fromLatin1(ExportMessage(result.outcome));
    if (result.outcome == ExportOutcome::Succeeded) {
        platform::messageBox(this, message, platform::MsgButtons::Ok,
                             platform::MsgIcon::Information);
        QDialog::accept();
        return;
    }
    platform::messageBox(this, message, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    if (result.outcome == ExportOutcome::NoBaseMessage)
        baseMessage_->setFocus();
    else if (result.outcome == ExportOutcome::NoFolder)
        folder_->setFocus();
}

} // namespace keys
