// The help helpers: popup texts, the help viewer over the compiled help file,
// the help file's own contents, and the folder browser.
#include "calculator/common/folder_browser.h"
#include "calculator/common/help.h"
#include "calculator/common/help_viewer.h"
#include "calculator/common/popup_text.h"

#include "support/ui_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using calculator::CFolderBrowserDialog;
using calculator::CHelpViewer;
using PopupMap = QMap<int, QString>;

namespace {

const QString kHelpFile = QStringLiteral(ORDOVANE_HELP_FILE);

QList<CHelpViewer*> Viewers() {
    QList<CHelpViewer*> out;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* v = qobject_cast<CHelpViewer*>(w))
            out.append(v);
    }
    return out;
}

QList<QWidget*> VisiblePopups() {
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("helpPopup") && w->isVisible())
            out.append(w);
    }
    return out;
}

// Drops the viewer and the engines of the current help file.
void ResetHelp() {
    calculator::SetHelpFilePath(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// True when page (a qthelp:// URL without fragment) defines anchor name.
bool HasAnchor(const QHelpEngineCore& engine, const QUrl& page, const QString& name) {
    const QString html = QString::fromUtf8(engine.fileData(page));
    return html.contains(QStringLiteral("name=\"%1\"").arg(name));
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void parsePopupTexts_data();
    void parsePopupTexts();
    void popupShownAtControlCorner();
    void popupIds_data();
    void popupIds();
    void popupClosedByClick();
    void missingHelpFile_data();
    void missingHelpFile();
    void topicOpensViewer_data();
    void topicOpensViewer();
    void unknownTopicShowsNothingNew();
    void indexAndSearchTabs();
    void navigationShowsPages();
    void searchFindsPage();
    void modalDialogBorrowsViewer();
    void contentsEntriesResolve();
    void keywordsResolve_data();
    void keywordsResolve();
    void pageLinksResolve();
    void confirmableFolders_data();
    void confirmableFolders();
    void browserButtonFollowsFolder();
    void browseForFolder_data();
    void browseForFolder();

private:
    ScopedTempRegistry registry_;
    QTemporaryDir temp_;
    QString writable_, readOnly_;
    QWidget* owner_ = nullptr;
};

void HelpTest::initTestCase() {
    QVERIFY2(QFileInfo(kHelpFile).isFile(), qPrintable(kHelpFile));
    QVERIFY(temp_.isValid());
    writable_ = temp_.filePath(QStringLiteral("rw"));
    readOnly_ = temp_.filePath(QStringLiteral("ro"));
    QVERIFY(QDir().mkpath(writable_));
    QVERIFY(QDir().mkpath(readOnly_));
    QVERIFY(QFile::setPermissions(readOnly_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                 QFile::ExeGroup | QFile::ReadOther |
                                                 QFile::ExeOther));
}

void HelpTest::init() {
    if (!owner_) {
        owner_ = new QWidget;
        owner_->setGeometry(40, 40, 300, 200);
        owner_->show();
    }
    calculator::SetHelpOwner(owner_);
    calculator::SetHelpFilePath(kHelpFile);
}

void HelpTest::cleanupTestCase() {
    delete owner_;
    QFile::setPermissions(readOnly_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void HelpTest::parsePopupTexts_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<PopupMap>("expected");
    QTest::newRow("two topics") << QByteArray(".topic 1000\nOK text.\n.topic 1001\nCancel.\n")
                                << PopupMap{{1000, "OK text."}, {1001, "Cancel."}};
    QTest::newRow("lines joined, trimmed")
        << QByteArray(".topic 5\n  first line  \n\tsecond line\n")
        << PopupMap{{5, "first line second line"}};
    QTest::newRow("blank lines part paragraphs")
        << QByteArray(".topic 7\nOne.\n\n\nTwo\nthree.\n") << PopupMap{{7, "One.\n\nTwo three."}};
    QTest::newRow("CRLF") << QByteArray(".topic 1\r\nA\r\n\r\nB\r\n.topic 2\r\nC\r\n")
                          << PopupMap{{1, "A\n\nB"}, {2, "C"}};
    QTest::newRow("outer blank lines dropped")
        << QByteArray(".topic 3\n\n  \nText\n\n\n") << PopupMap{{3, "Text"}};
    QTest::newRow("text before first topic")
        << QByteArray("preamble\n\n.topic 4\nT\n") << PopupMap{{4, "T"}};
    QTest::newRow("symbolic id skipped")
        << QByteArray(".topic IDH_OK\nskip me\n.topic 9\nkeep\n") << PopupMap{{9, "keep"}};
    QTest::newRow("empty topic absent")
        << QByteArray(".topic 10\n\n.topic 11\nx\n") << PopupMap{{11, "x"}};
    QTest::newRow("first of a duplicate wins")
        << QByteArray(".topic 12\nfirst\n.topic 12\nsecond\n") << PopupMap{{12, "first"}};
    QTest::newRow("keyword case and spacing")
        << QByteArray("  .TOPIC   13  \nz\n") << PopupMap{{13, "z"}};
    QTest::newRow("tabs around the id")
        << QByteArray(".topic\t19\tx\ntab\n") << PopupMap{{19, "tab"}};
    QTest::newRow("words after the id")
        << QByteArray(".topic 18 extra\nt\n") << PopupMap{{18, "t"}};
    QTest::newRow(".topics is text")
        << QByteArray(".topic 14\na\n.topics 15\nb\n") << PopupMap{{14, "a .topics 15 b"}};
    QTest::newRow("BOM and UTF-8") << QByteArray("\xEF\xBB\xBF.topic 16\nGr\xC3\xBC\xC3\x9F"
                                                 "e\n")
                                   << PopupMap{{16, QString::fromUtf8("Gr\u00fc\u00dfe")}};
    QTest::newRow("no final newline") << QByteArray(".topic 17\nend") << PopupMap{{17, "end"}};
    QTest::newRow("empty file") << QByteArray() << PopupMap{};
}

void HelpTest::parsePopupTexts() {
    QFETCH(QByteArray, input);
    QFETCH(PopupMap, expected);
    QCOMPARE(calculator::ParsePopupTexts(input), expected);
}

void HelpTest::popupShownAtControlCorner() {
    QPushButton* control = new QPushButton(QStringLiteral("Test Times"), owner_);
    control->setGeometry(20, 30, 90, 24);
    control->show();
    QVERIFY(calculator::ShowPopupHelp(2001, control));
    QList<QWidget*> popups = VisiblePopups();
    QCOMPARE(popups.size(), 1);
    auto* label = qobject_cast<QLabel*>(popups.first());
    QVERIFY(label);
    // The text of 2001 in resources/help/ctxpopup.txt, with its two paragraphs.
    QVERIFY(
        label->text().startsWith(QStringLiteral("Type the number of test rounds, from 1 to 128. "
                                                "Each round tests the number with")));
    QVERIFY(label->text().contains(QStringLiteral("longer.\n\nThe value is remembered")));
    QCOMPARE(label->pos(), control->mapToGlobal(QPoint(90, 24)));

    // A second request replaces the first popup; a key closes it.
    QVERIFY(calculator::ShowPopupHelp(1000, control));
    QTRY_COMPARE(VisiblePopups().size(), 1);
    QWidget* second = VisiblePopups().first();
    QVERIFY(qobject_cast<QLabel*>(second)->text().startsWith(QStringLiteral("Closes the dialog")));
    QTest::keyClick(second, Qt::Key_A);
    QTRY_VERIFY(VisiblePopups().isEmpty());
    delete control;
}

void HelpTest::popupIds_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("popupFile");
    QTest::addColumn<bool>("shown");
    const QString file = QStringLiteral("ctxpopup.txt");
    QTest::newRow("OK 1000") << 1000 << file << true;
    QTest::newRow("Cancel 1001") << 1001 << file << true;
    QTest::newRow("Help 1003") << 1003 << file << true;
    QTest::newRow("Test Times 2001") << 2001 << file << true;
    // The data tools' controls and the Output Number dialog.
    for (auto [first, last] : {std::pair{1030, 1042}, {1050, 1063}, {2020, 2029}, {2060, 2065}})
        for (int id = first; id <= last; ++id)
            QTest::addRow("tool %d", id) << id << file << true;
    QTest::newRow("no text 1002") << 1002 << file << false;
    QTest::newRow("zero") << 0 << file << false;
    QTest::newRow("negative") << -1 << file << false;
    QTest::newRow("other popup file") << 2001 << QStringLiteral("nosuch.txt") << false;
    QTest::newRow("a page, not a popup file")
        << 2001 << QStringLiteral("Dlg_TipOfDay.htm") << false;
}

void HelpTest::popupIds() {
    QFETCH(int, id);
    QFETCH(QString, popupFile);
    QFETCH(bool, shown);
    QCOMPARE(calculator::ShowPopupHelp(id, owner_, popupFile), shown);
    QCOMPARE(VisiblePopups().size(), shown ? 1 : 0);
    for (QWidget* popup : VisiblePopups())
        popup->close();
    QTRY_VERIFY(VisiblePopups().isEmpty());
}

void HelpTest::popupClosedByClick() {
    QVERIFY(calculator::ShowPopupHelp(1001, owner_));
    QCOMPARE(VisiblePopups().size(), 1);
    QTest::mouseClick(VisiblePopups().first(), Qt::LeftButton);
    QTRY_VERIFY(VisiblePopups().isEmpty());
}

void HelpTest::missingHelpFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content"); // written first unless empty
    QTest::newRow("no path") << QString() << QByteArray();
    QTest::newRow("no such file") << temp_.filePath(QStringLiteral("none.qhc")) << QByteArray();
    QTest::newRow("not a help file") << temp_.filePath(QStringLiteral("junk.qhc"))
                                     << QByteArray("this is not a help collection\n");
    QTest::newRow("a folder") << writable_ << QByteArray();
}

void HelpTest::missingHelpFile() {
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    ResetHelp();
    if (!content.isEmpty())
        WriteFile(path, content);
    const bool existed = QFileInfo::exists(path);
    calculator::SetHelpFilePath(path);
    calculator::ShowHelpTopic();
    calculator::ShowHelpTopic(QStringLiteral("Info_Support.htm"));
    calculator::ShowHelpIndex();
    calculator::ShowHelpSearch();
    QVERIFY(!calculator::ShowPopupHelp(2001, owner_));
    QCoreApplication::processEvents();
    QVERIFY(Viewers().isEmpty());
    QVERIFY(VisiblePopups().isEmpty());
    // Looking for help never creates or rewrites the file.
    QCOMPARE(QFileInfo::exists(path), existed);
    if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }
}

void HelpTest::topicOpensViewer_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("heading");
    QTest::newRow("default page") << QString() << "Dlg_Calculator.htm"
                                  << "The Calculator Window";
    QTest::newRow("support") << "Info_Support.htm"
                             << "Info_Support.htm"
                             << "Technical Support";
    QTest::newRow("edit box") << "Dlg_HexEditBox.htm"
                              << "Dlg_HexEditBox.htm"
                              << "Multibyte Hex Edit Box";
    QTest::newRow("primality") << "Dlg_PrimalityTest.htm"
                               << "Dlg_PrimalityTest.htm"
                               << "Primality Test Dialog";
    QTest::newRow("tip") << "Dlg_TipOfDay.htm"
                         << "Dlg_TipOfDay.htm"
                         << "Did you know";
    QTest::newRow("address form") << "/Info_Support.htm"
                                  << "Info_Support.htm"
                                  << "Where settings are kept";
    QTest::newRow("with anchor") << "Dlg_Calculator.htm#memory"
                                 << "Dlg_Calculator.htm"
                                 << "Shift+L";
}

void HelpTest::topicOpensViewer() {
    QFETCH(QString, topic);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    calculator::ShowHelpTopic(topic);
    const QList<CHelpViewer*> viewers = Viewers();
    QCOMPARE(viewers.size(), 1); // one viewer, reused
    CHelpViewer* viewer = viewers.first();
    QCOMPARE(viewer->parentWidget(), owner_);
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->isWindow());
    QVERIFY(!viewer->isModal());
    QCOMPARE(viewer->currentTab(), CHelpViewer::Tab::Contents);
    const QUrl source = viewer->browser()->source();
    QCOMPARE(source.scheme(), QStringLiteral("qthelp"));
    QCOMPARE(source.fileName(), page);
    QCOMPARE(source.fragment(), topic.section(QLatin1Char('#'), 1));
    QVERIFY2(viewer->browser()->toPlainText().contains(heading), qPrintable(heading));
}

void HelpTest::unknownTopicShowsNothingNew() {
    ResetHelp();
    calculator::SetHelpFilePath(kHelpFile);
    calculator::ShowHelpTopic(QStringLiteral("Dlg_NoSuchPage.htm"));
    QVERIFY(Viewers().isEmpty());

    calculator::ShowHelpTopic(QStringLiteral("Info_Support.htm"));
    QCOMPARE(Viewers().size(), 1);
    const QUrl before = Viewers().first()->browser()->source();
    for (const char* topic : {"Dlg_NoSuchPage.htm", "no/such/page.htm", "#only-anchor", "/"})
        calculator::ShowHelpTopic(QString::fromLatin1(topic));
    QCOMPARE(Viewers().size(), 1);
    QCOMPARE(Viewers().first()->browser()->source(), before);
}

void HelpTest::indexAndSearchTabs() {
    ResetHelp();
    calculator::SetHelpFilePath(kHelpFile);
    calculator::ShowHelpIndex();
    QCOMPARE(Viewers().size(), 1);
    CHelpViewer* viewer = Viewers().first();
    QCOMPARE(viewer->currentTab(), CHelpViewer::Tab::Index);
    QVERIFY(viewer->isVisible());
    // Opened without a page, the viewer shows the default one.
    QCOMPARE(viewer->browser()->source().fileName(), QStringLiteral("Dlg_Calculator.htm"));

    calculator::ShowHelpSearch();
    QCOMPARE(Viewers().size(), 1);
    QCOMPARE(viewer->currentTab(), CHelpViewer::Tab::Search);
    calculator::ShowHelpTopic(QStringLiteral("Info_Support.htm"));
    QCOMPARE(viewer->currentTab(), CHelpViewer::Tab::Contents);
    calculator::ShowHelpIndex();
    // Switching tabs keeps the page.
    QCOMPARE(viewer->browser()->source().fileName(), QStringLiteral("Info_Support.htm"));
}

void HelpTest::navigationShowsPages() {
    calculator::ShowHelpTopic();
    CHelpViewer* viewer = Viewers().value(0);
    QVERIFY(viewer);
    QHelpEngine* engine = viewer->engine();
    const QUrl tip = calculator::FindHelpFile(*engine, QStringLiteral("Dlg_TipOfDay.htm"));
    const QUrl support = calculator::FindHelpFile(*engine, QStringLiteral("Info_Support.htm"));
    const QUrl edit = calculator::FindHelpFile(*engine, QStringLiteral("Dlg_HexEditBox.htm"));
    QVERIFY(!tip.isEmpty() && !support.isEmpty() && !edit.isEmpty());

    emit engine->contentWidget()->linkActivated(tip);
    QCOMPARE(viewer->browser()->source(), tip);
    emit engine->indexWidget()->documentActivated(QHelpLink{support, QStringLiteral("x")},
                                                  QStringLiteral("x"));
    QCOMPARE(viewer->browser()->source(), support);
    emit engine->indexWidget()->documentsActivated({QHelpLink{edit, {}}, QHelpLink{tip, {}}},
                                                   QStringLiteral("y"));
    QCOMPARE(viewer->browser()->source(), edit);
    emit engine->searchEngine()->resultWidget()->requestShowLink(tip);
    QCOMPARE(viewer->browser()->source(), tip);
}

void HelpTest::searchFindsPage() {
    ResetHelp();
    QDir(QFileInfo(kHelpFile).absolutePath() + QStringLiteral("/.ordovane")).removeRecursively();
    calculator::SetHelpFilePath(kHelpFile);
    calculator::ShowHelpSearch();
    CHelpViewer* viewer = Viewers().value(0);
    QVERIFY(viewer);
    QHelpSearchEngine* search = viewer->engine()->searchEngine();
    // The viewer indexes the help file by itself.
    QSignalSpy indexed(search, &QHelpSearchEngine::indexingFinished);
    QVERIFY(indexed.wait(30000) || indexed.count() > 0);
    QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
    search->search(QStringLiteral("Jacobi"));
    QVERIFY(searched.wait(30000) || searched.count() > 0);
    QStringList pages;
    for (const QHelpSearchResult& hit : search->searchResults(0, search->searchResultCount()))
        pages.append(hit.url().fileName());
    QVERIFY2(pages.contains(QStringLiteral("Dlg_Calculator.htm")), qPrintable(pages.join(',')));
    QVERIFY(!pages.contains(QStringLiteral("Dlg_TipOfDay.htm")));
}

namespace {
QDialog* ShowModal(QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}
} // namespace

void HelpTest::modalDialogBorrowsViewer() {
    calculator::ShowHelpTopic();
    QPointer<CHelpViewer> viewer = Viewers().value(0);
    QVERIFY(viewer);
    QDialog* outer = ShowModal(owner_);
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(outer));
    // While a dialog runs, the viewer must be the dialog's, or the dialog
    // would block it.
    calculator::ShowHelpTopic(QStringLiteral("Dlg_PrimalityTest.htm"));
    QCOMPARE(Viewers().size(), 1);
    QCOMPARE(viewer->parentWidget(), static_cast<QWidget*>(outer));
    QVERIFY(viewer->isVisible());

    QDialog* inner = ShowModal(outer);
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(inner));
    calculator::ShowHelpTopic(QStringLiteral("Dlg_TipOfDay.htm"));
    QCOMPARE(viewer->parentWidget(), static_cast<QWidget*>(inner));
    inner->done(QDialog::Accepted);
    delete inner;
    QVERIFY(viewer); // survived, back with the dialog that opened the inner one
    QCOMPARE(viewer->parentWidget(), static_cast<QWidget*>(outer));
    QVERIFY(viewer->isVisible());

    // Deleted while still shown, as a dialog on the stack may be.
    delete outer;
    QVERIFY(viewer);
    QCOMPARE(viewer->parentWidget(), owner_);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->browser()->source().fileName(), QStringLiteral("Dlg_TipOfDay.htm"));

    // The owner's end takes the viewer along; a new owner gets a new one.
    auto* owner = new QWidget;
    calculator::SetHelpOwner(owner);
    QCOMPARE(viewer->parentWidget(), owner);
    delete owner;
    QVERIFY(!viewer);
    calculator::SetHelpOwner(owner_);
    calculator::ShowHelpTopic();
    QCOMPARE(Viewers().size(), 1);
    QCOMPARE(Viewers().first()->parentWidget(), owner_);
}

void HelpTest::contentsEntriesResolve() {
    QHelpEngine engine(kHelpFile);
    engine.setReadOnly(true);
    QVERIFY(engine.setupData());
    QVERIFY(!engine.registeredDocumentations().isEmpty());
    QHelpContentModel* model = engine.contentModel();
    QTRY_VERIFY_WITH_TIMEOUT(!model->isCreatingContents() && model->rowCount() > 0, 20000);
    QSet<QString> pages;
    int entries = 0;
    std::function<void(QHelpContentItem*)> walk = [&](QHelpContentItem* item) {
        const QUrl url = item->url();
        ++entries;
        QUrl page = url;
        page.setFragment({});
        QVERIFY2(!engine.fileData(page).isEmpty(), qPrintable(url.toString()));
        if (url.hasFragment())
            QVERIFY2(HasAnchor(engine, page, url.fragment()), qPrintable(url.toString()));
        pages.insert(page.fileName());
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int row = 0; row < model->rowCount(); ++row)
        walk(model->contentItemAt(model->index(row, 0)));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(entries >= 15);
    for (const char* page : {"index.htm", "Dlg_Calculator.htm", "Dlg_HexEditBox.htm",
                             "Dlg_PrimalityTest.htm", "Dlg_TipOfDay.htm", "Info_Support.htm"})
        QVERIFY2(pages.contains(QLatin1String(page)), page);
}

void HelpTest::keywordsResolve_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("page");
    QTest::newRow("primality") << "Primality Test"
                               << "Dlg_PrimalityTest.htm";
    QTest::newRow("clipboard format") << "Kestrune HEX-Data"
                                      << "Dlg_HexEditBox.htm";
    QTest::newRow("jacobi") << "Jacobi symbol"
                            << "Dlg_Calculator.htm";
    QTest::newRow("cli") << "ordovane-cli"
                         << "Info_Support.htm";
    QTest::newRow("tips") << "Tip of the Day"
                          << "Dlg_TipOfDay.htm";
}

void HelpTest::keywordsResolve() {
    QFETCH(QString, keyword);
    QFETCH(QString, page);
    QHelpEngineCore engine(kHelpFile);
    engine.setReadOnly(true);
    QVERIFY(engine.setupData());
    const QList<QHelpLink> links = engine.documentsForKeyword(keyword);
    QCOMPARE(links.size(), 1);
    const QUrl url = links.first().url;
    QCOMPARE(url.fileName(), page);
    QUrl file = url;
    file.setFragment({});
    QVERIFY(!engine.fileData(file).isEmpty());
    if (url.hasFragment())
        QVERIFY2(HasAnchor(engine, file, url.fragment()), qPrintable(url.toString()));
}

void HelpTest::pageLinksResolve() {
    QHelpEngineCore engine(kHelpFile);
    engine.setReadOnly(true);
    QVERIFY(engine.setupData());
    const QString ns = engine.registeredDocumentations().value(0);
    const QList<QUrl> files = engine.files(ns, QString(), QStringLiteral("htm"));
    QVERIFY(files.size() >= 6);
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    int checked = 0;
    for (const QUrl& page : files) {
        const QString html = QString::fromUtf8(engine.fileData(page));
        QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page.toString()));
        for (auto m = link.globalMatch(html); m.hasNext();) {
            const QUrl target = page.resolved(QUrl(m.next().captured(1)));
            QUrl file = target;
            file.setFragment({});
            const QString where = page.fileName() + QStringLiteral(" -> ") + target.toString();
            QVERIFY2(!engine.fileData(file).isEmpty(), qPrintable(where));
            if (target.hasFragment())
                QVERIFY2(HasAnchor(engine, file, target.fragment()), qPrintable(where));
            ++checked;
        }
    }
    QVERIFY(checked > 20);
}

void HelpTest::confirmableFolders_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("confirmable");
    const QString file = temp_.filePath(QStringLiteral("plain.txt"));
    WriteFile(file, "x");
    const QString link = temp_.filePath(QStringLiteral("rw-link"));
    QFile::link(writable_, link);
    QTest::newRow("writable folder") << writable_ << true;
    QTest::newRow("link to writable folder") << link << true;
    // As root too: root could write into it, but the folder is read-only.
    QTest::newRow("read-only folder") << readOnly_ << false;
    QTest::newRow("proc") << "/proc" << false;
    QTest::newRow("sysfs") << "/sys" << false;
    QTest::newRow("missing") << temp_.filePath(QStringLiteral("missing")) << false;
    QTest::newRow("a file") << file << false;
    QTest::newRow("empty") << QString() << false;
}

void HelpTest::confirmableFolders() {
    QFETCH(QString, path);
    QFETCH(bool, confirmable);
    QCOMPARE(calculator::IsConfirmableFolder(path), confirmable);
}

void HelpTest::browserButtonFollowsFolder() {
    CFolderBrowserDialog dialog(owner_, QStringLiteral("Choose Folder"), writable_);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose Folder"));
    QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
    QVERIFY(dialog.testOption(QFileDialog::ShowDirsOnly));
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QPushButton* ok = dialog.confirmButton();
    QVERIFY(ok);
    dialog.show();
    QTRY_VERIFY(ok->isEnabled());
    dialog.setDirectory(readOnly_);
    QTRY_VERIFY(!ok->isEnabled());
    dialog.accept(); // Enter does this even with the button disabled
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.setDirectory(writable_);
    QTRY_VERIFY(ok->isEnabled());

    // A folder named in the name field counts, not the one shown.
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    dialog.setDirectory(temp_.path());
    name->setText(QStringLiteral("ro"));
    QTRY_VERIFY(!ok->isEnabled());
    name->setText(QStringLiteral("rw"));
    QTRY_VERIFY(ok->isEnabled());
    dialog.reject();
}

void HelpTest::browseForFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("writable, OK") << writable_ << true << true;
    QTest::newRow("writable, cancel") << writable_ << false << false;
    QTest::newRow("read-only, OK refused") << readOnly_ << true << false;
}

void HelpTest::browseForFolder() {
    QFETCH(QString, folder);
    QFETCH(bool, accept);
    QFETCH(bool, chosen);
    bool seen = false;
    QTimer::singleShot(50, this, [&] {
        auto* dialog = qobject_cast<CFolderBrowserDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = dialog->parentWidget() == owner_;
        dialog->setDirectory(folder);
        if (accept)
            dialog->accept();
        if (dialog->isVisible()) // cancelled, or OK refused
            dialog->reject();
    });
    const std::optional<QString> result =
        calculator::BrowseForFolder(owner_, QStringLiteral("Export To"), temp_.path());
    QVERIFY(seen);
    QCOMPARE(result.has_value(), chosen);
    if (chosen)
        QCOMPARE(QFileInfo(*result).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
}

QTEST_MAIN(HelpTest)
#include "help_test.moc"
