#include "tools/random_prime_dialog.h"

#include "calculator/common/field_check.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "resources/ids.h"
#include "tools/generators.h"
#include "tools/primality_test_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tools {
namespace {

constexpr char kSection[] = "Prime";
constexpr int kDefaultBits = 128;

} // namespace

CRandomPrimeDialog::CRandomPrimeDialog(QWidget* parent) : CHelpDialog(parent) {
    setWindowTitle(QStringLiteral("Generate Random Prime"));
    SetHelpTopic(QStringLiteral("Dlg_GeneratePrime.htm"));
    SetHelpIds({{ids::kIdGenerate, ids::kHelpPrimeGenerate},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdBitCount, ids::kHelpPrimeBitLength},
                {ids::kIdPrimeTestTimes, ids::kHelpTestTimes},
                {ids::kIdHelp, ids::kHelpHelpButton}});

    auto* bitsLabel = new QLabel(QStringLiteral("Bit length of prime to be generated: "), this);
    bits_ = new QLineEdit(this);
    bitsLabel->setBuddy(bits_);
    platform::SetControlId(bits_, ids::kIdBitCount);
    auto* testsLabel = new QLabel(QStringLiteral("Times of primality test to be used: "), this);
    tests_ = new QLineEdit(this);
    testsLabel->setBuddy(tests_);
    platform::SetControlId(tests_, ids::kIdPrimeTestTimes);
    auto* generate = new QPushButton(QStringLiteral("Generate"), this);
    generate->setDefault(true);
    platform::SetControlId(generate, ids::kIdGenerate);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, ids::kIdCancel);
    connect(generate, &QPushButton::clicked, this, &CRandomPrimeDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CRandomPrimeDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(bitsLabel, 0, 0);
    fields->addWidget(bits_, 0, 1);
    fields->addWidget(testsLabel, 1, 0);
    fields->addWidget(tests_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(generate);
    buttons->addWidget(cancel);
    buttons->addWidget(CreateHelpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    bits_->setText(QString::number(calculator::GetProfileInt(kSection, "BitLength", kDefaultBits)));
    tests_->setText(QString::number(
        calculator::GetProfileInt(kSection, "TestTimes", CPrimalityTestDialog::kDefaultTestCount)));
    WatchHelpRequests();
    bits_->setFocus();
    bits_->selectAll();
}

void CRandomPrimeDialog::accept() {
    const std::optional<int> bits = calculator::ReadIntegerField(this, bits_, kMinBits, kMaxBits);
    if (!bits)
        return;
    const std::optional<int> tests = calculator::ReadIntegerField(
        this, tests_, CPrimalityTestDialog::kMinTestCount, CPrimalityTestDialog::kMaxTestCount);
    if (!tests)
        return;
    calculator::WriteProfileInt(kSection, "BitLength", *bits);
    calculator::WriteProfileInt(kSection, "TestTimes", *tests);
    // The search runs to the end on this thread; the wait cursor says so.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    GeneratorResult r = GenerateRandomPrime(*bits, *tests);
    QApplication::restoreOverrideCursor();
    if (!r.ok) {
        if (r.message != 0)
            platform::messageBox(this, r.message, platform::MsgButtons::Ok,
                                 platform::MsgIcon::Warning);
        return;
    }
    result_ = r.list;
    QDialog::accept();
}

} // namespace tools
