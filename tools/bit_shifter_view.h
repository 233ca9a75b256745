// CBitShifterView: the "Shift Register" picture of the Bit Shifter. It owns
// and places the register's controls (displays, bit buttons, tap boxes, the
// feedback indicator) and draws behind them the brackets from each display
// to its bits, the tap lines into the XOR symbol and the feedback loop back
// into bit 0, following the controls' positions at any scale.
#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tools {

class CBitShifterView : public QWidget {
    Q_OBJECT

public:
    explicit CBitShifterView(QWidget* parent = nullptr);

    QPushButton* bit(int i) const { return bits_[static_cast<size_t>(i)]; }
    QCheckBox* tap(int i) const { return taps_[static_cast<size_t>(i)]; }
    QLineEdit* byteDisplay(int i) const { return bytes_[static_cast<size_t>(i)]; }
    QLineEdit* lowWord() const { return lowWord_; }
    QLineEdit* highWord() const { return highWord_; }
    QLineEdit* registerDisplay() const { return register_; }
    QPushButton* feedback() const { return feedback_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceControls();
    // Left edge of bit i's button (bit 31 leftmost).
    int BitLeft(int i) const;
    int Unit() const;

    std::array<QPushButton*, 32> bits_{};
    std::array<QCheckBox*, 32> taps_{};
    std::array<QLineEdit*, 4> bytes_{};
    QLineEdit* lowWord_ = nullptr;
    QLineEdit* highWord_ = nullptr;
    QLineEdit* register_ = nullptr;
    QPushButton* feedback_ = nullptr;
};

} // namespace tools
