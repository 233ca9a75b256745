// The script side of a named item: a QObject whose one invokable forwards a
// call of member `index` to the item's IDispatch, so the JS wrapper object
// built around it needs no knowledge of the component layer.
#pragma once

#include "platform/com/interfaces.h"

#include <QJSValue>
#include <QObject>
#include <QString>

#include <vector>

class QJSEngine;

namespace platform::jscript {

struct DispatchMember {
    com::DISPID id;
    QString name;
    int params; // [in] parameters, the [out, retval] one not counted
};

class DispatchBridge : public QObject {
    Q_OBJECT

public:
    // Takes a reference on dispatch; gives it back when destroyed.
    DispatchBridge(QJSEngine* engine, com::IDispatch* dispatch,
                   std::vector<DispatchMember> members);
    ~DispatchBridge() override;

    const std::vector<DispatchMember>& members() const { return members_; }

    // args is a JS array of the call's arguments. A failing call throws a
    // JS error (catchable by the script) carrying message, description and
    // number (the HRESULT).
    Q_INVOKABLE QJSValue invoke(int index, const QJSValue& args);

private:
    void ThrowFailure(com::HRESULT hr, const QString& description);

    QJSEngine* engine_;
    com::IDispatch* dispatch_;
    std::vector<DispatchMember> members_;
};

// The text a script sees for a failed call: the object's own description
// when it gave one, else the standard text of the code, else "Error 0x...".
QString FailureText(com::HRESULT hr, const QString& objectDescription);

} // namespace platform::jscript
