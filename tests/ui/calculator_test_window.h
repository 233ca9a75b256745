// A calculator window for one test: its own settings and key stores, recorded
// message boxes, no automatic Tip of the Day unless asked, shown and active. Members
// are destroyed window first, so the window's settings land in the test's
// store.
#pragma once

#include "calculator/calculator_dlg.h"
#include "calculator/common/hex_edit_box.h"
#include "calculator/common/settings_store.h"
#include "platform/qt/control_id.h"
#include "support/ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <memory>

class CalculatorWindow {
public:
    CalculatorWindow() {
        calculator::SetSettingsRoot("Pellacor");
        calculator::SetApplicationName("Ordovane");
    }

    calculator::CCalculatorDlg& Open(bool tipAtStartup = false, bool abnormalEnd = false) {
        window = std::make_unique<calculator::CCalculatorDlg>(abnormalEnd);
        window->setShowTipAtStartup(tipAtStartup);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("calculator window did not become active");
        Settle();
        return *window;
    }
    // Destroys the window, which writes its settings.
    void Close() { window.reset(); }

    calculator::CHexEditBox* Box(int id) const { return window->operandBox(id); }
    QPushButton* Button(int id) const {
        return platform::FindControl<QPushButton>(window.get(), id);
    }
    QString Text(int id) const { return Box(id)->toPlainText(); }
    // Shows text in a box in the given system, as a user would leave it.
    void Put(int id, const QString& text, int system = 0) const {
        Box(id)->clear();
        Box(id)->SetNumberSystem(system, false);
        Box(id)->setPlainText(text);
    }
    // Gives a box the focus afresh, so it reports it even when it had it.
    void Focus(int id) const {
        Box(id)->clearFocus();
        Box(id)->setFocus(Qt::MouseFocusReason);
        Settle();
    }
    void Click(int id) const {
        QTest::mouseClick(Button(id), Qt::LeftButton);
        Settle();
    }
    void Trigger(int command) const {
        window->commandAction(command)->trigger();
        Settle();
    }
    // Lets the posted focus return run.
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static int Setting(const char* section, const char* name, int absent = -1) {
        return calculator::GetProfileInt(section, name, absent);
    }

    ScopedTempRegistry registry;
    ScopedTempKeyStore keyStore;
    MessageRecorder messages;
    std::unique_ptr<calculator::CCalculatorDlg> window;
};
