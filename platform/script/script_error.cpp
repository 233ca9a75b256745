#include "platform/script/script_error.h"

#include "platform/com/bstr.h"

namespace platform::script {

using namespace platform::com;

BSTR TextToBstr(std::u16string_view text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

HRESULT ScriptError::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    return QuerySingleInterface<IActiveScriptError>(this, IID_IActiveScriptError, iid, out);
}

ULONG ScriptError::Release() {
    ULONG n = --refs_;
    if (n == 0)
        delete this;
    return n;
}

HRESULT ScriptError::GetExceptionInfo(EXCEPINFO* info) {
    if (!info)
        return E_POINTER;
    *info = EXCEPINFO{};
    info->bstrSource = TextToBstr(data_.source);
    info->bstrDescription = TextToBstr(data_.description);
    if (!info->bstrSource || !info->bstrDescription) {
        SysFreeString(info->bstrSource);
        SysFreeString(info->bstrDescription);
        *info = EXCEPINFO{};
        return E_OUTOFMEMORY;
    }
    info->scode = data_.scode;
    return S_OK;
}

HRESULT ScriptError::GetSourcePosition(DWORD* sourceContext, ULONG* line, LONG* position) {
    if (sourceContext)
        *sourceContext = data_.sourceContext;
    if (line)
        *line = data_.line;
    if (position)
        *position = data_.position;
    return S_OK;
}

HRESULT ScriptError::GetSourceLineText(BSTR* line) {
    if (!line)
        return E_POINTER;
    *line = nullptr;
    if (data_.line == 0)
        return E_FAIL;
    *line = TextToBstr(data_.lineText);
    return *line ? S_OK : E_OUTOFMEMORY;
}

} // namespace platform::script
