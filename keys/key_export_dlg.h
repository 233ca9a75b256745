// CKeyExportDlg, the Export Key Pair dialog: binds the cipher, the base
// message, the folder and the three file names to ExportKeyPair
// (keys/key_export.h) for one key pair of a container the Key Container
// Manager has opened, and shows the outcome.
#pragma once

#include "keys/key_export.h"
#include "resources/ids.h"

#include "calculator/common/help_dialog.h"

#include <QString>

#include <string>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace keys {

// The dialog's fields. The manager keeps one set across its exports, so a
// second export starts from what the first left.
struct ExportFields {
    SessionCipher cipher = SessionCipher::Rc2;
    QString baseMessage;
    QString folder;
    QString publicFile = QString::fromLatin1(kDefaultPublicFile);
    QString privateFile = QString::fromLatin1(kDefaultPrivateFile);
    QString sessionFile = QString::fromLatin1(kDefaultSessionFile);
};

class CKeyExportDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    static constexpr int kIdExport = ids::kIdOk;
    static constexpr int kIdCancel = ids::kIdCancel;

    // provider: open on the container, owned and released by the caller;
    // container: its name, for the title; kind: the pair to export.
    CKeyExportDlg(platform::HCRYPTPROV provider, const std::string& container, KeyKind kind,
                  const ExportFields& fields, QWidget* parent = nullptr);

    // The fields as the dialog last took them from its controls (at Browse
    // Folder and Export); the ones it was given until then.
    const ExportFields& fields() const { return fields_; }

public slots:
    // Export: runs the export with the fields; closes only on success.
    void accept() override;

private:
    void TakeFields();
    void UpdateExportButton();
    void BrowseFolder();

    platform::HCRYPTPROV provider_;
    KeyKind kind_;
    ExportFields fields_;

    QRadioButton* rc2_ = nullptr;
    QRadioButton* rc4_ = nullptr;
    QLineEdit* baseMessage_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLineEdit* publicFile_ = nullptr;
    QLineEdit* privateFile_ = nullptr;
    QLineEdit* sessionFile_ = nullptr;
    QPushButton* export_ = nullptr;
};

} // namespace keys
