#include "calculator/calculator_dlg.h"

#include "calculator/about_dialog.h"
#include "calculator/desktop_calculator.h"
#include "calculator/help.h"
#include "calculator/hex_edit_box.h"
#include "calculator/settings_store.h"
#include "calculator/tip_of_day_dialog.h"
#include "calculator/toolbar_images.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "resources/string_table.h"

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

namespace calculator {
namespace {

constexpr char kSectionGeneral[] = "General";
constexpr char kSectionView[] = "View";
constexpr const char* kSystemValues[4] = {"Op1 NS", "Op2 NS", "Op3 NS", "OpR NS"};
constexpr const char* kSystemNames[4] = {"Hexadecimal", "Decimal", "Octal", "Binary"};
// "Topmost" is stored as 8, not 1, when the window is topmost.
constexpr int kTopmostStored = 8;

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

constexpr int kMinStep = 1;
constexpr int kMaxStep = 10000;

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
    {1009, "++", kMagenta},     {1010, "--", kMagenta},      {1011, "Lsh", kMagenta},
    {1012, "Rsh", kMagenta},    {1013, "Not", kMagenta},     {1014, "And", kRed},
    {1015, "Or", kRed},         {1016, "Xor", kRed},         {1017, "x^2", kRed},
    {1018, "Sqrt", kRed},       {1019, "+", kRed},           {1020, "-", kRed},
    {1021, "*", kRed},          {1022, "/", kRed},           {1023, "Mod", kRed},
    {1024, "GCD", kRed},        {1025, "PMod", kRed},        {1026, "M^-1", kRed},
    {1027, "Jn", kRed},         {1028, "x<->y", kMagenta},   {1029, "x->y", kMagenta},
    {1030, "y->x", kMagenta},   {1031, "r->x", kMagenta},    {1032, "r->y", kMagenta},
    {1033, "Format", kMagenta}, {1034, "Reverse", kMagenta}, {1035, "Swap-W", kMagenta},
    {1036, "Swap-D", kMagenta}, {1037, "Swap-L", kMagenta},  {1038, "0", kBlue},
    {1039, "1", kBlue},         {1040, "2", kBlue},          {1041, "3", kBlue},
    {1042, "4", kBlue},         {1043, "5", kBlue},          {1044, "6", kBlue},
    {1045, "7", kBlue},         {1046, "8", kBlue},          {1047, "9", kBlue},
    {1048, "A", kBlue},         {1049, "B", kBlue},          {1050, "C", kBlue},
    {1051, "D", kBlue},         {1052, "E", kBlue},          {1053, "F", kBlue},
    {1054, "Clear", kBlue},     {1055, "Space", kBlue},      {1056, "Backspace", kBlue},
    {1063, "MC", kRed},         {1064, "MR", kRed},          {1065, "MS", kRed},
    {1066, "M+", kRed},         {1067, "M-", kRed},
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
    {1061, 0, 0}, {1028, 0, 1}, {1054, 0, 2}, {1055, 0, 3}, {1056, 0, 4, 2}, {1033, 0, 6},
    {1009, 0, 7}, {1062, 1, 0}, {1029, 1, 1}, {1045, 1, 2}, {1046, 1, 3},    {1047, 1, 4},
    {1053, 1, 5}, {1034, 1, 6}, {1010, 1, 7}, {1063, 2, 0}, {1030, 2, 1},    {1042, 2, 2},
    {1043, 2, 3}, {1044, 2, 4}, {1052, 2, 5}, {1035, 2, 6}, {1013, 2, 7},    {1064, 3, 0},
    {1031, 3, 1}, {1039, 3, 2}, {1040, 3, 3}, {1041, 3, 4}, {1051, 3, 5},    {1036, 3, 6},
    {1011, 3, 7}, {1065, 4, 0}, {1032, 4, 1}, {1038, 4, 2}, {1048, 4, 3},    {1049, 4, 4},
    {1050, 4, 5}, {1037, 4, 6}, {1012, 4, 7}, {1066, 5, 0}, {1017, 5, 1},    {1019, 5, 2},
    {1020, 5, 3}, {1021, 5, 4}, {1022, 5, 5}, {1024, 5, 6}, {1025, 5, 7},    {1067, 6, 0},
    {1018, 6, 1}, {1015, 6, 2}, {1014, 6, 3}, {1016, 6, 4}, {1023, 6, 5},    {1026, 6, 6},
    {1027, 6, 7},
};
static_assert(std::size(kKeypad) == 55);

// Toolbar buttons left to right, 0 a separator; images come in the same order
// without the separators.
constexpr int kToolbarLayout[] = {32771, 0,     32772, 32773, 32774, 0,    32806,
                                  32780, 32775, 32776, 32777, 0,     32808};

// Which commands can run today. The tools behind the entries set to false come
// with later work (data tools, data exchange, key containers, scripting): their
// items are shown and disabled; flip an entry when its dialog is wired below.
struct Availability {
    int id;
    bool available;
};
constexpr Availability kAvailability[] = {
    {32771, false}, // Number Formatter
    {32772, false}, // Key Container Manager
    {32773, false}, // Pseudo-Random Number Generator (and Output Number)
    {32774, false}, // Pseudo-Random Prime Generator (and Output Number)
    {32775, false}, // CRC Value Calculator
    {32776, false}, // Hash Value Calculator (also needs the crypto context)
    {32777, false}, // Scripting Host Console
    {32778, false}, // Import Number: the box's "Insert Format Text..." (Number Formatter)
    {32779, false}, // Export To File: the box's ExportToFile (Output Number)
    {32780, false}, // Checksum Calculator
    {32806, false}, // Bit Shifter
};

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

QString StringText(int id) {
    const char* text = resources::LoadStringText(id);
    return text ? QString::fromUtf8(text) : QString();
}

Operand ReadBox(const CHexEditBox* box) {
    Operand a;
    a.count = box->GetHexText(a.list);
    return a;
}

bool IsOperationButton(int id) {
    return FindButton(id) != nullptr;
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
    // The application crypto context is acquired here once the key container
    // work provides it; until then cryptoContext_ stays 0 and the hash
    // calculator stays disabled in menu and toolbar.
    actions_[kCmdUpperCase]->setChecked(upperCase_);
    UpdateBoxToolTips();
    SyncToActive();

    qApp->installEventFilter(this);
}

CCalculatorDlg::~CCalculatorDlg() {
    qApp->removeEventFilter(this);
    SaveSettings();
    // The children outlive this part of the object while QWidget deletes
    // them: nothing they signal may reach the window any more.
    for (CHexEditBox* box : boxes_)
        box->disconnect(this);
}

bool CCalculatorDlg::CommandAvailable(int id) {
    for (const Availability& a : kAvailability) {
        if (a.id == id)
            return a.available;
    }
    return true;
}

QAction* CCalculatorDlg::commandAction(int id) const {
    return actions_.value(id, nullptr);
}

CHexEditBox* CCalculatorDlg::operandBox(int id) const {
    if (id < kIdX || id > kIdR)
        return nullptr;
    return boxes_[id - kIdX];
}

int CCalculatorDlg::toolbarHeight() const {
    return kToolbarButton + kToolbarExtraHeight;
}

std::vector<int> CCalculatorDlg::MovingControlIds() {
    std::vector<int> ids = {1057, 1058, 1059, 1060, 1061, 1062, 1001,
                            1002, 1003, 1004, 1005, 1006, 1007, 1008};
    for (const ButtonEntry& b : kButtons)
        ids.push_back(b.id);
    return ids;
}

// ---- construction of the controls ----

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
    for (int i = 0; i < 4; ++i) {
        auto* box = new CHexEditBox(this);
        platform::SetControlId(box, kIdX + i);
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
    connect(stepUp_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(stepDown_, &QToolButton::clicked, this, [this] { StepBy(-1); });

    // The two labels: flat disabled buttons.
    operationLabel_ = AddButton(kIdOperationLabel, QString());
    memoryLabel_ = AddButton(kIdMemoryLabel, QString());
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
                                               active_->IsCommandEnabled(32797));
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
        action->setToolTip(StringText(id));
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

// ---- view options ----

void CCalculatorDlg::ShowToolbar(bool show) {
    if (show == toolbarShown_)
        return;
    const int delta = show ? toolbarHeight() : -toolbarHeight();
    if (!show)
        toolbar_->hide();
    windowHeight_ += delta;
    setFixedSize(kWindowWidth, windowHeight_);
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
        return StringText(id).replace(QStringLiteral("%s"),
                                      QString::fromUtf8(kSystemNames[system & 3]));
    }
    if (id >= kIdHexadecimal && id <= kIdBinary)
        return StringText(2086 + id - kIdHexadecimal);
    return StringText(id);
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
    actions_[kCmdHash]->setEnabled(CommandAvailable(kCmdHash) && cryptoContext_ != 0);
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
            active_->RunCommand(32797); // "Insert Format Text..."
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
    // The tools of these commands are not part of the program yet; their
    // entries in kAvailability keep them from getting here.
    case kCmdNumberFormatter:
    case kCmdKeyContainers:
    case kCmdRandomNumber:
    case kCmdRandomPrime:
    case kCmdBitShifter:
    case kCmdChecksum:
    case kCmdCrc:
    case kCmdHash:
    case kCmdScripts:
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
        operationLabel_->setText(QString::fromUtf8(FindButton(operation)->caption));
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
        // Text that is not hexadecimal would go to the Number Formatter, which
        // comes with the data exchange tools; until then the operation ends.
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
