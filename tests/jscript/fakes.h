// A host site and an automation object for driving the engine module.
#pragma once

#include "tests/support/temp_registry.h"

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/interfaces.h"
#include "platform/com/typeinfo.h"
#include "platform/script/active_script.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace jstest {

using platform::com::BSTR;
using platform::com::CLSID;
using platform::com::DISP_E_EXCEPTION;
using platform::com::DISPID;
using platform::com::DISPPARAMS;
using platform::com::DWORD;
using platform::com::E_INVALIDARG;
using platform::com::E_NOTIMPL;
using platform::com::EXCEPINFO;
using platform::com::GuidFromString;
using platform::com::HRESULT;
using platform::com::IDispatch;
using platform::com::IID;
using platform::com::ITypeInfo;
using platform::com::IUnknown;
using platform::com::LCID;
using platform::com::LONG;
using platform::com::LPCOLESTR;
using platform::com::LPOLESTR;
using platform::com::REFIID;
using platform::com::S_OK;
using platform::com::SCODE;
using platform::com::UINT;
using platform::com::ULONG;
using platform::com::VARIANT;
using platform::com::VARTYPE;
using platform::com::WORD;
using platform::script::IActiveScriptError;
using platform::script::IActiveScriptSite;
using platform::script::SCRIPTSTATE;

inline CLSID JScriptClsid() {
    CLSID id{};
    EXPECT_TRUE(GuidFromString("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}", &id));
    return id;
}

using RegistryFolder = TempRegistryTest;

// {3C1B7E52-9A04-4D8E-B1F2-6E0A9D4C2B71}
constexpr IID IID_ICalc = {
    0x3C1B7E52, 0x9A04, 0x4D8E, {0xB1, 0xF2, 0x6E, 0x0A, 0x9D, 0x4C, 0x2B, 0x71}};

enum CalcMember : DISPID { kOutput = 1, kAdd, kEcho, kFail, kResult };

// Output(text) records a line; Add(a, b) sums two 32-bit integers (anything
// else is E_INVALIDARG); Echo(x) records the argument's type and hands back
// a copy; Fail(code) answers the code (DISP_E_EXCEPTION with an exception
// record); Result(kind) returns one of a few fixed variants.
class FakeCalc final : public IDispatch {
public:
    FakeCalc();

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; } // lives on the test's stack

    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID member, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    std::atomic<ULONG> refs{1};
    std::mutex mutex;
    std::vector<std::string> output;
    VARTYPE echoedType = 0xFFFF;
    WORD lastFlags = 0;
};

struct ReportedError {
    std::string source;
    std::string description;
    SCODE scode = 0;
    DWORD context = 0;
    ULONG line = 0;
    LONG position = -1;
    std::string lineText;
};

// The site as the scripting host serves it; item "Calc" (any case) is the
// calculator.
class FakeSite final : public IActiveScriptSite {
public:
    explicit FakeSite(FakeCalc* calc) : calc_(calc) {}

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }

    HRESULT GetLCID(LCID* lcid) override {
        *lcid = 0x409;
        return S_OK;
    }
    HRESULT GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo) override;
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT OnScriptError(IActiveScriptError* error) override;
    HRESULT OnEnterScript() override {
        ++enters;
        return S_OK;
    }
    HRESULT OnLeaveScript() override {
        ++leaves;
        return S_OK;
    }

    std::atomic<ULONG> refs{1};
    std::atomic<int> enters{0};
    std::atomic<int> leaves{0};
    std::atomic<int> itemLookups{0};
    std::vector<ReportedError> errors;

private:
    FakeCalc* calc_;
};

} // namespace jstest
