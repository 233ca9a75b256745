#include "platform/vbscript/vbscript_engine.h"

#include "platform/com/bstr.h"
#include "platform/vbscript/dispatch_object.h"
#include "platform/vbscript/interpreter.h"
#include "platform/vbscript/script_error.h"

#include <unistd.h>

namespace platform::vbscript {

using namespace platform::com;
using namespace platform::script;

namespace {

const char16_t kCompilationSource[] = u"VBScript compilation error";
const char16_t kRuntimeSource[] = u"VBScript runtime error";

DWORD CurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

// The language's error numbers travel in the control facility.
SCODE CodeOf(int32_t number) {
    if (number > 0 && number <= 0xFFFF)
        return static_cast<SCODE>(0x800A0000u | static_cast<uint32_t>(number));
    return number;
}

ScriptErrorData ErrorOf(const ScriptException& e, std::u16string_view code, ULONG startingLine) {
    ScriptErrorData data;
    data.source = e.syntax ? kCompilationSource : e.source.empty() ? kRuntimeSource : e.source;
    data.description = e.description;
    data.scode = CodeOf(e.number);
    if (e.line >= static_cast<int>(startingLine)) {
        data.line = static_cast<ULONG>(e.line);
        size_t offset = 0;
        for (ULONG n = startingLine; n < data.line && offset != std::u16string_view::npos; ++n) {
            size_t next = code.find(u'\n', offset);
            offset = next == std::u16string_view::npos ? next : next + 1;
        }
        if (offset != std::u16string_view::npos) {
            size_t end = code.find(u'\n', offset);
            data.lineText = std::u16string(
                code.substr(offset, end == std::u16string_view::npos ? end : end - offset));
            if (!data.lineText.empty() && data.lineText.back() == u'\r')
                data.lineText.pop_back();
            data.position = static_cast<LONG>(offset);
        }
    }
    return data;
}

} // namespace

VBScriptEngine::VBScriptEngine() = default;

VBScriptEngine::~VBScriptEngine() {
    Close();
}

void* VBScriptEngine::Cast(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IActiveScript)
        return static_cast<IActiveScript*>(this);
    if (iid == IID_IActiveScriptParse)
        return static_cast<IActiveScriptParse*>(this);
    return nullptr;
}

void VBScriptEngine::ChangeState(SCRIPTSTATE state) {
    if (state_ == state)
        return;
    state_ = state;
    if (site_)
        site_->OnStateChange(state);
}

HRESULT VBScriptEngine::SetScriptSite(IActiveScriptSite* site) {
    if (!site)
        return E_POINTER;
    if (site_)
        return E_UNEXPECTED; // a site is set once per initialisation
    site->AddRef();
    site_ = site;
    return S_OK;
}

HRESULT VBScriptEngine::GetScriptSite(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!site_)
        return S_FALSE;
    return site_->QueryInterface(iid, out);
}

HRESULT VBScriptEngine::InitNew() {
    if (state_ != SCRIPTSTATE_UNINITIALIZED && state_ != SCRIPTSTATE_CLOSED)
        return E_UNEXPECTED;
    interpreter_.reset(new (std::nothrow) Interpreter(&interrupt_));
    if (!interpreter_)
        return E_OUTOFMEMORY;
    scriptThread_ = CurrentThreadId();
    ChangeState(SCRIPTSTATE_INITIALIZED);
    return S_OK;
}

HRESULT VBScriptEngine::SetScriptState(SCRIPTSTATE state) {
    switch (state) {
    case SCRIPTSTATE_CLOSED:
        return Close();
    case SCRIPTSTATE_STARTED:
    case SCRIPTSTATE_CONNECTED:
    case SCRIPTSTATE_DISCONNECTED:
    case SCRIPTSTATE_INITIALIZED:
        if (!interpreter_)
            return E_UNEXPECTED;
        if (state != SCRIPTSTATE_INITIALIZED)
            BindNamedItems();
        ChangeState(state);
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

HRESULT VBScriptEngine::GetScriptState(SCRIPTSTATE* state) {
    if (!state)
        return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT VBScriptEngine::Close() {
    // Globals go first: terminators of script objects still see the items.
    if (interpreter_) {
        interpreter_->Shutdown();
        interpreter_.reset();
    }
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

HRESULT VBScriptEngine::AddNamedItem(LPCOLESTR name, DWORD flags) {
    if (!name || !*name)
        return E_INVALIDARG;
    if (!interpreter_)
        return E_UNEXPECTED;
    std::u16string text(name);
    for (const auto& item : items_)
        if (Lower(item.name) == Lower(text))
            return E_INVALIDARG;
    items_.push_back({text, flags});
    return S_OK;
}

HRESULT VBScriptEngine::AddTypeLib(REFGUID, DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

HRESULT VBScriptEngine::GetScriptDispatch(LPCOLESTR, IDispatch** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT VBScriptEngine::GetCurrentScriptThreadID(SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = CurrentThreadId();
    return S_OK;
}

HRESULT VBScriptEngine::GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = systemThreadId;
    return S_OK;
}

HRESULT VBScriptEngine::GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) {
    if (!state)
        return E_POINTER;
    if (id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT && id != scriptThread_)
        return E_INVALIDARG;
    *state = running_ ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
    return S_OK;
}

HRESULT VBScriptEngine::InterruptScriptThread(SCRIPTTHREADID id, const EXCEPINFO* excepInfo,
                                              DWORD) {
    if (id != SCRIPTTHREADID_ALL && id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT &&
        id != scriptThread_)
        return E_INVALIDARG;
    {
        std::lock_guard lock(interruptInfoMutex_);
        interruptDescription_ =
            excepInfo ? std::u16string(BstrView(excepInfo->bstrDescription)) : std::u16string();
        interruptCode_ = excepInfo ? excepInfo->scode : 0;
    }
    interrupt_ = true;
    return S_OK;
}

HRESULT VBScriptEngine::Clone(IActiveScript** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT VBScriptEngine::AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR,
                                     LPCOLESTR, DWORD, ULONG, DWORD, BSTR* name, EXCEPINFO*) {
    if (name)
        *name = nullptr;
    return E_NOTIMPL;
}

void VBScriptEngine::BindNamedItems() {
    if (!site_ || !interpreter_)
        return;
    for (auto& item : items_) {
        if (item.tried)
            continue;
        item.tried = true;
        IUnknown* unknown = nullptr;
        if (FAILED(site_->GetItemInfo(item.name.c_str(), SCRIPTINFO_IUNKNOWN, &unknown, nullptr)) ||
            !unknown)
            continue;
        IDispatch* dispatch = nullptr;
        unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        unknown->Release();
        if (!dispatch)
            continue;
        auto* object = new DispatchObject(dispatch);
        dispatch->Release(); // the object holds its own reference
        object->AddRef();
        if (item.flags & SCRIPTITEM_ISVISIBLE)
            interpreter_->AddGlobalObject(item.name, object);
        object->Release();
    }
}

HRESULT VBScriptEngine::ReportError(ScriptErrorData data, EXCEPINFO* excepInfo) {
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
        excepInfo->bstrSource =
            SysAllocStringLen(data.source.data(), static_cast<UINT>(data.source.size()));
        excepInfo->bstrDescription =
            SysAllocStringLen(data.description.data(), static_cast<UINT>(data.description.size()));
        excepInfo->scode = data.scode;
    }
    return DISP_E_EXCEPTION;
}

HRESULT VBScriptEngine::ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR,
                                        DWORD sourceContext, ULONG startingLine, DWORD flags,
                                        VARIANT* result, EXCEPINFO* excepInfo) {
    if (result)
        VariantInit(result);
    if (!interpreter_)
        return E_UNEXPECTED;
    BindNamedItems();
    const std::u16string_view text = code ? std::u16string_view(code) : std::u16string_view();
    const int firstLine = startingLine > 0 ? static_cast<int>(startingLine) : 1;

    if (site_)
        site_->OnEnterScript();
    running_ = true;
    HRESULT hr = S_OK;
    bool interrupted = false;
    try {
        if (flags & SCRIPTTEXT_ISEXPRESSION) {
            Value value = interpreter_->Evaluate(text, firstLine);
            if (result)
                ToVariant(value.IsObject() ? Dereference(value) : value, result);
        } else {
            interpreter_->Run(text, firstLine);
        }
    } catch (const ScriptException& e) {
        ScriptErrorData data = ErrorOf(e, text, static_cast<ULONG>(firstLine));
        data.sourceContext = sourceContext;
        hr = ReportError(std::move(data), excepInfo);
    } catch (const Interrupted&) {
        interrupted = true;
    } catch (const std::exception& e) {
        // Nothing may leave through the interface; a failure outside any
        // statement (memory for the syntax tree, say) becomes a run-time error.
        int32_t number = dynamic_cast<const std::bad_alloc*>(&e) ? kErrOutOfMemory : kErrInternal;
        ScriptErrorData data;
        data.source = kRuntimeSource;
        data.description = ErrorText(number);
        data.scode = CodeOf(number);
        data.sourceContext = sourceContext;
        hr = ReportError(std::move(data), excepInfo);
    }
    running_ = false;
    if (interrupt_.exchange(false) || interrupted) {
        ScriptErrorData data;
        data.source = kRuntimeSource;
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
        if (interrupted)
            hr = ReportError(std::move(data), excepInfo);
    }
    if (site_)
        site_->OnLeaveScript();
    return hr;
}

} // namespace platform::vbscript
