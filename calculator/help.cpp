#include "calculator/help.h"

#include "calculator/folder_browser.h"
#include "calculator/help_viewer.h"
#include "calculator/popup_text.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHash>
#include <QHelpEngine>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStorageInfo>
#include <QTimer>

namespace calculator {

// ---------------------------------------------------------------- popup texts

QMap<int, QString> ParsePopupTexts(const QByteArray& data) {
    QMap<int, QString> texts;
    QString source = QString::fromUtf8(data);
    if (source.startsWith(QChar(0xFEFF)))
        source.remove(0, 1);

    bool inText = false;
    bool keep = false;
    int id = 0;
    QStringList paragraphs;
    QString paragraph;
    auto endParagraph = [&] {
        if (!paragraph.isEmpty())
            paragraphs.append(paragraph);
        paragraph.clear();
    };
    auto endText = [&] {
        endParagraph();
        if (inText && keep && !paragraphs.isEmpty() && !texts.contains(id))
            texts.insert(id, paragraphs.join(QStringLiteral("\n\n")));
        paragraphs.clear();
        inText = false;
    };

    const QStringList lines = source.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed(); // also drops the '\r' of CRLF files
        if (line.startsWith(QLatin1String(".topic"), Qt::CaseInsensitive) &&
            (line.size() == 6 || line.at(6).isSpace())) {
            endText();
            inText = true;
            const QString idText = line.mid(6).simplified().section(QLatin1Char(' '), 0, 0);
            id = idText.toInt(&keep, 10);
            continue;
        }
        if (!inText)
            continue;
        if (line.isEmpty()) {
            endParagraph();
        } else {
            if (!paragraph.isEmpty())
                paragraph += QLatin1Char(' ');
            paragraph += line;
        }
    }
    endText();
    return texts;
}

// ---------------------------------------------------------- help file access

namespace {

struct CachedPopups {
    QDateTime stamp;
    QMap<int, QString> texts;
};

struct HelpState {
    QString path;
    QPointer<QWidget> owner;
    QPointer<QHelpEngineCore> core; // light engine for popups and topic checks
    QString corePath;
    QPointer<CHelpViewer> viewer;
    QPointer<QWidget> popup;
    QHash<QString, CachedPopups> popups; // by help file path and popup file
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

const QMap<int, QString>* PopupTexts(const QString& popupFile) {
    HelpState& s = State();
    if (!HelpFileExists(s.path))
        return nullptr;
    const QString key = s.path + QStringLiteral("::/") + popupFile;
    const QDateTime stamp = QFileInfo(s.path).lastModified();
    auto cached = s.popups.constFind(key);
    if (cached != s.popups.constEnd() && cached->stamp == stamp)
        return &cached->texts;
    QHelpEngineCore* core = HelpCore();
    if (!core)
        return nullptr;
    const QUrl url = FindHelpFile(*core, popupFile);
    if (url.isEmpty())
        return nullptr;
    CachedPopups entry{stamp, ParsePopupTexts(core->fileData(url))};
    return &s.popups.insert(key, entry)->texts;
}

// A popup text: a plain, word-wrapped label in its own frameless window,
// gone at the next click or key.
class CPopupText : public QLabel {
public:
    CPopupText(const QString& text, QWidget* parent)
        : QLabel(text, parent, Qt::Popup | Qt::FramelessWindowHint) {
        setObjectName(QStringLiteral("helpPopup"));
        setAttribute(Qt::WA_DeleteOnClose);
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setFrameShape(QFrame::Box);
        setMargin(6);
        const int maxWidth = 360;
        const QRect text_rect = fontMetrics().boundingRect(QRect(0, 0, maxWidth, 10000),
                                                           Qt::TextWordWrap | Qt::AlignLeft, text);
        const int pad = 2 * (margin() + frameWidth()) + 2;
        setFixedSize(text_rect.width() + pad, text_rect.height() + pad);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { close(); }
    void keyPressEvent(QKeyEvent*) override { close(); }
};

// Top-left at `at`, moved back inside the screen only when it would leave it.
QPoint FitOnScreen(QPoint at, QSize size) {
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return at;
    const QRect area = screen->availableGeometry();
    if (at.x() + size.width() > area.right() + 1)
        at.setX(qMax(area.left(), area.right() + 1 - size.width()));
    if (at.y() + size.height() > area.bottom() + 1)
        at.setY(qMax(area.top(), area.bottom() + 1 - size.height()));
    return at;
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

bool ShowPopupHelp(int helpId, QWidget* control, const QString& popupFile) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QMap<int, QString>* texts = PopupTexts(popupFile);
    if (!texts)
        return false;
    const auto text = texts->constFind(helpId);
    if (text == texts->constEnd() || text->isEmpty())
        return false;

    HelpState& s = State();
    if (s.popup)
        s.popup->close();
    QWidget* parent = control ? control->window() : s.owner.data();
    const QPoint corner = control
                              ? control->mapToGlobal(QPoint(control->width(), control->height()))
                              : QCursor::pos();
    auto* popup = new CPopupText(*text, parent);
    popup->move(FitOnScreen(corner, popup->size()));
    popup->show();
    s.popup = popup;
    return true;
}

// ------------------------------------------------------------ folder browser

bool IsNetworkFileSystemType(const QString& type) {
    static const QSet<QString> network = {
        QStringLiteral("nfs"),
        QStringLiteral("nfs4"),
        QStringLiteral("cifs"),
        QStringLiteral("smb"),
        QStringLiteral("smb2"),
        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),
        QStringLiteral("sshfs"),
        QStringLiteral("fuse.sshfs"),
        QStringLiteral("9p"),
        QStringLiteral("afpfs"),
        QStringLiteral("ncpfs"),
        QStringLiteral("ncp"),
        QStringLiteral("afs"),
        QStringLiteral("coda"),
        QStringLiteral("ceph"),
        QStringLiteral("fuse.ceph"),
        QStringLiteral("glusterfs"),
        QStringLiteral("fuse.glusterfs"),
        QStringLiteral("lustre"),
        QStringLiteral("davfs"),
        QStringLiteral("fuse.davfs2"),
        QStringLiteral("fuse.rclone"),
        QStringLiteral("fuse.s3fs"),
        QStringLiteral("fuse.gvfsd-fuse"),
    };
    return network.contains(type.trimmed().toLower());
}

bool IsPseudoFileSystemType(const QString& type) {
    static const QSet<QString> pseudo = {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),       QStringLiteral("devpts"),
        QStringLiteral("devtmpfs"),   QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"), QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("pstore"),     QStringLiteral("bpf"),         QStringLiteral("configfs"),
        QStringLiteral("fusectl"),    QStringLiteral("mqueue"),      QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"),
        QStringLiteral("selinuxfs"),  QStringLiteral("rpc_pipefs"),  QStringLiteral("nsfs"),
        QStringLiteral("nfsd"),
    };
    return pseudo.contains(type.trimmed().toLower());
}

bool IsRemovableBlockDevice(const QString& device, const QString& sysRoot) {
    if (!device.startsWith(QLatin1Char('/')))
        return false;
    // /dev/disk/by-label/... and friends are links to the real node.
    QString node = QFileInfo(device).canonicalFilePath();
    if (node.isEmpty())
        node = device;
    const QString name = QFileInfo(node).fileName();
    if (name.isEmpty())
        return false;
    const QString entry =
        QFileInfo(sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (entry.isEmpty())
        return false;
    // A partition's entry lies inside its disk's, which carries the flag.
    const QString disk =
        QFileInfo::exists(entry + QStringLiteral("/partition")) ? QFileInfo(entry).path() : entry;
    QFile flag(disk + QStringLiteral("/removable"));
    if (!flag.open(QIODevice::ReadOnly))
        return false;
    return flag.readAll().trimmed() == "1";
}

bool IsConfirmableFolder(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isDir() || !info.isWritable())
        return false;
    // Root may write anywhere, so the access check alone would never see a
    // folder that was made read-only: no write bit at all counts as that.
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(info.permissions() & writeBits))
        return false;
    const QStorageInfo storage(info.canonicalFilePath());
    if (!storage.isValid() || !storage.isReady() || storage.isReadOnly())
        return false;
    const QString type = QString::fromLatin1(storage.fileSystemType());
    if (IsNetworkFileSystemType(type) || IsPseudoFileSystemType(type))
        return false;
    return !IsRemovableBlockDevice(QString::fromLocal8Bit(storage.device()));
}

CFolderBrowserDialog::CFolderBrowserDialog(QWidget* owner, const QString& title,
                                           const QString& initialFolder)
    : QFileDialog(owner, title, initialFolder) {
    setObjectName(QStringLiteral("folderBrowser"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    setAcceptMode(QFileDialog::AcceptOpen);
    // The dialog sets its own button state on these same events; ours runs
    // after it, once the event is done.
    connect(this, &QFileDialog::currentChanged, this, &CFolderBrowserDialog::scheduleUpdate);
    connect(this, &QFileDialog::directoryEntered, this, &CFolderBrowserDialog::scheduleUpdate);
    // setDirectory() and the look-in list change the shown folder without
    // directoryEntered; the model's root follows every such change.
    if (auto* model = findChild<QFileSystemModel*>())
        connect(model, &QFileSystemModel::rootPathChanged, this,
                &CFolderBrowserDialog::scheduleUpdate);
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(name, &QLineEdit::textChanged, this, &CFolderBrowserDialog::scheduleUpdate);
}

QString CFolderBrowserDialog::candidateFolder() const {
    const QStringList chosen = selectedFiles();
    return chosen.isEmpty() ? directory().absolutePath() : chosen.first();
}

QPushButton* CFolderBrowserDialog::confirmButton() const {
    auto* box = findChild<QDialogButtonBox*>();
    if (!box)
        return nullptr;
    if (QPushButton* open = box->button(QDialogButtonBox::Open))
        return open;
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}

void CFolderBrowserDialog::accept() {
    // Enter in the name field accepts without the button.
    if (!IsConfirmableFolder(candidateFolder())) {
        updateConfirmButton();
        return;
    }
    QFileDialog::accept();
}

void CFolderBrowserDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    scheduleUpdate();
}

void CFolderBrowserDialog::scheduleUpdate() {
    QTimer::singleShot(0, this, &CFolderBrowserDialog::updateConfirmButton);
}

void CFolderBrowserDialog::updateConfirmButton() {
    if (QPushButton* button = confirmButton())
        button->setEnabled(IsConfirmableFolder(candidateFolder()));
}

std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title,
                                       const QString& initialFolder) {
    CFolderBrowserDialog dialog(owner, title, initialFolder);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

} // namespace calculator
