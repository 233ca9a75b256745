// CScriptSite: runs one script at a time on a worker thread with the Zuriruv
// object as a named item, serves the engine's callbacks and reports to the
// console window with the four private messages of script_text.h.
//
// Everything the worker sends goes through a relay window the site owns on
// the console's thread. Terminate interrupts the engine and destroys the
// relay, so it returns at once even while the script sits inside a long
// arithmetic call: the worker then finishes that call, stops, cleans up and
// lets go of the site, and nothing more reaches the console.
#pragma once

#include "platform/script/active_script.h"
#include "platform/window/window.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace scripting {

using platform::com::BSTR;
using platform::com::CLSID;
using platform::com::DWORD;
using platform::com::EXCEPINFO;
using platform::com::HRESULT;
using platform::com::ITypeInfo;
using platform::com::IUnknown;
using platform::com::LCID;
using platform::com::LPCOLESTR;
using platform::com::REFIID;
using platform::com::ULONG;
using platform::com::VARIANT;
using platform::script::IActiveScriptError;
using platform::script::IActiveScriptSite;
using platform::script::SCRIPTSTATE;

class CScriptSite final : public IActiveScriptSite {
public:
    // A new site with one reference.
    static CScriptSite* Create();

    // Starts a worker: 0 when it runs, 1 when no thread could be created or
    // a worker of this site is still running (a second start is refused).
    // Must be called on the console window's thread.
    int Start(const CLSID& engine, const std::string& itemName, const std::string& script,
              platform::HWND console, uint32_t outputMessage, uint32_t cryptHandle);
    // 1 when no worker runs; otherwise stops it as described above and returns 0.
    int Terminate();
    bool IsRunning() const;
    // How the worker's sends reach the console's thread when that thread
    // runs an event loop of its own (a GUI): set before Start. Without one
    // the console's thread must pump the platform's messages.
    void SetRelayDispatcher(platform::Dispatcher dispatcher);
    // Waits, serving the calling thread's messages, until every worker this
    // site started (terminated ones included) has ended; false on timeout.
    bool WaitForWorkers(std::chrono::milliseconds timeout);

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // IActiveScriptSite
    HRESULT GetLCID(LCID* lcid) override;
    HRESULT GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo) override;
    HRESULT GetDocVersionString(BSTR* version) override;
    HRESULT OnScriptTerminate(const VARIANT* result, const EXCEPINFO* excepInfo) override;
    HRESULT OnStateChange(SCRIPTSTATE state) override;
    HRESULT OnScriptError(IActiveScriptError* error) override;
    HRESULT OnEnterScript() override;
    HRESULT OnLeaveScript() override;

    struct Run; // one worker's state

private:
    CScriptSite() = default;
    ~CScriptSite() = default;
    static void Worker(CScriptSite* site, std::shared_ptr<Run> run);

    std::atomic<ULONG> refs_{1};
    mutable std::mutex lock_;
    std::shared_ptr<Run> current_;
    platform::Dispatcher relayDispatcher_;
    std::vector<std::shared_ptr<Run>> runs_; // every worker not yet seen finished
};

} // namespace scripting
