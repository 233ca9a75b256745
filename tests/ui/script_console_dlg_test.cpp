// The Scripting Host Console over the real Zuriruv server and JScript engine
// in a private registry: a sample script runs to its output, a syntax error
// shows its line, an endless loop is terminated (Exit refused meanwhile), the
// engine lookup and the settings, file loading with its messages, and the
// caret display.
#include "calculator/common/caret_edit/caret_edit.h"
#include "calculator/common/settings_store.h"
#include "platform/com/server.h"
#include "platform/qt/control_id.h"
#include "resources/ids.h"
#include "scripting/script_console_dlg.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>

#include <fstream>
#include <vector>

using scripting::CScriptConsoleDlg;

namespace {

// Answers Browse's file dialog with a prepared choice.
class TestConsole : public CScriptConsoleDlg {
public:
    using CScriptConsoleDlg::CScriptConsoleDlg;
    std::optional<std::pair<QString, int>> choice;
    QString askedStart;
    int askedFilter = 0;

protected:
    std::optional<std::pair<QString, int>> ChooseScriptFile(const QString& start,
                                                            int filter) override {
        askedStart = start;
        askedFilter = filter;
        return choice;
    }
};

template <class T = QWidget> T* Control(const QWidget& d, int id) {
    return platform::FindControl<T>(&d, id);
}

// The console's text as the messages left it (the pane shows it with its
// line breaks).
QString ConsoleText(const CScriptConsoleDlg& d) {
    const QString text = QString::fromStdString(d.state().console());
    QString shown = text;
    shown.replace("\r\n", "\n");
    if (Control<QPlainTextEdit>(d, ids::kIdScriptConsole)->toPlainText() != shown)
        return QStringLiteral("<pane differs>");
    return text;
}

} // namespace

class ScriptConsoleDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void everyControlHasAName();
    void noEngineDisablesEverythingAndStoresMinusOne();
    void storedVBScriptFallsBackToJScript();
    void sampleScriptRunsToItsOutput();
    void syntaxErrorShowsItsLine();
    void endlessLoopIsTerminatedAndExitWaits();
    void emptyScriptDoesNothing();
    void loadingFilesAndTheirMessages();
    void caretDisplay();

private:
    void RegisterModules();
    void Type(CScriptConsoleDlg& d, const QString& script);
    bool WaitIdle(CScriptConsoleDlg& d, int ms);

    std::vector<void*> modules_;
    std::optional<ScopedTempRegistry> registry_;
};

void ScriptConsoleDlgTest::initTestCase() {
    for (const char* path : {TALLOMIR_PATH, JSCRIPT_PATH}) {
        void* m = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(m, dlerror());
        modules_.push_back(m);
    }
}

void ScriptConsoleDlgTest::cleanupTestCase() {
    for (void* m : modules_)
        dlclose(m);
}

void ScriptConsoleDlgTest::init() {
    registry_.emplace();
}

void ScriptConsoleDlgTest::cleanup() {
    registry_.reset();
}

void ScriptConsoleDlgTest::RegisterModules() {
    for (void* m : modules_) {
        auto reg =
            reinterpret_cast<platform::com::DllRegisterServerFn>(dlsym(m, "DllRegisterServer"));
        QVERIFY(reg);
        QCOMPARE(reg(), platform::com::S_OK);
    }
}

void ScriptConsoleDlgTest::Type(CScriptConsoleDlg& d, const QString& script) {
    Control<QPlainTextEdit>(d, ids::kIdScriptText)->setPlainText(script);
}

bool ScriptConsoleDlgTest::WaitIdle(CScriptConsoleDlg& d, int ms) {
    // The run first enters (Terminate enabled), then leaves.
    if (!QTest::qWaitFor([&] { return !d.state().canExit() || !ConsoleText(d).isEmpty(); }, ms))
        return false;
    return QTest::qWaitFor([&] { return d.state().canExit() && !d.state().status().empty(); }, ms);
}

void ScriptConsoleDlgTest::everyControlHasAName() {
    CScriptConsoleDlg d(0);
    QCOMPARE(UnnamedControls(&d), QStringList());
    QCOMPARE(d.HelpId(ids::kIdScriptText), 2072);
    QCOMPARE(d.HelpId(ids::kIdOk), 2077);
    QCOMPARE(d.HelpId(ids::kIdHelp), 1003);
}

void ScriptConsoleDlgTest::noEngineDisablesEverythingAndStoresMinusOne() {
    MessageRecorder messages;
    CScriptConsoleDlg d(0);
    for (int id : {ids::kIdScriptVBScript, ids::kIdScriptJScript, ids::kIdScriptBrowse,
                   ids::kIdScriptExecute, ids::kIdScriptTerminate})
        QVERIFY2(!Control(d, id)->isEnabled(), qPrintable(QString::number(id)));
    d.open();
    Control<QPushButton>(d, ids::kIdOk)->click();
    QVERIFY(!d.isVisible());
    QCOMPARE(calculator::GetProfileInt("Script", "ScriptType", 99), -1);
    QCOMPARE(calculator::GetProfileString("Script", "FilePath", "x"), std::string());
    QVERIFY(messages.shown.isEmpty());
}

void ScriptConsoleDlgTest::storedVBScriptFallsBackToJScript() {
    RegisterModules();
    calculator::WriteProfileInt("Script", "ScriptType", 0);
    CScriptConsoleDlg d(0);
    QCOMPARE(d.scriptType(), 1);
    QVERIFY(!Control(d, ids::kIdScriptVBScript)->isEnabled());
    QVERIFY(Control<QRadioButton>(d, ids::kIdScriptJScript)->isChecked());
    QVERIFY(Control(d, ids::kIdScriptExecute)->isEnabled());
    QVERIFY(!Control(d, ids::kIdScriptTerminate)->isEnabled());
}

void ScriptConsoleDlgTest::sampleScriptRunsToItsOutput() {
    RegisterModules();
    MessageRecorder messages;
    TestConsole d(0);
    d.choice = std::make_pair(QStringLiteral(ORDOVANE_SOURCE_DIR "/samples/number_tools.js"), 1);
    Control<QPushButton>(d, ids::kIdScriptBrowse)->click();
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(d.scriptType(), 1);
    QVERIFY(!Control<QPlainTextEdit>(d, ids::kIdScriptText)->toPlainText().isEmpty());
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QVERIFY(WaitIdle(d, 60000));
    const QString out = ConsoleText(d);
    QVERIFY2(out.endsWith("Number tools: ok\r\n"), qPrintable(out));
    QVERIFY(!out.contains("FAILED"));
    QCOMPARE(Control<QLineEdit>(d, ids::kIdScriptStatus)->text(),
             QString("The script engine has returned from executing."));
    QVERIFY(Control(d, ids::kIdScriptExecute)->isEnabled());

    // Three outputs, three lines in order.
    Type(d, "Tallomir.Output('a');\nTallomir.Output('b');\nTallomir.Output('c');\n");
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QVERIFY(WaitIdle(d, 30000));
    QCOMPARE(ConsoleText(d), QString("a\r\nb\r\nc\r\n"));

    d.open();
    Control<QPushButton>(d, ids::kIdOk)->click();
    QCOMPARE(calculator::GetProfileInt("Script", "ScriptType", 99), 1);
    QCOMPARE(QString::fromStdString(calculator::GetProfileString("Script", "FilePath", "")),
             QStringLiteral(ORDOVANE_SOURCE_DIR "/samples/number_tools.js"));
}

void ScriptConsoleDlgTest::syntaxErrorShowsItsLine() {
    RegisterModules();
    CScriptConsoleDlg d(0);
    Type(d, "var a = 1;\nvar b = 2;\nvar c = (;\n");
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QVERIFY(QTest::qWaitFor([&] { return ConsoleText(d).contains("Error: "); }, 30000));
    const QString out = ConsoleText(d);
    QVERIFY2(out.startsWith("Source: ") && out.contains("\r\nLine: 3\r\nError: "), qPrintable(out));
    QVERIFY(Control(d, ids::kIdScriptExecute)->isEnabled());
    QVERIFY(!Control(d, ids::kIdScriptTerminate)->isEnabled());
}

void ScriptConsoleDlgTest::endlessLoopIsTerminatedAndExitWaits() {
    RegisterModules();
    CScriptConsoleDlg d(0);
    d.open();
    Type(d, "Tallomir.Output('started'); while (true) {}");
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QVERIFY(QTest::qWaitFor([&] { return ConsoleText(d) == "started\r\n"; }, 30000));
    QVERIFY(Control(d, ids::kIdScriptTerminate)->isEnabled());
    QVERIFY(!Control(d, ids::kIdScriptExecute)->isEnabled());
    QVERIFY(!Control(d, ids::kIdScriptBrowse)->isEnabled());

    // Exit, Esc and the close box do nothing while the script runs.
    Control<QPushButton>(d, ids::kIdOk)->click();
    QTest::keyClick(&d, Qt::Key_Escape);
    d.close();
    QVERIFY(d.isVisible());
    QCOMPARE(calculator::GetProfileInt("Script", "ScriptType", 99), 99);

    // The elapsed time shows once the timer has ticked.
    QVERIFY(QTest::qWaitFor(
        [&] { return !Control<QLineEdit>(d, ids::kIdScriptElapsed)->text().isEmpty(); }, 5000));
    QCOMPARE(Control<QLineEdit>(d, ids::kIdScriptElapsed)->text().right(4), QString("sec."));

    QElapsedTimer clock;
    clock.start();
    Control<QPushButton>(d, ids::kIdScriptTerminate)->click();
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(Control<QLineEdit>(d, ids::kIdScriptStatus)->text(),
             QString("The script execution thread has been terminated. "));
    QVERIFY(Control(d, ids::kIdScriptExecute)->isEnabled());
    QVERIFY(!Control(d, ids::kIdScriptTerminate)->isEnabled());
    Control<QPushButton>(d, ids::kIdOk)->click();
    QVERIFY(!d.isVisible());
}

void ScriptConsoleDlgTest::emptyScriptDoesNothing() {
    RegisterModules();
    CScriptConsoleDlg d(0);
    Type(d, "Tallomir.Output('x');");
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QVERIFY(WaitIdle(d, 30000));
    Type(d, "");
    Control<QPushButton>(d, ids::kIdScriptExecute)->click();
    QTest::qWait(100);
    QCOMPARE(ConsoleText(d), QString("x\r\n"));
}

void ScriptConsoleDlgTest::loadingFilesAndTheirMessages() {
    RegisterModules();
    QTemporaryDir dir;
    auto write = [&](const QString& name, const std::string& bytes) {
        const QString path = dir.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary) << bytes;
        return path;
    };
    struct Row {
        QString path;
        int filter;
        QString message; // empty: loads
        QString text;
        int type;
    };
    const std::vector<Row> rows = {
        {write("cut.js", std::string("var a;\r\nx") + '\x80' + "rest"), 3, {}, "var a;\nx", 1},
        {write("nul.vbs", std::string("abc") + '\0' + "def"), 2, {}, "abc", 0},
        {write("big.js", std::string(65537, 'a')), 2, "The file size is too big.", {}, 1},
        {write("empty.js", ""), 2, "Invalid file size.", {}, 1},
        {dir.filePath("missing.js"), 2, "Can't open file.", {}, 1},
        {write("upper.VBS", "x"), 2, {}, "x", 1}, // VBS is not vbs: the filter decides
    };
    for (const Row& r : rows) {
        MessageRecorder messages;
        TestConsole d(0);
        d.choice = std::make_pair(r.path, r.filter);
        Control<QPushButton>(d, ids::kIdScriptBrowse)->click();
        QCOMPARE(Control<QLineEdit>(d, ids::kIdScriptPath)->text(), r.path);
        QCOMPARE(d.scriptType(), r.type);
        QCOMPARE(Control<QPlainTextEdit>(d, ids::kIdScriptText)->toPlainText(), r.text);
        if (r.message.isEmpty()) {
            QVERIFY(messages.shown.isEmpty());
        } else {
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].text, r.message);
        }
    }
    // The first Browse starts in the samples folder beside the program.
    TestConsole d(0);
    Control<QPushButton>(d, ids::kIdScriptBrowse)->click();
    QVERIFY(d.askedStart.endsWith("/samples/*.vbs"));
    QCOMPARE(d.askedFilter, 1); // the start path's extension decides
}

void ScriptConsoleDlgTest::caretDisplay() {
    CScriptConsoleDlg d(0);
    auto* edit = Control<calculator::CCaretEdit>(d, ids::kIdScriptText);
    edit->setPlainText("ab\ncde");
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(Control<QLineEdit>(d, ids::kIdCaretLine)->text(), QString("2"));
    QCOMPARE(Control<QLineEdit>(d, ids::kIdCaretColumn)->text(), QString("4"));
    QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(Control<QLineEdit>(d, ids::kIdCaretLine)->text(), QString("1"));
    QCOMPARE(Control<QLineEdit>(d, ids::kIdCaretColumn)->text(), QString("1"));
}

QTEST_MAIN(ScriptConsoleDlgTest)
#include "script_console_dlg_test.moc"
