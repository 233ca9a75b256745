#include "platform/jscript/jscript_engine.h"

#include "platform/com/bstr.h"
#include "platform/jscript/conversion.h"
#include "platform/jscript/dispatch_bridge.h"

#include <QJSEngine>
#include <QStringList>

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

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
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

JScriptEngine::JScriptEngine() : ScriptEngine(u"JScript runtime error") {}

JScriptEngine::~JScriptEngine() {
    Close();
}

HRESULT JScriptEngine::CreateRuntime() {
    auto* engine = new (std::nothrow) QJSEngine;
    if (!engine)
        return E_OUTOFMEMORY;
    std::lock_guard lock(engineMutex_);
    engine_ = engine;
    // An interrupt that came before the engine existed still counts.
    if (interrupt_)
        engine_->setInterrupted(true);
    return S_OK;
}

void JScriptEngine::DestroyRuntime() {
    QJSEngine* engine = nullptr;
    {
        std::lock_guard lock(engineMutex_);
        engine = engine_;
        engine_ = nullptr;
    }
    delete engine;
    for (DispatchBridge* bridge : bridges_)
        delete bridge; // gives back the item's dispatch reference
    bridges_.clear();
}

void JScriptEngine::RequestInterrupt() {
    std::lock_guard lock(engineMutex_);
    interrupt_ = true;
    if (engine_)
        engine_->setInterrupted(true);
}

void JScriptEngine::BindNamedItem(const NamedItem& item) {
    ITypeInfo* typeInfo = nullptr;
    IDispatch* dispatch = ItemDispatch(item.name, &typeInfo);
    if (!dispatch)
        return;
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
        return;
    }
    bridges_.push_back(bridge);
    if (item.flags & SCRIPTITEM_ISVISIBLE)
        engine_->globalObject().setProperty(Text(item.name), object);
}

ScriptErrorData JScriptEngine::ErrorFromException(const QJSValue& error, const QStringList& trace,
                                                  const QString& code, ULONG startingLine) {
    ScriptErrorData data;
    const bool syntax = error.isError() && error.errorType() == QJSValue::SyntaxError;
    data.source = syntax ? u"JScript compilation error" : u"JScript runtime error";
    if (error.isError()) {
        data.description = error.property(QStringLiteral("message")).toString().toStdU16String();
        QJSValue number = error.property(QStringLiteral("number"));
        data.scode = number.isNumber() ? static_cast<SCODE>(number.toInt())
                                       : (syntax ? kSyntaxErrorCode : kUncaughtCode);
    } else {
        data.description = error.toString().toStdU16String(); // a thrown value that is no Error
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
            QString lineText = code.mid(offset, end < 0 ? -1 : end - offset);
            if (lineText.endsWith(QLatin1Char('\r')))
                lineText.chop(1);
            if (column > 0)
                offset += std::min<qsizetype>(column - 1, lineText.size());
            data.lineText = lineText.toStdU16String();
            data.position = static_cast<LONG>(offset);
        }
    }
    return data;
}

HRESULT JScriptEngine::RunScript(std::u16string_view code, DWORD sourceContext, ULONG startingLine,
                                 DWORD flags, VARIANT* result, EXCEPINFO* excepInfo) {
    const QString text = Text(code);
    running_ = true;
    QStringList trace;
    QJSValue value = engine_->evaluate(text, kScriptFile, static_cast<int>(startingLine), &trace);
    running_ = false;

    bool interrupted = false;
    {
        std::lock_guard lock(engineMutex_);
        interrupted = interrupt_.exchange(false);
        if (interrupted)
            engine_->setInterrupted(false);
    }
    if (interrupted)
        return ReportError(TakeInterruptError(sourceContext), excepInfo);
    if (!trace.isEmpty()) {
        // An exception left the script: the trace is only filled then.
        ScriptErrorData data = ErrorFromException(value, trace, text, startingLine);
        data.sourceContext = sourceContext;
        return ReportError(std::move(data), excepInfo);
    }
    if (result && (flags & SCRIPTTEXT_ISEXPRESSION))
        return JsToVariant(value, result);
    return S_OK;
}

} // namespace platform::jscript
