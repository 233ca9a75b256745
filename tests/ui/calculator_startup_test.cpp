// Start-up and shutdown: the Error Flag around the window's run, the check
// for a display, and the desktop calculator command.
#include "calculator_test_window.h"

#include "calculator/application.h"
#include "calculator/common/help.h"
#include "calculator/desktop_calculator.h"
#include "resources/ids.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>

using calculator::CCalculatorDlg;

namespace {

// Sets PATH for the test's duration.
class ScopedPath {
public:
    explicit ScopedPath(const QString& path) : old_(qgetenv("PATH")) {
        qputenv("PATH", path.toLocal8Bit());
    }
    ~ScopedPath() { qputenv("PATH", old_); }

private:
    QByteArray old_;
};

// An executable script name in dir that appends its name to dir/ran.
void WriteProgram(const QString& dir, const QString& name, const QByteArray& body = {}) {
    QFile f(dir + QLatin1Char('/') + name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(body.isEmpty() ? QByteArray("#!/bin/sh\necho ") + name.toLatin1() + " >> \"" +
                                 dir.toLocal8Bit() + "/ran\"\n"
                           : body);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString Ran(const QString& dir) {
    QFile f(dir + QStringLiteral("/ran"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
}

} // namespace

class CalculatorStartupTest : public QObject {
    Q_OBJECT

private slots:
    void errorFlagFramesTheRun_data();
    void errorFlagFramesTheRun();
    void displayAvailable_data();
    void displayAvailable();
    void programWithoutDisplayPointsAtCli();
    void desktopCalculatorOrder_data();
    void desktopCalculatorOrder();
    void desktopCalculatorFromMenuKeepsWindow();
    void firstStartOpensTheContextOnDefaultContainer();
};

void CalculatorStartupTest::errorFlagFramesTheRun_data() {
    QTest::addColumn<int>("flagBefore");
    QTest::addColumn<int>("smallSizeDuring");
    QTest::newRow("clean previous run keeps SmallSize") << 0 << 2;
    QTest::newRow("abnormal end resets SmallSize") << 1 << 0;
}

void CalculatorStartupTest::errorFlagFramesTheRun() {
    QFETCH(int, flagBefore);
    QFETCH(int, smallSizeDuring);
    CalculatorWindow t; // the store and the recorder only
    calculator::SetSettingsRoot("Pellacor");
    calculator::WriteProfileInt("General", "Error Flag", flagBefore);
    calculator::WriteProfileInt("View", "SmallSize", 2);
    int flagDuring = -1, smallSize = -1;
    bool sawWindow = false;
    const int code = calculator::RunApplication([&](CCalculatorDlg& w) {
        sawWindow = true;
        w.setShowTipAtStartup(false);
        flagDuring = t.Setting("General", "Error Flag");
        smallSize = t.Setting("View", "SmallSize");
        QTimer::singleShot(0, &w, &QWidget::close);
    });
    QCOMPARE(code, 0);
    QVERIFY(sawWindow);
    QCOMPARE(flagDuring, 1);
    QCOMPARE(smallSize, smallSizeDuring);
    QCOMPARE(t.Setting("General", "Error Flag"), 0);
    // The window's settings were written on the way out, under the product's key.
    QCOMPARE(t.Setting("View", "Toolbar"), 1);
    QCOMPARE(QString::fromStdString(calculator::ApplicationName()), QStringLiteral("Ordovane"));
    QCOMPARE(calculator::HelpFilePath(), QCoreApplication::applicationFilePath() + ".qhc");
}

void CalculatorStartupTest::displayAvailable_data() {
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("qpa");
    QTest::addColumn<bool>("available");
    const QByteArray unset; // null: not in the environment
    QTest::newRow("nothing") << unset << unset << unset << false;
    QTest::newRow("empty values") << QByteArray("") << QByteArray("") << QByteArray("") << false;
    QTest::newRow("X11") << QByteArray(":0") << unset << unset << true;
    QTest::newRow("Wayland") << unset << QByteArray("wayland-0") << unset << true;
    QTest::newRow("offscreen") << unset << unset << QByteArray("offscreen") << true;
}

void CalculatorStartupTest::displayAvailable() {
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, qpa);
    QFETCH(bool, available);
    auto arg = [](const QByteArray& v) { return v.isNull() ? nullptr : v.constData(); };
    QCOMPARE(calculator::DisplayAvailable(arg(display), arg(wayland), arg(qpa)), available);
}

void CalculatorStartupTest::programWithoutDisplayPointsAtCli() {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/ordovane");
    if (!QFileInfo(program).isExecutable())
        QSKIP("the ordovane program is not built in this tree");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(program, {});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
             QStringLiteral("ordovane: no display available. Use ordovane-cli for the "
                            "command-line companion (ordovane-cli --help).\n"));
}

void CalculatorStartupTest::desktopCalculatorOrder_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("ran");      // empty: nothing ran
    QTest::addColumn<QString>("sequence"); // window calls
    QTest::newRow("none") << QStringList{} << ""
                          << "";
    QTest::newRow("first found wins") << QStringList{"xcalc", "kcalc", "galculator"} << "kcalc"
                                      << "hide show";
    QTest::newRow("the last resort") << QStringList{"xcalc"} << "xcalc"
                                     << "hide show";
    QTest::newRow("gnome first") << QStringList{"qalculate-gtk", "gnome-calculator"}
                                 << "gnome-calculator"
                                 << "hide show";
    // Found but not startable: nothing happens, not even a hide.
    QTest::newRow("start fails") << QStringList{"!kcalc"} << ""
                                 << "";
}

void CalculatorStartupTest::desktopCalculatorOrder() {
    QFETCH(QStringList, installed);
    QFETCH(QString, ran);
    QFETCH(QString, sequence);
    QTemporaryDir dir;
    for (const QString& name : installed) {
        if (name.startsWith(QLatin1Char('!')))
            WriteProgram(dir.path(), name.mid(1), "#!/nonexistent/interpreter\n");
        else
            WriteProgram(dir.path(), name);
    }
    ScopedPath path(dir.path());
    QStringList calls;
    const bool result = calculator::RunDesktopCalculator(
        [&] { calls << "hide"; },
        [&] {
            // The program has ended by now.
            calls << (Ran(dir.path()) == ran ? "show" : "show-early");
        });
    QCOMPARE(result, !ran.isEmpty());
    QCOMPARE(Ran(dir.path()), ran);
    QCOMPARE(calls.join(' '), sequence);
}

void CalculatorStartupTest::desktopCalculatorFromMenuKeepsWindow() {
    QTemporaryDir dir;
    WriteProgram(dir.path(), "galculator",
                 "#!/bin/sh\n/bin/sleep 0.2\necho galculator >> \"" + dir.path().toLocal8Bit() +
                     "/ran\"\n");
    ScopedPath path(dir.path());
    CalculatorWindow t;
    t.window = std::make_unique<CCalculatorDlg>();
    CCalculatorDlg& w = *t.window;
    w.setShowTipAtStartup(false);
    bool visibleAfter = false;
    QTimer::singleShot(0, &w, [&] {
        w.commandAction(32808)->trigger(); // blocks until the program ends
        // Fires only while the window's loop still runs.
        QTimer::singleShot(20, &w, [&] {
            visibleAfter = w.isVisible();
            w.close();
        });
    });
    w.exec();
    QCOMPARE(Ran(dir.path()), QStringLiteral("galculator"));
    QVERIFY(visibleAfter);
}

void CalculatorStartupTest::firstStartOpensTheContextOnDefaultContainer() {
    CalculatorWindow t;
    calculator::InitializeApplication();
    const calculator::ToolServices services = calculator::ApplicationToolServices();
    // A stand-in for the hash calculator, registered with its condition.
    calculator::RegisterCommand(
        CCalculatorDlg::kCmdHash, [](const calculator::CommandContext&) {},
        [services] { return services.cryptoContext() != 0; });
    QCOMPARE(t.Setting("General", "Already Run"), 1);
    QCOMPARE(QString::fromStdString(calculator::GetProfileString("Container Info", "Current", "")),
             QStringLiteral("Default Container"));

    CCalculatorDlg& w = t.Open();
    QVERIFY(w.cryptoContext() != 0);
    QCOMPARE(services.cryptoContext(), w.cryptoContext());
    QVERIFY(w.commandAction(CCalculatorDlg::kCmdHash)->isEnabled());
    QVERIFY(calculator::IsCommandAvailable(CCalculatorDlg::kCmdHash)); // the edit box menu

    // In the manager: delete the current container, then Finish. The window
    // reopens the context on the name left as "Current", which is gone.
    bool sawManager = false;
    auto* poll = new QTimer(&w);
    connect(poll, &QTimer::timeout, &w, [&, poll] {
        QWidget* manager = QApplication::activeModalWidget();
        if (!manager || manager == &w)
            return;
        poll->stop();
        sawManager = manager->windowTitle() == QStringLiteral("Key Container Manager");
        // Delete, answered Yes, then Finish.
        platform::FindControl<QPushButton>(manager, ids::kIdDeleteContainer)->click();
        platform::FindControl<QPushButton>(manager, ids::kIdOk)->click();
    });
    poll->start(10);
    t.Trigger(CCalculatorDlg::kCmdKeyContainers);
    QVERIFY(sawManager);
    QCOMPARE(w.cryptoContext(), 0u);
    QVERIFY(!w.commandAction(CCalculatorDlg::kCmdHash)->isEnabled());
    QVERIFY(!calculator::IsCommandAvailable(CCalculatorDlg::kCmdHash));

    t.Close();
    QCOMPARE(services.cryptoContext(), 0u);
    calculator::ClearCommandRegistry();
}

QTEST_MAIN(CalculatorStartupTest)
#include "calculator_startup_test.moc"
