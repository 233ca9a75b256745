// The interfaces of the component layer as abstract classes whose virtual
// functions sit in the standard slot order, so a call through a vtable built
// by another module lands on the right method. Interfaces have no virtual
// destructor (it would add slots); objects delete themselves in Release.
#pragma once

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/types.h"
#include "platform/com/variant.h"

namespace platform::com {

class ITypeInfo;

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// QueryInterface of an object that offers one interface I besides IUnknown;
// the caller has checked out for null (objects answer that differently).
template <class I> HRESULT QuerySingleInterface(I* self, REFIID own, REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == own) {
        *out = self;
        self->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

class IClassFactory : public IUnknown {
public:
    // outer is the controlling unknown when the new object is aggregated;
    // then iid must be IID_IUnknown.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Arguments of IDispatch::Invoke: rgvarg holds them in reverse order (the
// last argument first); named arguments come first in rgvarg, their ids in
// rgdispidNamedArgs.
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;
constexpr MEMBERID MEMBERID_NIL = DISPID_UNKNOWN;

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) = 0;

protected:
    ~IDispatch() = default;
};

// Type information, reduced to what a script engine asks of an automation
// interface: its attributes, its methods with their parameters, names and
// help strings. The structures keep the standard field names but only the
// fields listed. A parameter's type is its base type: an [out, retval] BSTR
// has tdesc.vt == VT_BSTR and the FOUT | FRETVAL flags.
enum TYPEKIND {
    TKIND_ENUM,
    TKIND_RECORD,
    TKIND_MODULE,
    TKIND_INTERFACE,
    TKIND_DISPATCH,
    TKIND_COCLASS,
    TKIND_ALIAS,
    TKIND_UNION
};
enum FUNCKIND { FUNC_VIRTUAL, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };
enum INVOKEKIND { INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4 };

constexpr WORD TYPEFLAG_FAPPOBJECT = 0x1;
constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
constexpr WORD TYPEFLAG_FDISPATCHABLE = 0x1000;

constexpr USHORT PARAMFLAG_NONE = 0;
constexpr USHORT PARAMFLAG_FIN = 0x1;
constexpr USHORT PARAMFLAG_FOUT = 0x2;
constexpr USHORT PARAMFLAG_FRETVAL = 0x8;
constexpr USHORT PARAMFLAG_FOPT = 0x10;

struct TYPEDESC {
    VARTYPE vt;
};
struct PARAMDESC {
    USHORT wParamFlags;
};
struct ELEMDESC {
    TYPEDESC tdesc;
    PARAMDESC paramdesc;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
};

struct FUNCDESC {
    MEMBERID memid;
    FUNCKIND funckind;
    INVOKEKIND invkind;
    SHORT cParams;    // all parameters, the [out, retval] one included
    SHORT cParamsOpt; // always 0 here
    ELEMDESC* lprgelemdescParam;
    ELEMDESC elemdescFunc; // the method's own return type (VT_ERROR: an HRESULT)
    WORD wFuncFlags;
};

class ITypeInfo : public IUnknown {
public:
    virtual HRESULT GetTypeAttr(TYPEATTR** out) = 0;
    // index 0 .. cFuncs-1, in vtable order.
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** out) = 0;
    // The member's name followed by its parameter names; *count receives how
    // many were written (at most maxNames). The caller frees the BSTRs.
    virtual HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) = 0;
    // names[0] is a member (without regard to case), the rest its parameters;
    // DISP_E_UNKNOWNNAME when any is unknown (its id is then DISPID_UNKNOWN).
    virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
    // memid MEMBERID_NIL describes the interface itself. Any output may be null.
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString,
                                     DWORD* helpContext, BSTR* helpFile) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;

protected:
    ~ITypeInfo() = default;
};

} // namespace platform::com
