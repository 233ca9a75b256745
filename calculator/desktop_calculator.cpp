#include "calculator/desktop_calculator.h"

#include <QProcess>
#include <QStandardPaths>

namespace calculator {

const QStringList& DesktopCalculatorCandidates() {
    static const QStringList names = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                      QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"),
                                      QStringLiteral("xcalc")};
    return names;
}

QString FindDesktopCalculator() {
    for (const QString& name : DesktopCalculatorCandidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool RunDesktopCalculator(const std::function<void()>& hideWindow,
                          const std::function<void()>& showWindow) {
    const QString program = FindDesktopCalculator();
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted())
        return false;
    if (hideWindow)
        hideWindow();
    // The calculator window does not respond while the other program runs.
    process.waitForFinished(-1);
    if (showWindow)
        showWindow();
    return true;
}

} // namespace calculator
