#include "platform/vbscript/vbscript_engine.h"

#include "platform/com/bstr.h"
#include "platform/vbscript/dispatch_object.h"
#include "platform/vbscript/interpreter.h"

namespace platform::vbscript {

using namespace platform::com;
using namespace platform::script;

namespace {

const char16_t kCompilationSource[] = u"VBScript compilation error";
const char16_t kRuntimeSource[] = u"VBScript runtime error";

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

VBScriptEngine::VBScriptEngine() : ScriptEngine(kRuntimeSource) {}

VBScriptEngine::~VBScriptEngine() {
    Close();
}

HRESULT VBScriptEngine::CreateRuntime() {
    interpreter_.reset(new (std::nothrow) Interpreter(&interrupt_));
    return interpreter_ ? S_OK : E_OUTOFMEMORY;
}

void VBScriptEngine::DestroyRuntime() {
    // Globals go first: terminators of script objects still see the items.
    if (interpreter_) {
        interpreter_->Shutdown();
        interpreter_.reset();
    }
}

bool VBScriptEngine::SameItemName(std::u16string_view a, std::u16string_view b) const {
    return Lower(a) == Lower(b);
}

void VBScriptEngine::BindNamedItem(const NamedItem& item) {
    IDispatch* dispatch = ItemDispatch(item.name, nullptr);
    if (!dispatch)
        return;
    auto* object = new DispatchObject(dispatch);
    dispatch->Release(); // the object holds its own reference
    object->AddRef();
    if (item.flags & SCRIPTITEM_ISVISIBLE)
        interpreter_->AddGlobalObject(item.name, object);
    object->Release();
}

HRESULT VBScriptEngine::RunScript(std::u16string_view text, DWORD sourceContext, ULONG startingLine,
                                  DWORD flags, VARIANT* result, EXCEPINFO* excepInfo) {
    const int firstLine = startingLine > 0 ? static_cast<int>(startingLine) : 1;
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
        // A raised flag that the run did not see is dropped with its text.
        ScriptErrorData data = TakeInterruptError(sourceContext);
        if (interrupted)
            hr = ReportError(std::move(data), excepInfo);
    }
    return hr;
}

} // namespace platform::vbscript
