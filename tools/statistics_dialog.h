// CStatisticsDialog, "Statistical Results": the randomicity counts of an
// operand (randomicity.h), one line each.
#pragma once

#include "calculator/common/help_dialog.h"
#include "tools/randomicity.h"

namespace tools {

class CStatisticsDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    explicit CStatisticsDialog(const RandomicityCounts& counts, QWidget* parent = nullptr);
};

} // namespace tools
