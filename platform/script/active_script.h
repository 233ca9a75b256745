// The ActiveX Scripting interfaces between a host and a script engine, as
// abstract classes in the standard slot order, reduced to the types of the
// component layer. The parse interface and the error interface are the
// 32-bit-cookie forms: source contexts are DWORDs.
#pragma once

#include "platform/com/interfaces.h"

namespace platform::script {

using com::BSTR;
using com::DWORD;
using com::EXCEPINFO;
using com::HRESULT;
using com::IDispatch;
using com::ITypeInfo;
using com::IUnknown;
using com::LCID;
using com::LONG;
using com::LPCOLESTR;
using com::REFGUID;
using com::REFIID;
using com::ULONG;
using com::VARIANT;

// {BB1A2AE1-A4F9-11CF-8F20-00805F2CD064}
constexpr com::IID IID_IActiveScript = {
    0xBB1A2AE1, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
// {BB1A2AE2-A4F9-11CF-8F20-00805F2CD064}
constexpr com::IID IID_IActiveScriptParse = {
    0xBB1A2AE2, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
// {DB01A1E3-A42B-11CF-8F20-00805F2CD064}
constexpr com::IID IID_IActiveScriptSite = {
    0xDB01A1E3, 0xA42B, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
// {EAE1BA61-A4ED-11CF-8F20-00805F2CD064}
constexpr com::IID IID_IActiveScriptError = {
    0xEAE1BA61, 0xA4ED, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
// {D10F6761-83E9-11CF-8F20-00805F2CD064}; hosts without windows refuse it.
constexpr com::IID IID_IActiveScriptSiteWindow = {
    0xD10F6761, 0x83E9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};

enum SCRIPTSTATE {
    SCRIPTSTATE_UNINITIALIZED = 0,
    SCRIPTSTATE_STARTED = 1,
    SCRIPTSTATE_CONNECTED = 2,
    SCRIPTSTATE_DISCONNECTED = 3,
    SCRIPTSTATE_CLOSED = 4,
    SCRIPTSTATE_INITIALIZED = 5
};

enum SCRIPTTHREADSTATE { SCRIPTTHREADSTATE_NOTINSCRIPT = 0, SCRIPTTHREADSTATE_RUNNING = 1 };

using SCRIPTTHREADID = DWORD;
constexpr SCRIPTTHREADID SCRIPTTHREADID_CURRENT = static_cast<SCRIPTTHREADID>(-1);
constexpr SCRIPTTHREADID SCRIPTTHREADID_BASE = static_cast<SCRIPTTHREADID>(-2);
constexpr SCRIPTTHREADID SCRIPTTHREADID_ALL = static_cast<SCRIPTTHREADID>(-3);

// AddNamedItem flags.
constexpr DWORD SCRIPTITEM_ISVISIBLE = 0x2;
constexpr DWORD SCRIPTITEM_ISSOURCE = 0x4;
constexpr DWORD SCRIPTITEM_GLOBALMEMBERS = 0x8;
constexpr DWORD SCRIPTITEM_ISPERSISTENT = 0x40;
constexpr DWORD SCRIPTITEM_CODEONLY = 0x200;
constexpr DWORD SCRIPTITEM_NOCODE = 0x400;

// GetItemInfo mask.
constexpr DWORD SCRIPTINFO_IUNKNOWN = 0x1;
constexpr DWORD SCRIPTINFO_ITYPEINFO = 0x2;

// ParseScriptText flags.
constexpr DWORD SCRIPTTEXT_DELAYEXECUTION = 0x1;
constexpr DWORD SCRIPTTEXT_ISVISIBLE = 0x2;
constexpr DWORD SCRIPTTEXT_ISEXPRESSION = 0x20;
constexpr DWORD SCRIPTTEXT_ISPERSISTENT = 0x40;
constexpr DWORD SCRIPTTEXT_HOSTMANAGESSOURCE = 0x80;

// InterruptScriptThread flags.
constexpr DWORD SCRIPTINTERRUPT_DEBUG = 0x1;
constexpr DWORD SCRIPTINTERRUPT_RAISEEXCEPTION = 0x2;

// The engine has already told the site about the error (OnScriptError).
constexpr HRESULT SCRIPT_E_REPORTED = static_cast<HRESULT>(0x80020101u);
// The operation was abandoned (an interrupted script).
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);

class IActiveScriptError : public IUnknown {
public:
    virtual HRESULT GetExceptionInfo(EXCEPINFO* excepInfo) = 0;
    // charPosition is 0-based in the parsed text; lineNumber counts from the
    // starting line given to ParseScriptText.
    virtual HRESULT GetSourcePosition(DWORD* sourceContext, ULONG* lineNumber,
                                      LONG* charPosition) = 0;
    virtual HRESULT GetSourceLineText(BSTR* line) = 0;

protected:
    ~IActiveScriptError() = default;
};

class IActiveScriptSite : public IUnknown {
public:
    virtual HRESULT GetLCID(LCID* lcid) = 0;
    virtual HRESULT GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                ITypeInfo** typeInfo) = 0;
    virtual HRESULT GetDocVersionString(BSTR* version) = 0;
    virtual HRESULT OnScriptTerminate(const VARIANT* result, const EXCEPINFO* excepInfo) = 0;
    virtual HRESULT OnStateChange(SCRIPTSTATE state) = 0;
    virtual HRESULT OnScriptError(IActiveScriptError* error) = 0;
    virtual HRESULT OnEnterScript() = 0;
    virtual HRESULT OnLeaveScript() = 0;

protected:
    ~IActiveScriptSite() = default;
};

class IActiveScript : public IUnknown {
public:
    virtual HRESULT SetScriptSite(IActiveScriptSite* site) = 0;
    virtual HRESULT GetScriptSite(REFIID iid, void** out) = 0;
    virtual HRESULT SetScriptState(SCRIPTSTATE state) = 0;
    virtual HRESULT GetScriptState(SCRIPTSTATE* state) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) = 0;
    virtual HRESULT AddTypeLib(REFGUID libid, DWORD major, DWORD minor, DWORD flags) = 0;
    virtual HRESULT GetScriptDispatch(LPCOLESTR itemName, IDispatch** out) = 0;
    virtual HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* id) = 0;
    virtual HRESULT GetScriptThreadID(DWORD systemThreadId, SCRIPTTHREADID* id) = 0;
    virtual HRESULT GetScriptThreadState(SCRIPTTHREADID id, SCRIPTTHREADSTATE* state) = 0;
    // May be called from any thread.
    virtual HRESULT InterruptScriptThread(SCRIPTTHREADID id, const EXCEPINFO* excepInfo,
                                          DWORD flags) = 0;
    virtual HRESULT Clone(IActiveScript** out) = 0;

protected:
    ~IActiveScript() = default;
};

class IActiveScriptParse : public IUnknown {
public:
    virtual HRESULT InitNew() = 0;
    virtual HRESULT AddScriptlet(LPCOLESTR defaultName, LPCOLESTR code, LPCOLESTR itemName,
                                 LPCOLESTR subItemName, LPCOLESTR eventName, LPCOLESTR delimiter,
                                 DWORD sourceContext, ULONG startingLine, DWORD flags, BSTR* name,
                                 EXCEPINFO* excepInfo) = 0;
    virtual HRESULT ParseScriptText(LPCOLESTR code, LPCOLESTR itemName, IUnknown* context,
                                    LPCOLESTR delimiter, DWORD sourceContext, ULONG startingLine,
                                    DWORD flags, VARIANT* result, EXCEPINFO* excepInfo) = 0;

protected:
    ~IActiveScriptParse() = default;
};

} // namespace platform::script
