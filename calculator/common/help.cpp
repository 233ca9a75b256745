#include "calculator/common/help.h"

#include "calculator/common/help_viewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QHelpEngine>
#include <QPointer>

namespace calculator {

namespace {

struct HelpState {
    QString path;
    QPointer<QWidget> owner;
    QPointer<QHelpEngineCore> core; // light engine for popups and topic checks
    QString corePath;
    QPointer<CHelpViewer> viewer;
};

HelpState& State() {
    static HelpState state;
    return state;
}

bool HelpFileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The engine over the current help file, or nullptr when there is none that
// opens. Never creates a file: a read-only engine on an existing collection.
QHelpEngineCore* HelpCore() {
    HelpState& s = State();
    if (!HelpFileExists(s.path) || !QCoreApplication::instance())
        return nullptr;
    if (s.core && s.corePath == s.path)
        return s.core;
    delete s.core;
    auto* core = new QHelpEngineCore(s.path, QCoreApplication::instance());
    core->setReadOnly(true);
    if (!core->setupData() || core->registeredDocumentations().isEmpty()) {
        delete core;
        return nullptr;
    }
    s.core = core;
    s.corePath = s.path;
    return core;
}

// The window a help viewer must belong to now: a modal dialog blocks every
// window that is not its own, so while one runs the viewer is lent to it.
QWidget* ViewerHost() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return State().owner;
}

// The nearest modal window still shown above from (a dialog's opener), else
// the owner.
QWidget* HostAbove(QWidget* from) {
    for (QWidget* w = from->parentWidget(); w; w = w->parentWidget()) {
        w = w->window();
        if (w->isModal() && w->isVisible())
            return w;
    }
    return State().owner;
}

void MoveViewerTo(CHelpViewer* viewer, QWidget* host) {
    if (viewer->parentWidget() == host)
        return;
    const bool wasVisible = viewer->isVisible();
    const QRect geometry = viewer->geometry();
    viewer->setParent(host, viewer->windowFlags() | Qt::Window);
    // Without an owner nothing would ever delete it.
    viewer->setAttribute(Qt::WA_DeleteOnClose, host == nullptr);
    if (wasVisible) {
        viewer->setGeometry(geometry);
        viewer->show();
    }
}

// Watches the dialog the viewer is lent to; when it goes, the viewer moves
// on to the window below it before the dialog can take it along.
class CViewerReturn : public QObject {
public:
    using QObject::QObject;

    void watch(QWidget* host) {
        if (host == host_)
            return;
        if (host_)
            host_->removeEventFilter(this);
        host_ = host;
        if (host_)
            host_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Minimising hides spontaneously; the dialog is still there.
        if (watched == host_ && event->type() == QEvent::Hide && !event->spontaneous()) {
            QWidget* from = host_;
            QWidget* next = HostAbove(from);
            if (CHelpViewer* viewer = State().viewer; viewer && viewer->parentWidget() == from)
                MoveViewerTo(viewer, next);
            watch(next == State().owner ? nullptr : next);
        }
        return false;
    }

private:
    QPointer<QWidget> host_;
};

CViewerReturn* ViewerReturn() {
    static QPointer<CViewerReturn> instance;
    if (!instance)
        instance = new CViewerReturn(QCoreApplication::instance());
    return instance;
}

// The viewer over the current help file, created on first use; nullptr when
// the help file does not open.
CHelpViewer* Viewer() {
    HelpState& s = State();
    if (!HelpCore() || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    if (s.viewer && s.viewer->collectionFile() != s.path) {
        s.viewer->hide();
        s.viewer->deleteLater();
        s.viewer.clear();
    }
    QWidget* host = ViewerHost();
    if (!s.viewer) {
        auto* viewer = new CHelpViewer(s.path, host);
        if (!viewer->usable()) {
            delete viewer;
            return nullptr;
        }
        viewer->setAttribute(Qt::WA_DeleteOnClose, host == nullptr);
        s.viewer = viewer;
    } else {
        MoveViewerTo(s.viewer, host);
    }
    ViewerReturn()->watch(host == s.owner ? nullptr : host);
    return s.viewer;
}

void Present(CHelpViewer* viewer) {
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

// Shows the viewer on tab, with a page loaded (the default one when it has
// none yet).
void ShowViewerTab(CHelpViewer::Tab tab) {
    CHelpViewer* viewer = Viewer();
    if (!viewer)
        return;
    if (viewer->browser()->source().isEmpty())
        viewer->showPage(FindHelpFile(*viewer->engine(), QLatin1String(kDefaultHelpPage)));
    viewer->showTab(tab);
    Present(viewer);
}

} // namespace

void SetHelpFilePath(const QString& path) {
    HelpState& s = State();
    if (path == s.path)
        return;
    s.path = path;
    if (s.viewer) {
        s.viewer->hide();
        s.viewer->deleteLater();
        s.viewer.clear();
    }
    delete s.core;
    s.corePath.clear();
}

QString HelpFilePath() {
    return State().path;
}

void SetHelpOwner(QWidget* owner) {
    HelpState& s = State();
    s.owner = owner;
    if (s.viewer && !QApplication::activeModalWidget())
        MoveViewerTo(s.viewer, owner);
}

QWidget* HelpOwner() {
    return State().owner;
}

QByteArray HelpFileData(const QString& fileName) {
    QHelpEngineCore* core = HelpCore();
    if (!core)
        return {};
    const QUrl url = FindHelpFile(*core, fileName);
    return url.isEmpty() ? QByteArray() : core->fileData(url);
}

void ShowHelpTopic(const QString& topic) {
    QHelpEngineCore* core = HelpCore();
    if (!core)
        return;
    const QUrl url = FindHelpFile(*core, topic.isEmpty() ? QLatin1String(kDefaultHelpPage) : topic);
    if (url.isEmpty())
        return;
    CHelpViewer* viewer = Viewer();
    if (!viewer)
        return;
    viewer->showPage(url);
    viewer->showTab(CHelpViewer::Tab::Contents);
    Present(viewer);
}

void ShowHelpIndex() {
    ShowViewerTab(CHelpViewer::Tab::Index);
}

void ShowHelpSearch() {
    ShowViewerTab(CHelpViewer::Tab::Search);
}

} // namespace calculator
