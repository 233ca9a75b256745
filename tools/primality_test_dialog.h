// CPrimalityTestDialog: asks for the number of test rounds before a primality
// test or a prime search, warns that the work can take long, and remembers
// the count in the settings ("Prime" "TestTimes").
#pragma once

#include "resources/ids.h"

#include "calculator/common/help_dialog.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tools {

class CPrimalityTestDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    static constexpr int kMinTestCount = 1;
    static constexpr int kMaxTestCount = 128;
    static constexpr int kDefaultTestCount = 8;

    // Control ids of the dialog.
    static constexpr int kIdOk = ids::kIdOk;
    static constexpr int kIdCancel = ids::kIdCancel;
    static constexpr int kIdTestTimes = ids::kIdTestTimes;
    static constexpr int kIdNote = ids::kIdTestNote;

    explicit CPrimalityTestDialog(QWidget* parent = nullptr);

    // The stored round count: "Prime" "TestTimes", or 8 when it is missing
    // or outside 1..128.
    static int StoredTestCount();
    // The popup help id of a control id (0: the control has none).
    static int HelpIdFor(int controlId);
    int HelpId(int controlId) const override { return HelpIdFor(controlId); }

    // An empty text keeps the default title or note.
    void setTitle(const QString& title);
    void setNote(const QString& note);
    int testCount() const { return testCount_; }

public slots:
    // Accepts only a field holding an integer 1..128, which is then stored.
    void accept() override;

private:
    QLineEdit* testTimes_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int testCount_ = kDefaultTestCount;
};

} // namespace tools
