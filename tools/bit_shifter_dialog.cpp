#include "tools/bit_shifter_dialog.h"

#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "tools/bit_shifter_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tools {

CBitShifterDialog::CBitShifterDialog(bool upperCase, QWidget* parent)
    : CHelpDialog(parent), upperCase_(upperCase) {
    setWindowTitle(QStringLiteral("Bit Shifter"));
    SetHelpTopic(QStringLiteral("Dlg_BitShifter.htm"));
    QMap<int, int> help = {{ids::kIdShiftPicture, ids::kHelpShiftPicture},
                           {ids::kIdHistory, ids::kHelpHistory},
                           {ids::kIdLoad, ids::kHelpLoad},
                           {ids::kIdLoadValue, ids::kHelpLoadValue},
                           {ids::kIdClearHistory, ids::kHelpClearHistory},
                           {ids::kIdClearShifter, ids::kHelpClearShifter},
                           {ids::kIdShiftLeft, ids::kHelpShiftLeft},
                           {ids::kIdShiftRight, ids::kHelpShiftRight},
                           {ids::kIdRegister, ids::kHelpRegister},
                           {ids::kIdLowWord, ids::kHelpWords},
                           {ids::kIdHighWord, ids::kHelpWords},
                           {ids::kIdFeedbackBit, ids::kHelpFeedbackBit},
                           {ids::kIdFinish, ids::kHelpOk},
                           {ids::kIdHelp, ids::kHelpHelpButton}};
    for (int i = 0; i < 4; ++i) {
        help[ids::kIdRotate + i] = ids::kHelpRotate + i;
        help[ids::kIdByte0 + i] = ids::kHelpBytes;
    }
    for (int i = 0; i < 32; ++i) {
        help[ids::kIdBit0 + i] = ids::kHelpBitButtons;
        help[ids::kIdTap0 + i] = ids::kHelpTaps;
    }
    SetHelpIds(help);

    auto* registerGroup = new QGroupBox(QStringLiteral("Shift Register"), this);
    view_ = new CBitShifterView(registerGroup);
    auto* registerLayout = new QVBoxLayout(registerGroup);
    registerLayout->addWidget(view_);

    auto* typeGroup = new QGroupBox(QStringLiteral("Shift Type"), this);
    auto* typeLayout = new QVBoxLayout(typeGroup);
    const char* typeNames[4] = {"Rotate", "Arithmetic Shift", "Logical Shift", "Feedback"};
    auto* typeButtons = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        types_[i] = new QRadioButton(QString::fromLatin1(typeNames[i]), typeGroup);
        platform::SetControlId(types_[i], ids::kIdRotate + i);
        typeButtons->addButton(types_[i], i);
        typeLayout->addWidget(types_[i]);
    }
    types_[0]->setChecked(true);

    auto* historyGroup = new QGroupBox(QStringLiteral("History"), this);
    history_ = new QPlainTextEdit(historyGroup);
    history_->setReadOnly(true);
    history_->setAccessibleName(QStringLiteral("History"));
    platform::SetControlId(history_, ids::kIdHistory);
    auto* historyLayout = new QVBoxLayout(historyGroup);
    historyLayout->addWidget(history_);

    auto* loadGroup = new QGroupBox(QStringLiteral("Load Shifter"), this);
    loadValue_ = new QLineEdit(loadGroup);
    loadValue_->setAccessibleName(QStringLiteral("Load Value"));
    platform::SetControlId(loadValue_, ids::kIdLoadValue);
    auto* load = new QPushButton(QStringLiteral("Load"), loadGroup);
    load->setAutoDefault(false);
    platform::SetControlId(load, ids::kIdLoad);
    auto* loadLayout = new QHBoxLayout(loadGroup);
    loadLayout->addWidget(loadValue_, 1);
    loadLayout->addWidget(load);

    auto button = [this](const char* caption, int id) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        platform::SetControlId(b, id);
        return b;
    };
    QPushButton* clearHistory = button("Clear History", ids::kIdClearHistory);
    QPushButton* clearShifter = button("Clear Shifter", ids::kIdClearShifter);
    QPushButton* shiftLeft = button("Shift Left", ids::kIdShiftLeft);
    shiftRight_ = button("Shift Right", ids::kIdShiftRight);
    QPushButton* finish = button("Finish", ids::kIdFinish);
    QPushButton* helpButton = CreateHelpButton();

    auto* commands = new QVBoxLayout;
    for (QPushButton* b : {shiftLeft, shiftRight_, clearShifter, clearHistory, finish, helpButton})
        commands->addWidget(b);
    commands->addStretch(1);
    auto* lower = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(typeGroup);
    left->addWidget(loadGroup);
    lower->addLayout(left);
    lower->addWidget(historyGroup, 1);
    lower->addLayout(commands);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(registerGroup);
    layout->addLayout(lower, 1);

    for (int i = 0; i < 32; ++i) {
        connect(view_->bit(i), &QPushButton::clicked, this, [this, i] { ToggleBit(i); });
        connect(view_->tap(i), &QCheckBox::toggled, this, &CBitShifterDialog::TapChanged);
    }
    connect(typeButtons, &QButtonGroup::idClicked, this, &CBitShifterDialog::TypeChanged);
    connect(load, &QPushButton::clicked, this, &CBitShifterDialog::Load);
    connect(shiftLeft, &QPushButton::clicked, this, &CBitShifterDialog::ShiftLeftClicked);
    connect(shiftRight_, &QPushButton::clicked, this, &CBitShifterDialog::ShiftRightClicked);
    connect(clearShifter, &QPushButton::clicked, this, &CBitShifterDialog::ClearShifter);
    connect(clearHistory, &QPushButton::clicked, this, &CBitShifterDialog::ClearHistory);
    connect(finish, &QPushButton::clicked, this, &CBitShifterDialog::accept);

    WatchHelpRequests();
    Refresh();
    loadValue_->setText(QStringLiteral("0"));
    loadValue_->setFocus();
}

uint32_t CBitShifterDialog::Taps() const {
    uint32_t taps = 0;
    for (int i = 0; i < 32; ++i)
        if (view_->tap(i)->isChecked())
            taps |= 1u << i;
    return taps;
}

void CBitShifterDialog::ShowFeedback() {
    if (type_ == ShiftType::Feedback)
        view_->feedback()->setText(QString::number(FeedbackBit(register_, Taps())));
}

void CBitShifterDialog::ToggleBit(int i) {
    register_ ^= 1u << i;
    if (view_->tap(i)->isChecked())
        ShowFeedback();
    Refresh();
}

void CBitShifterDialog::TapChanged() {
    ShowFeedback();
}

void CBitShifterDialog::TypeChanged() {
    ShiftType chosen = type_;
    for (int i = 0; i < 4; ++i)
        if (types_[i]->isChecked())
            chosen = static_cast<ShiftType>(i);
    if (chosen == type_)
        return;
    const bool intoFeedback = chosen == ShiftType::Feedback;
    const bool outOfFeedback = type_ == ShiftType::Feedback;
    type_ = chosen;
    if (intoFeedback || outOfFeedback) {
        for (int i = 0; i < 32; ++i)
            view_->tap(i)->setEnabled(intoFeedback);
        shiftRight_->setEnabled(!intoFeedback);
        if (intoFeedback)
            ShowFeedback();
        else
            view_->feedback()->setText(QString());
    }
}

void CBitShifterDialog::Load() {
    register_ = ParseLoadValue(loadValue_->text().toStdString());
    ShowFeedback();
    Refresh();
}

void CBitShifterDialog::ShiftLeftClicked() {
    // The feedback bit fed in is the one shown before the shift.
    const int fed = view_->feedback()->text() == QLatin1String("1") ? 1 : 0;
    register_ = ShiftLeft(register_, type_, fed);
    ShowFeedback();
    Refresh();
}

void CBitShifterDialog::ShiftRightClicked() {
    if (type_ == ShiftType::Feedback)
        return;
    register_ = ShiftRight(register_, type_);
    Refresh();
}

void CBitShifterDialog::ClearShifter() {
    register_ = 0;
    // Emptied in Feedback mode too, until the next recomputation.
    view_->feedback()->setText(QString());
    Refresh();
}

void CBitShifterDialog::ClearHistory() {
    history_->clear();
}

void CBitShifterDialog::Refresh() {
    for (int i = 0; i < 32; ++i) {
        const QString bit = (register_ >> i) & 1 ? QStringLiteral("1") : QStringLiteral("0");
        view_->bit(i)->setText(bit);
        view_->bit(i)->setAccessibleDescription(bit);
    }
    for (int i = 0; i < 4; ++i)
        view_->byteDisplay(i)->setText(QString::fromStdString(ByteText(register_, i, upperCase_)));
    view_->lowWord()->setText(QString::fromStdString(WordText(register_, false, upperCase_)));
    view_->highWord()->setText(QString::fromStdString(WordText(register_, true, upperCase_)));
    const QString whole = QString::fromStdString(RegisterText(register_, upperCase_));
    view_->registerDisplay()->setText(whole);
    // One line per value, ended by CR LF as the history control keeps it.
    history_->moveCursor(QTextCursor::End);
    history_->insertPlainText(whole + QLatin1Char('\n'));
    history_->verticalScrollBar()->setValue(history_->verticalScrollBar()->maximum());
}

} // namespace tools
