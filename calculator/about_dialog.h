// The About box: the product banner, the product name and version, and OK.
#pragma once

#include <QDialog>

namespace calculator {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of the dialog.
    static constexpr int kIdOk = 1;
    static constexpr int kIdBanner = 1000;
    static constexpr int kIdProductName = 1001;
    static constexpr int kIdVersion = 1002;

    explicit CAboutDialog(QWidget* parent = nullptr);
};

} // namespace calculator
