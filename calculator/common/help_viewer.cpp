#include "calculator/common/help_viewer.h"

#include <QAction>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace calculator {

QUrl FindHelpFile(const QHelpEngineCore& engine, const QString& file) {
    QString name = file;
    QString fragment;
    const qsizetype hash = name.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = name.mid(hash + 1);
        name.truncate(hash);
    }
    // Callers may write the page as the address part after "::/".
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    if (name.isEmpty())
        return {};
    for (const QString& ns : engine.registeredDocumentations()) {
        QUrl url;
        url.setScheme(QStringLiteral("qthelp"));
        url.setHost(ns);
        url.setPath(QStringLiteral("/%1/%2").arg(QLatin1String(kHelpVirtualFolder), name));
        if (!engine.fileData(url).isEmpty()) {
            if (!fragment.isEmpty())
                url.setFragment(fragment);
            return url;
        }
    }
    return {};
}

CHelpBrowser::CHelpBrowser(QHelpEngineCore* engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {
    setOpenExternalLinks(true);
}

QVariant CHelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() == QLatin1String("qthelp")) {
        QByteArray data = engine_ ? engine_->fileData(name) : QByteArray();
        return data.isEmpty() ? QVariant() : QVariant(data);
    }
    return QTextBrowser::loadResource(type, name);
}

CHelpViewer::CHelpViewer(const QString& collectionFile, QWidget* parent)
    : QMainWindow(parent, Qt::Window), collectionFile_(collectionFile) {
    setObjectName(QStringLiteral("helpViewer"));
    engine_ = new QHelpEngine(collectionFile, this);
    engine_->setReadOnly(true);
    // The search engine schedules its indexing when setup finishes, so it
    // has to exist before setupData().
    QHelpSearchEngine* search = engine_->searchEngine();
    usable_ = engine_->setupData() && !engine_->registeredDocumentations().isEmpty();

    browser_ = new CHelpBrowser(engine_, this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("helpTabs"));

    QHelpContentWidget* contents = engine_->contentWidget();
    contents->setHeaderHidden(true);
    tabs_->insertTab(int(Tab::Contents), contents, tr("Contents"));

    auto* indexPage = new QWidget(tabs_);
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* lookFor = new QLabel(tr("&Look for:"), indexPage);
    indexFilter_ = new QLineEdit(indexPage);
    indexFilter_->setObjectName(QStringLiteral("helpIndexFilter"));
    lookFor->setBuddy(indexFilter_);
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(indexFilter_);
    QHelpIndexWidget* index = engine_->indexWidget();
    indexLayout->addWidget(index);
    tabs_->insertTab(int(Tab::Index), indexPage, tr("Index"));

    auto* searchPage = new QWidget(tabs_);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(search->queryWidget());
    searchLayout->addWidget(search->resultWidget(), 1);
    tabs_->insertTab(int(Tab::Search), searchPage, tr("Search"));

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    setCentralWidget(splitter);

    QToolBar* bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"),
                                   browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"),
                                      browser_, &QTextBrowser::forward);
    bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"), this, [this] {
        const QUrl home = FindHelpFile(*engine_, QLatin1String(kDefaultHelpPage));
        if (!home.isEmpty())
            showPage(home);
    });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    connect(contents, &QHelpContentWidget::linkActivated, this, &CHelpViewer::showPage);
    // The contents are built in the background, often after the first page.
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        engine_->contentWidget()->expandToDepth(0);
        syncContents(browser_->source());
    });
    connect(index, &QHelpIndexWidget::documentActivated, this,
            [this](const QHelpLink& link, const QString&) { showPage(link.url); });
    // A keyword of several pages: the first is as good as any, and the index
    // shows the keyword again for the others.
    connect(index, &QHelpIndexWidget::documentsActivated, this,
            [this](const QList<QHelpLink>& links, const QString&) {
                if (!links.isEmpty())
                    showPage(links.first().url);
            });
    connect(indexFilter_, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(indexFilter_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
            [search] { search->search(search->queryWidget()->searchInput()); });
    connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, this,
            &CHelpViewer::showPage);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        syncContents(url);
        updateTitle();
    });

    updateTitle();
    resize(920, 640);
}

void CHelpViewer::showPage(const QUrl& url) {
    if (url.isEmpty())
        return;
    browser_->setSource(url);
}

void CHelpViewer::showTab(Tab tab) {
    tabs_->setCurrentIndex(int(tab));
    if (tab == Tab::Index)
        indexFilter_->setFocus();
    else if (tab == Tab::Search)
        engine_->searchEngine()->queryWidget()->setFocus();
}

CHelpViewer::Tab CHelpViewer::currentTab() const {
    return Tab(tabs_->currentIndex());
}

void CHelpViewer::syncContents(const QUrl& url) {
    QHelpContentWidget* contents = engine_->contentWidget();
    // The entry of the section when it has one, else that of the page.
    QModelIndex at = contents->indexOf(url);
    if (!at.isValid() && url.hasFragment()) {
        QUrl page = url;
        page.setFragment(QString());
        at = contents->indexOf(page);
    }
    if (at.isValid())
        contents->setCurrentIndex(at);
}

void CHelpViewer::updateTitle() {
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() ? tr("Ordovane Help") : tr("Ordovane Help - %1").arg(page));
}

} // namespace calculator
