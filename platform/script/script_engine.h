// The part of a script engine that does not depend on its language: the
// IActiveScript and IActiveScriptParse plumbing (site, state, named items,
// thread queries, the interrupt request, error reports) around a language
// runtime that a derived engine creates, runs and destroys. The runtime is
// used only on the thread that calls InitNew and ParseScriptText;
// InterruptScriptThread may come from any thread.
#pragma once

#include "platform/script/active_script.h"
#include "platform/script/script_error.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::script {

class ScriptEngine : public IActiveScript, public IActiveScriptParse {
public:
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // For the reference-counting wrappers of object.h.
    void* Cast(com::REFIID iid);

    // IActiveScript
    com::HRESULT SetScriptSite(IActiveScriptSite* site) override;
    com::HRESULT GetScriptSite(com::REFIID iid, void** out) override;
    com::HRESULT SetScriptState(SCRIPTSTATE state) override;
    com::HRESULT GetScriptState(SCRIPTSTATE* state) override;
    com::HRESULT Close() override;
    com::HRESULT AddNamedItem(com::LPCOLESTR name, com::DWORD flags) override;
    com::HRESULT AddTypeLib(com::REFGUID libid, com::DWORD major, com::DWORD minor,
                            com::DWORD flags) override;
    com::HRESULT GetScriptDispatch(com::LPCOLESTR itemName, com::IDispatch** out) override;
    com::HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* id) override;
    com::HRESULT GetScriptThreadID(com::DWORD systemThreadId, SCRIPTTHREADID* id) override;
    com::HRESULT GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) override;
    com::HRESULT InterruptScriptThread(SCRIPTTHREADID id, const com::EXCEPINFO* excepInfo,
                                       com::DWORD flags) override;
    com::HRESULT Clone(IActiveScript** out) override;

    // IActiveScriptParse
    com::HRESULT InitNew() override;
    com::HRESULT AddScriptlet(com::LPCOLESTR defaultName, com::LPCOLESTR code,
                              com::LPCOLESTR itemName, com::LPCOLESTR subItemName,
                              com::LPCOLESTR eventName, com::LPCOLESTR delimiter,
                              com::DWORD sourceContext, com::ULONG startingLine, com::DWORD flags,
                              com::BSTR* name, com::EXCEPINFO* excepInfo) override;
    // Binds the named items not yet bound, then runs the text through
    // RunScript between OnEnterScript and OnLeaveScript.
    com::HRESULT ParseScriptText(com::LPCOLESTR code, com::LPCOLESTR itemName,
                                 com::IUnknown* context, com::LPCOLESTR delimiter,
                                 com::DWORD sourceContext, com::ULONG startingLine,
                                 com::DWORD flags, com::VARIANT* result,
                                 com::EXCEPINFO* excepInfo) override;

protected:
    struct NamedItem {
        std::u16string name; // as the host gave it
        com::DWORD flags;
        bool tried = false; // looked up through the site once
    };

    // runtimeSource: the source of the engine's run-time errors, which an
    // interrupt reports.
    explicit ScriptEngine(std::u16string runtimeSource);
    // A derived engine's destructor calls Close: the runtime is its own.
    ~ScriptEngine() = default;

    // Creates the runtime (InitNew); E_OUTOFMEMORY when it cannot.
    virtual com::HRESULT CreateRuntime() = 0;
    // Destroys the runtime and all the items' bindings (Close); the items
    // themselves are dropped afterwards.
    virtual void DestroyRuntime() = 0;
    virtual bool HasRuntime() const = 0;
    // Makes the site's object for a visible item known to the runtime;
    // called once per item, with a site.
    virtual void BindNamedItem(const NamedItem& item) = 0;
    // Whether two item names name the same item; exact by default.
    virtual bool SameItemName(std::u16string_view a, std::u16string_view b) const;
    // Raises the interrupt flag and stops the running script at its next
    // check; any thread. A derived engine that keeps the flag elsewhere too
    // raises it there under its own lock.
    virtual void RequestInterrupt();
    // Runs the text (code of the host, null read as empty) with the runtime
    // and reports its errors through ReportError.
    virtual com::HRESULT RunScript(std::u16string_view text, com::DWORD sourceContext,
                                   com::ULONG startingLine, com::DWORD flags, com::VARIANT* result,
                                   com::EXCEPINFO* excepInfo) = 0;

    // The site's automation object for a name: a reference for the caller,
    // or null. With typeInfo, its type information too where the site has it
    // (a reference, or null).
    com::IDispatch* ItemDispatch(const std::u16string& name, com::ITypeInfo** typeInfo);
    // Hands the error to the site's OnScriptError (SCRIPT_E_REPORTED), or
    // without a site fills excepInfo (DISP_E_EXCEPTION).
    com::HRESULT ReportError(ScriptErrorData data, com::EXCEPINFO* excepInfo);
    // The report of an interrupt, with the text and code the interrupter
    // gave, if any; takes them, so that the next interrupt starts afresh.
    ScriptErrorData TakeInterruptError(com::DWORD sourceContext);

    // Raised by InterruptScriptThread, lowered by Close and by a run that
    // saw it.
    std::atomic<bool> interrupt_{false};
    std::atomic<bool> running_{false};

private:
    void ChangeState(SCRIPTSTATE state);
    void BindNamedItems();

    const std::u16string runtimeSource_;
    IActiveScriptSite* site_ = nullptr;
    SCRIPTSTATE state_ = SCRIPTSTATE_UNINITIALIZED;
    std::vector<NamedItem> items_;
    std::atomic<com::DWORD> scriptThread_{0};
    // Replaces the interrupt's standard report when the interrupter gave one.
    std::mutex interruptInfoMutex_;
    std::u16string interruptDescription_;
    com::SCODE interruptCode_ = 0;
};

} // namespace platform::script
