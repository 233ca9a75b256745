#include "tools/statistics_dialog.h"

#include "platform/qt/control_id.h"
#include "resources/ids.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tools {

CStatisticsDialog::CStatisticsDialog(const RandomicityCounts& c, QWidget* parent)
    : CHelpDialog(parent) {
    setWindowTitle(QStringLiteral("Statistical Results"));
    SetHelpTopic(QStringLiteral("Dlg_RandomTest.htm"));
    SetHelpIds({{ids::kIdOk, ids::kHelpOk}, {ids::kIdHelp, ids::kHelpHelpButton}});

    struct Line {
        const char* label;
        int id;
        int32_t value;
        int percentId;
        double percent;
    };
    const Line lines[] = {
        {"Number of bytes:", ids::kIdStatBytes, c.bytes, 0, 0},
        {"Number of bits:", ids::kIdStatBits, c.bits, 0, 0},
        {"Number of bit 1:", ids::kIdStatOnes, c.ones, ids::kIdStatOnesPercent, c.onesPercent},
        {"Number of bit 0:", ids::kIdStatZeros, c.zeros, ids::kIdStatZerosPercent, c.zerosPercent},
        {"Longest run of bit 1:", ids::kIdStatRunOnes, c.longestOnes, 0, 0},
        {"Longest run of bit 0:", ids::kIdStatRunZeros, c.longestZeros, 0, 0},
        {"Longest run of bits 10:", ids::kIdStat10, c.ones10, 0, 0},
        {"Longest run of bits 01:", ids::kIdStat01, c.zeros01, 0, 0},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const Line& line : lines) {
        auto* label = new QLabel(QString::fromLatin1(line.label), this);
        auto* value = new QLabel(this);
        platform::SetControlId(value, line.id);
        value->setAccessibleName(label->text());
        // With no bytes the values keep their resource formats.
        value->setText(c.bytes > 0 ? QString::number(line.value) : QStringLiteral("%i"));
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1, Qt::AlignRight);
        if (line.percentId != 0) {
            auto* percent = new QLabel(this);
            platform::SetControlId(percent, line.percentId);
            percent->setText(c.bytes > 0 ? QString::fromStdString(PercentText(line.percent))
                                         : QStringLiteral("(%4.2f %%)"));
            grid->addWidget(percent, row, 2, Qt::AlignRight);
        }
        ++row;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    platform::SetControlId(ok, ids::kIdOk);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(CreateHelpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    WatchHelpRequests();
}

} // namespace tools
