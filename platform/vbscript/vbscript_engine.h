// The VBScript engine: the ActiveX Scripting interfaces over the evaluator
// of interpreter.h. The evaluator is created by InitNew and used only on
// the thread that calls InitNew and ParseScriptText; InterruptScriptThread
// may come from any thread and stops the running script at its next loop
// pass or procedure call. Named items are looked up through the site when a
// script first runs, and each becomes a read-only global whose members are
// called through the item's IDispatch.
#pragma once

#include "platform/script/active_script.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::vbscript {

class Interpreter;
struct ScriptErrorData;

// {B54F3741-5B07-11CF-A4B0-00AA004A55E8}
constexpr com::CLSID CLSID_VBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};

class VBScriptEngine : public script::IActiveScript, public script::IActiveScriptParse {
public:
    VBScriptEngine();
    ~VBScriptEngine();
    VBScriptEngine(const VBScriptEngine&) = delete;
    VBScriptEngine& operator=(const VBScriptEngine&) = delete;

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
    // Parses the whole text first (a syntax error runs nothing), then runs
    // it between OnEnterScript and OnLeaveScript. Errors go to the site's
    // OnScriptError (SCRIPT_E_REPORTED), or without a site into excepInfo.
    com::HRESULT ParseScriptText(com::LPCOLESTR code, com::LPCOLESTR itemName,
                                 com::IUnknown* context, com::LPCOLESTR delimiter,
                                 com::DWORD sourceContext, com::ULONG startingLine,
                                 com::DWORD flags, com::VARIANT* result,
                                 com::EXCEPINFO* excepInfo) override;

private:
    struct NamedItem {
        std::u16string name;
        com::DWORD flags;
        bool tried = false;
    };

    void ChangeState(script::SCRIPTSTATE state);
    void BindNamedItems();
    com::HRESULT ReportError(ScriptErrorData data, com::EXCEPINFO* excepInfo);

    script::IActiveScriptSite* site_ = nullptr;
    script::SCRIPTSTATE state_ = script::SCRIPTSTATE_UNINITIALIZED;
    std::vector<NamedItem> items_;
    std::unique_ptr<Interpreter> interpreter_;
    std::atomic<bool> interrupt_{false};
    std::atomic<bool> running_{false};
    std::atomic<com::DWORD> scriptThread_{0};
    // Replaces the interrupt's standard report when the interrupter gave one.
    std::mutex interruptInfoMutex_;
    std::u16string interruptDescription_;
    com::SCODE interruptCode_ = 0;
};

} // namespace platform::vbscript
