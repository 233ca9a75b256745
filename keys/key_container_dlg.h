// CKeyContainerDlg, the Key Container Manager: the container name with the
// list of known containers, Create and Delete, the two key pair exports and
// Finish, which rewrites the "Container Info" settings. A thin binding of
// keys/key_containers.h; it runs CKeyExportDlg for the exports.
#pragma once

#include "keys/key_export_dlg.h"
#include "keys/profile_settings.h"
#include "resources/ids.h"

#include "calculator/common/help_dialog.h"

#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace keys {

class CKeyContainerDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    static constexpr int kIdFinish = ids::kIdOk;

    // Reads "Container Info" from settings, which must outlive the dialog;
    // Finish writes it back there.
    explicit CKeyContainerDlg(ProfileSettings& settings, QWidget* parent = nullptr);

    // The container name as last read from the combo box: the one the two
    // Export buttons open.
    const std::string& containerName() const { return name_; }
    // The names in the drop-down list, top first.
    std::vector<std::string> listedNames() const;

public slots:
    // Finish: writes the list and the current name, then closes.
    void accept() override;

private:
    // Reads the combo box's text into the container name.
    void ReadName();
    void UpdateButtons();
    void Create();
    void Delete();
    void Export(KeyKind kind);
    // Changes the list without changing the text being edited.
    void InsertName(int index, const std::string& name);
    void RemoveName(int index);

    ProfileSettings& settings_;
    std::string name_;
    // The export dialog's fields, kept from one export to the next.
    ExportFields exportFields_;

    QComboBox* names_ = nullptr;
    QPushButton* create_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* exportExchange_ = nullptr;
    QPushButton* exportSignature_ = nullptr;
};

} // namespace keys
