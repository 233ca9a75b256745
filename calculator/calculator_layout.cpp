#include "calculator/calculator_layout.h"

#include "calculator/calculator_dlg.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/toolbar_images.h"
#include "platform/qt/control_id.h"
#include "platform/qt/string_text.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <string>

namespace calculator {
namespace {

using enum ids::CalculatorControl;
using enum ids::Command;

// Geometry, as a dialog template would give it: a keypad of 7 x 8 cells
// below the four boxes and the row of the radio and step groups.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 24;
constexpr int kCellWidth = kButtonWidth + 4;
constexpr int kCellHeight = kButtonHeight + 4;
constexpr int kColumns = 8;
constexpr int kRows = 7;
constexpr int kContentWidth = kColumns * kCellWidth - (kCellWidth - kButtonWidth);
constexpr int kWindowWidth = kContentWidth + 2 * kMargin;
constexpr int kBoxHeight = 42;
constexpr int kBoxPitch = kBoxHeight + 4;
constexpr int kGroupTop = kMargin + 4 * kBoxPitch + 2;
constexpr int kGroupHeight = 44;
constexpr int kKeypadTop = kGroupTop + kGroupHeight + 6;
constexpr int kContentHeight = kKeypadTop + kRows * kCellHeight - 4 + kMargin;
constexpr int kToolbarButton = 32;
constexpr int kToolbarIcon = 24;
// The toolbar's window is this much taller than its buttons.
constexpr int kToolbarExtraHeight = 16;

// The 53 operation buttons: caption (kept here, as the window saves it when
// it sets the buttons up, at most 15 characters) and text colour.
struct ButtonEntry {
    int id;
    const char* caption;
    QRgb colour;
};
constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr ButtonEntry kButtons[] = {
    {kOpIncrement, "++", kMagenta},
    {kOpDecrement, "--", kMagenta},
    {kOpLsh, "Lsh", kMagenta},
    {kOpRsh, "Rsh", kMagenta},
    {kOpNot, "Not", kMagenta},
    {kOpAnd, "And", kRed},
    {kOpOr, "Or", kRed},
    {kOpXor, "Xor", kRed},
    {kOpSquare, "x^2", kRed},
    {kOpSqrt, "Sqrt", kRed},
    {kOpAdd, "+", kRed},
    {kOpSubtract, "-", kRed},
    {kOpMultiply, "*", kRed},
    {kOpDivide, "/", kRed},
    {kOpMod, "Mod", kRed},
    {kOpGcd, "GCD", kRed},
    {kOpPMod, "PMod", kRed},
    {kOpModInverse, "M^-1", kRed},
    {kOpJacobi, "Jn", kRed},
    {kIdExchange, "x<->y", kMagenta},
    {kIdCopyXToY, "x->y", kMagenta},
    {kIdCopyYToX, "y->x", kMagenta},
    {kIdCopyRToX, "r->x", kMagenta},
    {kIdCopyRToY, "r->y", kMagenta},
    {kIdFormat, "Format", kMagenta},
    {kIdReverse, "Reverse", kMagenta},
    {kIdSwapW, "Swap-W", kMagenta},
    {kIdSwapD, "Swap-D", kMagenta},
    {kIdSwapL, "Swap-L", kMagenta},
    {kIdDigit0, "0", kBlue},
    {kIdDigit0 + 1, "1", kBlue},
    {kIdDigit0 + 2, "2", kBlue},
    {kIdDigit0 + 3, "3", kBlue},
    {kIdDigit0 + 4, "4", kBlue},
    {kIdDigit0 + 5, "5", kBlue},
    {kIdDigit0 + 6, "6", kBlue},
    {kIdDigit0 + 7, "7", kBlue},
    {kIdDigit0 + 8, "8", kBlue},
    {kIdDigit0 + 9, "9", kBlue},
    {kIdLetterA, "A", kBlue},
    {kIdLetterA + 1, "B", kBlue},
    {kIdLetterA + 2, "C", kBlue},
    {kIdLetterA + 3, "D", kBlue},
    {kIdLetterA + 4, "E", kBlue},
    {kIdLetterA + 5, "F", kBlue},
    {kIdClear, "Clear", kBlue},
    {kIdSpace, "Space", kBlue},
    {kIdBackspace, "Backspace", kBlue},
    {kIdMemoryClear, "MC", kRed},
    {kIdMemoryRecall, "MR", kRed},
    {kIdMemoryStore, "MS", kRed},
    {kIdMemoryAdd, "M+", kRed},
    {kIdMemorySubtract, "M-", kRed},
};
static_assert(std::size(kButtons) == 53);
constexpr bool CaptionsFit() {
    for (const ButtonEntry& b : kButtons) {
        if (std::char_traits<char>::length(b.caption) >= 16)
            return false;
    }
    return true;
}
static_assert(CaptionsFit(), "a saved caption holds at most 15 characters");

const ButtonEntry* FindButton(int id) {
    for (const ButtonEntry& b : kButtons) {
        if (b.id == id)
            return &b;
    }
    return nullptr;
}

// Keypad cells, row by row; Backspace spans two columns, the two labels head
// the first column.
struct Cell {
    int id;
    int row;
    int column;
    int span = 1;
};
constexpr Cell kKeypad[] = {
    {kIdOperationLabel, 0, 0},
    {kIdExchange, 0, 1},
    {kIdClear, 0, 2},
    {kIdSpace, 0, 3},
    {kIdBackspace, 0, 4, 2},
    {kIdFormat, 0, 6},
    {kOpIncrement, 0, 7},
    {kIdMemoryLabel, 1, 0},
    {kIdCopyXToY, 1, 1},
    {kIdDigit0 + 7, 1, 2},
    {kIdDigit0 + 8, 1, 3},
    {kIdDigit0 + 9, 1, 4},
    {kIdLetterA + 5, 1, 5},
    {kIdReverse, 1, 6},
    {kOpDecrement, 1, 7},
    {kIdMemoryClear, 2, 0},
    {kIdCopyYToX, 2, 1},
    {kIdDigit0 + 4, 2, 2},
    {kIdDigit0 + 5, 2, 3},
    {kIdDigit0 + 6, 2, 4},
    {kIdLetterA + 4, 2, 5},
    {kIdSwapW, 2, 6},
    {kOpNot, 2, 7},
    {kIdMemoryRecall, 3, 0},
    {kIdCopyRToX, 3, 1},
    {kIdDigit0 + 1, 3, 2},
    {kIdDigit0 + 2, 3, 3},
    {kIdDigit0 + 3, 3, 4},
    {kIdLetterA + 3, 3, 5},
    {kIdSwapD, 3, 6},
    {kOpLsh, 3, 7},
    {kIdMemoryStore, 4, 0},
    {kIdCopyRToY, 4, 1},
    {kIdDigit0, 4, 2},
    {kIdLetterA, 4, 3},
    {kIdLetterA + 1, 4, 4},
    {kIdLetterA + 2, 4, 5},
    {kIdSwapL, 4, 6},
    {kOpRsh, 4, 7},
    {kIdMemoryAdd, 5, 0},
    {kOpSquare, 5, 1},
    {kOpAdd, 5, 2},
    {kOpSubtract, 5, 3},
    {kOpMultiply, 5, 4},
    {kOpDivide, 5, 5},
    {kOpGcd, 5, 6},
    {kOpPMod, 5, 7},
    {kIdMemorySubtract, 6, 0},
    {kOpSqrt, 6, 1},
    {kOpOr, 6, 2},
    {kOpAnd, 6, 3},
    {kOpXor, 6, 4},
    {kOpMod, 6, 5},
    {kOpModInverse, 6, 6},
    {kOpJacobi, 6, 7},
};
static_assert(std::size(kKeypad) == 55);

// Toolbar buttons left to right, 0 a separator; images come in the same order
// without the separators.
constexpr int kToolbarLayout[] = {kCmdNumberFormatter,
                                  0,
                                  kCmdKeyContainers,
                                  kCmdRandomNumber,
                                  kCmdRandomPrime,
                                  0,
                                  kCmdBitShifter,
                                  kCmdChecksum,
                                  kCmdCrc,
                                  kCmdHash,
                                  kCmdScripts,
                                  0,
                                  kCmdDesktopCalculator};

bool IsOperationButton(int id) {
    return FindButton(id) != nullptr;
}

} // namespace

const char* ButtonCaption(int id) {
    const ButtonEntry* b = FindButton(id);
    return b ? b->caption : nullptr;
}

int CCalculatorDlg::toolbarHeight() const {
    return kToolbarButton + kToolbarExtraHeight;
}

std::vector<int> CCalculatorDlg::MovingControlIds() {
    std::vector<int> moving = {
        kIdX,           kIdY,           kIdZ,           kIdR,       kIdOperationLabel,
        kIdMemoryLabel, kIdSystemGroup, kIdHexadecimal, kIdDecimal, kIdOctal,
        kIdBinary,      kIdStepGroup,   kIdStepUpDown,  kIdStep};
    for (const ButtonEntry& b : kButtons)
        moving.push_back(b.id);
    return moving;
}

QPushButton* CCalculatorDlg::AddButton(int id, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    platform::SetControlId(button, id);
    // Enter belongs to the boxes (a line break), never to a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    controls_.insert(id, button);
    return button;
}

void CCalculatorDlg::CreateControls() {
    // Boxes first: the tab order starts x, y, z, r.
    const char* boxNames[4] = {"First Operand (x)", "Second Operand (y)", "Third Operand (z)",
                               "Operation Result (r)"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new CHexEditBox(this);
        platform::SetControlId(box, kIdX + i);
        box->setAccessibleName(QString::fromLatin1(boxNames[i]));
        box->setTabChangesFocus(true);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        boxes_[i] = box;
        controls_.insert(kIdX + i, box);
        connect(box, &CHexEditBox::focusGained, this, &CCalculatorDlg::OnBoxFocus);
        connect(box, &QPlainTextEdit::textChanged, this, &CCalculatorDlg::UpdateCommandStates);
        if (i < 3) {
            connect(box, &QPlainTextEdit::textChanged, this,
                    [this] { operationLabel_->setText(QString()); });
        }
    }
    boxes_[3]->setReadOnly(true);

    // Group frames are siblings drawn behind their controls, so that every
    // control moves on its own with the toolbar.
    systemGroup_ = new QGroupBox(this);
    platform::SetControlId(systemGroup_, kIdSystemGroup);
    controls_.insert(kIdSystemGroup, systemGroup_);
    radioGroup_ = new QButtonGroup(this);
    const char* radioCaptions[4] = {"Hexadecimal", "Decimal", "Octal", "Binary"};
    for (int i = 0; i < 4; ++i) {
        radios_[i] = new QRadioButton(QString::fromUtf8(radioCaptions[i]), this);
        platform::SetControlId(radios_[i], kIdHexadecimal + i);
        controls_.insert(kIdHexadecimal + i, radios_[i]);
        radioGroup_->addButton(radios_[i], i);
    }
    connect(radioGroup_, &QButtonGroup::idClicked, this, &CCalculatorDlg::ChangeSystem);

    stepGroup_ = new QGroupBox(this);
    platform::SetControlId(stepGroup_, kIdStepGroup);
    controls_.insert(kIdStepGroup, stepGroup_);
    step_ = new QLineEdit(this);
    step_->setAccessibleName(QStringLiteral("Unary Operation Step"));
    platform::SetControlId(step_, kIdStep);
    controls_.insert(kIdStep, step_);
    // A number edit box: digits only; the range is enforced on every change.
    step_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), step_));
    connect(step_, &QLineEdit::textChanged, this, &CCalculatorDlg::OnStepTextChanged);
    upDown_ = new QWidget(this);
    platform::SetControlId(upDown_, kIdStepUpDown);
    controls_.insert(kIdStepUpDown, upDown_);
    stepUp_ = new QToolButton(upDown_);
    stepUp_->setArrowType(Qt::UpArrow);
    stepUp_->setAutoRepeat(true);
    stepDown_ = new QToolButton(upDown_);
    stepDown_->setArrowType(Qt::DownArrow);
    stepDown_->setAutoRepeat(true);
    stepUp_->setAccessibleName(QStringLiteral("Step Up"));
    stepDown_->setAccessibleName(QStringLiteral("Step Down"));
    connect(stepUp_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(stepDown_, &QToolButton::clicked, this, [this] { StepBy(-1); });

    // The two labels: flat disabled buttons.
    operationLabel_ = AddButton(kIdOperationLabel, QString());
    memoryLabel_ = AddButton(kIdMemoryLabel, QString());
    operationLabel_->setAccessibleName(QStringLiteral("Current Operation"));
    memoryLabel_->setAccessibleName(QStringLiteral("Memory Indicator"));
    for (QPushButton* label : {operationLabel_, memoryLabel_}) {
        label->setFlat(true);
        label->setEnabled(false);
    }

    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText);
    for (const ButtonEntry& entry : kButtons) {
        QPushButton* button = AddButton(entry.id, QString::fromUtf8(entry.caption));
        QPalette pal = button->palette();
        pal.setColor(QPalette::Active, QPalette::ButtonText, QColor(entry.colour));
        pal.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(entry.colour));
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
        button->setPalette(pal);
        buttons_.insert(entry.id, button);
        const int id = entry.id;
        connect(button, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
    }

    // Tab order: x, y, z, r, the radios, the step, then the keypad.
    QWidget* previous = boxes_[0];
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (int i = 1; i < 4; ++i)
        chain(boxes_[i]);
    for (QRadioButton* radio : radios_)
        chain(radio);
    chain(step_);
    for (const Cell& cell : kKeypad) {
        if (IsOperationButton(cell.id))
            chain(buttons_.value(cell.id));
    }
}

void CCalculatorDlg::CreateMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);

    auto add = [this](QMenu* menu, int id, const char* caption, bool checkable = false) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setData(id);
        action->setCheckable(checkable);
        action->setEnabled(CommandAvailable(id));
        actions_.insert(id, action);
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        return action;
    };

    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    add(file, kCmdImportNumber, "I&mport Number...");
    add(file, kCmdExportToFile, "&Export To File...");
    file->addSeparator();
    add(file, kCmdExit, "E&xit");
    // Import asks the box, which looks at the clipboard: only when the menu opens.
    connect(file, &QMenu::aboutToShow, this, [this] {
        UpdateCommandStates();
        actions_[kCmdImportNumber]->setEnabled(CommandAvailable(kCmdImportNumber) && active_ &&
                                               active_->IsCommandEnabled(kCmdInsertFormatText));
    });

    QMenu* tools = menuBar_->addMenu(QStringLiteral("&Tools"));
    add(tools, kCmdNumberFormatter, "Number &Formatter...");
    add(tools, kCmdKeyContainers, "&Key Container Manager...");
    tools->addSeparator();
    add(tools, kCmdRandomNumber, "Pseudo-Random &Number Generator...");
    add(tools, kCmdRandomPrime, "Pseudo-Random &Prime Generator...");
    tools->addSeparator();
    add(tools, kCmdBitShifter, "Bit &Shifter...");
    add(tools, kCmdChecksum, "&Checksum Calculator...");
    add(tools, kCmdCrc, "C&RC Value Calculator...");
    add(tools, kCmdHash, "&Hash Value Calculator...");
    tools->addSeparator();
    add(tools, kCmdDesktopCalculator, "Windows &Calculator...");

    QMenu* script = menuBar_->addMenu(QStringLiteral("&Script"));
    add(script, kCmdScripts, "&Run Scripts...");

    QMenu* view = menuBar_->addMenu(QStringLiteral("&View"));
    add(view, kCmdTopmost, "Always Top&most", true);
    add(view, kCmdToolbar, "Show &Toolbar", true);
    add(view, kCmdToolTips, "Show Toolti&ps", true);
    add(view, kCmdUpperCase, "&Upper Case Letters", true);

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    add(help, kCmdHelpContents, "&Contents");
    add(help, kCmdHelpSearch, "&Search...");
    add(help, kCmdHelpIndex, "&Index...");
    help->addSeparator();
    add(help, kCmdTipOfDay, "Tip of the Day...");
    add(help, kCmdSupport, "&Technical Support");
    help->addSeparator();
    add(help, kCmdAbout, "&About Ordovane...");
}

void CCalculatorDlg::CreateToolbar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(kToolbarIcon, kToolbarIcon));
    toolbar_->setContentsMargins(4, 0, 0, 0);
    int image = 0;
    for (int id : kToolbarLayout) {
        if (id == 0) {
            toolbar_->addSeparator();
            continue;
        }
        QAction* action = actions_.value(id);
        action->setIcon(ToolbarIcon(image++));
        action->setIconVisibleInMenu(false);
        action->setToolTip(platform::StringText(id));
        toolbar_->addAction(action);
        if (QWidget* button = toolbar_->widgetForAction(action))
            button->setFixedSize(kToolbarButton, kToolbarButton);
    }
    toolbar_->hide();
}

void CCalculatorDlg::LayOutControls() {
    const int top = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, kWindowWidth, top);
    toolbar_->setGeometry(0, top, kWindowWidth, toolbarHeight());

    for (int i = 0; i < 4; ++i)
        boxes_[i]->setGeometry(kMargin, top + kMargin + i * kBoxPitch, kContentWidth, kBoxHeight);

    const int groupTop = top + kGroupTop;
    const int systemWidth = 6 * kCellWidth - (kCellWidth - kButtonWidth);
    systemGroup_->setGeometry(kMargin, groupTop, systemWidth, kGroupHeight);
    // Each radio as wide as its caption, the room left spread between them.
    int captions = 0;
    for (QRadioButton* radio : radios_)
        captions += radio->sizeHint().width();
    const int gap = std::max(4, (systemWidth - 16 - captions) / 3);
    int left = kMargin + 8;
    for (QRadioButton* radio : radios_) {
        const int width = radio->sizeHint().width();
        radio->setGeometry(left, groupTop + 14, width, 22);
        left += width + gap;
    }
    const int stepLeft = kMargin + 6 * kCellWidth;
    const int stepWidth = kContentWidth - 6 * kCellWidth;
    stepGroup_->setGeometry(stepLeft, groupTop, stepWidth, kGroupHeight);
    step_->setGeometry(stepLeft + 8, groupTop + 14, stepWidth - 36, 22);
    upDown_->setGeometry(stepLeft + stepWidth - 26, groupTop + 14, 18, 22);
    stepUp_->setGeometry(0, 0, 18, 11);
    stepDown_->setGeometry(0, 11, 18, 11);

    for (const Cell& cell : kKeypad) {
        QWidget* w = controls_.value(cell.id);
        const int width = cell.span * kCellWidth - (kCellWidth - kButtonWidth);
        w->setGeometry(kMargin + cell.column * kCellWidth,
                       top + kKeypadTop + cell.row * kCellHeight, width, kButtonHeight);
    }
    windowHeight_ = top + kContentHeight;
    setFixedSize(kWindowWidth, windowHeight_);
}

} // namespace calculator
