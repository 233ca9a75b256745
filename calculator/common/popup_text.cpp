#include "calculator/common/popup_text.h"

#include "calculator/common/help.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStringList>

namespace calculator {

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

namespace {

struct CachedPopups {
    QDateTime stamp;
    QMap<int, QString> texts;
};

struct PopupState {
    QPointer<QWidget> popup;
    QHash<QString, CachedPopups> popups; // by help file path and popup file
};

PopupState& State() {
    static PopupState state;
    return state;
}

// The texts of popupFile, read again whenever the help file changes.
const QMap<int, QString>* PopupTexts(const QString& popupFile) {
    PopupState& s = State();
    const QString path = HelpFilePath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return nullptr;
    const QString key = path + QStringLiteral("::/") + popupFile;
    const QDateTime stamp = QFileInfo(path).lastModified();
    auto cached = s.popups.constFind(key);
    if (cached != s.popups.constEnd() && cached->stamp == stamp)
        return &cached->texts;
    const QByteArray data = HelpFileData(popupFile);
    if (data.isEmpty())
        return nullptr;
    CachedPopups entry{stamp, ParsePopupTexts(data)};
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

bool ShowPopupHelp(int helpId, QWidget* control, const QString& popupFile) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QMap<int, QString>* texts = PopupTexts(popupFile);
    if (!texts)
        return false;
    const auto text = texts->constFind(helpId);
    if (text == texts->constEnd() || text->isEmpty())
        return false;

    PopupState& s = State();
    if (s.popup)
        s.popup->close();
    QWidget* parent = control ? control->window() : HelpOwner();
    const QPoint corner = control
                              ? control->mapToGlobal(QPoint(control->width(), control->height()))
                              : QCursor::pos();
    auto* popup = new CPopupText(*text, parent);
    popup->move(FitOnScreen(corner, popup->size()));
    popup->show();
    s.popup = popup;
    return true;
}
} // namespace calculator
