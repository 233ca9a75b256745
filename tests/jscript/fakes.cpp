#include "fakes.h"

#include <strings.h>

using namespace platform::com;
using namespace platform::script;

namespace jstest {

namespace {

const TypeLibDescription& CalcLibrary() {
    static const TypeLibDescription lib = {
        {0x3C1B7E53, 0x9A04, 0x4D8E, {0xB1, 0xF2, 0x6E, 0x0A, 0x9D, 0x4C, 0x2B, 0x71}},
        "CalcLib",
        "Test calculator",
        1,
        0,
        {{IID_ICalc,
          "ICalc",
          "",
          {
              {kOutput, "Output", {In("text", VT_BSTR)}, ""},
              {kAdd, "Add", {In("a", VT_I4), In("b", VT_I4), RetVal("sum", VT_I4)}, ""},
              {kEcho, "Echo", {In("value", VT_BSTR), RetVal("copy", VT_BSTR)}, ""},
              {kFail, "Fail", {In("code", VT_I4)}, ""},
              {kResult, "Result", {In("kind", VT_I4), RetVal("value", VT_BSTR)}, ""},
          }}},
        {}};
    return lib;
}

} // namespace

FakeCalc::FakeCalc() = default;

HRESULT FakeCalc::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ICalc) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeCalc::GetTypeInfoCount(UINT* count) {
    *count = 1;
    return S_OK;
}

HRESULT FakeCalc::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (index != 0)
        return DISP_E_BADINDEX;
    return CreateTypeInfo(CalcLibrary(), IID_ICalc, out);
}

HRESULT FakeCalc::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL; // the engine must work from the type information
}

HRESULT FakeCalc::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excepInfo, UINT*) {
    std::lock_guard lock(mutex);
    lastFlags = flags;
    UINT n = params ? params->cArgs : 0;
    // rgvarg is last argument first.
    auto arg = [&](UINT i) -> VARIANT& { return params->rgvarg[n - 1 - i]; };
    switch (member) {
    case kOutput:
        if (n != 1)
            return DISP_E_BADPARAMCOUNT;
        if (arg(0).vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        output.push_back(BstrToUtf8(arg(0).bstrVal));
        return S_OK;
    case kAdd:
        if (n != 2 || arg(0).vt != VT_I4 || arg(1).vt != VT_I4)
            return E_INVALIDARG;
        result->vt = VT_I4;
        result->lVal = arg(0).lVal + arg(1).lVal;
        return S_OK;
    case kEcho:
        if (n != 1)
            return DISP_E_BADPARAMCOUNT;
        echoedType = arg(0).vt;
        return VariantCopy(result, &arg(0));
    case kFail:
        if (n != 1 || arg(0).vt != VT_I4)
            return E_INVALIDARG;
        if (arg(0).lVal == DISP_E_EXCEPTION && excepInfo) {
            excepInfo->bstrDescription = SysAllocStringFromUtf8("Custom failure");
            excepInfo->scode = static_cast<SCODE>(0x80040201u);
        }
        return arg(0).lVal;
    case kResult:
        if (n != 1 || arg(0).vt != VT_I4)
            return E_INVALIDARG;
        switch (arg(0).lVal) {
        case 0:
            result->vt = VT_BSTR;
            result->bstrVal = nullptr;
            break;
        case 1:
            result->vt = VT_EMPTY;
            break;
        case 2:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            break;
        case 3:
            result->vt = VT_R8;
            result->dblVal = 2.5;
            break;
        default:
            result->vt = VT_NULL;
            break;
        }
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT FakeSite::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_INVALIDARG;
    return QuerySingleInterface<IActiveScriptSite>(this, IID_IActiveScriptSite, iid, out);
}

HRESULT FakeSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo) {
    ++itemLookups;
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
    if (strcasecmp(Utf16ToUtf8(name).c_str(), "Calc") != 0)
        return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_ITYPEINFO) {
        HRESULT hr = calc_->GetTypeInfo(0, 0x409, typeInfo);
        if (FAILED(hr))
            return hr;
    }
    if (mask & SCRIPTINFO_IUNKNOWN)
        calc_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(item));
    return S_OK;
}

HRESULT FakeSite::OnScriptError(IActiveScriptError* error) {
    ReportedError r;
    EXCEPINFO info{};
    EXPECT_EQ(error->GetExceptionInfo(&info), S_OK);
    r.source = BstrToUtf8(info.bstrSource);
    r.description = BstrToUtf8(info.bstrDescription);
    r.scode = info.scode;
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    EXPECT_EQ(error->GetSourcePosition(&r.context, &r.line, &r.position), S_OK);
    BSTR text = nullptr;
    if (SUCCEEDED(error->GetSourceLineText(&text)))
        r.lineText = BstrToUtf8(text);
    SysFreeString(text);
    errors.push_back(r);
    return S_FALSE;
}

} // namespace jstest
