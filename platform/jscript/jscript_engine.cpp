#include "platform/jscript/jscript_engine.h"

#include "platform/com/bstr.h"
#include "platform/jscript/conversion.h"
#include "platform/jscript/dispatch_bridge.h"
#include "platform/jscript/script_error.h"

#include <QJSEngine>
#include <QStringList>

#include <unistd.h>

namespace platform::jscript {

using namespace platform::com;
using namespace platform::script;

namespace {

// Error numbers of the engine's own errors, in the control facility.
constexpr SCODE kSyntaxErrorCode = static_cast<SCODE>(0x800A03EAu);
constexpr SCODE kUncaughtCode = static_cast<SCODE>(0x800A139Eu);

// Builds the named item around its bridge: one function per member, each
// forwarding its arguments as an array.
const char kItemFactory[] = R"((function (bridge, names) {
    var item = {};
    names.forEach(function (name, index) {
        item[name] = function () {
            return bridge.invoke(index, Array.prototype.slice.call(arguments));
        };
    });
    return item;
}))";

DWORD CurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

QString Text(LPCOLESTR text) {
    if (!text)
        return {};
    return QString::fromUtf16(text);
}

// The file names given to the engine: the script text, and the wrappers of
// named items, whose frames an error report passes over.
const QString kScriptFile = QStringLiteral("script");
const QString kItemFile = QStringLiteral("item");

// "function:line:column:file", the file name as a URL ("file:script"), so
// the fields are read from the left. False for a frame outside the script
// text.
bool ParseFrame(const QString& frame, int* line, int* column) {
    QStringList parts = frame.split(QLatin1Char(':'));
    if (parts.size() < 4 || parts.back() != kScriptFile)
        return false;
    bool okLine = false, okColumn = false;
    int l = parts[1].toInt(&okLine);
    int c = parts[2].toInt(&okColumn);
    if (!okLine)
        return false;
    *line = l;
    *column = okColumn ? c : -1;
    return true;
}

} // namespace

JScriptEngine::JScriptEngine() = default;

JScriptEngine::~JScriptEngine() {
    Close();
}

void* JScriptEngine::Cast(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IActiveScript)
        return static_cast<IActiveScript*>(this);
    if (iid == IID_IActiveScriptParse)
        return static_cast<IActiveScriptParse*>(this);
    return nullptr;
}

void JScriptEngine::ChangeState(SCRIPTSTATE state) {
    if (state_ == state)
        return;
    state_ = state;
    if (site_)
        site_->OnStateChange(state);
}

HRESULT JScriptEngine::SetScriptSite(IActiveScriptSite* site) {
    if (!site)
        return E_POINTER;
    if (site_)
        return E_UNEXPECTED; // a site is set once per initialisation
    site->AddRef();
    site_ = site;
    return S_OK;
}

HRESULT JScriptEngine::GetScriptSite(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!site_)
        return S_FALSE;
    return site_->QueryInterface(iid, out);
}

HRESULT JScriptEngine::InitNew() {
    if (state_ != SCRIPTSTATE_UNINITIALIZED && state_ != SCRIPTSTATE_CLOSED)
        return E_UNEXPECTED;
    auto* engine = new (std::nothrow) QJSEngine;
    if (!engine)
        return E_OUTOFMEMORY;
    {
        std::lock_guard lock(engineMutex_);
        engine_ = engine;
        // An interrupt that came before the engine existed still counts.
        if (interruptPending_)
            engine_->setInterrupted(true);
    }
    scriptThread_ = CurrentThreadId();
    ChangeState(SCRIPTSTATE_INITIALIZED);
    return S_OK;
}

HRESULT JScriptEngine::SetScriptState(SCRIPTSTATE state) {
    switch (state) {
    case SCRIPTSTATE_CLOSED:
        return Close();
    case SCRIPTSTATE_STARTED:
    case SCRIPTSTATE_CONNECTED:
    case SCRIPTSTATE_DISCONNECTED:
    case SCRIPTSTATE_INITIALIZED:
        if (!engine_)
            return E_UNEXPECTED;
        if (state != SCRIPTSTATE_INITIALIZED)
            BindNamedItems();
        ChangeState(state);
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

HRESULT JScriptEngine::GetScriptState(SCRIPTSTATE* state) {
    if (!state)
        return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT JScriptEngine::Close() {
    QJSEngine* engine = nullptr;
    {
        std::lock_guard lock(engineMutex_);
        engine = engine_;
        engine_ = nullptr;
    }
    delete engine;
    for (auto& item : items_)
        delete item.bridge; // gives back the item's dispatch reference
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
    interruptPending_ = false;
    return S_OK;
}

HRESULT JScriptEngine::AddNamedItem(LPCOLESTR name, DWORD flags) {
    if (!name || !*name)
        return E_INVALIDARG;
    if (!engine_)
        return E_UNEXPECTED;
    QString text = Text(name);
    for (const auto& item : items_)
        if (item.name == text)
            return E_INVALIDARG;
    items_.push_back({text, flags});
    return S_OK;
}

HRESULT JScriptEngine::AddTypeLib(REFGUID, DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

HRESULT JScriptEngine::GetScriptDispatch(LPCOLESTR, IDispatch** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT JScriptEngine::GetCurrentScriptThreadID(SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = CurrentThreadId();
    return S_OK;
}

HRESULT JScriptEngine::GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* id) {
    if (!id)
        return E_POINTER;
    *id = systemThreadId;
    return S_OK;
}

HRESULT JScriptEngine::GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) {
    if (!state)
        return E_POINTER;
    if (id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT && id != scriptThread_)
        return E_INVALIDARG;
    *state = running_ ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
    return S_OK;
}

HRESULT JScriptEngine::InterruptScriptThread(SCRIPTTHREADID id, const EXCEPINFO* excepInfo, DWORD) {
    if (id != SCRIPTTHREADID_ALL && id != SCRIPTTHREADID_BASE && id != SCRIPTTHREADID_CURRENT &&
        id != scriptThread_)
        return E_INVALIDARG;
    {
        std::lock_guard lock(interruptInfoMutex_);
        interruptDescription_ = excepInfo ? FromBstr(excepInfo->bstrDescription) : QString();
        interruptCode_ = excepInfo ? excepInfo->scode : 0;
    }
    Interrupt();
    return S_OK;
}

void JScriptEngine::Interrupt() {
    std::lock_guard lock(engineMutex_);
    interruptPending_ = true;
    if (engine_)
        engine_->setInterrupted(true);
}

HRESULT JScriptEngine::Clone(IActiveScript** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT JScriptEngine::AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR,
                                    LPCOLESTR, DWORD, ULONG, DWORD, BSTR* name, EXCEPINFO*) {
    if (name)
        *name = nullptr;
    return E_NOTIMPL;
}

void JScriptEngine::BindNamedItems() {
    for (auto& item : items_)
        if (!item.tried) {
            item.tried = true;
            BindNamedItem(item);
        }
}

bool JScriptEngine::BindNamedItem(NamedItem& item) {
    if (!site_ || !engine_)
        return false;
    IUnknown* unknown = nullptr;
    ITypeInfo* typeInfo = nullptr;
    std::u16string name(reinterpret_cast<const char16_t*>(item.name.utf16()),
                        static_cast<size_t>(item.name.size()));
    if (FAILED(site_->GetItemInfo(name.c_str(), SCRIPTINFO_IUNKNOWN | SCRIPTINFO_ITYPEINFO,
                                  &unknown, &typeInfo)) ||
        !unknown) {
        if (unknown)
            unknown->Release();
        if (typeInfo)
            typeInfo->Release();
        return false;
    }
    IDispatch* dispatch = nullptr;
    unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    unknown->Release();
    if (!dispatch) {
        if (typeInfo)
            typeInfo->Release();
        return false;
    }
    if (!typeInfo)
        dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &typeInfo);

    std::vector<DispatchMember> members;
    TYPEATTR* attr = nullptr;
    if (typeInfo && SUCCEEDED(typeInfo->GetTypeAttr(&attr)) && attr) {
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* desc = nullptr;
            if (FAILED(typeInfo->GetFuncDesc(i, &desc)) || !desc)
                continue;
            int params = 0;
            for (SHORT p = 0; p < desc->cParams; ++p)
                if (!(desc->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
                    ++params;
            BSTR memberName = nullptr;
            UINT count = 0;
            if (SUCCEEDED(typeInfo->GetNames(desc->memid, &memberName, 1, &count)) && count == 1) {
                QString text = FromBstr(memberName);
                bool known = false;
                for (const auto& m : members)
                    known = known || m.name == text;
                if (!known && !text.isEmpty())
                    members.push_back({desc->memid, text, params});
            }
            SysFreeString(memberName);
            typeInfo->ReleaseFuncDesc(desc);
        }
        typeInfo->ReleaseTypeAttr(attr);
    }
    if (typeInfo)
        typeInfo->Release();

    auto* bridge = new DispatchBridge(engine_, dispatch, std::move(members));
    dispatch->Release(); // the bridge holds its own reference
    QJSEngine::setObjectOwnership(bridge, QJSEngine::CppOwnership);
    QJSValue names = engine_->newArray(static_cast<uint>(bridge->members().size()));
    for (size_t i = 0; i < bridge->members().size(); ++i)
        names.setProperty(static_cast<quint32>(i), bridge->members()[i].name);
    QJSValue factory = engine_->evaluate(QString::fromLatin1(kItemFactory), kItemFile);
    QJSValue object = factory.call({engine_->newQObject(bridge), names});
    if (object.isError() || !object.isObject()) {
        delete bridge;
        return false;
    }
    item.bridge = bridge;
    if (item.flags & SCRIPTITEM_ISVISIBLE)
        engine_->globalObject().setProperty(item.name, object);
    return true;
}

ScriptErrorData JScriptEngine::ErrorFromException(const QJSValue& error, const QStringList& trace,
                                                  const QString& code, ULONG startingLine) {
    ScriptErrorData data;
    const bool syntax = error.isError() && error.errorType() == QJSValue::SyntaxError;
    data.source = syntax ? QStringLiteral("JScript compilation error")
                         : QStringLiteral("JScript runtime error");
    if (error.isError()) {
        data.description = error.property(QStringLiteral("message")).toString();
        QJSValue number = error.property(QStringLiteral("number"));
        data.scode = number.isNumber() ? static_cast<SCODE>(number.toInt())
                                       : (syntax ? kSyntaxErrorCode : kUncaughtCode);
    } else {
        data.description = error.toString(); // a thrown value that is no Error
        data.scode = kUncaughtCode;
    }

    int line = -1, column = -1;
    // The innermost frame in the script text; calls into named items add
    // frames of their wrappers above it.
    for (const QString& frame : trace)
        if (ParseFrame(frame, &line, &column))
            break;
    if (line >= static_cast<int>(startingLine)) {
        data.line = static_cast<ULONG>(line);
        // Character position: the start of the reported line, plus the
        // column where the engine gives one.
        qsizetype offset = 0;
        for (ULONG n = startingLine; n < data.line && offset >= 0; ++n) {
            qsizetype next = code.indexOf(QLatin1Char('\n'), offset);
            offset = next < 0 ? -1 : next + 1;
        }
        if (offset >= 0) {
            qsizetype end = code.indexOf(QLatin1Char('\n'), offset);
            data.lineText = code.mid(offset, end < 0 ? -1 : end - offset);
            if (data.lineText.endsWith(QLatin1Char('\r')))
                data.lineText.chop(1);
            if (column > 0)
                offset += std::min<qsizetype>(column - 1, data.lineText.size());
            data.position = static_cast<LONG>(offset);
        }
    }
    return data;
}

HRESULT JScriptEngine::ReportError(ScriptErrorData data, EXCEPINFO* excepInfo) {
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
        excepInfo->bstrSource = ToBstr(data.source);
        excepInfo->bstrDescription = ToBstr(data.description);
        excepInfo->scode = data.scode;
    }
    return DISP_E_EXCEPTION;
}

HRESULT JScriptEngine::ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR,
                                       DWORD sourceContext, ULONG startingLine, DWORD flags,
                                       VARIANT* result, EXCEPINFO* excepInfo) {
    if (result)
        VariantInit(result);
    if (!engine_)
        return E_UNEXPECTED;
    BindNamedItems();
    const QString text = Text(code);

    if (site_)
        site_->OnEnterScript();
    running_ = true;
    QStringList trace;
    QJSValue value = engine_->evaluate(text, kScriptFile, static_cast<int>(startingLine), &trace);
    running_ = false;

    HRESULT hr = S_OK;
    bool interrupted = false;
    {
        std::lock_guard lock(engineMutex_);
        interrupted = interruptPending_.exchange(false);
        if (interrupted)
            engine_->setInterrupted(false);
    }
    if (interrupted) {
        ScriptErrorData data;
        data.source = QStringLiteral("JScript runtime error");
        {
            std::lock_guard lock(interruptInfoMutex_);
            data.description = interruptDescription_.isEmpty()
                                   ? QStringLiteral("Script execution was interrupted")
                                   : interruptDescription_;
            data.scode = interruptCode_ != 0 ? interruptCode_ : E_ABORT;
            interruptDescription_.clear();
            interruptCode_ = 0;
        }
        data.sourceContext = sourceContext;
        hr = ReportError(std::move(data), excepInfo);
    } else if (!trace.isEmpty()) {
        // An exception left the script: the trace is only filled then.
        ScriptErrorData data = ErrorFromException(value, trace, text, startingLine);
        data.sourceContext = sourceContext;
        hr = ReportError(std::move(data), excepInfo);
    } else if (result && (flags & SCRIPTTEXT_ISEXPRESSION)) {
        hr = JsToVariant(value, result);
    }

    if (site_)
        site_->OnLeaveScript();
    return hr;
}

} // namespace platform::jscript
