// The Key Container Manager and the Export Key Pair dialog driven by control
// id: the buttons a name enables (typed or chosen from the list), Create and
// Delete with their messages and list edits, Finish and Esc on the settings,
// the export's outcomes as files and messages, and a name and a popup text
// for every control.
#include "calculator/common/popup_text.h"
#include "calculator/common/settings_store.h"
#include "keys/crypto_context.h"
#include "keys/key_container_dlg.h"
#include "keys/key_export_dlg.h"
#include "platform/crypto/crypt_keys.h"
#include "platform/qt/control_id.h"
#include "support/accessibility_check.h"
#include "support/ui_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

using keys::CKeyContainerDlg;
using keys::CKeyExportDlg;

namespace {

const char kSection[] = "Container Info";

// The settings, key store and message boxes of one test.
struct Stores {
    Stores() {
        calculator::SetSettingsRoot("Pellacor");
        calculator::SetApplicationName("Ordovane");
    }
    ScopedTempRegistry registry;
    ScopedTempKeyStore keyStore;
    MessageRecorder messages;
    keys::RegistryProfile settings{&calculator::SectionKey};

    // A "Container Info" value, "(none)" when it is missing.
    QString value(const std::string& name) {
        return QString::fromStdString(settings.GetString(kSection, name).value_or("(none)"));
    }

    QStringList texts() const {
        QStringList out;
        for (const auto& r : messages.shown)
            out << r.text;
        return out;
    }
};

platform::HCRYPTPROV Open(const std::string& name) {
    platform::HCRYPTPROV h = 0;
    platform::CryptAcquireContextA(&h, name.c_str(), platform::MS_DEF_PROV_A,
                                   platform::PROV_RSA_FULL, 0);
    return h;
}

// A container holding only the pairs asked for; false when that failed.
bool MakeContainer(const std::string& name, bool exchange, bool signature) {
    platform::HCRYPTPROV h = 0;
    platform::HCRYPTKEY k = 0;
    if (!platform::CryptAcquireContextA(&h, name.c_str(), platform::MS_DEF_PROV_A,
                                        platform::PROV_RSA_FULL, platform::CRYPT_NEWKEYSET))
        return false;
    bool ok = true;
    for (auto [wanted, kind] : {std::pair{exchange, platform::AT_KEYEXCHANGE},
                                std::pair{signature, platform::AT_SIGNATURE}}) {
        if (wanted && (ok = ok && platform::CryptGenKey(h, kind, platform::CRYPT_EXPORTABLE, &k)))
            platform::CryptDestroyKey(k);
    }
    platform::CryptReleaseContext(h, 0);
    return ok;
}

// The public blob of a pair, empty when the container or the pair is missing.
QByteArray PublicBlob(const std::string& name, uint32_t keySpec) {
    platform::HCRYPTPROV h = Open(name);
    platform::HCRYPTKEY k = 0;
    QByteArray blob(1024, 0);
    uint32_t len = 1024;
    const bool ok = h && platform::CryptGetUserKey(h, keySpec, &k) &&
                    platform::CryptExportKey(k, 0, platform::PUBLICKEYBLOB, 0,
                                             reinterpret_cast<uint8_t*>(blob.data()), &len);
    if (k)
        platform::CryptDestroyKey(k);
    if (h)
        platform::CryptReleaseContext(h, 0);
    return ok ? blob.left(int(len)) : QByteArray();
}

void WriteItems(keys::ProfileSettings& settings, const QStringList& names) {
    for (int i = 0; i < names.size(); ++i)
        settings.WriteString(kSection, keys::ItemValueName(size_t(i)), names[i].toStdString());
}

template <class T = QPushButton> T* Control(QWidget* dialog, int id) {
    return platform::FindControl<T>(dialog, id);
}

QComboBox* Names(QWidget* dialog) {
    return Control<QComboBox>(dialog, ids::kIdContainerName);
}

// Which of Create, Delete, Export Exchange, Export Signature are enabled.
QString Buttons(QWidget* dialog) {
    QString s;
    for (int id : {ids::kIdCreateContainer, ids::kIdDeleteContainer, ids::kIdExportExchangeKeys,
                   ids::kIdExportSignatureKeys})
        s += Control(dialog, id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QStringList Listed(const CKeyContainerDlg& dialog) {
    QStringList names;
    for (const std::string& name : dialog.listedNames())
        names << QString::fromStdString(name);
    return names;
}

void TypeName(QWidget* dialog, const QString& name) {
    QLineEdit* edit = Names(dialog)->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, name);
}

// Picks entry row of the drop-down list with the mouse.
void ChooseFromList(QWidget* dialog, int row) {
    QComboBox* names = Names(dialog);
    names->showPopup();
    QAbstractItemView* view = names->view();
    QTRY_VERIFY(view->isVisible());
    const QRect item = view->visualRect(names->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->isVisible());
}

// Runs act on the next modal dialog once it is open (the one exec() runs).
void WhenModal(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    QWidget* before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, before, act] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!modal || modal == before)
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start(10);
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class KeyContainerDlgTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasANameAndAPopupText();
    void firstStartWithAnExistingDefaultContainer();
    void typedOrChosenNameSetsButtonsAndExportName();
    void createOnExistingOrNewContainer_data();
    void createOnExistingOrNewContainer();
    void deleteThenFinishKeepsTypedNameAsCurrent();
    void elevenNamesRoundTripAndEscWritesNothing();
    void exportOutcomes_data();
    void exportOutcomes();
    void exportNeedsBothBlobFileNames();
};

void KeyContainerDlgTest::everyControlHasANameAndAPopupText() {
    Stores s;
    QVERIFY(MakeContainer("Box", true, true));
    QFile file(QStringLiteral(ORDOVANE_SOURCE_DIR "/resources/help/ctxpopup.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QMap<int, QString> popups = calculator::ParsePopupTexts(file.readAll());
    const platform::HCRYPTPROV h = Open("Box");
    QVERIFY(h);
    CKeyContainerDlg manager(s.settings);
    CKeyExportDlg exchange(h, "Box", keys::KeyKind::Exchange, {});
    CKeyExportDlg signature(h, "Box", keys::KeyKind::Signature, {});
    for (calculator::CHelpDialog* dialog :
         std::initializer_list<calculator::CHelpDialog*>{&manager, &exchange, &signature}) {
        QCOMPARE(UnnamedControls(dialog), QStringList());
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            const int id = platform::ControlId(control);
            if (id != 0)
                QVERIFY2(popups.contains(dialog->HelpId(id)), qPrintable(QString::number(id)));
        }
    }
    // The Export button's text names the pair it writes.
    QVERIFY(exchange.HelpId(CKeyExportDlg::kIdExport) !=
            signature.HelpId(CKeyExportDlg::kIdExport));
    platform::CryptReleaseContext(h, 0);
}

void KeyContainerDlgTest::firstStartWithAnExistingDefaultContainer() {
    Stores s;
    QVERIFY(MakeContainer("Default Container", false, false));
    keys::RunFirstRunSetup(s.settings);
    // The container is recorded, and no pair appears by itself.
    QCOMPARE(s.value("Current"), QStringLiteral("Default Container"));
    QCOMPARE(s.value("Item0"), QStringLiteral("Default Container"));
    QVERIFY(PublicBlob("Default Container", platform::AT_KEYEXCHANGE).isEmpty());

    CKeyContainerDlg dialog(s.settings);
    QCOMPARE(Names(&dialog)->currentText(), QStringLiteral("Default Container"));
    QCOMPARE(Names(&dialog)->count(), 1);
    QCOMPARE(Buttons(&dialog), QStringLiteral("0111"));
    QVERIFY(s.messages.shown.isEmpty());
}

void KeyContainerDlgTest::typedOrChosenNameSetsButtonsAndExportName() {
    Stores s;
    QVERIFY(MakeContainer("Alpha", true, true));
    WriteItems(s.settings, {"Alpha", "Beta"});
    s.settings.WriteString(kSection, "Current", "Beta");
    CKeyContainerDlg dialog(s.settings);
    dialog.show();
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000")); // Beta does not exist

    TypeName(&dialog, QStringLiteral("Alph"));
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000"));
    QTest::keyClicks(Names(&dialog)->lineEdit(), QStringLiteral("a"));
    QCOMPARE(Buttons(&dialog), QStringLiteral("0111"));
    QCOMPARE(QString::fromStdString(dialog.containerName()), QStringLiteral("Alpha"));

    // Choosing from the list acts as typing: Beta again, then Alpha.
    Names(&dialog)->setCurrentIndex(1);
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000"));
    QCOMPARE(QString::fromStdString(dialog.containerName()), QStringLiteral("Beta"));
    Names(&dialog)->setCurrentIndex(0);
    QCOMPARE(Buttons(&dialog), QStringLiteral("0111"));
    // With the mouse, over a typed name, the entry already current.
    TypeName(&dialog, QStringLiteral("Zed"));
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000"));
    ChooseFromList(&dialog, 0);
    QCOMPARE(Names(&dialog)->currentText(), QStringLiteral("Alpha"));
    QCOMPARE(Buttons(&dialog), QStringLiteral("0111"));

    // The export opens on the chosen name.
    QString title;
    WhenModal([&](QDialog* d) {
        title = d->windowTitle();
        d->reject();
    });
    Control(&dialog, ids::kIdExportSignatureKeys)->click();
    QCOMPARE(title, QStringLiteral("Export signature key pair from \"Alpha\""));
    QVERIFY(s.messages.shown.isEmpty());
}

void KeyContainerDlgTest::createOnExistingOrNewContainer_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("message");
    QTest::newRow("both pairs there")
        << true << "The key container \"Box\" had already been created.";
    QTest::newRow("new") << false << "The key container \"Box\" has been created.";
}

void KeyContainerDlgTest::createOnExistingOrNewContainer() {
    QFETCH(bool, exists);
    QFETCH(QString, message);
    Stores s;
    WriteItems(s.settings, {"Other", "Box"});
    s.settings.WriteString(kSection, "Current", "Box");
    CKeyContainerDlg dialog(s.settings);
    dialog.show();
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000"));
    // Made meanwhile elsewhere (the command line), after the buttons were set.
    if (exists)
        QVERIFY(MakeContainer("Box", true, true));
    const QByteArray exchange = PublicBlob("Box", platform::AT_KEYEXCHANGE);
    const QByteArray signature = PublicBlob("Box", platform::AT_SIGNATURE);

    Control(&dialog, ids::kIdCreateContainer)->click();
    QCOMPARE(s.texts(), QStringList{message});
    QCOMPARE(s.messages.shown[0].icon, platform::MsgIcon::Information);
    // Listed once, whether or not it was listed before.
    QCOMPARE(Listed(dialog), (QStringList{"Other", "Box"}));
    QCOMPARE(Buttons(&dialog), QStringLiteral("0111"));
    QVERIFY(!PublicBlob("Box", platform::AT_KEYEXCHANGE).isEmpty());
    QVERIFY(!PublicBlob("Box", platform::AT_SIGNATURE).isEmpty());
    if (exists) { // no key was generated
        QCOMPARE(PublicBlob("Box", platform::AT_KEYEXCHANGE), exchange);
        QCOMPARE(PublicBlob("Box", platform::AT_SIGNATURE), signature);
    }

    // A name not yet listed goes to the top; the field keeps it.
    TypeName(&dialog, QStringLiteral("New One"));
    Control(&dialog, ids::kIdCreateContainer)->click();
    QCOMPARE(Listed(dialog), (QStringList{"New One", "Other", "Box"}));
    QCOMPARE(Names(&dialog)->currentText(), QStringLiteral("New One"));
}

void KeyContainerDlgTest::deleteThenFinishKeepsTypedNameAsCurrent() {
    Stores s;
    QVERIFY(MakeContainer("Alpha", false, false));
    QVERIFY(MakeContainer("Beta", false, false));
    WriteItems(s.settings, {"Alpha", "Beta"});
    s.settings.WriteString(kSection, "Current", "Alpha");
    CKeyContainerDlg dialog(s.settings);
    dialog.show();

    s.messages.answers.push_back(platform::MsgResult::No);
    Control(&dialog, ids::kIdDeleteContainer)->click();
    QVERIFY(Open("Alpha") != 0);
    QCOMPARE(Listed(dialog).size(), 2);

    s.messages.clear();
    Control(&dialog, ids::kIdDeleteContainer)->click();
    QCOMPARE(s.texts(), (QStringList{"Do you really want to delete the key container \"Alpha\"?",
                                     "The key container \"Alpha\" has been deleted."}));
    QCOMPARE(s.messages.shown[0].buttons, platform::MsgButtons::YesNo);
    QCOMPARE(Listed(dialog), QStringList{"Beta"});
    QCOMPARE(Names(&dialog)->currentText(), QStringLiteral("Alpha"));
    QCOMPARE(Buttons(&dialog), QStringLiteral("1000"));

    Control(&dialog, CKeyContainerDlg::kIdFinish)->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(s.value("Item0"), QStringLiteral("Beta"));
    QCOMPARE(s.value("Item1"), QStringLiteral("(none)"));
    QCOMPARE(s.value("Current"), QStringLiteral("Alpha"));
}

void KeyContainerDlgTest::elevenNamesRoundTripAndEscWritesNothing() {
    Stores s;
    QStringList names;
    for (int i = 0; i < 11; ++i)
        names << QStringLiteral("Box %1").arg(i);
    WriteItems(s.settings, names);
    s.settings.WriteString(kSection, "Current", "Box 4");
    {
        CKeyContainerDlg dialog(s.settings);
        dialog.show();
        QCOMPARE(Names(&dialog)->count(), 11);
        TypeName(&dialog, QStringLiteral("Elsewhere"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(s.value("Current"), QStringLiteral("Box 4"));

    CKeyContainerDlg dialog(s.settings);
    Names(&dialog)->setCurrentIndex(10);
    Control(&dialog, CKeyContainerDlg::kIdFinish)->click();
    QCOMPARE(s.value("Item9"), QStringLiteral("Box 9"));
    QCOMPARE(s.value("Itema"), QStringLiteral("Box 10"));
    QCOMPARE(s.value("Item10"), QStringLiteral("(none)"));
    QCOMPARE(s.value("Current"), QStringLiteral("Box 10"));
    QCOMPARE(keys::ReadContainerInfo(s.settings).items.size(), size_t(11));
}

void KeyContainerDlgTest::exportOutcomes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("baseMessage");
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<QString>("sessionFile");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focusId"); // 0: the dialog closed
    QTest::addColumn<QStringList>("files");
    const int exchange = int(keys::KeyKind::Exchange), signature = int(keys::KeyKind::Signature);
    QTest::newRow("all three files")
        << exchange << "secret" << true << "session.md5"
        << "You have succeeded in exporting key blobs." << 0
        << QStringList{"privatekey.blob", "publickey.blob", "session.md5"};
    QTest::newRow("empty session file name") << exchange << "secret" << true << ""
                                             << "You have succeeded in exporting key blobs." << 0
                                             << QStringList{"privatekey.blob", "publickey.blob"};
    QTest::newRow("missing signature pair") << signature << "secret" << true << "session.md5"
                                            << "Cann't get user key from key conainter!"
                                            << int(CKeyExportDlg::kIdExport) << QStringList{};
    QTest::newRow("no base message") << exchange << "" << true << "session.md5"
                                     << "To derive a session key, you need feed some base data."
                                     << int(ids::kIdBaseMessage) << QStringList{};
    QTest::newRow("no folder") << exchange << "secret" << false << "session.md5"
                               << "Please browse a folder for saving key blobs."
                               << int(ids::kIdExportFolder) << QStringList{};
}

void KeyContainerDlgTest::exportOutcomes() {
    QFETCH(int, kind);
    QFETCH(QString, baseMessage);
    QFETCH(bool, withFolder);
    QFETCH(QString, sessionFile);
    QFETCH(QString, message);
    QFETCH(int, focusId);
    QFETCH(QStringList, files);
    Stores s;
    QVERIFY(MakeContainer("Box", true, false));
    QTemporaryDir out;
    const platform::HCRYPTPROV h = Open("Box");
    QVERIFY(h);
    keys::ExportFields fields;
    fields.baseMessage = baseMessage;
    fields.sessionFile = sessionFile;
    if (withFolder)
        fields.folder = out.path();
    CKeyExportDlg dialog(h, "Box", keys::KeyKind(kind), fields);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    Control(&dialog, CKeyExportDlg::kIdExport)->click();
    QCOMPARE(s.texts(), QStringList{message});
    QCOMPARE(s.messages.shown[0].icon,
             focusId == 0 ? platform::MsgIcon::Information : platform::MsgIcon::Warning);
    QCOMPARE(dialog.isVisible(), focusId != 0);
    if (focusId != CKeyExportDlg::kIdExport && focusId != 0)
        QCOMPARE(platform::ControlId(QApplication::focusWidget()), focusId);
    QCOMPARE(FilesIn(out.path()), files);
    QCOMPARE(dialog.fields().baseMessage, baseMessage);
    platform::CryptReleaseContext(h, 0);
}

void KeyContainerDlgTest::exportNeedsBothBlobFileNames() {
    Stores s;
    QVERIFY(MakeContainer("Box", true, true));
    const platform::HCRYPTPROV h = Open("Box");
    QVERIFY(h);
    CKeyExportDlg dialog(h, "Box", keys::KeyKind::Exchange, {});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export key exchange key pair from \"Box\""));
    auto* exportButton = Control(&dialog, CKeyExportDlg::kIdExport);
    QVERIFY(exportButton->isEnabled());
    for (int id : {ids::kIdPublicKeyFile, ids::kIdPrivateKeyFile}) {
        auto* field = Control<QLineEdit>(&dialog, id);
        const QString kept = field->text();
        field->clear();
        QVERIFY(!exportButton->isEnabled());
        dialog.accept(); // Enter on a disabled Export does nothing either
        QVERIFY(s.messages.shown.isEmpty());
        field->setText(kept);
        QVERIFY(exportButton->isEnabled());
    }
    platform::CryptReleaseContext(h, 0);
}

QTEST_MAIN(KeyContainerDlgTest)
#include "key_container_dlg_test.moc"
