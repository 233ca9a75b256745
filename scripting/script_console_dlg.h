// CScriptConsoleDlg, the Scripting Host Console: the script editor with its
// caret display, the language radios, Browse, Execute and Terminate over one
// CScriptSite, the console and status panes and the elapsed time. The rules
// without widgets are ScriptConsole's (script_console.h).
#pragma once

#include "calculator/common/help_dialog.h"
#include "platform/com/guid.h"
#include "platform/window/window.h"
#include "scripting/script_console.h"

#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace calculator {
class CCaretEdit;
}

namespace scripting {

class CScriptSite;

class CScriptConsoleDlg : public calculator::CHelpDialog {
    Q_OBJECT

public:
    // cryptHandle: the application crypto context handed to the arithmetic
    // object of each run (0: none).
    explicit CScriptConsoleDlg(uint32_t cryptHandle, QWidget* parent = nullptr);
    ~CScriptConsoleDlg() override;

    int scriptType() const { return scriptType_; }
    const ScriptConsole& state() const { return console_; }
    // The elapsed-time display for a run that started at startTick (ms).
    static QString ElapsedText(uint32_t startTick, uint32_t nowTick);

    // Browse: asks for a file, then loads it; what LoadScript does after a
    // choice made with the given file dialog filter (1 VBScript, 2 JScript,
    // 3 all files).
    void Browse();
    void LoadScript(const QString& path, int filterIndex);
    void Execute();
    void Terminate();

public slots:
    // Exit, Esc and the close box: refused while a script runs; otherwise
    // the settings are written and the dialog closes.
    void reject() override;

protected:
    // The file dialog: the chosen path and the filter used, nothing on
    // Cancel. Tests answer it themselves.
    virtual std::optional<std::pair<QString, int>> ChooseScriptFile(const QString& start,
                                                                    int filterIndex);
    void closeEvent(QCloseEvent* event) override;

private:
    platform::LRESULT OnScriptMessage(uint32_t msg, const char* text);
    void ShowState();
    void ShowCaret();
    void ShowElapsed();
    void TakeScriptType();

    uint32_t cryptHandle_ = 0;
    CScriptSite* site_ = nullptr;
    platform::HWND window_ = 0;
    platform::com::CLSID vbscript_ = platform::com::GUID_NULL;
    platform::com::CLSID jscript_ = platform::com::GUID_NULL;
    int scriptType_ = kScriptNone;
    ScriptConsole console_;
    uint32_t startTick_ = 0;

    QRadioButton* vbRadio_ = nullptr;
    QRadioButton* jsRadio_ = nullptr;
    calculator::CCaretEdit* script_ = nullptr;
    QLineEdit* line_ = nullptr;
    QLineEdit* column_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPlainTextEdit* output_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* elapsed_ = nullptr;
    QPushButton* execute_ = nullptr;
    QPushButton* terminate_ = nullptr;
    QPushButton* exit_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace scripting
