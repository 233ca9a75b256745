// The "Windows Calculator" command: finds a desktop calculator on PATH, runs
// it as a separate process and waits, blocking, until it ends.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace calculator {

// The programs tried, in order.
const QStringList& DesktopCalculatorCandidates();

// The full path of the first candidate found on PATH, or empty.
QString FindDesktopCalculator();

// Starts the first candidate found. When none is found or it cannot be
// started nothing happens and the result is false. Otherwise hideWindow runs,
// the call blocks until the process ends, showWindow runs and the result is
// true.
//
// Making the other program's windows topmost (as the calculator window may
// be) is skipped: no portable Qt call reaches another process's windows.
bool RunDesktopCalculator(const std::function<void()>& hideWindow,
                          const std::function<void()>& showWindow);

} // namespace calculator
