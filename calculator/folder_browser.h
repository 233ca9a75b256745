// The folder browser: a directory chooser whose confirm button is enabled
// only for a folder that can take files for good, that is a writable folder
// on a local, fixed file system.
#pragma once

#include <QFileDialog>
#include <QString>

class QPushButton;

namespace calculator {

// True when path is an existing folder the user may confirm: writable (and,
// since root passes every access check, carrying at least one write bit, the
// counterpart of a read-only attribute), on a mounted file system that is
// ready and not read-only, neither a network nor a kernel pseudo file system,
// and not on a removable disk.
bool IsConfirmableFolder(const QString& path);

// File system types (as the mount table names them) of shares reached over a
// network: "nfs", "cifs", "fuse.sshfs", ...
bool IsNetworkFileSystemType(const QString& type);
// Kernel and virtual file systems that hold no user files: "proc", "sysfs", ...
bool IsPseudoFileSystemType(const QString& type);
// True when device (a device node path such as "/dev/sdb1", symbolic links
// followed) is, or is a partition of, a disk whose <sysRoot>/class/block
// entry reports removable media. Names that are no path ("overlay",
// "tmpfs") are not removable.
bool IsRemovableBlockDevice(const QString& device, const QString& sysRoot = QStringLiteral("/sys"));

// The dialog BrowseForFolder runs: non-native, folders only, confirm button
// kept in step with IsConfirmableFolder of the folder that would be chosen.
class CFolderBrowserDialog : public QFileDialog {
    Q_OBJECT

public:
    CFolderBrowserDialog(QWidget* owner, const QString& title, const QString& initialFolder);

    // The folder that the confirm button would return now.
    QString candidateFolder() const;
    // The dialog's Choose/Open button, or nullptr.
    QPushButton* confirmButton() const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scheduleUpdate();
    void updateConfirmButton();
};

} // namespace calculator
