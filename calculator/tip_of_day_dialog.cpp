#include "calculator/tip_of_day_dialog.h"

#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/string_text.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace calculator {

namespace {

constexpr char kSection[] = "View";
constexpr char kValueTipOfDay[] = "TipOfDay";

// The heading stands out from the dialog font by this many points.
constexpr int kHeadingGrowth = 6;

std::vector<int> MakeTipIds() {
    std::vector<int> tips{ids::kStrFirstTip};
    for (int id = ids::kStrTipsFrom; id <= ids::kStrTipsTo; ++id)
        tips.push_back(id);
    return tips;
}

} // namespace

const std::vector<int>& CTipOfDayDialog::TipIds() {
    static const std::vector<int> ids = MakeTipIds();
    return ids;
}

CTipOfDayDialog::CTipOfDayDialog(QWidget* parent, std::function<int()> random)
    : QDialog(parent), chooser_(static_cast<int>(TipIds().size()), std::move(random)) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The tip sits on a sunken panel in the text background colour.
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setBackgroundRole(QPalette::Base);
    panel->setAutoFillBackground(true);

    heading_ = new QLabel(QStringLiteral("Did you know..."), panel);
    platform::SetControlId(heading_, kIdHeading);
    QFont headingFont = font();
    if (headingFont.pointSizeF() > 0)
        headingFont.setPointSizeF(headingFont.pointSizeF() + kHeadingGrowth);
    else
        headingFont.setPixelSize(headingFont.pixelSize() + kHeadingGrowth);
    headingFont.setWeight(QFont::Bold);
    heading_->setFont(headingFont);

    auto* rule = new QFrame(panel);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    // A fixed area, large enough for the longest tip, so the dialog does not
    // jump in size from one tip to the next.
    tipText_ = new QLabel(panel);
    platform::SetControlId(tipText_, kIdTipText);
    tipText_->setWordWrap(true);
    tipText_->setTextFormat(Qt::PlainText);
    tipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QFontMetrics metrics(tipText_->font());
    tipText_->setFixedSize(metrics.averageCharWidth() * 56, metrics.lineSpacing() * 7);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(heading_);
    panelLayout->addWidget(rule);
    panelLayout->addWidget(tipText_);

    showAtStartup_ = new QCheckBox(QStringLiteral("Show tips at startup"), this);
    platform::SetControlId(showAtStartup_, kIdShowAtStartup);
    showAtStartup_->setChecked(GetProfileInt(kSection, kValueTipOfDay, 1) != 0);

    nextButton_ = new QPushButton(QStringLiteral("&Next Tip"), this);
    platform::SetControlId(nextButton_, kIdNextTip);
    nextButton_->setDefault(true);
    closeButton_ = new QPushButton(QStringLiteral("&Close"), this);
    platform::SetControlId(closeButton_, kIdClose);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(showAtStartup_);
    buttons->addStretch(1);
    buttons->addWidget(nextButton_);
    buttons->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(nextButton_, &QPushButton::clicked, this, &CTipOfDayDialog::showNextTip);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

    showNextTip();
    nextButton_->setFocus();
}

void CTipOfDayDialog::showNextTip() {
    const int index = chooser_.Next();
    if (index < 0)
        return;
    currentTipId_ = TipIds()[static_cast<size_t>(index)];
    tipText_->setText(platform::StringText(currentTipId_));
}

void CTipOfDayDialog::done(int result) {
    WriteProfileInt(kSection, kValueTipOfDay, showAtStartup_->isChecked() ? 1 : 0);
    QDialog::done(result);
}

} // namespace calculator
