#include "scripting/script_site.h"

#include "automation/zuriruv_interface.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "scripting/script_text.h"

#include <cstring>
#include <thread>

using namespace platform::com;
using namespace platform::script;

namespace scripting {

struct CScriptSite::Run {
    CLSID engine{};
    std::u16string itemName;
    std::u16string script;
    platform::HWND console = 0;
    platform::HWND relay = 0; // owned by the console's thread
    uint32_t outputMessage = 0;
    uint32_t crypt = 0;
    std::atomic<bool> terminated{false};
    std::atomic<bool> finished{false};
    std::mutex engineLock;
    IActiveScript* engineObject = nullptr; // for Terminate's interrupt
    IDispatch* arithmetic = nullptr;       // worker thread only

    // Sends through the relay; nothing once terminated.
    void Send(uint32_t msg, const char* text) {
        if (!terminated)
            platform::SendMessage(relay, msg, 0, reinterpret_cast<platform::LPARAM>(text));
    }
};

namespace {

// The run whose worker is the calling thread: the engine calls the site back
// on it.
thread_local CScriptSite::Run* tls_run = nullptr;

} // namespace

CScriptSite* CScriptSite::Create() {
    return new CScriptSite();
}

HRESULT CScriptSite::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_INVALIDARG;
    return QuerySingleInterface<IActiveScriptSite>(this, IID_IActiveScriptSite, iid, out);
}

ULONG CScriptSite::AddRef() {
    return ++refs_;
}

ULONG CScriptSite::Release() {
    ULONG n = --refs_;
    if (n == 0)
        delete this;
    return n;
}

void CScriptSite::SetRelayDispatcher(platform::Dispatcher dispatcher) {
    std::lock_guard<std::mutex> g(lock_);
    relayDispatcher_ = std::move(dispatcher);
}

int CScriptSite::Start(const CLSID& engine, const std::string& itemName, const std::string& script,
                       platform::HWND console, uint32_t outputMessage, uint32_t cryptHandle) {
    std::lock_guard<std::mutex> g(lock_);
    if (current_ && !current_->finished)
        return 1;
    auto run = std::make_shared<Run>();
    run->engine = engine;
    run->itemName = Utf8ToUtf16(itemName);
    run->script = Utf8ToUtf16(script);
    run->console = console;
    run->outputMessage = outputMessage;
    run->crypt = cryptHandle;
    Run* raw = run.get();
    platform::MessageHandler relay = [raw](uint32_t msg, platform::WPARAM w,
                                           platform::LPARAM l) -> platform::LRESULT {
        if (raw->terminated)
            return 0;
        return platform::SendMessage(raw->console, msg, w, l);
    };
    run->relay = relayDispatcher_ ? platform::RegisterWindow(std::move(relay), relayDispatcher_)
                                  : platform::RegisterWindow(std::move(relay));
    if (run->relay == 0)
        return 1;
    AddRef(); // the worker's reference, released as its last step
    try {
        std::thread(&CScriptSite::Worker, this, run).detach();
    } catch (...) {
        platform::DestroyWindow(run->relay);
        Release();
        return 1;
    }
    std::erase_if(runs_, [](const std::shared_ptr<Run>& r) { return r->finished.load(); });
    runs_.push_back(run);
    current_ = std::move(run);
    return 0;
}

bool CScriptSite::WaitForWorkers(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        bool busy;
        {
            std::lock_guard<std::mutex> g(lock_);
            std::erase_if(runs_, [](const std::shared_ptr<Run>& r) { return r->finished.load(); });
            busy = !runs_.empty();
        }
        if (!busy)
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        platform::WaitForMessages(std::chrono::milliseconds(10));
    }
}

int CScriptSite::Terminate() {
    std::shared_ptr<Run> run;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (!current_ || current_->finished)
            return 1;
        run = current_;
    }
    run->terminated = true;
    // A worker blocked in a send to the relay is released by its destruction.
    platform::DestroyWindow(run->relay);
    {
        std::lock_guard<std::mutex> g(run->engineLock);
        if (run->engineObject)
            run->engineObject->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
    }
    std::lock_guard<std::mutex> g(lock_);
    if (current_ == run)
        current_.reset();
    return 0;
}

bool CScriptSite::IsRunning() const {
    std::lock_guard<std::mutex> g(lock_);
    return current_ && !current_->finished;
}

void CScriptSite::Worker(CScriptSite* site, std::shared_ptr<Run> run) {
    tls_run = run.get();
    CoInitialize(nullptr);
    HRESULT hr = S_OK;
    const char* failure = nullptr;
    IActiveScript* engine = nullptr;
    IActiveScriptParse* parse = nullptr;
    automation::IZuriruv* arithmetic = nullptr;

    hr = CoCreateInstance(automation::CLSID_Zuriruv, nullptr, CLSCTX_INPROC_SERVER,
                          automation::IID_IZuriruv, reinterpret_cast<void**>(&arithmetic));
    if (FAILED(hr)) {
        failure = "Creating the multi-precision arithmetic object failed.";
        arithmetic = nullptr;
    } else {
        run->arithmetic = arithmetic;
        arithmetic->SetConsoleHandle(static_cast<LONG>(run->relay),
                                     static_cast<LONG>(run->outputMessage));
        arithmetic->SetCryptHandle(static_cast<LONG>(run->crypt));
        hr = CoCreateInstance(run->engine, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                              reinterpret_cast<void**>(&engine));
        if (FAILED(hr)) {
            failure = "Creating the ActiveX Scripting engine failed.";
            engine = nullptr;
            run->arithmetic = nullptr;
            arithmetic->Release();
            arithmetic = nullptr;
        }
    }
    if (engine) {
        {
            std::lock_guard<std::mutex> g(run->engineLock);
            run->engineObject = engine;
        }
        if (run->terminated) // terminated before the engine existed
            engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
        if (FAILED(hr = engine->QueryInterface(IID_IActiveScriptParse,
                                               reinterpret_cast<void**>(&parse)))) {
            parse = nullptr;
            failure = "The ActiveX Scripting engine does not support ActiveScriptParse interface.";
        } else if (FAILED(hr = engine->SetScriptSite(site))) {
            failure = "Can't set host site to script engine.";
        } else if (FAILED(hr = parse->InitNew())) {
            failure = "Can't initialize a new script object.";
        } else if (FAILED(hr = engine->AddNamedItem(run->itemName.c_str(), SCRIPTITEM_ISVISIBLE))) {
            failure = "Can't add named item to script object.";
        } else {
            engine->SetScriptState(SCRIPTSTATE_STARTED);
            EXCEPINFO excep{};
            // A failure here was reported by the engine through OnScriptError.
            hr = parse->ParseScriptText(run->script.c_str(), run->itemName.c_str(), nullptr,
                                        nullptr, 0, 1, 0, nullptr, &excep);
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrHelpFile);
        }
        if (parse)
            parse->Release();
        {
            std::lock_guard<std::mutex> g(run->engineLock);
            run->engineObject = nullptr;
        }
        engine->Close();
        engine->Release();
    }
    if (arithmetic) {
        run->arithmetic = nullptr;
        arithmetic->Release();
    }
    if (failure)
        run->Send(WM_SCRIPT_ERROR, failure);
    tls_run = nullptr;
    CoUninitialize();
    // The relay belongs to the console's thread; a terminated run's relay is
    // gone already, and a finished one is dropped when the next run starts.
    if (!run->terminated)
        platform::DestroyWindow(run->relay);
    run->finished = true;
    site->Release();
}

HRESULT CScriptSite::GetLCID(LCID* lcid) {
    if (!lcid)
        return E_INVALIDARG;
    *lcid = 1033;
    return S_OK;
}

HRESULT CScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                 ITypeInfo** typeInfo) {
    if (mask & SCRIPTINFO_ITYPEINFO) {
        if (!typeInfo)
            return E_INVALIDARG;
        *typeInfo = nullptr;
    }
    if (mask & SCRIPTINFO_IUNKNOWN) {
        if (!item)
            return E_INVALIDARG;
        *item = nullptr;
    }
    std::string n = name ? Utf16ToUtf8(name) : std::string();
    if (n.size() != 8 || strncasecmp(n.c_str(), "Tallomir", 8) != 0)
        return TYPE_E_ELEMENTNOTFOUND;
    Run* run = tls_run;
    if (!run || !run->arithmetic)
        return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_ITYPEINFO)
        run->arithmetic->GetTypeInfo(0, 1033, typeInfo);
    if (mask & SCRIPTINFO_IUNKNOWN)
        run->arithmetic->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(item));
    return S_OK;
}

HRESULT CScriptSite::GetDocVersionString(BSTR*) {
    return E_NOTIMPL;
}
HRESULT CScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) {
    return S_OK;
}
HRESULT CScriptSite::OnStateChange(SCRIPTSTATE) {
    return S_OK;
}

HRESULT CScriptSite::OnScriptError(IActiveScriptError* error) {
    Run* run = tls_run;
    if (!run || run->console == 0 || !error)
        return S_FALSE;
    EXCEPINFO info{};
    if (FAILED(error->GetExceptionInfo(&info)))
        return S_FALSE;
    DWORD context = 0;
    ULONG line = 0;
    LONG position = 0;
    error->GetSourcePosition(&context, &line, &position);
    std::string block = FormatErrorBlock(BstrToUtf8(info.bstrSource), static_cast<long>(line),
                                         BstrToUtf8(info.bstrDescription));
    run->Send(WM_SCRIPT_ERROR, block.c_str());
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return S_FALSE;
}

HRESULT CScriptSite::OnEnterScript() {
    if (Run* run = tls_run)
        run->Send(WM_SCRIPT_ENTER, nullptr);
    return S_OK;
}

HRESULT CScriptSite::OnLeaveScript() {
    if (Run* run = tls_run)
        run->Send(WM_SCRIPT_LEAVE, nullptr);
    return S_OK;
}

} // namespace scripting
