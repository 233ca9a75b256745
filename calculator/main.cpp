// ordovane: the calculator program. It takes no arguments.
#include "calculator/application.h"
#include "calculator/toolbar_images.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // Without a display Qt would abort with its own message; point at the
    // command-line companion instead.
    if (!calculator::DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                      std::getenv("QT_QPA_PLATFORM"))) {
        std::fputs(calculator::kNoDisplayMessage, stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ordovane"));
    QApplication::setWindowIcon(calculator::ApplicationIcon());
    return calculator::RunApplication();
}
