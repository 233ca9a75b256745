// Answers the next modal dialog a command opens: polls for it from the
// event loop and hands it to a function, which must close it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

inline void WhenModal(std::function<void(QDialog*)> answer, int attempts = 200) {
    QTimer::singleShot(10, [answer = std::move(answer), attempts]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attempts > 0)
                WhenModal(std::move(answer), attempts - 1);
            return;
        }
        answer(dialog);
    });
}
