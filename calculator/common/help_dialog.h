// CHelpDialog, the base of every tool dialog with context help: a help
// request on a control (F1 while it has the focus, or a click with the help
// cursor) shows the control's popup text, and the Help button opens the
// dialog's topic of the help file.
#pragma once

#include <QDialog>
#include <QMap>
#include <QString>

class QPushButton;

namespace calculator {

class CHelpDialog : public QDialog {
    Q_OBJECT

public:
    explicit CHelpDialog(QWidget* parent = nullptr);

    // The popup help id of a control id (0: the control has none).
    virtual int HelpId(int controlId) const;

protected:
    // The popup ids of the controls, by control id.
    void SetHelpIds(const QMap<int, int>& helpIds) { helpIds_ = helpIds; }
    // The help file topic the Help button opens ("Dlg_CrcTool.htm").
    void SetHelpTopic(const QString& topic) { topic_ = topic; }
    // A "Help" button with the help button's id; clicking it opens the topic.
    QPushButton* CreateHelpButton();
    // Watches every numbered child control for help requests; call once the
    // controls exist.
    void WatchHelpRequests();

    bool eventFilter(QObject* watched, QEvent* event) override;
    // Shows the popup of helpId beside control; false when there is none.
    virtual bool RequestPopupHelp(int helpId, QWidget* control);

private:
    // True when control has a help id and its popup was shown.
    bool HandleHelpRequest(QWidget* control);

    QMap<int, int> helpIds_;
    QString topic_;
};

} // namespace calculator
