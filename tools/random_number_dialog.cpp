#include "tools/random_number_dialog.h"

#include "calculator/common/field_check.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "platform/registry/registry.h"
#include "resources/ids.h"
#include "tools/generators.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace tools {
namespace {

constexpr char kSection[] = "RandomData";
constexpr int kDefaultBits = 128;

} // namespace

CRandomNumberDialog::CRandomNumberDialog(QWidget* parent) : CHelpDialog(parent) {
    setWindowTitle(QStringLiteral("Generate Pseudo-Random Number"));
    SetHelpTopic(QStringLiteral("Dlg_GeneratePRD.htm"));
    SetHelpIds({{ids::kIdGenerate, ids::kHelpRandomGenerate},
                {ids::kIdCancel, ids::kHelpCancel},
                {ids::kIdBitCount, ids::kHelpRandomBits},
                {ids::kIdSeedText, ids::kHelpRandomSeed},
                {ids::kIdSeedNone, ids::kHelpSeedNone},
                {ids::kIdSeedAscii, ids::kHelpSeedAscii},
                {ids::kIdSeedHex, ids::kHelpSeedHex},
                {ids::kIdHelp, ids::kHelpHelpButton}});

    auto* bitsLabel = new QLabel(QStringLiteral("Number of bits to be generated: "), this);
    bits_ = new QLineEdit(this);
    bitsLabel->setBuddy(bits_);
    platform::SetControlId(bits_, ids::kIdBitCount);
    auto* seedLabel = new QLabel(QStringLiteral("Initialization Data (seed): "), this);
    seed_ = new QPlainTextEdit(this);
    seed_->setTabChangesFocus(true);
    seed_->setAccessibleName(QStringLiteral("Initialization Data (seed)"));
    platform::SetControlId(seed_, ids::kIdSeedText);
    const char* names[3] = {"Not use", "ASCII Text", "Hex Text"};
    auto* types = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        seedTypes_[i] = new QRadioButton(QString::fromLatin1(names[i]), this);
        platform::SetControlId(seedTypes_[i], ids::kIdSeedNone + i);
        types->addWidget(seedTypes_[i]);
    }
    auto* generate = new QPushButton(QStringLiteral("Generate"), this);
    generate->setDefault(true);
    platform::SetControlId(generate, ids::kIdGenerate);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    platform::SetControlId(cancel, ids::kIdCancel);
    connect(generate, &QPushButton::clicked, this, &CRandomNumberDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CRandomNumberDialog::reject);

    auto* bitsRow = new QHBoxLayout;
    bitsRow->addWidget(bitsLabel);
    bitsRow->addWidget(bits_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(generate);
    buttons->addWidget(cancel);
    buttons->addWidget(CreateHelpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bitsRow);
    layout->addLayout(types);
    layout->addWidget(seedLabel);
    layout->addWidget(seed_, 1);
    layout->addLayout(buttons);

    const int bits = calculator::GetProfileInt(kSection, "BitLength", kDefaultBits);
    int type = calculator::GetProfileInt(kSection, "InitType", 0);
    if (type < 0 || type > 2)
        type = 0;
    bits_->setText(QString::number(bits));
    seedTypes_[type]->setChecked(true);
    if (type != 0)
        seed_->setPlainText(
            QString::fromStdString(calculator::GetProfileString(kSection, "InitData", "")));
    WatchHelpRequests();
    bits_->setFocus();
    bits_->selectAll();
}

int CRandomNumberDialog::SeedType() const {
    for (int i = 0; i < 3; ++i)
        if (seedTypes_[i]->isChecked())
            return i;
    return 0;
}

void CRandomNumberDialog::accept() {
    const std::optional<int> bits =
        calculator::ReadIntegerField(this, bits_, 0, std::numeric_limits<int>::max());
    if (!bits)
        return;
    const int type = SeedType();
    const std::string seed = seed_->toPlainText().toStdString();
    GeneratorResult r = GenerateRandomNumber(*bits, static_cast<tools::SeedType>(type), seed);
    if (!r.ok) {
        if (r.message != 0)
            platform::messageBox(this, r.message, platform::MsgButtons::Ok,
                                 platform::MsgIcon::Warning);
        return;
    }
    calculator::WriteProfileInt(kSection, "BitLength", *bits);
    calculator::WriteProfileInt(kSection, "InitType", type);
    // Seed type "Not use" forgets the stored seed text.
    if (type != 0)
        calculator::WriteProfileString(kSection, "InitData", seed);
    else
        platform::registry::DeleteValue(platform::registry::Root::CurrentUser,
                                        calculator::SectionKey(kSection), "InitData");
    result_ = r.list;
    QDialog::accept();
}

} // namespace tools
