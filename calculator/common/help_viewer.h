// The help viewer: one window over the compiled help collection with its
// contents, index and full-text search beside a page browser that reads
// qthelp:// pages straight out of the help file.
#pragma once

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

class QHelpEngine;
class QHelpEngineCore;
class QLineEdit;
class QTabWidget;

namespace calculator {

// Virtual folder of the documentation inside the help file.
inline constexpr char kHelpVirtualFolder[] = "doc";
// The page shown for an empty topic: the calculator window's.
inline constexpr char kDefaultHelpPage[] = "Dlg_Calculator.htm";

// The qthelp:// address of file (a page name such as "Dlg_CrcTool.htm",
// optionally with "#anchor") in any documentation registered in engine, or
// an empty URL when no documentation holds it.
QUrl FindHelpFile(const QHelpEngineCore& engine, const QString& file);

// A text browser that loads qthelp:// resources from the help engine.
class CHelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    CHelpBrowser(QHelpEngineCore* engine, QWidget* parent = nullptr);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHelpEngineCore* engine_;
};

class CHelpViewer : public QMainWindow {
    Q_OBJECT

public:
    enum class Tab { Contents = 0, Index = 1, Search = 2 };

    // Opens the collection; usable() tells whether that succeeded.
    explicit CHelpViewer(const QString& collectionFile, QWidget* parent = nullptr);

    bool usable() const { return usable_; }
    QString collectionFile() const { return collectionFile_; }
    QHelpEngine* engine() const { return engine_; }
    CHelpBrowser* browser() const { return browser_; }

    void showPage(const QUrl& url);
    void showTab(Tab tab);
    Tab currentTab() const;

private:
    void syncContents(const QUrl& url);
    void updateTitle();

    QString collectionFile_;
    QHelpEngine* engine_ = nullptr;
    CHelpBrowser* browser_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* indexFilter_ = nullptr;
    bool usable_ = false;
};

} // namespace calculator
