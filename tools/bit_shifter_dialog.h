// CBitShifterDialog: the Bit Shifter, a 32-bit shift register the user sets
// bit by bit or loads, shifts or rotates, or runs as a linear feedback shift
// register over chosen taps; every new value is shown in binary, bytes,
// words and whole, and added to the history. The register logic is
// bit_shifter.h; the picture with the register's controls is
// CBitShifterView.
#pragma once

#include "calculator/common/help_dialog.h"
#include "tools/bit_shifter.h"

#include <cstdint>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tools {

class CBitShifterView;

class CBitShifterDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    explicit CBitShifterDialog(bool upperCase, QWidget* parent = nullptr);

    uint32_t value() const { return register_; }
    ShiftType shiftType() const { return type_; }

private:
    void ToggleBit(int i);
    void TapChanged();
    void TypeChanged();
    void Load();
    void ShiftLeftClicked();
    void ShiftRightClicked();
    void ClearShifter();
    void ClearHistory();
    // The taps as a bit mask (bit i: tap box i checked).
    uint32_t Taps() const;
    // Shows the recomputed feedback bit (Feedback mode only).
    void ShowFeedback();
    // Captions, displays and one history line for the register.
    void Refresh();

    bool upperCase_;
    uint32_t register_ = 0;
    ShiftType type_ = ShiftType::Rotate;
    CBitShifterView* view_ = nullptr;
    QRadioButton* types_[4] = {};
    QPlainTextEdit* history_ = nullptr;
    QLineEdit* loadValue_ = nullptr;
    QPushButton* shiftRight_ = nullptr;
};

} // namespace tools
