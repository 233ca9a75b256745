#include "exchange/number_formatter_dlg.h"

#include "calculator/common/caret_edit/caret_edit.h"
#include "calculator/common/field_check.h"
#include "calculator/common/settings_store.h"
#include "exchange/input_text_dlg.h"
#include "exchange/number_formatter.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "resources/ids.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace exchange {
namespace {

constexpr char kSection[] = "Format";
constexpr int kMaxLines = 9999;
constexpr int kMaxChars = 999;
constexpr int kMaxStripText = 256;

QString WithLineFeeds(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

CNumberFormatterDlg::CNumberFormatterDlg(const QString& caption, const QString& initialText,
                                         QWidget* parent)
    : CHelpDialog(parent), initialText_(initialText) {
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Import Number") : caption);
    SetHelpTopic(QStringLiteral("Dlg_FormatNumbers.htm"));
    QMap<int, int> help = {{ids::kIdOk, ids::kHelpOk},
                           {ids::kIdCancel, ids::kHelpCancel},
                           {ids::kIdFormatterFormat, ids::kHelpFormatterFormat},
                           {ids::kIdLinesFromStart, ids::kHelpLinesFromStart},
                           {ids::kIdLinesFromEnd, ids::kHelpLinesFromEnd},
                           {ids::kIdCharsFromStart, ids::kHelpCharsFromStart},
                           {ids::kIdCharsFromEnd, ids::kHelpCharsFromEnd},
                           {ids::kIdStripText, ids::kHelpStripText},
                           {ids::kIdFormatterInput, ids::kHelpFormatterInput},
                           {ids::kIdInputFromFile, ids::kHelpInputFromFile},
                           {ids::kIdFormatterReset, ids::kHelpFormatterReset},
                           {ids::kIdSepOtherChar, ids::kHelpSepOtherChar},
                           {ids::kIdCaretLine, ids::kHelpCaretLine},
                           {ids::kIdCaretColumn, ids::kHelpCaretColumn},
                           {ids::kIdDecodeBase64Hex, ids::kHelpDecodeHex},
                           {ids::kIdDecodeBase64Text, ids::kHelpDecodeText},
                           {ids::kIdHelp, ids::kHelpHelpButton}};
    for (int i = 0; i < 4; ++i)
        help[ids::kIdSystemHex + i] = ids::kHelpSystemHex + i;
    for (int i = 0; i < 5; ++i)
        help[ids::kIdSepComma + i] = ids::kHelpSepComma + i;
    SetHelpIds(help);

    // The strip rules.
    auto* stripGroup = new QGroupBox(QStringLiteral("Strip"), this);
    auto* stripGrid = new QGridLayout(stripGroup);
    const char* countLabels[4] = {
        "Strip 'n' lines from start of input text: ", "Strip 'n' lines from end of input text: ",
        "Strip 'n' chars from start of every line: ", "Strip 'n' chars from end of every line: "};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromLatin1(countLabels[i]), stripGroup);
        counts_[i] = new QLineEdit(QStringLiteral("0"), stripGroup);
        counts_[i]->setMaximumWidth(70);
        platform::SetControlId(counts_[i], ids::kIdLinesFromStart + i);
        label->setBuddy(counts_[i]);
        stripGrid->addWidget(label, i / 2, (i % 2) * 2);
        stripGrid->addWidget(counts_[i], i / 2, (i % 2) * 2 + 1);
    }
    auto* stripLabel =
        new QLabel(QStringLiteral("Strip all occurences from input text: "), stripGroup);
    stripText_ = new QLineEdit(stripGroup);
    stripText_->setMaxLength(kMaxStripText);
    platform::SetControlId(stripText_, ids::kIdStripText);
    stripLabel->setBuddy(stripText_);
    auto* format = new QPushButton(QStringLiteral("Format"), stripGroup);
    format->setAutoDefault(false);
    platform::SetControlId(format, ids::kIdFormatterFormat);
    stripGrid->addWidget(stripLabel, 2, 0);
    stripGrid->addWidget(stripText_, 2, 1, 1, 2);
    stripGrid->addWidget(format, 2, 3);

    // The input text with its caret display and commands.
    input_ = new calculator::CCaretEdit(this);
    input_->setAccessibleName(QStringLiteral("Input Text"));
    input_->setNotificationMessage(ids::kMsgCaretMovedFormatter);
    platform::SetControlId(input_, ids::kIdFormatterInput);
    auto makeField = [this](int id, const char* name) {
        auto* f = new QLineEdit(this);
        f->setReadOnly(true);
        f->setFocusPolicy(Qt::ClickFocus);
        f->setMaximumWidth(60);
        f->setAccessibleName(QString::fromLatin1(name));
        platform::SetControlId(f, id);
        return f;
    };
    line_ = makeField(ids::kIdCaretLine, "Line");
    column_ = makeField(ids::kIdCaretColumn, "Column");
    auto button = [this](const char* caption, int id) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        platform::SetControlId(b, id);
        return b;
    };
    QPushButton* fromFile = button("Input From File...", ids::kIdInputFromFile);
    reset_ = button("Reset", ids::kIdFormatterReset);
    QPushButton* decodeText = button("Decode Base64 (Text)", ids::kIdDecodeBase64Text);
    QPushButton* decodeHex = button("Decode Base64 (Hex)", ids::kIdDecodeBase64Hex);

    // Separator and number system.
    auto* sepGroup = new QGroupBox(QStringLiteral("Separator"), this);
    auto* sepLayout = new QHBoxLayout(sepGroup);
    const char* sepNames[5] = {"Comma", "Space", "Tab", "Semicolon", "Other"};
    auto* sepButtons = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        separators_[i] = new QRadioButton(QString::fromLatin1(sepNames[i]), sepGroup);
        platform::SetControlId(separators_[i], ids::kIdSepComma + i);
        sepButtons->addButton(separators_[i], i);
        sepLayout->addWidget(separators_[i]);
    }
    other_ = new QLineEdit(sepGroup);
    other_->setMaxLength(1);
    other_->setMaximumWidth(40);
    other_->setAccessibleName(QStringLiteral("Other Separator"));
    platform::SetControlId(other_, ids::kIdSepOtherChar);
    sepLayout->addWidget(other_);
    auto* sysGroup = new QGroupBox(QStringLiteral("Number System"), this);
    auto* sysLayout = new QHBoxLayout(sysGroup);
    const char* sysNames[4] = {"Hexadecimal", "Decimal", "Octal", "Binary"};
    auto* sysButtons = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        systems_[i] = new QRadioButton(QString::fromLatin1(sysNames[i]), sysGroup);
        platform::SetControlId(systems_[i], ids::kIdSystemHex + i);
        sysButtons->addButton(systems_[i], i);
        sysLayout->addWidget(systems_[i]);
    }

    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setDefault(true);
    platform::SetControlId(ok_, ids::kIdOk);
    auto* cancel = button("Cancel", ids::kIdCancel);

    auto* inputTop = new QHBoxLayout;
    inputTop->addWidget(new QLabel(QStringLiteral("Input text:"), this));
    inputTop->addStretch(1);
    inputTop->addWidget(line_);
    inputTop->addWidget(column_);
    auto* inputButtons = new QHBoxLayout;
    for (QPushButton* b : {fromFile, reset_, decodeText, decodeHex})
        inputButtons->addWidget(b);
    inputButtons->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(CreateHelpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stripGroup);
    layout->addLayout(inputTop);
    layout->addWidget(input_, 1);
    layout->addLayout(inputButtons);
    layout->addWidget(sepGroup);
    layout->addWidget(sysGroup);
    layout->addLayout(buttons);
    resize(640, 560);

    connect(format, &QPushButton::clicked, this, &CNumberFormatterDlg::Format);
    connect(reset_, &QPushButton::clicked, this, &CNumberFormatterDlg::Reset);
    connect(fromFile, &QPushButton::clicked, this, &CNumberFormatterDlg::InputFromFile);
    connect(decodeText, &QPushButton::clicked, this, [this] { DecodeBase64(true); });
    connect(decodeHex, &QPushButton::clicked, this, [this] { DecodeBase64(false); });
    connect(sepButtons, &QButtonGroup::idClicked, this, &CNumberFormatterDlg::UpdateOk);
    connect(other_, &QLineEdit::textChanged, this, &CNumberFormatterDlg::UpdateOk);
    connect(ok_, &QPushButton::clicked, this, &CNumberFormatterDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CNumberFormatterDlg::reject);
    connect(input_, &calculator::CCaretEdit::caretMoved, this, &CNumberFormatterDlg::ShowCaret);
    connect(input_, &QPlainTextEdit::textChanged, this, &CNumberFormatterDlg::InputChanged);

    // Start: the stored choices, the initial text, "Reset" off, "Ok" on.
    stripText_->setText(
        QString::fromStdString(calculator::GetProfileString(kSection, "StripText", "")));
    const int system = calculator::GetProfileInt(kSection, "NumberSystem", 0);
    systems_[system >= 0 && system < 4 ? system : 0]->setChecked(true);
    const int sepType = calculator::GetProfileInt(kSection, "SepType", 0);
    separators_[sepType >= 0 && sepType < 5 ? sepType : 0]->setChecked(true);
    const QString sepChar =
        QString::fromStdString(calculator::GetProfileString(kSection, "SepChar", ""));
    updating_ = true;
    SetInputText(initialText_);
    updating_ = false;
    reset_->setEnabled(false);
    ok_->setEnabled(true);
    // A stored separator changes the Other field, which applies the rule.
    other_->setText(sepChar.left(1));
    ShowCaret();
    WatchHelpRequests();
    input_->setFocus();
}

QString CNumberFormatterDlg::InputText() const {
    return input_->toPlainText();
}

void CNumberFormatterDlg::SetInputText(const QString& text) {
    input_->setPlainText(WithLineFeeds(text));
}

int CNumberFormatterDlg::SeparatorType() const {
    for (int i = 0; i < 5; ++i)
        if (separators_[i]->isChecked())
            return i;
    return 0;
}

int CNumberFormatterDlg::NumberSystem() const {
    for (int i = 0; i < 4; ++i)
        if (systems_[i]->isChecked())
            return i;
    return 0;
}

void CNumberFormatterDlg::InputChanged() {
    ShowCaret();
    if (updating_)
        return;
    UpdateOk();
    reset_->setEnabled(true);
}

void CNumberFormatterDlg::UpdateOk() {
    ok_->setEnabled(
        OkEnabled(InputText().toStdString(), SeparatorType(), other_->text().toStdString()));
}

void CNumberFormatterDlg::ShowCaret() {
    const calculator::CaretPosition at = input_->caretPosition();
    line_->setText(QString::number(at.line));
    column_->setText(QString::number(at.column));
}

void CNumberFormatterDlg::Format() {
    StripRules rules;
    const int limits[4] = {kMaxLines, kMaxLines, kMaxChars, kMaxChars};
    uint32_t* values[4] = {&rules.linesFromStart, &rules.linesFromEnd, &rules.charsFromStart,
                           &rules.charsFromEnd};
    for (int i = 0; i < 4; ++i) {
        std::optional<int> v = calculator::ReadIntegerField(this, counts_[i], 0, limits[i]);
        if (!v)
            return;
        *values[i] = static_cast<uint32_t>(*v);
    }
    rules.stripText = stripText_->text().toStdString();
    if (StripsNothing(rules))
        return;
    QString text = InputText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const std::string out = ApplyStripRules(text.toStdString(), rules);
    SetInputText(QString::fromStdString(out));
    reset_->setEnabled(true);
    for (QLineEdit* count : counts_)
        count->setText(QStringLiteral("0"));
    UpdateOk();
}

void CNumberFormatterDlg::Reset() {
    updating_ = true;
    SetInputText(initialText_);
    updating_ = false;
    reset_->setEnabled(false);
    UpdateOk();
}

void CNumberFormatterDlg::DecodeBase64(bool asText) {
    const std::string text = InputText().toStdString();
    if (text.empty())
        return;
    std::string out;
    switch (DecodeBase64Input(text, asText, out)) {
    case Base64Outcome::Invalid:
        platform::messageBox(this, QStringLiteral("Invalid base64 string!"),
                             platform::MsgButtons::Ok, platform::MsgIcon::Error);
        return;
    case Base64Outcome::NoMemory:
        platform::messageBox(this, ids::kMsgOutOfMemory, platform::MsgButtons::Ok,
                             platform::MsgIcon::Error);
        return;
    case Base64Outcome::Ok:
        break;
    }
    SetInputText(QString::fromLatin1(out));
    reset_->setEnabled(true);
}

std::optional<std::pair<QString, std::string>>
CNumberFormatterDlg::RunInputText(const QString& path) {
    CInputTextDlg dialog(path, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(dialog.filePath(), dialog.text());
}

void CNumberFormatterDlg::InputFromFile() {
    QString path = QString::fromStdString(calculator::GetProfileString(kSection, "InputFile", ""));
    if (!QFileInfo(path).isFile())
        path.clear();
    std::optional<std::pair<QString, std::string>> chosen = RunInputText(path);
    if (!chosen)
        return;
    if (chosen->first != path)
        calculator::WriteProfileString(kSection, "InputFile", chosen->first.toStdString());
    initialText_ = QString::fromLatin1(chosen->second);
    updating_ = true;
    SetInputText(initialText_);
    updating_ = false;
    reset_->setEnabled(false);
    UpdateOk();
}

void CNumberFormatterDlg::accept() {
    const int sepType = SeparatorType();
    const char separator = SeparatorChar(sepType, other_->text().toStdString());
    FormatterResult r = FormatNumberText(InputText().toStdString(), separator, NumberSystem());
    if (r.message != 0) {
        platform::messageBox(this, r.message, platform::MsgButtons::Ok);
        return;
    }
    result_ = r.list;
    calculator::WriteProfileString(kSection, "StripText", stripText_->text().toStdString());
    calculator::WriteProfileInt(kSection, "NumberSystem", NumberSystem());
    calculator::WriteProfileInt(kSection, "SepType", sepType);
    calculator::WriteProfileString(kSection, "SepChar",
                                   separator ? std::string(1, separator) : std::string());
    QDialog::accept();
}

} // namespace exchange
