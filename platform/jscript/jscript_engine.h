// The JScript engine: the ActiveX Scripting interfaces over a QJSEngine.
// The engine is created by InitNew and used only on the thread that calls
// InitNew and ParseScriptText; InterruptScriptThread may come from any
// thread. Named items are looked up through the site when a script first
// runs, and each becomes a global object whose methods call the item's
// IDispatch.
#pragma once

#include "platform/script/active_script.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class QJSEngine;
class QJSValue;

namespace platform::jscript {

class DispatchBridge;
struct ScriptErrorData;

// {F414C260-6AC0-11CF-B6D1-00AA00BBBB58}
constexpr com::CLSID CLSID_JScript = {
    0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};

class JScriptEngine : public script::IActiveScript, public script::IActiveScriptParse {
public:
    JScriptEngine();
    ~JScriptEngine();
    JScriptEngine(const JScriptEngine&) = delete;
    JScriptEngine& operator=(const JScriptEngine&) = delete;

    // For the reference-counting wrappers of object.h.
    void* Cast(com::REFIID iid);

    // IActiveScript
    com::HRESULT SetScriptSite(script::IActiveScriptSite* site) override;
    com::HRESULT GetScriptSite(com::REFIID iid, void** out) override;
    com::HRESULT SetScriptState(script::SCRIPTSTATE state) override;
    com::HRESULT GetScriptState(script::SCRIPTSTATE* state) override;
    com::HRESULT Close() override;
    com::HRESULT AddNamedItem(com::LPCOLESTR name, com::DWORD flags) override;
    com::HRESULT AddTypeLib(com::REFGUID libid, com::DWORD major, com::DWORD minor,
                            com::DWORD flags) override;
    com::HRESULT GetScriptDispatch(com::LPCOLESTR itemName, com::IDispatch** out) override;
    com::HRESULT GetCurrentScriptThreadID(script::SCRIPTTHREADID* id) override;
    com::HRESULT GetScriptThreadID(com::DWORD systemThreadId, script::SCRIPTTHREADID* id) override;
    com::HRESULT GetScriptThreadState(script::SCRIPTTHREADID id,
                                      script::SCRIPTTHREADSTATE* state) override;
    com::HRESULT InterruptScriptThread(script::SCRIPTTHREADID id, const com::EXCEPINFO* excepInfo,
                                       com::DWORD flags) override;
    com::HRESULT Clone(script::IActiveScript** out) override;

    // IActiveScriptParse
    com::HRESULT InitNew() override;
    com::HRESULT AddScriptlet(com::LPCOLESTR defaultName, com::LPCOLESTR code,
                              com::LPCOLESTR itemName, com::LPCOLESTR subItemName,
                              com::LPCOLESTR eventName, com::LPCOLESTR delimiter,
                              com::DWORD sourceContext, com::ULONG startingLine, com::DWORD flags,
                              com::BSTR* name, com::EXCEPINFO* excepInfo) override;
    com::HRESULT ParseScriptText(com::LPCOLESTR code, com::LPCOLESTR itemName,
                                 com::IUnknown* context, com::LPCOLESTR delimiter,
                                 com::DWORD sourceContext, com::ULONG startingLine,
                                 com::DWORD flags, com::VARIANT* result,
                                 com::EXCEPINFO* excepInfo) override;

    // Stops the running (or the next) script with a script error; any thread.
    void Interrupt();

private:
    struct NamedItem {
        QString name;
        com::DWORD flags;
        DispatchBridge* bridge = nullptr; // set once bound
        bool tried = false;
    };

    void ChangeState(script::SCRIPTSTATE state);
    void BindNamedItems();
    bool BindNamedItem(NamedItem& item);
    com::HRESULT ReportError(ScriptErrorData data, com::EXCEPINFO* excepInfo);
    static ScriptErrorData ErrorFromException(const QJSValue& error, const QStringList& trace,
                                              const QString& code, com::ULONG startingLine);

    script::IActiveScriptSite* site_ = nullptr;
    script::SCRIPTSTATE state_ = script::SCRIPTSTATE_UNINITIALIZED;
    std::vector<NamedItem> items_;

    // Guards engine_ against Close while another thread interrupts.
    std::mutex engineMutex_;
    QJSEngine* engine_ = nullptr;
    std::atomic<bool> interruptPending_{false};
    std::atomic<bool> running_{false};
    std::atomic<com::DWORD> scriptThread_{0};
    // Replaces the interrupt's standard report when the interrupter gave one.
    std::mutex interruptInfoMutex_;
    QString interruptDescription_;
    com::SCODE interruptCode_ = 0;
};

} // namespace platform::jscript
