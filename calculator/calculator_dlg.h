// CCalculatorDlg, the calculator window: four operand boxes, the number-system
// radios, the unary step, the keypad of operation buttons, the menu and the
// toolbar. It wires the buttons and keys to the engine, keeps the memory
// register and the active operand, and reads and writes the "View" and
// "General" settings of the window.
#pragma once

#include "calculator/calculator_engine.h"
#include "keys/crypto_context.h"

#include <QDialog>
#include <QMap>
#include <QString>

#include <vector>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QToolBar;
class QToolButton;

namespace calculator {

class CHexEditBox;

class CCalculatorDlg : public QDialog {
    Q_OBJECT

public:
    // Controls (the operation buttons are the OperationId values) and
    // commands of the window, by name.
    using enum ids::CalculatorControl;
    using enum ids::Command;

    // abnormalEnd: the previous run did not return from its window, so the
    // "SmallSize" setting is reset.
    explicit CCalculatorDlg(bool abnormalEnd = false, QWidget* parent = nullptr);
    ~CCalculatorDlg() override;

    // Whether the Tip of the Day opens once the window first shows (on by
    // default; tests turn it off).
    void setShowTipAtStartup(bool show) { showTipAtStartup_ = show; }

    // Runs a button, menu or toolbar command by id, as a click would; a
    // command whose tool is not available does nothing.
    void RunCommand(int id);
    // False for a tool's command while no tool folder serves it (the
    // command registry has no handler, or its condition does not hold).
    static bool CommandAvailable(int id);
    // The menu action of a command (shared with its toolbar button), or null.
    QAction* commandAction(int id) const;

    // The application crypto context of the calculator window (0 while none
    // is held or no window lives): what ToolServices hands the tools.
    static uint32_t ApplicationCryptoContext();
    uint32_t cryptoContext() const { return cryptoContext_.handle(); }

    CHexEditBox* operandBox(int id) const;
    CHexEditBox* activeOperand() const { return active_; }
    const CalculatorMemory& memory() const { return memory_; }

    bool toolbarShown() const { return toolbarShown_; }
    // The toolbar's height: its buttons plus 16 pixels.
    int toolbarHeight() const;
    bool toolTipsOn() const { return toolTipsOn_; }
    bool upperCase() const { return upperCase_; }
    bool topmost() const { return topmost_; }

    void ShowToolbar(bool show);
    void SetToolTips(bool on);
    void SetUpperCase(bool upper);
    void SetTopmost(bool topmost);

    // The controls that move with the toolbar: the boxes, labels, groups,
    // radios and step controls, then every button of the colour table.
    static std::vector<int> MovingControlIds();
signals:
    // A help command ran (F1 or the Help menu), before the help viewer opens.
    void helpRequested(int commandId);

public slots:
    // Esc is Clear and never closes the window; the close box and Exit do.
    void reject() override;

public:
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void CreateMenu();
    void CreateToolbar();
    void LayOutControls();
    QPushButton* AddButton(int id, const QString& caption);

    bool PreTranslateKey(QKeyEvent* event);
    void PostFocusReturn();
    void FocusActiveOperand();
    void OnBoxFocus(CHexEditBox* box);
    void SyncToActive();
    void UpdateEnabling();
    void UpdateCommandStates();
    void UpdateBoxToolTips();
    void ApplyToolTipTexts();
    // The tooltip text of control id (boxes name their number system),
    // whether or not tooltips are on.
    QString ToolTipText(int id) const;

    void RunBinary(int operation);
    void RunUnary(int operation);
    void RunCopy(int id);
    void RunFormat(int id);
    void TypeCharacter(QChar ch);
    void Backspace();
    void ClearAll();
    void RunMemory(int id);
    void ChangeSystem(int system);
    void OnStepTextChanged(const QString& text);
    void StepBy(int delta);
    int StepValue() const;
    bool IsOperandXYZ(const CHexEditBox* box) const;

    void ShowTipOfDay();
    void ShowAbout();
    void SaveSettings();
    // (Re)opens the application crypto context on "Container Info"
    // "Current" and enables the commands that need it accordingly.
    void OpenCryptoContext();

    CHexEditBox* boxes_[4] = {};
    CHexEditBox* active_ = nullptr;
    QMap<int, QPushButton*> buttons_;
    QPushButton* operationLabel_ = nullptr;
    QPushButton* memoryLabel_ = nullptr;
    QGroupBox* systemGroup_ = nullptr;
    QGroupBox* stepGroup_ = nullptr;
    QRadioButton* radios_[4] = {};
    QButtonGroup* radioGroup_ = nullptr;
    QLineEdit* step_ = nullptr;
    QWidget* upDown_ = nullptr;
    QToolButton* stepUp_ = nullptr;
    QToolButton* stepDown_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QMap<int, QAction*> actions_;
    // Every numbered control of the window, by id (the window's own, never
    // those of the dialogs it owns).
    QMap<int, QWidget*> controls_;
    int windowHeight_ = 0;
    // Set while the window hides itself for a moment (desktop calculator,
    // window flag change): hiding must not end the dialog's loop then.
    bool temporaryHide_ = false;

    CalculatorMemory memory_;
    keys::CryptoContext cryptoContext_;
    bool toolbarShown_ = false;
    bool toolTipsOn_ = true;
    bool upperCase_ = true;
    bool topmost_ = false;
    int smallSize_ = 0;
    bool showTipAtStartup_ = true;
    bool shownOnce_ = false;
    bool settingsSaved_ = false;
};

} // namespace calculator
