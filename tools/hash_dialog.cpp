#include "tools/hash_dialog.h"

#include "calculator/common/file_dialogs.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "exchange/export_formats.h"
#include "platform/crypto/crypt_hash.h"
#include "platform/qt/control_id.h"
#include "platform/qt/message_box.h"
#include "text/hex_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <new>

namespace tools {
namespace {

constexpr char kSection[] = "Hash";
constexpr int kDefaultAlgorithm = 2; // MD5
// The provider computes the first four algorithms of the list.
constexpr uint32_t kProviderAlgorithms[4] = {platform::CALG_MD2, platform::CALG_MD4,
                                             platform::CALG_MD5, platform::CALG_SHA1};
// The digest is finished into a buffer of the chunk's size, whose capacity is
// passed as the output length.
constexpr uint32_t kDigestCapacity = 16384;

} // namespace

CHashDialog::CHashDialog(QWidget* parent) : CFileToolDialog(parent, kSection, true) {
    setWindowTitle(QStringLiteral("Hash Value Calculator"));
    auto* grid = new QGridLayout(this);
    int row = AddSourceControls(grid, 0, 2);

    algorithms_ = new QListWidget(this);
    platform::SetControlId(algorithms_, ids::kIdAlgorithm);
    algorithms_->setAccessibleName(QStringLiteral("Algorithm"));
    for (const char* name : digest::kAlgorithmNames)
        algorithms_->addItem(QString::fromLatin1(name));
    algorithms_->setMaximumHeight(110);
    result_ = new calculator::CHexEditBox(this);
    platform::SetControlId(result_, ids::kIdHashValue);
    result_->setReadOnly(true);
    result_->setOfferCrcAndHash(false);
    result_->setAccessibleName(QStringLiteral("Hash Value"));
    result_->setMinimumHeight(90);
    auto* algorithmLabel = new QLabel(QStringLiteral("Algorithm:"), this);
    algorithmLabel->setBuddy(algorithms_);
    auto* resultLabel = new QLabel(QStringLiteral("Hash Value:"), this);
    resultLabel->setBuddy(result_);
    grid->addWidget(algorithmLabel, row, 0);
    grid->addWidget(resultLabel, row++, 1);
    grid->addWidget(algorithms_, row, 0, Qt::AlignTop);
    grid->addWidget(result_, row++, 1);

    auto* calculate = new QPushButton(QStringLiteral("Calculate"), this);
    platform::SetControlId(calculate, ids::kIdHashCalculate);
    calculate->setAutoDefault(false);
    connect(calculate, &QPushButton::clicked, this, &CHashDialog::OnCalculate);
    saveAs_ = new QPushButton(QStringLiteral("Save As..."), this);
    platform::SetControlId(saveAs_, ids::kIdHashSaveAs);
    saveAs_->setAutoDefault(false);
    saveAs_->setEnabled(false);
    connect(saveAs_, &QPushButton::clicked, this, &CHashDialog::SaveAs);
    connect(result_, &QPlainTextEdit::textChanged, this,
            [this] { saveAs_->setEnabled(!result_->toPlainText().isEmpty()); });
    auto* finish = new QPushButton(QStringLiteral("Finish"), this);
    platform::SetControlId(finish, ids::kIdOk);
    finish->setAutoDefault(false);
    connect(finish, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(calculate);
    buttons->addWidget(saveAs_);
    buttons->addStretch(1);
    buttons->addWidget(finish);
    buttons->addWidget(CreateHelpButton());
    grid->addLayout(buttons, row, 0, 1, 2);

    LoadSourceSettings();
    const int stored = calculator::GetProfileInt(kSection, "Algorithm", kDefaultAlgorithm);
    algorithms_->setCurrentRow(stored >= 0 && stored < digest::kAlgorithmCount ? stored
                                                                               : kDefaultAlgorithm);

    SetHelpTopic(QStringLiteral("Dlg_HashTool.htm"));
    SetHelpIds({{ids::kIdOk, ids::kHelpOk},
                {ids::kIdIgnoreRanges, ids::kHelpIgnoreRanges},
                {ids::kIdIgnoreRangesText, ids::kHelpIgnoreRangesText},
                {ids::kIdMessage, ids::kHelpHashMessage},
                {ids::kIdBrowseFile, ids::kHelpHashBrowseFile},
                {ids::kIdFilePath, ids::kHelpHashFilePath},
                {ids::kIdHexNumber, ids::kHelpHashHexNumber},
                {ids::kIdFromMessage, ids::kHelpHashFromMessage},
                {ids::kIdFromFile, ids::kHelpHashFromFile},
                {ids::kIdAlgorithm, ids::kHelpAlgorithm},
                {ids::kIdHashValue, ids::kHelpHashValue},
                {ids::kIdHashCalculate, ids::kHelpHashCalculate},
                {ids::kIdHashSaveAs, ids::kHelpHashSaveAs},
                {ids::kIdHelp, ids::kHelpHelpButton}});
    WatchHelpRequests();
}

CHashDialog::~CHashDialog() {
    ReleaseHash();
}

QString CHashDialog::hashText() const {
    return result_->toPlainText();
}

void CHashDialog::OnCalculate() {
    if (isProcessing())
        return;
    if (!PrepareInput({ids::kMsgHashNeedMessage, ids::kMsgHashNeedFile, ids::kMsgHashCannotOpen}))
        return;
    result_->clear();
    saveAs_->setEnabled(false);
    runAlgorithm_ = algorithms_->currentRow();
    StartRun(RangeReader::ShortReads::Fail);
}

bool CHashDialog::BeginProcessing() {
    ReleaseHash();
    if (runAlgorithm_ >= 4 && runAlgorithm_ < digest::kAlgorithmCount) {
        hasher_ = digest::CreateHasher(digest::Algorithm(runAlgorithm_));
    } else {
        // Any other value takes MD2, as the list's first entry.
        const uint32_t alg =
            kProviderAlgorithms[runAlgorithm_ >= 0 && runAlgorithm_ < 4 ? runAlgorithm_ : 0];
        if (!platform::CryptCreateHash(provider_, alg, 0, 0, &providerHash_))
            providerHash_ = 0;
    }
    if (!hasher_ && providerHash_ == 0) {
        platform::messageBox(this, ids::kMsgHashCannotCreate, platform::MsgButtons::Ok,
                             platform::MsgIcon::Error);
        return false;
    }
    return true;
}

void CHashDialog::ProcessChunk(const uint8_t* data, size_t size) {
    if (hasher_) {
        hasher_->Update(data, size);
    } else if (!platform::CryptHashData(providerHash_, data, uint32_t(size), 0)) {
        // A chunk is at most 16384 bytes, so the length always fits.
        SetErrorFlag();
    }
}

void CHashDialog::FinishProcessing(bool cancelled) {
    StopProcessing();
    bool failed = errorFlag();
    if (!cancelled && !failed && (hasher_ || providerHash_ != 0)) {
        std::vector<uint8_t> digest(kDigestCapacity);
        uint32_t length = kDigestCapacity;
        if (hasher_)
            length = uint32_t(hasher_->Finish(digest.data(), digest.size()));
        else if (!platform::CryptGetHashParam(providerHash_, platform::HP_HASHVAL, digest.data(),
                                              &length, 0))
            length = 0;
        std::string text;
        if (length == 0 || text::FormatHexBytes(digest.data(), int32_t(length), text) <= 0) {
            failed = true;
        } else {
            result_->setPlainText(QString::fromStdString(text));
            SaveSettings();
        }
    }
    ReleaseHash();
    if (!cancelled && failed)
        platform::messageBox(this, kMsgInternalError);
}

void CHashDialog::ReleaseHash() {
    if (providerHash_ != 0)
        platform::CryptDestroyHash(providerHash_);
    providerHash_ = 0;
    hasher_.reset();
}

void CHashDialog::SaveSettings() {
    SaveSourceSettings();
    const int row = algorithms_->currentRow();
    calculator::WriteProfileInt(kSection, "Algorithm", row < 0 ? kDefaultAlgorithm : row);
}

void CHashDialog::SaveAs() try {
    calculator::FileDialogRequest request;
    request.kind = calculator::FileDialogRequest::Save;
    for (const char* name : exchange::kHexExportFilters)
        request.filters << QString::fromLatin1(name);
    request.initialFilter = saveFormat_;
    request.path = savePath_;
    const std::optional<calculator::FileChoice> choice = calculator::ChooseFile(this, request);
    if (!choice)
        return;
    savePath_ = choice->path;
    saveFormat_ = choice->filter;

    const std::string shown = hashText().toStdString();
    std::vector<uint8_t> bytes(shown.size());
    const int32_t count =
        text::ParseHexBytes(shown, bytes.data(), static_cast<int32_t>(bytes.size()));
    if (count <= 0) {
        platform::messageBox(this, ids::kMsgNoValidNumber);
        return;
    }
    const std::string content =
        exchange::WriteHexExport(exchange::ExportFormat(saveFormat_), bytes.data(), size_t(count),
                                 exchange::kHashResultStyle);
    if (const int failure = exchange::WriteFileChecked(savePath_.toStdString(), content)) {
        platform::messageBox(this, failure);
        return;
    }
    platform::messageBox(this, ids::kMsgNumberSaveOk, platform::MsgButtons::Ok,
                         platform::MsgIcon::Information);
} catch (const std::bad_alloc&) {
    platform::messageBox(this, text::kMsgOutOfMemory);
}

} // namespace tools
