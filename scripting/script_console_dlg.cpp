#include "scripting/script_console_dlg.h"

#include "calculator/common/caret_edit/caret_edit.h"
#include "calculator/common/file_dialogs.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "platform/qt/qt_dispatcher.h"
#include "resources/ids.h"
#include "scripting/engine_lookup.h"
#include "scripting/script_site.h"
#include "scripting/script_text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace scripting {
namespace {

constexpr char kSection[] = "Script";
constexpr char kScriptType[] = "ScriptType";
constexpr char kFilePath[] = "FilePath";
constexpr int kElapsedPeriodMs = 500;

// A millisecond tick count that wraps like the system's.
uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

platform::com::CLSID FindEngine(Language language) {
    platform::com::CLSID id = platform::com::GUID_NULL;
    if (std::optional<std::string> text = FindEngineClassIdText(language)) {
        if (!platform::com::GuidFromString(*text, &id))
            id = platform::com::GUID_NULL;
    }
    return id;
}

QLineEdit* ReadOnlyField(QWidget* parent, int id, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setAccessibleName(name);
    platform::SetControlId(field, id);
    return field;
}

} // namespace

CScriptConsoleDlg::CScriptConsoleDlg(uint32_t cryptHandle, QWidget* parent)
    : CHelpDialog(parent), cryptHandle_(cryptHandle) {
    setWindowTitle(QStringLiteral("Scripting Host Console"));
    SetHelpTopic(QStringLiteral("Dlg_ScriptConsole.htm"));
    SetHelpIds({{ids::kIdOk, ids::kHelpScriptExit},
                {ids::kIdScriptBrowse, ids::kHelpScriptBrowse},
                {ids::kIdScriptPath, ids::kHelpScriptPath},
                {ids::kIdScriptVBScript, ids::kHelpScriptVBScript},
                {ids::kIdScriptJScript, ids::kHelpScriptJScript},
                {ids::kIdScriptText, ids::kHelpScriptText},
                {ids::kIdCaretLine, ids::kHelpCaretLine},
                {ids::kIdCaretColumn, ids::kHelpCaretColumn},
                {ids::kIdScriptConsole, ids::kHelpScriptConsole},
                {ids::kIdScriptStatus, ids::kHelpScriptStatus},
                {ids::kIdScriptElapsed, ids::kHelpScriptElapsed},
                {ids::kIdScriptExecute, ids::kHelpScriptExecute},
                {ids::kIdScriptTerminate, ids::kHelpScriptTerminate},
                {ids::kIdHelp, ids::kHelpHelpButton}});

    // Script group.
    auto* scriptGroup = new QGroupBox(QStringLiteral("Script"), this);
    auto* language = new QLabel(QStringLiteral("Language:"), scriptGroup);
    vbRadio_ = new QRadioButton(QStringLiteral("VBScript"), scriptGroup);
    platform::SetControlId(vbRadio_, ids::kIdScriptVBScript);
    jsRadio_ = new QRadioButton(QStringLiteral("JScript"), scriptGroup);
    platform::SetControlId(jsRadio_, ids::kIdScriptJScript);
    script_ = new calculator::CCaretEdit(scriptGroup);
    script_->setAccessibleName(QStringLiteral("Script"));
    script_->setNotificationMessage(ids::kMsgCaretMovedScript);
    platform::SetControlId(script_, ids::kIdScriptText);
    line_ = ReadOnlyField(scriptGroup, ids::kIdCaretLine, QStringLiteral("Line"));
    column_ = ReadOnlyField(scriptGroup, ids::kIdCaretColumn, QStringLiteral("Column"));
    line_->setMaximumWidth(60);
    column_->setMaximumWidth(60);
    path_ = ReadOnlyField(scriptGroup, ids::kIdScriptPath, QStringLiteral("Script File"));
    browse_ = new QPushButton(QStringLiteral("Browse..."), scriptGroup);
    platform::SetControlId(browse_, ids::kIdScriptBrowse);
    browse_->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(language);
    top->addWidget(vbRadio_);
    top->addWidget(jsRadio_);
    top->addStretch(1);
    top->addWidget(line_);
    top->addWidget(column_);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse_);
    auto* scriptLayout = new QVBoxLayout(scriptGroup);
    scriptLayout->addLayout(top);
    scriptLayout->addWidget(script_, 1);
    scriptLayout->addLayout(fileRow);

    // Console group.
    auto* consoleGroup = new QGroupBox(QStringLiteral("Console"), this);
    output_ = new QPlainTextEdit(consoleGroup);
    output_->setReadOnly(true);
    output_->setAccessibleName(QStringLiteral("Console"));
    output_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    platform::SetControlId(output_, ids::kIdScriptConsole);
    status_ = ReadOnlyField(consoleGroup, ids::kIdScriptStatus, QStringLiteral("Status"));
    elapsed_ = ReadOnlyField(consoleGroup, ids::kIdScriptElapsed, QStringLiteral("Elapsed Time"));
    elapsed_->setAlignment(Qt::AlignRight);
    elapsed_->setMaximumWidth(110);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(elapsed_);
    auto* consoleLayout = new QVBoxLayout(consoleGroup);
    consoleLayout->addWidget(output_, 1);
    consoleLayout->addLayout(statusRow);

    execute_ = new QPushButton(QStringLiteral("Execute"), this);
    platform::SetControlId(execute_, ids::kIdScriptExecute);
    execute_->setAutoDefault(false);
    terminate_ = new QPushButton(QStringLiteral("Terminate"), this);
    platform::SetControlId(terminate_, ids::kIdScriptTerminate);
    terminate_->setAutoDefault(false);
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    platform::SetControlId(exit_, ids::kIdOk);
    // Return belongs to the script editor; Exit is the default only in name.
    exit_->setAutoDefault(false);
    QPushButton* help = CreateHelpButton();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(execute_);
    buttons->addWidget(terminate_);
    buttons->addStretch(1);
    buttons->addWidget(exit_);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scriptGroup, 3);
    layout->addWidget(consoleGroup, 2);
    layout->addLayout(buttons);
    resize(640, 560);

    timer_ = new QTimer(this);
    timer_->setInterval(kElapsedPeriodMs);
    connect(timer_, &QTimer::timeout, this, &CScriptConsoleDlg::ShowElapsed);
    connect(browse_, &QPushButton::clicked, this, &CScriptConsoleDlg::Browse);
    connect(execute_, &QPushButton::clicked, this, &CScriptConsoleDlg::Execute);
    connect(terminate_, &QPushButton::clicked, this, &CScriptConsoleDlg::Terminate);
    connect(exit_, &QPushButton::clicked, this, &CScriptConsoleDlg::reject);
    connect(vbRadio_, &QRadioButton::clicked, this, &CScriptConsoleDlg::TakeScriptType);
    connect(jsRadio_, &QRadioButton::clicked, this, &CScriptConsoleDlg::TakeScriptType);
    connect(script_, &calculator::CCaretEdit::caretMoved, this, &CScriptConsoleDlg::ShowCaret);
    connect(script_, &QPlainTextEdit::textChanged, this, &CScriptConsoleDlg::ShowCaret);

    // The site and the engines, once.
    site_ = CScriptSite::Create();
    site_->SetRelayDispatcher(platform::QtDispatcher(this));
    window_ = platform::RegisterQtWindow(
        this, [this](uint32_t msg, platform::WPARAM, platform::LPARAM l) {
            return OnScriptMessage(msg, reinterpret_cast<const char*>(l));
        });
    vbscript_ = FindEngine(Language::VBScript);
    jscript_ = FindEngine(Language::JScript);
    const bool haveVB = !(vbscript_ == platform::com::GUID_NULL);
    const bool haveJS = !(jscript_ == platform::com::GUID_NULL);
    vbRadio_->setEnabled(haveVB);
    jsRadio_->setEnabled(haveJS);
    scriptType_ = NormalizeScriptType(calculator::GetProfileInt(kSection, kScriptType, kScriptNone),
                                      haveVB, haveJS);
    console_ = ScriptConsole(scriptType_);
    vbRadio_->setChecked(scriptType_ == kScriptVBScript);
    jsRadio_->setChecked(scriptType_ == kScriptJScript);
    ShowState();
    ShowCaret();
    WatchHelpRequests();
    script_->setFocus();
}

CScriptConsoleDlg::~CScriptConsoleDlg() {
    timer_->stop();
    // Nothing may reach this window once it goes; a worker still running
    // keeps its own reference to the site and ends on its own.
    if (site_) {
        site_->Terminate();
        site_->Release();
        site_ = nullptr;
    }
    platform::DestroyWindow(window_);
}

QString CScriptConsoleDlg::ElapsedText(uint32_t startTick, uint32_t nowTick) {
    return QString::fromStdString(FormatElapsed(startTick, nowTick));
}

void CScriptConsoleDlg::TakeScriptType() {
    if (vbRadio_->isChecked())
        scriptType_ = kScriptVBScript;
    else if (jsRadio_->isChecked())
        scriptType_ = kScriptJScript;
}

void CScriptConsoleDlg::ShowState() {
    const bool idle = console_.canBrowseOrExecute();
    browse_->setEnabled(idle);
    execute_->setEnabled(idle);
    terminate_->setEnabled(console_.canTerminate());
    output_->setPlainText(QString::fromUtf8(console_.console()));
    status_->setText(QString::fromUtf8(console_.status()));
}

void CScriptConsoleDlg::ShowCaret() {
    const calculator::CaretPosition at = script_->caretPosition();
    if (at.line >= 1)
        line_->setText(QString::number(at.line));
    if (at.column >= 1)
        column_->setText(QString::number(at.column));
}

void CScriptConsoleDlg::ShowElapsed() {
    elapsed_->setText(ElapsedText(startTick_, TickCount()));
}

std::optional<std::pair<QString, int>> CScriptConsoleDlg::ChooseScriptFile(const QString& start,
                                                                           int filterIndex) {
    calculator::FileDialogRequest request;
    request.filters = {QStringLiteral("VBScript File (*.vbs)"),
                       QStringLiteral("JScript File (*.js)"), QStringLiteral("All File (*)")};
    request.initialFilter = filterIndex;
    request.path = start;
    request.title = QStringLiteral("Browse Script File");
    const std::optional<calculator::FileChoice> choice = calculator::ChooseFile(this, request);
    if (!choice)
        return std::nullopt;
    return std::make_pair(choice->path, choice->filter);
}

void CScriptConsoleDlg::Browse() {
    TakeScriptType();
    const QString programDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const std::string start = BrowseStartPath(path_->text().toStdString(),
                                              calculator::GetProfileString(kSection, kFilePath, ""),
                                              programDir.toStdString());
    const int filter = BrowseFilterIndex(start, scriptType_);
    std::optional<std::pair<QString, int>> choice =
        ChooseScriptFile(QString::fromStdString(start), filter);
    if (!choice)
        return;
    LoadScript(choice->first, choice->second);
}

void CScriptConsoleDlg::LoadScript(const QString& path, int filterIndex) {
    path_->setText(path);
    scriptType_ = ScriptTypeForChoice(path.toStdString(), filterIndex, scriptType_);
    vbRadio_->setChecked(scriptType_ == kScriptVBScript);
    jsRadio_->setChecked(scriptType_ == kScriptJScript);
    script_->clear();
    ScriptFile file = LoadScriptFile(QFile::encodeName(path).toStdString());
    if (!file.ok)
        platform::messageBox(this, QString::fromStdString(file.message), platform::MsgButtons::Ok);
    else
        script_->setPlainText(
            QString::fromLatin1(file.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    console_.ClearTexts();
    ShowState();
}

void CScriptConsoleDlg::Execute() {
    TakeScriptType();
    const QString text = script_->toPlainText();
    if (!site_ || text.isEmpty() || scriptType_ < 0)
        return;
    // A run that has left the script may still be tidying up its worker for
    // a moment; the site takes one worker at a time, so wait for it.
    QElapsedTimer tidying;
    tidying.start();
    while (site_->IsRunning() && console_.canBrowseOrExecute() && tidying.elapsed() < 2000)
        QThread::msleep(5);
    console_.BeginRun();
    elapsed_->clear();
    ShowState();
    const platform::com::CLSID& engine = scriptType_ == kScriptVBScript ? vbscript_ : jscript_;
    if (site_->Start(engine, "Tallomir", text.toUtf8().toStdString(), window_, WM_SCRIPT_OUTPUT,
                     cryptHandle_) != 0)
        return;
    startTick_ = TickCount();
    if (!timer_->isActive())
        timer_->start();
}

void CScriptConsoleDlg::Terminate() {
    if (site_) {
        timer_->stop();
        site_->Terminate();
        console_.Terminated();
    }
    ShowState();
}

platform::LRESULT CScriptConsoleDlg::OnScriptMessage(uint32_t msg, const char* text) {
    switch (msg) {
    case WM_SCRIPT_OUTPUT:
        console_.Output(text ? text : "");
        break;
    case WM_SCRIPT_ERROR:
        console_.Error(text ? text : "");
        timer_->stop();
        break;
    case WM_SCRIPT_ENTER:
        console_.Enter();
        break;
    case WM_SCRIPT_LEAVE:
        timer_->stop();
        console_.Leave();
        break;
    default:
        return 0;
    }
    ShowState();
    return 0;
}

void CScriptConsoleDlg::reject() {
    if (!console_.canExit())
        return;
    TakeScriptType();
    calculator::WriteProfileInt(kSection, kScriptType, scriptType_);
    calculator::WriteProfileString(kSection, kFilePath, path_->text().toStdString());
    QDialog::reject();
}

void CScriptConsoleDlg::closeEvent(QCloseEvent* event) {
    // The close box takes Exit's path.
    event->ignore();
    reject();
}

} // namespace scripting
