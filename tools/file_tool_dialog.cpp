#include "tools/file_tool_dialog.h"

#include "calculator/common/file_dialogs.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "text/hex_text.h"
#include "tools/progress_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tools {
namespace {

// One tick runs chunks for about this long, then lets the event loop run,
// so the window stays responsive and a file goes at the speed of the disk.
constexpr qint64 kTickBudgetMs = 50;
// The time-left text is rebuilt at most this often.
constexpr qint64 kLeftTimeIntervalMs = 500;

} // namespace

// ---------------------------------------------------------------- progress

CProgressDialog::CProgressDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Progress"));
    setModal(false);
    auto* note = new QLabel(QStringLiteral("It is processing, please wait..."), this);
    bar_ = new QProgressBar(this);
    platform::SetControlId(bar_, ids::kIdProgressBar);
    bar_->setRange(0, kUpper);
    bar_->setValue(0);
    bar_->setAccessibleName(QStringLiteral("Progress"));
    leftTime_ = new QLabel(this);
    platform::SetControlId(leftTime_, ids::kIdLeftTime);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, ids::kIdCancel);
    connect(cancel, &QPushButton::clicked, this, &CProgressDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(bar_);
    layout->addWidget(leftTime_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    started_.start();
}

void CProgressDialog::SetPosition(int position) {
    position = std::clamp(position, 0, kUpper);
    bar_->setValue(position);
    const qint64 now = started_.elapsed();
    if (now - lastText_ <= kLeftTimeIntervalMs)
        return;
    leftTime_->setText(QString::fromStdString(LeftTimeText(kUpper, position, now)));
    lastText_ = now;
}

int CProgressDialog::position() const {
    return bar_->value();
}

QString CProgressDialog::leftTimeText() const {
    return leftTime_->text();
}

void CProgressDialog::reject() {
    cancelled_ = true;
    hide();
}

// --------------------------------------------------------------- file tools

CFileToolDialog::CFileToolDialog(QWidget* parent, const char* section, bool hasMessage)
    : CHelpDialog(parent), section_(section), hasMessage_(hasMessage) {
    inputType_ = hasMessage ? kFromMessage : kFromFile;
    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &CFileToolDialog::OnTick);
}

int CFileToolDialog::AddSourceControls(QGridLayout* grid, int row, int columns) {
    if (hasMessage_) {
        fromMessage_ = new QRadioButton(QStringLiteral("From Message"), this);
        platform::SetControlId(fromMessage_, ids::kIdFromMessage);
        fromFile_ = new QRadioButton(QStringLiteral("From File"), this);
        platform::SetControlId(fromFile_, ids::kIdFromFile);
        auto switchTo = [this](int type) {
            inputType_ = type;
            UpdateVisibleControls();
        };
        connect(fromMessage_, &QRadioButton::clicked, this, [switchTo] { switchTo(kFromMessage); });
        connect(fromFile_, &QRadioButton::clicked, this, [switchTo] { switchTo(kFromFile); });
        auto* radios = new QHBoxLayout;
        radios->addWidget(fromMessage_);
        radios->addWidget(fromFile_);
        radios->addStretch(1);
        grid->addLayout(radios, row++, 0, 1, columns);

        // The message and the file controls share one area; one set shows.
        message_ = new calculator::CHexEditBox(this);
        platform::SetControlId(message_, ids::kIdMessage);
        message_->setAccessibleName(QStringLiteral("Message"));
        message_->setOfferCrcAndHash(false);
        message_->setMinimumHeight(90);
        hexNumber_ = new QCheckBox(QStringLiteral("Hex Number"), this);
        platform::SetControlId(hexNumber_, ids::kIdHexNumber);
        grid->addWidget(message_, row, 0, 1, columns);
        grid->addWidget(hexNumber_, row + 1, 0, 1, columns);
    }

    browse_ = new QPushButton(QStringLiteral("Browse File..."), this);
    platform::SetControlId(browse_, ids::kIdBrowseFile);
    browse_->setAutoDefault(false);
    connect(browse_, &QPushButton::clicked, this, &CFileToolDialog::BrowseFile);
    path_ = new QLineEdit(this);
    platform::SetControlId(path_, ids::kIdFilePath);
    path_->setReadOnly(true);
    path_->setAccessibleName(QStringLiteral("File Path"));
    ignore_ = new QCheckBox(QStringLiteral("Ignore Ranges:"), this);
    platform::SetControlId(ignore_, ids::kIdIgnoreRanges);
    ignoreText_ = new QLineEdit(this);
    platform::SetControlId(ignoreText_, ids::kIdIgnoreRangesText);
    ignoreText_->setAccessibleName(QStringLiteral("Ignore Ranges"));
    example_ = new QLabel(QStringLiteral("(Example: 1024..2047, 0x4096, 512)"), this);

    auto* file = new QGridLayout;
    file->addWidget(browse_, 0, 0);
    file->addWidget(path_, 0, 1);
    file->addWidget(ignore_, 1, 0);
    file->addWidget(ignoreText_, 1, 1);
    file->addWidget(example_, 2, 1);
    file->setRowStretch(3, 1);
    grid->addLayout(file, row, 0, hasMessage_ ? 2 : 1, columns);
    return row + (hasMessage_ ? 2 : 1);
}

QLineEdit* CFileToolDialog::AddField(QGridLayout* grid, int row, int id, const char* caption,
                                     bool readOnly) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    auto* field = new QLineEdit(this);
    platform::SetControlId(field, id);
    field->setReadOnly(readOnly);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

void CFileToolDialog::AddCalculateButtons(QGridLayout* grid, int row) {
    auto* calculate = new QPushButton(QStringLiteral("Calculate"), this);
    platform::SetControlId(calculate, ids::kIdCalculate);
    calculate->setDefault(true);
    connect(calculate, &QPushButton::clicked, this, &CFileToolDialog::OnCalculate);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    platform::SetControlId(close, ids::kIdCancel);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(calculate);
    buttons->addWidget(close);
    buttons->addWidget(CreateHelpButton());
    grid->addLayout(buttons, row, 0, 1, grid->columnCount());
}

void CFileToolDialog::LoadSourceSettings() {
    using calculator::GetProfileInt;
    using calculator::GetProfileString;
    const std::string section = section_;
    if (hasMessage_) {
        inputType_ = GetProfileInt(section, "InputType", kFromMessage) == kFromFile ? kFromFile
                                                                                    : kFromMessage;
        message_->setPlainText(
            QString::fromStdString(GetProfileString(section, "InputMsg", std::string())));
    }
    path_->setText(QString::fromStdString(GetProfileString(section, "FilePath", std::string())));
    ignore_->setChecked(GetProfileInt(section, "IsIgnore", 0) != 0);
    ignoreText_->setText(
        QString::fromStdString(GetProfileString(section, "IgnoreRanges", std::string())));
    UpdateVisibleControls();
}

void CFileToolDialog::SaveSourceSettings() {
    using calculator::WriteProfileInt;
    using calculator::WriteProfileString;
    const std::string section = section_;
    if (hasMessage_) {
        WriteProfileInt(section, "InputType", inputType_);
        WriteProfileString(section, "InputMsg", message_->toPlainText().toStdString());
    }
    WriteProfileString(section, "FilePath", path_->text().toStdString());
    WriteProfileInt(section, "IsIgnore", ignore_->isChecked() ? 1 : 0);
    WriteProfileString(section, "IgnoreRanges", ignoreText_->text().toStdString());
}

void CFileToolDialog::SetHexMessage(const std::string& list) {
    if (!hasMessage_)
        return;
    inputType_ = kFromMessage;
    hexNumber_->setChecked(true);
    message_->setPlainText(QString::fromStdString(list));
    UpdateVisibleControls();
}

bool CFileToolDialog::hexNumber() const {
    return hexNumber_ && hexNumber_->isChecked();
}

void CFileToolDialog::UpdateVisibleControls() {
    const bool fromFile = inputType_ == kFromFile;
    if (hasMessage_) {
        fromMessage_->setChecked(!fromFile);
        fromFile_->setChecked(fromFile);
        message_->setVisible(!fromFile);
        hexNumber_->setVisible(!fromFile);
    }
    for (QWidget* w : {static_cast<QWidget*>(browse_), static_cast<QWidget*>(path_),
                       static_cast<QWidget*>(ignore_), static_cast<QWidget*>(ignoreText_),
                       static_cast<QWidget*>(example_)})
        w->setVisible(fromFile);
}

void CFileToolDialog::BrowseFile() {
    calculator::FileDialogRequest request;
    request.kind = calculator::FileDialogRequest::Open;
    request.filters = {QStringLiteral("All File (*.*)")};
    request.path = path_->text();
    if (const auto choice = calculator::ChooseFile(this, request))
        path_->setText(choice->path);
}

bool CFileToolDialog::PrepareInput(const RunMessages& messages) {
    messageBytes_.clear();
    ranges_.clear();
    file_.Close();
    if (inputType_ == kFromFile) {
        const std::string path = path_->text().toStdString();
        if (path.empty()) {
            platform::messageBox(this, messages.needFile);
            return false;
        }
        if (!file_.Open(path)) {
            platform::messageBox(this, messages.cannotOpen);
            return false;
        }
        totalSize_ = file_.size();
        const std::string ignoreText =
            ignore_->isChecked() ? ignoreText_->text().toStdString() : std::string();
        ranges_ = BuildIncludedRanges(ignoreText, totalSize_);
        // An empty file, or ignore ranges that leave no byte, has nothing to
        // process.
        if (totalSize_ == 0 || ranges_.empty()) {
            file_.Close();
            platform::messageBox(this, kMsgNoValidData);
            return false;
        }
        return true;
    }

    if (message_->toPlainText().isEmpty()) {
        platform::messageBox(this, messages.needMessage);
        return false;
    }
    if (hexNumber()) {
        message_->Format(false);
        const std::string list = message_->toPlainText().toStdString();
        const int32_t count = text::CountHexTokens(list, true);
        if (count <= 0) {
            platform::messageBox(this, kMsgInvalidHexData);
            return false;
        }
        messageBytes_.resize(size_t(count));
        text::ParseHexBytes(list, messageBytes_.data(), count);
    } else {
        // Line breaks count as CR LF, as the message box of a dialog holds them.
        QString text = message_->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        const std::string bytes = calculator::PlainTextBytes(text);
        messageBytes_.assign(bytes.begin(), bytes.end());
    }
    totalSize_ = messageBytes_.size();
    // Ignore ranges never apply to a message.
    ranges_ = BuildIncludedRanges({}, totalSize_);
    return true;
}

void CFileToolDialog::CloseInput() {
    file_.Close();
}

void CFileToolDialog::StartRun(RangeReader::ShortReads shortReads) {
    error_ = false;
    ByteSource* source = &file_;
    if (inputType_ == kFromMessage) {
        memory_ = std::make_unique<MemorySource>(messageBytes_.data(), messageBytes_.size());
        source = memory_.get();
    }
    if (!BeginProcessing()) {
        file_.Close();
        return;
    }
    reader_ = std::make_unique<RangeReader>(*source, ranges_, totalSize_, shortReads);
    // The controls are disabled while the run goes on; those that were
    // disabled already stay so afterwards.
    disabled_.clear();
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isEnabled()) {
            child->setEnabled(false);
            disabled_.emplace_back(child);
        }
    }
    progress_ = new CProgressDialog(this);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    progress_->show();
    timer_->start();
}

void CFileToolDialog::StopProcessing() {
    timer_->stop();
    if (progress_)
        progress_->close();
    progress_.clear();
    reader_.reset();
    memory_.reset();
    file_.Close();
    for (const QPointer<QWidget>& child : disabled_) {
        if (child)
            child->setEnabled(true);
    }
    disabled_.clear();
    UpdateVisibleControls();
    raise();
    activateWindow();
}

void CFileToolDialog::OnTick() {
    QElapsedTimer tick;
    tick.start();
    do {
        if (!reader_)
            return;
        if (progress_ && progress_->cancelled()) {
            FinishProcessing(true);
            return;
        }
        if (error_ || reader_->position() >= totalSize_) {
            FinishProcessing(false);
            return;
        }
        const RangeReader::Chunk chunk = reader_->Next();
        switch (chunk.status) {
        case RangeReader::Chunk::Data:
            ProcessChunk(chunk.bytes, chunk.size);
            break;
        case RangeReader::Chunk::Failed:
            error_ = true;
            break;
        case RangeReader::Chunk::Done:
            break;
        case RangeReader::Chunk::Nothing:
            // The file gave no byte this time; the next tick tries again.
            UpdateProgress();
            return;
        }
        UpdateProgress();
    } while (tick.elapsed() < kTickBudgetMs);
}

void CFileToolDialog::UpdateProgress() {
    if (!progress_ || !reader_ || totalSize_ == 0)
        return;
    // The position's share of the total; 64-bit files cannot overflow this
    // product below 2^52 bytes.
    progress_->SetPosition(int(reader_->position() * CProgressDialog::kUpper / totalSize_));
}

void CFileToolDialog::reject() {
    if (isProcessing())
        return;
    CHelpDialog::reject();
}

} // namespace tools
