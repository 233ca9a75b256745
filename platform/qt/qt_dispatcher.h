// Lets a Qt object receive window messages: sends from other threads run on
// the object's thread through its event loop, blocking the sender until the
// handler has run.
#pragma once

#include "platform/window/window.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace platform {

inline Dispatcher QtDispatcher(QObject* receiver) {
    return [receiver](const std::function<void()>& task) {
        if (QThread::currentThread() == receiver->thread())
            task();
        else
            QMetaObject::invokeMethod(receiver, task, Qt::BlockingQueuedConnection);
    };
}

// Registers a receiver living in receiver's thread.
inline HWND RegisterQtWindow(QObject* receiver, MessageHandler handler) {
    return RegisterWindow(std::move(handler), QtDispatcher(receiver));
}

} // namespace platform
