#include "platform/vbscript/script_error.h"

#include "platform/com/bstr.h"

namespace platform::vbscript {

using namespace platform::com;

namespace {

BSTR ToBstr(const std::u16string& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

} // namespace

HRESULT ScriptError::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    return QuerySingleInterface<script::IActiveScriptError>(this, script::IID_IActiveScriptError,
                                                            iid, out);
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
    info->bstrSource = ToBstr(data_.source);
    info->bstrDescription = ToBstr(data_.description);
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
    *line = ToBstr(data_.lineText);
    return *line ? S_OK : E_OUTOFMEMORY;
}

} // namespace platform::vbscript
