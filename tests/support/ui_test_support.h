// Helpers for window tests: a settings store and a key store of the test's
// own, and a message-box handler that records what would have been shown and answers for the user.
#pragma once

#include "platform/qt/message_box.h"

#include <QTemporaryDir>
#include <QVector>

#include <cstdlib>
#include <deque>

// Points ORDOVANE_REGISTRY_DIR at a fresh folder while it lives.
class ScopedTempRegistry {
public:
    ScopedTempRegistry() { setenv("ORDOVANE_REGISTRY_DIR", qPrintable(dir_.path()), 1); }
    ~ScopedTempRegistry() { unsetenv("ORDOVANE_REGISTRY_DIR"); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Points ORDOVANE_KEYS_DIR at a folder of its own (not yet created, as on a
// first start) while it lives.
class ScopedTempKeyStore {
public:
    ScopedTempKeyStore() { setenv("ORDOVANE_KEYS_DIR", qPrintable(path()), 1); }
    ~ScopedTempKeyStore() { unsetenv("ORDOVANE_KEYS_DIR"); }
    QString path() const { return dir_.path() + QStringLiteral("/keys"); }

private:
    QTemporaryDir dir_;
};

// Records every message box; answers from a queue, else with the first
// button (Ok or Yes).
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
            shown.push_back(r);
            if (!answers.empty()) {
                platform::MsgResult a = answers.front();
                answers.pop_front();
                return a;
            }
            return r.buttons == platform::MsgButtons::YesNo ||
                           r.buttons == platform::MsgButtons::YesNoCancel
                       ? platform::MsgResult::Yes
                       : platform::MsgResult::Ok;
        });
    }
    ~MessageRecorder() { platform::SetMessageBoxHandler(std::move(previous_)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // String ids of the boxes shown so far (0 for direct texts).
    QVector<int> ids() const {
        QVector<int> out;
        for (const auto& r : shown)
            out.push_back(r.stringId);
        return out;
    }
    void clear() { shown.clear(); }

    QVector<platform::MessageBoxRequest> shown;
    std::deque<platform::MsgResult> answers;

private:
    platform::MessageBoxHandler previous_;
};
