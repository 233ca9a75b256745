#include "keys/key_container_dlg.h"

#include "keys/key_containers.h"
#include "platform/crypto/crypt_keys.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace keys {
namespace {

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

QPushButton* AddButton(QWidget* owner, const char* caption, int id) {
    auto* button = new QPushButton(QString::fromLatin1(caption), owner);
    platform::SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CKeyContainerDlg::CKeyContainerDlg(ProfileSettings& settings, QWidget* parent)
    : CHelpDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Key Container Manager"));

    auto* group = new QGroupBox(QStringLiteral("Key Container"), this);
    auto* caption = new QLabel(QStringLiteral("Conainer Name: "), group);
    names_ = new QComboBox(group);
    platform::SetControlId(names_, ids::kIdContainerName);
    names_->setEditable(true);
    // Names join the list through Create only, never by pressing Enter.
    names_->setInsertPolicy(QComboBox::NoInsert);
    // No completion from the list: "Box" must stay "Box" while "Box 2" is
    // listed, or a shorter name could not be created.
    names_->setCompleter(nullptr);
    names_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    names_->setMinimumContentsLength(24);
    caption->setBuddy(names_);
    // The drop-down list is a window of its own; it reads as the field does.
    names_->view()->setAccessibleName(QStringLiteral("Conainer Name"));
    create_ = AddButton(group, "Create Conainer", ids::kIdCreateContainer);
    delete_ = AddButton(group, "Delete Conainer", ids::kIdDeleteContainer);
    exportExchange_ = AddButton(group, "Export Exchange Keys...", ids::kIdExportExchangeKeys);
    exportSignature_ = AddButton(group, "Export Signature Keys...", ids::kIdExportSignatureKeys);

    auto* grid = new QGridLayout(group);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(names_, 0, 1, 1, 2);
    grid->addWidget(create_, 1, 1);
    grid->addWidget(delete_, 1, 2);
    grid->addWidget(exportExchange_, 2, 1);
    grid->addWidget(exportSignature_, 2, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto* finish = new QPushButton(QStringLiteral("Finish"), this);
    platform::SetControlId(finish, kIdFinish);
    finish->setDefault(true);
    QPushButton* help = CreateHelpButton();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(finish);
    buttons->addWidget(help);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    SetHelpTopic(QStringLiteral("Dlg_ContainerManager.htm"));
    SetHelpIds({
        {kIdFinish, ids::kHelpOk},
        {ids::kIdContainerName, ids::kHelpContainerName},
        {ids::kIdCreateContainer, ids::kHelpCreateContainer},
        {ids::kIdDeleteContainer, ids::kHelpDeleteContainer},
        {ids::kIdExportExchangeKeys, ids::kHelpExportExchangeKeys},
        {ids::kIdExportSignatureKeys, ids::kHelpExportSignatureKeys},
        {ids::kIdHelp, ids::kHelpHelpButton},
    });
    WatchHelpRequests();

    // Start: the current name and the list from the settings, the buttons
    // for that name, then the name in the field (after the list, whose first
    // entry would otherwise take the field).
    const ContainerInfo info = ReadContainerInfo(settings_);
    name_ = info.current;
    {
        const QSignalBlocker quiet(names_);
        for (const std::string& item : info.items)
            names_->addItem(ToQt(item));
        names_->setEditText(ToQt(name_));
    }
    UpdateButtons();

    // Choosing a name from the list sets the field's text as typing does, so
    // both update the buttons and the name the Export buttons use.
    connect(names_, &QComboBox::editTextChanged, this, [this] {
        ReadName();
        UpdateButtons();
    });
    connect(create_, &QPushButton::clicked, this, &CKeyContainerDlg::Create);
    connect(delete_, &QPushButton::clicked, this, &CKeyContainerDlg::Delete);
    connect(exportExchange_, &QPushButton::clicked, this, [this] { Export(KeyKind::Exchange); });
    connect(exportSignature_, &QPushButton::clicked, this, [this] { Export(KeyKind::Signature); });
    connect(finish, &QPushButton::clicked, this, &CKeyContainerDlg::accept);
    names_->setFocus();
}

std::vector<std::string> CKeyContainerDlg::listedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < names_->count(); ++i)
        names.push_back(ToStd(names_->itemText(i)));
    return names;
}

void CKeyContainerDlg::ReadName() {
    name_ = ToStd(names_->currentText());
}

void CKeyContainerDlg::UpdateButtons() {
    const bool exists = ContainerExists(name_);
    create_->setEnabled(!exists);
    delete_->setEnabled(exists);
    exportExchange_->setEnabled(exists);
    exportSignature_->setEnabled(exists);
}

void CKeyContainerDlg::InsertName(int index, const std::string& name) {
    const QString text = names_->currentText();
    const QSignalBlocker quiet(names_);
    names_->insertItem(index, ToQt(name));
    names_->setEditText(text);
}

void CKeyContainerDlg::RemoveName(int index) {
    // Removing the entry shown would put a neighbour into the field; the
    // deleted name stays there, and becomes "Current" at Finish.
    const QString text = names_->currentText();
    const QSignalBlocker quiet(names_);
    names_->removeItem(index);
    names_->setEditText(text);
}

void CKeyContainerDlg::Create() {
    ReadName();
    const ContainerResult result = CreateKeyContainer(name_);
    if (!result.ok()) {
        platform::messageBox(this, ToQt(result.message), platform::MsgButtons::Ok,
                             platform::MsgIcon::Warning);
        return;
    }
    // An empty name (the provider's login-name container) is never listed:
    // Finish skips empty entries, and the gap would end the list read at the
    // next start, losing every name after it.
    if (!name_.empty() && !FindInList(listedNames(), name_))
        InsertName(0, name_);
    UpdateButtons();
    platform::messageBox(this, ToQt(result.message), platform::MsgButtons::Ok,
                         platform::MsgIcon::Information);
}

void CKeyContainerDlg::Delete() {
    ReadName();
    if (platform::messageBox(this, ToQt(DeleteQuestion(name_)), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question) != platform::MsgResult::Yes)
        return;
    const ContainerResult result = DeleteKeyContainer(name_);
    if (!result.ok()) {
        platform::messageBox(this, ToQt(result.message), platform::MsgButtons::Ok,
                             platform::MsgIcon::Warning);
        return;
    }
    if (std::optional<size_t> at = FindInList(listedNames(), name_))
        RemoveName(static_cast<int>(*at));
    UpdateButtons();
    platform::messageBox(this, ToQt(result.message), platform::MsgButtons::Ok,
                         platform::MsgIcon::Information);
}

void CKeyContainerDlg::Export(KeyKind kind) {
    platform::HCRYPTPROV provider = 0;
    if (!platform::CryptAcquireContextA(&provider, name_.c_str(), platform::MS_DEF_PROV_A,
                                        platform::PROV_RSA_FULL, 0))
        return; // a container that cannot be opened has nothing to export
    {
        CKeyExportDlg dialog(provider, name_, kind, exportFields_, this);
        dialog.exec();
        exportFields_ = dialog.fields();
    }
    platform::CryptReleaseContext(provider, 0);
}

void CKeyContainerDlg::accept() {
    WriteContainerInfo(settings_, listedNames(), ToStd(names_->currentText()));
    QDialog::accept();
}

} // namespace keys
