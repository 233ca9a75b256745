// The folder browser: a directory chooser whose confirm button is enabled
// only for a folder that can take files for good, that is a writable folder
// on a local, fixed file system.
#pragma once

#include <QFileDialog>
#include <QString>

#include <optional>

class QPushButton;

namespace calculator {

// True when path is an existing folder the user may confirm: writable (and,
// since root passes every access check, carrying at least one write bit, the
// counterpart of a read-only attribute), on a mounted file system that is
// ready and not read-only, neither a network nor a kernel pseudo file system,
// and not on a removable disk.
bool IsConfirmableFolder(const QString& path);

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

// The folder browser: the chosen folder, or nothing when cancelled. OK is
// enabled only for a writable folder on a local, fixed file system.
std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title,
                                       const QString& initialFolder);

} // namespace calculator
