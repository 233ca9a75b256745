// The About box: the product banner, the product name and version, and OK.
#pragma once

#include "resources/ids.h"

#include <QDialog>

namespace calculator {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog.
    static constexpr int kIdOk = ids::kIdOk;
    static constexpr int kIdBanner = ids::kIdAboutBanner;
    static constexpr int kIdProductName = ids::kIdAboutProductName;
    static constexpr int kIdVersion = ids::kIdAboutVersion;

    explicit CAboutDialog(QWidget* parent = nullptr);
};

} // namespace calculator
