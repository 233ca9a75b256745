#include "calculator/calculator_dlg.h"

#include "calculator/about_dialog.h"
#include "calculator/calculator_layout.h"
#include "calculator/common/command_registry.h"
#include "calculator/common/help.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "calculator/desktop_calculator.h"
#include "calculator/tip_of_day_dialog.h"
#include "calculator/toolbar_images.h"
#include "exchange/number_formatter_dlg.h"
#include "keys/profile_settings.h"
#include "platform/qt/message_box.h"
#include "platform/qt/string_text.h"
#include "text/hex_text.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace calculator {
namespace {

constexpr char kSectionGeneral[] = "General";
constexpr char kSectionView[] = "View";
constexpr const char* kSystemValues[4] = {"Op1 NS", "Op2 NS", "Op3 NS", "OpR NS"};
constexpr const char* kSystemNames[4] = {"Hexadecimal", "Decimal", "Octal", "Binary"};
// "Topmost" is stored as 8, not 1, when the window is topmost.
constexpr int kTopmostStored = 8;

// The context of the one calculator window, readable program-wide.
uint32_t g_applicationCryptoContext = 0;

// The keys, judged by the character typed. With Shift held, these letters
// run memory and step operations first.
struct KeyCommand {
    char key;
    int id;
};
constexpr KeyCommand kShiftLetters[] = {
    {'D', kOpDecrement},
    {'I', kOpIncrement},
    {'L', CCalculatorDlg::kIdMemoryClear},
    {'M', CCalculatorDlg::kIdMemoryStore},
    {'P', CCalculatorDlg::kIdMemoryAdd},
    {'R', CCalculatorDlg::kIdMemoryRecall},
    {'S', CCalculatorDlg::kIdMemorySubtract},
};
// The key column of the operation table; letters in either case.
constexpr KeyCommand kCharacters[] = {
    {'~', kOpNot},        {'<', kOpLsh},    {'>', kOpRsh},  {'+', kOpAdd}, {'-', kOpSubtract},
    {'*', kOpMultiply},   {'/', kOpDivide}, {'%', kOpMod},  {'&', kOpAnd}, {'|', kOpOr},
    {'^', kOpXor},        {'@', kOpSquare}, {'R', kOpSqrt}, {'G', kOpGcd}, {'P', kOpPMod},
    {'Y', kOpModInverse}, {'J', kOpJacobi},
};

template <size_t N> int LookUpKey(const KeyCommand (&table)[N], QChar ch) {
    for (const KeyCommand& k : table) {
        if (ch == QLatin1Char(k.key))
            return k.id;
    }
    return 0;
}

Operand ReadBox(const CHexEditBox* box) {
    Operand a;
    a.count = box->GetHexText(a.list);
    return a;
}

} // namespace

CCalculatorDlg::CCalculatorDlg(bool abnormalEnd, QWidget* parent) : QDialog(parent) {
    // Construction: the view settings.
    if (abnormalEnd) {
        // The only consequence of an abnormal end of the previous run.
        WriteProfileInt(kSectionView, "SmallSize", 0);
        smallSize_ = 0;
    } else {
        // Selects no layout: only this window exists; read and kept.
        smallSize_ = GetProfileInt(kSectionView, "SmallSize", 0);
    }
    const bool wantToolbar = GetProfileInt(kSectionView, "Toolbar", 1) != 0;
    toolTipsOn_ = GetProfileInt(kSectionView, "Tooltip", 1) != 0;
    upperCase_ = GetProfileInt(kSectionView, "UpperCase", 1) != 0;

    // The About item of the system menu: Qt offers no system menu on Linux,
    // so the About box is reached from the Help menu only.
    setWindowTitle(QStringLiteral("Kestrune Multibyte Calculator"));
    setWindowIcon(ApplicationIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    SetHelpOwner(this);

    CreateControls();
    CreateMenu();
    CreateToolbar();
    LayOutControls();
    // The overflow buttons Qt adds to the menu bar and the toolbar are
    // controls too; screen readers need their names.
    for (auto [objectName, name] : {std::pair{"qt_menubar_ext_button", "More Menus"},
                                    std::pair{"qt_toolbar_ext_button", "More Tools"}}) {
        for (QWidget* overflow : findChildren<QWidget*>(QString::fromLatin1(objectName)))
            overflow->setAccessibleName(QString::fromLatin1(name));
    }

    // Initialisation: the boxes' systems and case, x active, tooltips,
    // topmost, then the toolbar.
    for (int i = 0; i < 4; ++i) {
        int system = GetProfileInt(kSectionGeneral, kSystemValues[i], text::Hexadecimal);
        if (!text::IsNumberSystem(system))
            system = text::Hexadecimal;
        boxes_[i]->setUpperCase(upperCase_);
        boxes_[i]->SetNumberSystem(system, false);
    }
    active_ = boxes_[0];
    SetToolTips(toolTipsOn_);
    if (GetProfileInt(kSectionView, "Topmost", 0) != 0)
        SetTopmost(true);
    step_->setText(QStringLiteral("1"));
    ShowToolbar(wantToolbar);
    // The hash command is offered only while this context is held.
    OpenCryptoContext();
    actions_[kCmdUpperCase]->setChecked(upperCase_);
    UpdateBoxToolTips();
    SyncToActive();

    qApp->installEventFilter(this);
}

CCalculatorDlg::~CCalculatorDlg() {
    qApp->removeEventFilter(this);
    SaveSettings();
    cryptoContext_.Release();
    g_applicationCryptoContext = 0;
    // The children outlive this part of the object while QWidget deletes
    // them: nothing they signal may reach the window any more.
    for (CHexEditBox* box : boxes_)
        box->disconnect(this);
}

uint32_t CCalculatorDlg::ApplicationCryptoContext() {
    return g_applicationCryptoContext;
}

bool CCalculatorDlg::CommandAvailable(int id) {
    switch (id) {
    // Import Number is the active box's "Insert Format Text...".
    case kCmdImportNumber:
        return IsCommandAvailable(kCmdInsertFormatText);
    // The commands the tool folders serve.
    case kCmdNumberFormatter:
    case kCmdKeyContainers:
    case kCmdRandomNumber:
    case kCmdRandomPrime:
    case kCmdBitShifter:
    case kCmdChecksum:
    case kCmdCrc:
    case kCmdHash:
    case kCmdScripts:
    case kCmdExportToFile:
        return IsCommandAvailable(id);
    default:
        return true;
    }
}

QAction* CCalculatorDlg::commandAction(int id) const {
    return actions_.value(id, nullptr);
}

CHexEditBox* CCalculatorDlg::operandBox(int id) const {
    if (id < kIdX || id > kIdR)
        return nullptr;
    return boxes_[id - kIdX];
}

// ---- view options ----

void CCalculatorDlg::ShowToolbar(bool show) {
    if (show == toolbarShown_)
        return;
    const int delta = show ? toolbarHeight() : -toolbarHeight();
    if (!show)
        toolbar_->hide();
    windowHeight_ += delta;
    setFixedSize(width(), windowHeight_);
    for (int id : MovingControlIds()) {
        if (QWidget* w = controls_.value(id))
            w->move(w->x(), w->y() + delta);
    }
    if (show)
        toolbar_->show();
    toolbarShown_ = show;
    actions_[kCmdToolbar]->setChecked(show);
}

void CCalculatorDlg::SetToolTips(bool on) {
    toolTipsOn_ = on;
    actions_[kCmdToolTips]->setChecked(on);
    ApplyToolTipTexts();
}

void CCalculatorDlg::SetUpperCase(bool upper) {
    upperCase_ = upper;
    // Texts already shown keep their case until they are next written.
    for (CHexEditBox* box : boxes_)
        box->setUpperCase(upper);
    actions_[kCmdUpperCase]->setChecked(upper);
}

void CCalculatorDlg::SetTopmost(bool topmost) {
    topmost_ = topmost;
    actions_[kCmdTopmost]->setChecked(topmost);
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == topmost)
        return;
    // A flag change re-creates the window, which hides it: keep the dialog's
    // loop running and show it again.
    const bool visible = isVisible();
    {
        QScopedValueRollback<bool> keep(temporaryHide_, true);
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    }
    if (visible)
        show();
}

void CCalculatorDlg::setVisible(bool visible) {
    // QDialog ends exec() whenever it is hidden; a window hidden only for a
    // while (desktop calculator, flag change) must keep its loop.
    if (!visible && temporaryHide_) {
        QWidget::setVisible(false);
        return;
    }
    QDialog::setVisible(visible);
}

QString CCalculatorDlg::ToolTipText(int id) const {
    if (id >= kIdX && id <= kIdR) {
        const int system = boxes_[id - kIdX]->numberSystem();
        return platform::StringText(id).replace(QStringLiteral("%s"),
                                                QString::fromUtf8(kSystemNames[system & 3]));
    }
    if (id >= kIdHexadecimal && id <= kIdBinary)
        return platform::StringText(ids::kStrSystemTipHexadecimal + id - kIdHexadecimal);
    return platform::StringText(id);
}

void CCalculatorDlg::ApplyToolTipTexts() {
    // The texts stay in place; the event filter drops tooltip requests while
    // tooltips are off (an empty toolbar tooltip would fall back to the
    // action's text).
    for (auto it = controls_.cbegin(); it != controls_.cend(); ++it)
        it.value()->setToolTip(ToolTipText(it.key()));
}

void CCalculatorDlg::UpdateBoxToolTips() {
    for (int id = kIdX; id <= kIdR; ++id)
        controls_.value(id)->setToolTip(ToolTipText(id));
}

// ---- focus and enabling ----

void CCalculatorDlg::PostFocusReturn() {
    QMetaObject::invokeMethod(this, &CCalculatorDlg::FocusActiveOperand, Qt::QueuedConnection);
}

void CCalculatorDlg::FocusActiveOperand() {
    if (!active_)
        active_ = boxes_[0];
    active_->setFocus(Qt::OtherFocusReason);
    // A box that already had the focus reports nothing: follow it here too.
    SyncToActive();
}

void CCalculatorDlg::OnBoxFocus(CHexEditBox* box) {
    active_ = box;
    SyncToActive();
}

void CCalculatorDlg::SyncToActive() {
    if (active_) {
        const int system = active_->numberSystem();
        if (text::IsNumberSystem(system))
            radios_[system]->setChecked(true);
    }
    UpdateEnabling();
    UpdateBoxToolTips();
    UpdateCommandStates();
}

void CCalculatorDlg::UpdateEnabling() {
    const bool resultActive = active_ == boxes_[3];
    const int system = active_ ? int(active_->numberSystem()) : int(text::Hexadecimal);
    const bool hex = system == text::Hexadecimal;
    const bool dec = system == text::Decimal;
    const bool oct = system == text::Octal;
    for (int id = kOpIncrement; id <= kOpNot; ++id)
        buttons_.value(id)->setEnabled(!resultActive);
    for (int id = kIdFormat; id <= kIdSwapL; ++id)
        buttons_.value(id)->setEnabled(hex);
    for (int i = 0; i < 6; ++i)
        buttons_.value(kIdLetterA + i)->setEnabled(hex);
    for (int d = 0; d < 10; ++d) {
        const bool on = d < 2 ? true : d < 8 ? (hex || dec || oct) : (hex || dec);
        buttons_.value(kIdDigit0 + d)->setEnabled(on);
    }
}

void CCalculatorDlg::UpdateCommandStates() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        it.value()->setEnabled(CommandAvailable(it.key()));
    const bool hasText = active_ && !active_->toPlainText().trimmed().isEmpty();
    actions_[kCmdExportToFile]->setEnabled(CommandAvailable(kCmdExportToFile) && hasText);
}

bool CCalculatorDlg::IsOperandXYZ(const CHexEditBox* box) const {
    return box && (box == boxes_[0] || box == boxes_[1] || box == boxes_[2]);
}

// ---- keys ----

bool CCalculatorDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ToolTip) || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    // Only this window's own controls: dialogs it owns are windows of their own.
    if (static_cast<QWidget*>(watched)->window() != this)
        return false;
    if (type == QEvent::ToolTip)
        return !toolTipsOn_;
    return PreTranslateKey(static_cast<QKeyEvent*>(event));
}

bool CCalculatorDlg::PreTranslateKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        RunCommand(kIdClear);
        return true;
    }
    if (event->key() == Qt::Key_F1) {
        RunCommand(kCmdHelpContents);
        return true;
    }
    // Ctrl or Alt alone make shortcuts and menu accelerators, not typed
    // characters; both together may be AltGr.
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (bool(mods & Qt::ControlModifier) != bool(mods & Qt::AltModifier))
        return false;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const QChar ch = text.at(0);
    int id = 0;
    // Judged by the character: "*" needs Shift on many layouts, so the Shift
    // rule is for letters only.
    if ((mods & Qt::ShiftModifier) && ch.isLetter())
        id = LookUpKey(kShiftLetters, ch.toUpper());
    if (id == 0)
        id = LookUpKey(kCharacters, ch.isLetter() ? ch.toUpper() : ch);
    if (id == 0)
        return false;
    event->accept();
    RunCommand(id);
    return true;
}

void CCalculatorDlg::keyPressEvent(QKeyEvent* event) {
    // Reached only when the filter did not see the key (Esc never closes).
    if (event->key() == Qt::Key_Escape) {
        RunCommand(kIdClear);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCalculatorDlg::reject() {
    // Esc runs Clear instead; closing goes through closeEvent.
}

void CCalculatorDlg::closeEvent(QCloseEvent* event) {
    SaveSettings();
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void CCalculatorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    if (showTipAtStartup_) {
        // Once the window shows and processes input.
        QTimer::singleShot(0, this, [this] {
            if (GetProfileInt(kSectionView, "TipOfDay", 1) != 0)
                ShowTipOfDay();
        });
    }
}

// ---- commands ----

void CCalculatorDlg::RunCommand(int id) {
    if (!CommandAvailable(id))
        return;
    switch (id) {
    case kOpIncrement:
    case kOpDecrement:
    case kOpLsh:
    case kOpRsh:
    case kOpNot:
        RunUnary(id);
        break;
    case kOpAnd:
    case kOpOr:
    case kOpXor:
    case kOpSquare:
    case kOpSqrt:
    case kOpAdd:
    case kOpSubtract:
    case kOpMultiply:
    case kOpDivide:
    case kOpMod:
    case kOpGcd:
    case kOpPMod:
    case kOpModInverse:
    case kOpJacobi:
        RunBinary(id);
        break;
    case kIdExchange:
    case kIdCopyXToY:
    case kIdCopyYToX:
    case kIdCopyRToX:
    case kIdCopyRToY:
        RunCopy(id);
        break;
    case kIdFormat:
    case kIdReverse:
    case kIdSwapW:
    case kIdSwapD:
    case kIdSwapL:
        RunFormat(id);
        break;
    case kIdClear:
        ClearAll();
        break;
    case kIdSpace:
        TypeCharacter(QLatin1Char(' '));
        break;
    case kIdBackspace:
        Backspace();
        break;
    case kIdMemoryClear:
    case kIdMemoryRecall:
    case kIdMemoryStore:
    case kIdMemoryAdd:
    case kIdMemorySubtract:
        RunMemory(id);
        break;

    case kCmdImportNumber:
        if (active_)
            active_->RunCommand(kCmdInsertFormatText);
        break;
    case kCmdExportToFile:
        if (active_ && !active_->toPlainText().trimmed().isEmpty())
            active_->ExportToFile();
        break;
    case kCmdExit:
        close();
        return;
    case kCmdDesktopCalculator:
        RunDesktopCalculator(
            [this] {
                QScopedValueRollback<bool> keep(temporaryHide_, true);
                hide();
            },
            [this] { show(); });
        break;
    case kCmdKeyContainers:
        RunRegisteredCommand(id, {this, active_, false});
        // The current container may have changed.
        OpenCryptoContext();
        break;
    case kCmdNumberFormatter:
    case kCmdRandomNumber:
    case kCmdRandomPrime:
    case kCmdBitShifter:
    case kCmdChecksum:
    case kCmdCrc:
    case kCmdHash:
    case kCmdScripts:
        RunRegisteredCommand(id, {this, active_, false});
        break;
    case kCmdTopmost:
        SetTopmost(!topmost_);
        break;
    case kCmdToolbar:
        ShowToolbar(!toolbarShown_);
        break;
    case kCmdToolTips:
        SetToolTips(!toolTipsOn_);
        break;
    case kCmdUpperCase:
        SetUpperCase(!upperCase_);
        break;
    case kCmdHelpContents:
        emit helpRequested(id);
        ShowHelpTopic();
        break;
    case kCmdHelpSearch:
        emit helpRequested(id);
        ShowHelpSearch();
        break;
    case kCmdHelpIndex:
        emit helpRequested(id);
        ShowHelpIndex();
        break;
    case kCmdSupport:
        emit helpRequested(id);
        ShowHelpTopic(QStringLiteral("Info_Support.htm"));
        break;
    case kCmdTipOfDay:
        ShowTipOfDay();
        break;
    case kCmdAbout:
        ShowAbout();
        break;
    default:
        if (id >= kIdDigit0 && id < kIdDigit0 + 10)
            TypeCharacter(QChar('0' + (id - kIdDigit0)));
        else if (id >= kIdLetterA && id < kIdLetterA + 6)
            TypeCharacter(QChar('A' + (id - kIdLetterA)));
        else
            return;
        break;
    }
    PostFocusReturn();
}

void CCalculatorDlg::RunBinary(int operation) {
    const Operand x = ReadBox(boxes_[0]);
    // Operands an operation does not use are not read (decimal reading is
    // quadratic in the length).
    const bool usesY = operation != kOpSquare && operation != kOpSqrt;
    const Operand y = usesY ? ReadBox(boxes_[1]) : Operand{};
    const Operand z = operation == kOpPMod ? ReadBox(boxes_[2]) : Operand{};
    const EngineResult result = RunBinaryOperation(operation, x, y, z);
    switch (result.outcome) {
    case EngineResult::Done:
        boxes_[3]->SetHexText(result.list);
        operationLabel_->setText(QString::fromUtf8(ButtonCaption(operation)));
        active_ = boxes_[3];
        SyncToActive();
        break;
    case EngineResult::Failed:
        boxes_[3]->clear();
        operationLabel_->setText(QString());
        platform::messageBox(this, result.message);
        break;
    case EngineResult::Kept:
        platform::messageBox(this, result.message);
        break;
    case EngineResult::Nothing:
        break;
    }
}

void CCalculatorDlg::RunUnary(int operation) {
    if (!IsOperandXYZ(active_))
        return;
    const EngineResult result = RunUnaryOperation(operation, ReadBox(active_), StepValue());
    switch (result.outcome) {
    case EngineResult::Done:
        active_->SetHexText(result.list);
        operationLabel_->setText(QString());
        break;
    case EngineResult::Failed:
    case EngineResult::Kept:
        platform::messageBox(this, result.message);
        break;
    case EngineResult::Nothing:
        break;
    }
}

void CCalculatorDlg::RunCopy(int id) {
    // The text as shown, with its system: the target shows the same text in
    // the same system. Emptying the target first makes the system change a
    // plain switch without conversion.
    auto put = [](CHexEditBox* target, const QString& text, int system) {
        target->clear();
        target->SetNumberSystem(system, false);
        target->setPlainText(text);
    };
    CHexEditBox* x = boxes_[0];
    CHexEditBox* y = boxes_[1];
    CHexEditBox* r = boxes_[3];
    switch (id) {
    case kIdExchange: {
        const QString xText = x->toPlainText();
        const int xSystem = x->numberSystem();
        put(x, y->toPlainText(), y->numberSystem());
        put(y, xText, xSystem);
        break;
    }
    case kIdCopyXToY:
        put(y, x->toPlainText(), x->numberSystem());
        break;
    case kIdCopyYToX:
        put(x, y->toPlainText(), y->numberSystem());
        break;
    case kIdCopyRToX:
        put(x, r->toPlainText(), r->numberSystem());
        break;
    case kIdCopyRToY:
        put(y, r->toPlainText(), r->numberSystem());
        break;
    default:
        return;
    }
    if (active_)
        active_->moveCursor(QTextCursor::End);
    operationLabel_->setText(QString());
    SyncToActive();
}

void CCalculatorDlg::RunFormat(int id) {
    if (!active_ || active_->numberSystem() != text::Hexadecimal)
        return;
    if (active_->toPlainText().trimmed().isEmpty())
        return;
    if (!active_->Format(false)) {
        // Text that is not hexadecimal goes through the Number Formatter; its
        // number replaces the text and is formatted again, with messages.
        exchange::CNumberFormatterDlg formatter(QString(), active_->toPlainText(), this);
        if (formatter.exec() != QDialog::Accepted)
            return;
        active_->setPlainText(
            QString::fromStdString(text::ApplyLetterCase(formatter.result(), upperCase_)));
        if (!active_->Format(true))
            return;
    }
    int unit = 0;
    switch (id) {
    case kIdReverse:
        unit = 1;
        break;
    case kIdSwapW:
        unit = 2;
        break;
    case kIdSwapD:
        unit = 4;
        break;
    case kIdSwapL:
        unit = 8;
        break;
    default:
        break;
    }
    if (unit > 0)
        active_->SwapByteOrder(unit);
    operationLabel_->setText(QString());
}

void CCalculatorDlg::TypeCharacter(QChar ch) {
    if (!IsOperandXYZ(active_))
        return;
    active_->setFocus(Qt::OtherFocusReason);
    if (ch.isLetter())
        ch = upperCase_ ? ch.toUpper() : ch.toLower();
    // Replaces the selection as one undoable edit.
    active_->insertPlainText(QString(ch));
}

void CCalculatorDlg::Backspace() {
    if (!IsOperandXYZ(active_))
        return;
    active_->setFocus(Qt::OtherFocusReason);
    QTextCursor cursor = active_->textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    // At the first character nothing happens, even with a selection.
    if (start == 0)
        return;
    cursor.setPosition(start - 1);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    active_->setTextCursor(cursor);
}

void CCalculatorDlg::ClearAll() {
    // Systems and memory are kept.
    for (CHexEditBox* box : boxes_)
        box->clear();
    operationLabel_->setText(QString());
}

void CCalculatorDlg::RunMemory(int id) {
    EngineResult result;
    switch (id) {
    case kIdMemoryClear:
        memory_.Clear();
        break;
    case kIdMemoryRecall:
        if (!memory_.empty() && IsOperandXYZ(active_)) {
            active_->clear();
            active_->SetNumberSystem(text::Hexadecimal, false);
            active_->SetHexText(memory_.text());
            SyncToActive();
        }
        break;
    case kIdMemoryStore:
        result = memory_.Store(ReadBox(active_), upperCase_);
        break;
    case kIdMemoryAdd:
        result = memory_.Add(ReadBox(active_), upperCase_);
        break;
    case kIdMemorySubtract:
        result = memory_.Subtract(ReadBox(active_), upperCase_);
        break;
    default:
        return;
    }
    memoryLabel_->setText(memory_.empty() ? QString() : QStringLiteral("M"));
    if (result.outcome == EngineResult::Kept || result.outcome == EngineResult::Failed)
        platform::messageBox(this, result.message);
}

void CCalculatorDlg::ChangeSystem(int system) {
    if (active_) {
        // The box reports why it refuses; the radios then return to its system.
        active_->SetNumberSystem(system, true);
        SyncToActive();
    }
    PostFocusReturn();
}

void CCalculatorDlg::OnStepTextChanged(const QString& text) {
    const std::optional<std::string> replacement = ClampStepText(text.toStdString());
    if (!replacement)
        return;
    step_->setText(QString::fromStdString(*replacement));
    step_->setCursorPosition(step_->text().size());
}

int CCalculatorDlg::StepValue() const {
    return calculator::StepValue(step_->text().toStdString());
}

void CCalculatorDlg::StepBy(int delta) {
    step_->setText(QString::number(std::clamp(StepValue() + delta, kMinStep, kMaxStep)));
}

// ---- dialogs and settings ----

void CCalculatorDlg::ShowTipOfDay() {
    // Window-modal and deleted on close; the dialog stores its check box.
    auto* tip = new CTipOfDayDialog(this);
    tip->setAttribute(Qt::WA_DeleteOnClose);
    tip->open();
}

void CCalculatorDlg::ShowAbout() {
    CAboutDialog about(this);
    about.exec();
}

void CCalculatorDlg::OpenCryptoContext() {
    keys::RegistryProfile settings(&SectionKey);
    g_applicationCryptoContext = cryptoContext_.Open(settings);
    UpdateCommandStates();
}

void CCalculatorDlg::SaveSettings() {
    if (settingsSaved_)
        return;
    settingsSaved_ = true;
    WriteProfileInt(kSectionView, "Topmost", topmost_ ? kTopmostStored : 0);
    WriteProfileInt(kSectionView, "Toolbar", toolbarShown_ ? 1 : 0);
    WriteProfileInt(kSectionView, "Tooltip", toolTipsOn_ ? 1 : 0);
    WriteProfileInt(kSectionView, "UpperCase", upperCase_ ? 1 : 0);
    for (int i = 0; i < 4; ++i)
        WriteProfileInt(kSectionGeneral, kSystemValues[i], boxes_[i]->numberSystem());
}

} // namespace calculator
