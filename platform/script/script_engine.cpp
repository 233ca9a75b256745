#include "platform/script/script_engine.h"

#include "platform/com/bstr.h"

#include <unistd.h>

namespace platform::script {

using namespace platform::com;

namespace {

DWORD CurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

} // namespace

ScriptEngine::ScriptEngine(std::u16string runtimeSource)
    : runtimeSource_(std::move(runtimeSource)) {}

void* ScriptEngine::Cast(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IActiveScript)
        return static_cast<IActiveScript*>(this);
    if (iid == IID_IActiveScriptParse)
        return static_cast<IActiveScriptParse*>(this);
    return nullptr;
}

void ScriptEngine::ChangeState(SCRIPTSTATE state) {
    if (state_ == state)
        return;
    state_ = state;
    if (site_)
        site_->OnStateChange(state);
}

HRESULT ScriptEngine::SetScriptSite(IActiveScriptSite* site) {
    if (!site)
        return E_POINTER;
    if (site_)
        return E_UNEXPECTED; // a site is set once per initialisation
    site->AddRef();
    site_ = site;
    return S_OK;
}

HRESULT ScriptEngine::GetScriptSite(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!site_)
        return S_FALSE;
    return site_->QueryInterface(iid, out);
}

HRESULT ScriptEngine::InitNew() {
    if (state_ != SCRIPTSTATE_UNINITIALIZED && state_ != SCRIPTSTATE_CLOSED)
        return E_UNEXPECTED;
    HRESULT hr = CreateRuntime();
    if (FAILED(hr))
        return hr;
    scriptThread_ = CurrentThreadId();
    ChangeState(SCRIPTSTATE_INITIALIZED);
    return S_OK;
}

HRESULT ScriptEngine::SetScriptState(SCRIPTSTATE state) {
    switch (state) {
    case SCRIPTSTATE_CLOSED:
        return Close();
    case SCRIPTSTATE_STARTED:
    case SCRIPTSTATE_CONNECTED:
    case SCRIPTSTATE_DISCONNECTED:
    case SCRIPTSTATE_INITIALIZED:
        if (!HasRuntime())
            return E_UNEXPECTED;
        if (state != SCRIPTSTATE_INITIALIZED)
            BindNamedItems();
        ChangeState(state);
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

HRESULT ScriptEngine::GetScriptState(SCRIPTSTATE* state) {
    if (!state)
        return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT ScriptEngine::Close() {
    DestroyRuntime();
    items_.clear();
    bool wasOpen = state_ != SCRIPTSTATE_UNINITIALIZED && state_ != SCRIPTSTATE_CLOSED;
    if (wasOpen)
        ChangeState(SCRIPTSTATE_CLOSED);
    else
        state_ = SCRIPTSTATE_CLOSED;
    if (site_) {
        site_->Release();
        site_ = nullptr;
    }
    interrupt_ = false;
    return S_OK;
}

bool ScriptEngine::SameItemName(std::u16string_view a, std::u16string_view b) const {
    return a == b;
}

HRESULT ScriptEngine::AddNamedItem(LPCOLESTR name, DWORD flags) {
    if (!name || !*name)
        return E_INVALIDARG;
    if (!HasRuntime())
        return E_UNEXPECTED;
    std::u16string text(name);
    for (const auto& item : items_)
        if (SameItemName(item.name, text))
            return E_INVALIDARG;
    items_.push_back({text, flags});
    return S_OK;
}

HRESULT ScriptEngine::AddTypeLib(REFGUID, DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

HRESULT ScriptEngine::GetScriptDispatch(LPCOLESTR, IDispatch** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ScriptEngine::GetCurrentScriptThreadID(SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = CurrentThreadId();
    return S_OK;
}

HRESULT ScriptEngine::GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = systemThreadId;
    return S_OK;
}

HRESULT ScriptEngine::GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) {
    if (!state)
        return E_POINTER;
    if (id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT && id != scriptThread_)
        return E_INVALIDARG;
    *state = running_ ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
    return S_OK;
}

HRESULT ScriptEngine::InterruptScriptThread(SCRIPTTHREADID id, const EXCEPINFO* excepInfo, DWORD) {
    if (id != SCRIPTTHREADID_ALL && id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT &&
        id != scriptThread_)
        return E_INVALIDARG;
    {
        std::lock_guard lock(interruptInfoMutex_);
        interruptDescription_ =
            excepInfo ? std::u16string(BstrView(excepInfo->bstrDescription)) : std::u16string();
        interruptCode_ = excepInfo ? excepInfo->scode : 0;
    }
    RequestInterrupt();
    return S_OK;
}

void ScriptEngine::RequestInterrupt() {
    interrupt_ = true;
}

HRESULT ScriptEngine::Clone(IActiveScript** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ScriptEngine::AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR,
                                   DWORD, ULONG, DWORD, BSTR* name, EXCEPINFO*) {
    if (name)
        *name = nullptr;
    return E_NOTIMPL;
}

void ScriptEngine::BindNamedItems() {
    // Without a site nothing can be looked up yet: the items wait for one.
    if (!site_ || !HasRuntime())
        return;
    for (auto& item : items_)
        if (!item.tried) {
            item.tried = true;
            BindNamedItem(item);
        }
}

IDispatch* ScriptEngine::ItemDispatch(const std::u16string& name, ITypeInfo** typeInfo) {
    if (typeInfo)
        *typeInfo = nullptr;
    if (!site_)
        return nullptr;
    IUnknown* unknown = nullptr;
    const DWORD mask = SCRIPTINFO_IUNKNOWN | (typeInfo ? SCRIPTINFO_ITYPEINFO : 0);
    if (FAILED(site_->GetItemInfo(name.c_str(), mask, &unknown, typeInfo)) || !unknown) {
        if (unknown)
            unknown->Release();
        if (typeInfo && *typeInfo) {
            (*typeInfo)->Release();
            *typeInfo = nullptr;
        }
        return nullptr;
    }
    IDispatch* dispatch = nullptr;
    unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    unknown->Release();
    if (!dispatch && typeInfo && *typeInfo) {
        (*typeInfo)->Release();
        *typeInfo = nullptr;
    }
    return dispatch;
}

HRESULT ScriptEngine::ReportError(ScriptErrorData data, EXCEPINFO* excepInfo) {
    if (site_) {
        auto* error = new (std::nothrow) ScriptError(std::move(data));
        if (!error)
            return E_OUTOFMEMORY;
        site_->OnScriptError(error);
        error->Release();
        return SCRIPT_E_REPORTED;
    }
    // Without a site the caller's exception record is the only channel.
    if (excepInfo) {
        *excepInfo = EXCEPINFO{};
        excepInfo->bstrSource = TextToBstr(data.source);
        excepInfo->bstrDescription = TextToBstr(data.description);
        excepInfo->scode = data.scode;
    }
    return DISP_E_EXCEPTION;
}

ScriptErrorData ScriptEngine::TakeInterruptError(DWORD sourceContext) {
    ScriptErrorData data;
    data.source = runtimeSource_;
    {
        std::lock_guard lock(interruptInfoMutex_);
        data.description = interruptDescription_.empty()
                               ? std::u16string(u"Script execution was interrupted")
                               : interruptDescription_;
        data.scode = interruptCode_ != 0 ? interruptCode_ : E_ABORT;
        interruptDescription_.clear();
        interruptCode_ = 0;
    }
    data.sourceContext = sourceContext;
    return data;
}

HRESULT ScriptEngine::ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR,
                                      DWORD sourceContext, ULONG startingLine, DWORD flags,
                                      VARIANT* result, EXCEPINFO* excepInfo) {
    if (result)
        VariantInit(result);
    if (!HasRuntime())
        return E_UNEXPECTED;
    BindNamedItems();
    const std::u16string_view text = code ? std::u16string_view(code) : std::u16string_view();

    if (site_)
        site_->OnEnterScript();
    HRESULT hr = RunScript(text, sourceContext, startingLine, flags, result, excepInfo);
    if (site_)
        site_->OnLeaveScript();
    return hr;
}

} // namespace platform::script
