// The Tip of the Day: one tip of the string table at a time, in random order
// without repetition, with a check box that decides whether the calculator
// shows it at start-up ("View" "TipOfDay").
#pragma once

#include "resources/ids.h"

#include "calculator/tip_choice.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;

namespace calculator {

class CTipOfDayDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog.
    static constexpr int kIdNextTip = ids::kIdNextTip;
    static constexpr int kIdClose = ids::kIdTipClose;
    static constexpr int kIdShowAtStartup = ids::kIdShowAtStartup;
    static constexpr int kIdTipText = ids::kIdTipText;
    static constexpr int kIdHeading = ids::kIdTipHeading;

    // random: rand()-like values for the choice of tips; empty means
    // std::rand. The first tip is chosen here.
    explicit CTipOfDayDialog(QWidget* parent = nullptr, std::function<int()> random = {});

    // The string ids of the tips, ascending: 5501, 5506 ... 5569.
    static const std::vector<int>& TipIds();

    // The string id of the tip on show.
    int currentTipId() const { return currentTipId_; }

    // Closing by "&Close", Esc or the window frame stores the check box.
    void done(int result) override;

private slots:
    void showNextTip();

private:
    TipChooser chooser_;
    int currentTipId_ = 0;
    QLabel* heading_ = nullptr;
    QLabel* tipText_ = nullptr;
    QCheckBox* showAtStartup_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace calculator
