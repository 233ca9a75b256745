#include "tools/primality_test_dialog.h"

#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace tools {
namespace {

const char kSection[] = "Prime";
const char kTestTimes[] = "TestTimes";

const char kDefaultTitle[] = "Primality Test";
const char kDefaultNote[] = "Primality test is time consuming when the number is a big probable "
                            "prime, please wait for the process to finish. ";

bool InRange(int count) {
    return count >= CPrimalityTestDialog::kMinTestCount &&
           count <= CPrimalityTestDialog::kMaxTestCount;
}

} // namespace

CPrimalityTestDialog::CPrimalityTestDialog(QWidget* parent) : CHelpDialog(parent) {
    setWindowTitle(QString::fromLatin1(kDefaultTitle));

    auto* caption = new QLabel(QStringLiteral("Test Times: "), this);
    testTimes_ = new QLineEdit(this);
    platform::SetControlId(testTimes_, kIdTestTimes);
    caption->setBuddy(testTimes_);

    note_ = new QLabel(QString::fromLatin1(kDefaultNote), this);
    platform::SetControlId(note_, kIdNote);
    note_->setWordWrap(true);
    QPalette notePalette = note_->palette();
    notePalette.setColor(QPalette::WindowText, QColor(41, 153, 255));
    note_->setPalette(notePalette);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    platform::SetControlId(ok_, kIdOk);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel_, kIdCancel);
    connect(ok_, &QPushButton::clicked, this, &CPrimalityTestDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &CPrimalityTestDialog::reject);

    auto* field = new QHBoxLayout;
    field->addWidget(caption);
    field->addWidget(testTimes_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(note_);
    layout->addLayout(buttons);

    WatchHelpRequests();

    testCount_ = StoredTestCount();
    testTimes_->setText(QString::number(testCount_));
    testTimes_->selectAll();
    testTimes_->setFocus();
}

int CPrimalityTestDialog::StoredTestCount() {
    int stored = calculator::GetProfileInt(kSection, kTestTimes, kDefaultTestCount);
    return InRange(stored) ? stored : kDefaultTestCount;
}

int CPrimalityTestDialog::HelpIdFor(int controlId) {
    switch (controlId) {
    case kIdOk:
        return ids::kHelpOk;
    case kIdCancel:
        return ids::kHelpCancel;
    case kIdTestTimes:
        return ids::kHelpTestTimes;
    default:
        return 0;
    }
}

void CPrimalityTestDialog::setTitle(const QString& title) {
    if (!title.isEmpty())
        setWindowTitle(title);
}

void CPrimalityTestDialog::setNote(const QString& note) {
    if (!note.isEmpty())
        note_->setText(note);
}

void CPrimalityTestDialog::accept() {
    bool isNumber = false;
    int count = testTimes_->text().trimmed().toInt(&isNumber);
    if (!isNumber || !InRange(count)) {
        // The field check keeps the dialog open on the offending field.
        QApplication::beep();
        testTimes_->setFocus();
        testTimes_->selectAll();
        return;
    }
    testCount_ = count;
    calculator::WriteProfileInt(kSection, kTestTimes, count);
    QDialog::accept();
}

} // namespace tools
