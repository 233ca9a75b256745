// CFileToolDialog, the base of the CRC, checksum and hash calculators: the
// input (a typed message, a hex byte list or a file with ignore ranges), the
// chunked run on timer ticks with its progress dialog and Cancel, and the
// settings the three share. CProgressDialog is that progress dialog.
#pragma once

#include "calculator/common/help_dialog.h"
#include "resources/ids.h"
#include "tools/file_source.h"
#include "tools/input_ranges.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace calculator {
class CHexEditBox;
}

namespace tools {

class CProgressDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kUpper = 4096;

    explicit CProgressDialog(QWidget* owner);

    // Sets the position (clamped to the range); the time-left text is rebuilt
    // at most every 500 ms.
    void SetPosition(int position);
    int position() const;
    QString leftTimeText() const;
    bool cancelled() const { return cancelled_; }

public slots:
    // Cancel: the tool notices at its next tick.
    void reject() override;

private:
    QProgressBar* bar_ = nullptr;
    QLabel* leftTime_ = nullptr;
    QElapsedTimer started_;
    qint64 lastText_ = 0;
    bool cancelled_ = false;
};

class CFileToolDialog : public calculator::CHelpDialog {
    Q_OBJECT

public:
    enum InputType { kFromMessage = 0, kFromFile = 1 };

    // Opened from an edit box's menu: From Message, Hex Number set, the
    // operand's hex byte list as the message.
    void SetHexMessage(const std::string& list);
    void setUpperCase(bool upper) { upperCase_ = upper; }
    bool upperCase() const { return upperCase_; }
    bool isProcessing() const { return reader_ != nullptr; }
    CProgressDialog* progressDialog() const { return progress_; }

    // The Calculate button.
    virtual void OnCalculate() = 0;

public slots:
    // While a run goes on only Cancel of the progress dialog stops it.
    void reject() override;

protected:
    // section: the tool's settings section; hasMessage: the tool can take a
    // typed message (the checksum calculator reads files only).
    CFileToolDialog(QWidget* parent, const char* section, bool hasMessage);

    // The source controls (input radios, message box, Hex Number, Browse,
    // path, Ignore Ranges and its field with the example), laid into grid
    // from row on; returns the next free row.
    int AddSourceControls(QGridLayout* grid, int row, int columns);
    // A labelled edit field in columns 0 (the caption, its buddy) and 1.
    QLineEdit* AddField(QGridLayout* grid, int row, int id, const char* caption, bool readOnly);
    // The row of Calculate (the default button, OnCalculate), Close and Help.
    void AddCalculateButtons(QGridLayout* grid, int row);
    // Reads the shared settings (after the tool's controls exist).
    void LoadSourceSettings();
    void SaveSourceSettings();

    struct RunMessages {
        int needMessage = 0;
        int needFile = 0;
        int cannotOpen = 0;
    };
    // The common half of Calculate: checks the input (showing the tool's
    // message), opens the file or takes the message, builds the included
    // ranges. False when nothing may start.
    bool PrepareInput(const RunMessages& messages);
    // Closes a file PrepareInput opened when the tool then refuses to start.
    void CloseInput();
    // Starts the run on chunks read by shortReads' rule; BeginProcessing of
    // the tool comes first.
    void StartRun(RangeReader::ShortReads shortReads);

    // Tool hooks: preparation (false: nothing starts, the tool said why),
    // one chunk, and the end of the run.
    virtual bool BeginProcessing() = 0;
    virtual void ProcessChunk(const uint8_t* data, size_t size) = 0;
    virtual void FinishProcessing(bool cancelled) = 0;

    // Stops the timer, closes the progress dialog and the file, re-enables
    // the controls.
    void StopProcessing();
    bool errorFlag() const { return error_; }
    // A step failed: the next tick ends the run with "An internal error occurred.".
    void SetErrorFlag() { error_ = true; }
    int inputType() const { return inputType_; }
    bool hexNumber() const;
    calculator::CHexEditBox* messageBox() const { return message_; }
    QString section() const { return QString::fromLatin1(section_); }

private:
    void OnTick();
    void UpdateProgress();
    void UpdateVisibleControls();
    void BrowseFile();

    const char* section_;
    bool hasMessage_;
    bool upperCase_ = true;
    int inputType_ = kFromMessage;

    QRadioButton* fromMessage_ = nullptr;
    QRadioButton* fromFile_ = nullptr;
    calculator::CHexEditBox* message_ = nullptr;
    QCheckBox* hexNumber_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* path_ = nullptr;
    QCheckBox* ignore_ = nullptr;
    QLineEdit* ignoreText_ = nullptr;
    QLabel* example_ = nullptr;

    // The run.
    FileSource file_;
    std::vector<uint8_t> messageBytes_;
    std::unique_ptr<MemorySource> memory_;
    std::vector<ByteRange> ranges_;
    uint64_t totalSize_ = 0;
    std::unique_ptr<RangeReader> reader_;
    QTimer* timer_ = nullptr;
    QPointer<CProgressDialog> progress_;
    std::vector<QPointer<QWidget>> disabled_;
    bool error_ = false;
};

} // namespace tools
