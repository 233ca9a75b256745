// CRandomPrimeDialog, "Generate Random Prime": bit length and test rounds
// in, a random probable prime as a hex byte list out (generators.h), with
// the "Prime" settings ("TestTimes" is shared with the primality tests).
#pragma once

#include "calculator/common/help_dialog.h"

#include <string>

class QLineEdit;

namespace tools {

class CRandomPrimeDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    static constexpr int kMinBits = 8;
    static constexpr int kMaxBits = 65536;

    explicit CRandomPrimeDialog(QWidget* parent = nullptr);
    // The prime after OK, "%02x " per byte.
    const std::string& result() const { return result_; }

public slots:
    // Generate: the field checks, the settings, then the search; ends with
    // OK when a prime was found.
    void accept() override;

private:
    QLineEdit* bits_ = nullptr;
    QLineEdit* tests_ = nullptr;
    std::string result_;
};

} // namespace tools
