#include "calculator/common/folder_browser.h"

#include "calculator/common/folder_rules.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

namespace calculator {

bool IsConfirmableFolder(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir() || !info.isWritable())
        return false;
    // Root may write anywhere, so the access check alone would never see a
    // folder that was made read-only: no write bit at all counts as that.
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(info.permissions() & writeBits))
        return false;
    const QStorageInfo storage(info.canonicalFilePath());
    if (!storage.isValid() || !storage.isReady() || storage.isReadOnly())
        return false;
    const QString type = QString::fromLatin1(storage.fileSystemType());
    if (IsNetworkFileSystemType(type.toStdString()) || IsPseudoFileSystemType(type.toStdString()))
        return false;
    return !IsRemovableBlockDevice(storage.device().toStdString());
}

CFolderBrowserDialog::CFolderBrowserDialog(QWidget* owner, const QString& title,
                                           const QString& initialFolder)
    : QFileDialog(owner, title, initialFolder) {
    setObjectName(QStringLiteral("folderBrowser"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    setAcceptMode(QFileDialog::AcceptOpen);
    // The dialog sets its own button state on these same events; ours runs
    // after it, once the event is done.
    connect(this, &QFileDialog::currentChanged, this, &CFolderBrowserDialog::scheduleUpdate);
    connect(this, &QFileDialog::directoryEntered, this, &CFolderBrowserDialog::scheduleUpdate);
    // setDirectory() and the look-in list change the shown folder without
    // directoryEntered; the model's root follows every such change.
    if (auto* model = findChild<QFileSystemModel*>())
        connect(model, &QFileSystemModel::rootPathChanged, this,
                &CFolderBrowserDialog::scheduleUpdate);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(name, &QLineEdit::textChanged, this, &CFolderBrowserDialog::scheduleUpdate);
}

QString CFolderBrowserDialog::candidateFolder() const {
    const QStringList chosen = selectedFiles();
    return chosen.isEmpty() ? directory().absolutePath() : chosen.first();
}

QPushButton* CFolderBrowserDialog::confirmButton() const {
    auto* box = findChild<QDialogButtonBox*>();
    if (!box)
        return nullptr;
    if (QPushButton* open = box->button(QDialogButtonBox::Open))
        return open;
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}

void CFolderBrowserDialog::accept() {
    // Enter in the name field accepts without the button.
    if (!IsConfirmableFolder(candidateFolder())) {
        updateConfirmButton();
        return;
    }
    QFileDialog::accept();
}

void CFolderBrowserDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    scheduleUpdate();
}

void CFolderBrowserDialog::scheduleUpdate() {
    QTimer::singleShot(0, this, &CFolderBrowserDialog::updateConfirmButton);
}

void CFolderBrowserDialog::updateConfirmButton() {
    if (QPushButton* button = confirmButton())
        button->setEnabled(IsConfirmableFolder(candidateFolder()));
}

std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title,
                                       const QString& initialFolder) {
    CFolderBrowserDialog dialog(owner, title, initialFolder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}
} // namespace calculator
