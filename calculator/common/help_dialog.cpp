#include "calculator/common/help_dialog.h"

#include "calculator/common/help.h"
#include "calculator/common/popup_text.h"
#include "platform/qt/control_id.h"
#include "resources/ids.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace calculator {

CHelpDialog::CHelpDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
}

int CHelpDialog::HelpId(int controlId) const {
    return helpIds_.value(controlId, 0);
}

QPushButton* CHelpDialog::CreateHelpButton() {
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    platform::SetControlId(help, ids::kIdHelp);
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(topic_); });
    return help;
}

void CHelpDialog::WatchHelpRequests() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (platform::ControlId(child) != 0)
            child->installEventFilter(this);
    }
}

bool CHelpDialog::RequestPopupHelp(int helpId, QWidget* control) {
    return ShowPopupHelp(helpId, control);
}

bool CHelpDialog::HandleHelpRequest(QWidget* control) {
    const int helpId = HelpId(platform::ControlId(control));
    return helpId != 0 && RequestPopupHelp(helpId, control);
}

bool CHelpDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (control) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && HandleHelpRequest(control))
                return true;
            break;
        case QEvent::WhatsThis:
            if (HandleHelpRequest(control))
                return true;
            break;
        case QEvent::QueryWhatsThis:
            // Lets the help cursor pick controls that have a popup.
            if (HelpId(platform::ControlId(control)) != 0) {
                event->accept();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace calculator
