// Type information compiled into a server: a plain table describing its
// library, classes and interfaces, the ITypeInfo that script engines read
// over it, and a generic IDispatch over a table of per-method thunks, so an
// automation object is a thin dispatch table over its vtable methods.
//
//   static const TypeLibDescription kLib = {...};
//   static const DispatchTable kTable(kLib, IID_IFoo, {
//       Bind<&IFoo::Twice>(1),   // HRESULT Twice(LONG n, LONG* result)
//       Bind<&IFoo::Greet>(2),   // HRESULT Greet(BSTR name, BSTR* result)
//   });
//   HRESULT Foo::Invoke(DISPID id, ..., VARIANT* r, EXCEPINFO* e, UINT* a) {
//       return kTable.Invoke(static_cast<IFoo*>(this), id, flags, params, r, e, a);
//   }
#pragma once

#include "platform/com/interfaces.h"
#include "platform/platform_api.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace platform::com {

// A parameter: VT_BSTR, VT_I4 or VT_INT; flags PARAMFLAG_FIN, or
// PARAMFLAG_FOUT | PARAMFLAG_FRETVAL for the result (last, at most one).
struct ParamDescription {
    std::string name;
    VARTYPE vt;
    USHORT flags = PARAMFLAG_FIN;
};

inline ParamDescription In(std::string name, VARTYPE vt) {
    return {std::move(name), vt, PARAMFLAG_FIN};
}
inline ParamDescription RetVal(std::string name, VARTYPE vt) {
    return {std::move(name), vt, static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)};
}

struct MethodDescription {
    DISPID dispid;
    std::string name;
    std::vector<ParamDescription> params;
    std::string help;
};

// Methods in vtable order (after the seven IUnknown and IDispatch slots).
struct InterfaceDescription {
    IID iid;
    std::string name;
    std::string help;
    std::vector<MethodDescription> methods;
    WORD flags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
};

struct CoclassDescription {
    CLSID clsid;
    std::string name;
    std::string help;
    IID defaultInterface;
    WORD flags = TYPEFLAG_FCANCREATE;
};

struct TypeLibDescription {
    GUID libid;
    std::string name;
    std::string help;
    WORD majorVersion;
    WORD minorVersion;
    std::vector<InterfaceDescription> interfaces;
    std::vector<CoclassDescription> coclasses;
    LCID lcid = 0;
};

PLATFORM_API const InterfaceDescription* FindInterface(const TypeLibDescription& lib, REFIID iid);

// A new ITypeInfo (one reference) of the library's interface iid. It holds
// its own copy of the description, so it stays valid after the server module
// that described it is unloaded. TYPE_E_ELEMENTNOTFOUND for an unknown iid.
PLATFORM_API HRESULT CreateTypeInfo(const TypeLibDescription& lib, REFIID iid, ITypeInfo** out);

// One method's adapter: args hold the [in] arguments in declaration order,
// already converted to their declared types (BSTR as VT_BSTR, integers as
// VT_I4); a result, if the method has one, goes into *result.
using DispatchThunk = HRESULT (*)(void* self, VARIANT* args, VARIANT* result);

struct DispatchEntry {
    DISPID dispid;
    DispatchThunk thunk;
    const VARTYPE* inTypes; // the C++ signature, checked against the description
    int inCount;
    VARTYPE retval; // VT_EMPTY when the method has no [out, retval]
};

namespace detail {

template <class T> struct InArg;
template <> struct InArg<BSTR> {
    static constexpr VARTYPE vt = VT_BSTR;
    static BSTR Get(const VARIANT& v) { return v.bstrVal; }
};
template <> struct InArg<LONG> {
    static constexpr VARTYPE vt = VT_I4;
    static LONG Get(const VARIANT& v) { return v.lVal; }
};

template <class T> struct OutArg { static constexpr bool is = false; };
template <> struct OutArg<BSTR*> {
    static constexpr bool is = true;
    static constexpr VARTYPE vt = VT_BSTR;
    using Value = BSTR;
    static void Put(VARIANT* r, BSTR v) {
        r->vt = VT_BSTR;
        r->bstrVal = v;
    }
};
template <> struct OutArg<LONG*> {
    static constexpr bool is = true;
    static constexpr VARTYPE vt = VT_I4;
    using Value = LONG;
    static void Put(VARIANT* r, LONG v) {
        r->vt = VT_I4;
        r->lVal = v;
    }
};

template <class... A> struct LastIsOut { static constexpr bool value = false; };
template <class A0, class... A> struct LastIsOut<A0, A...> {
    static constexpr bool value =
        OutArg<std::tuple_element_t<sizeof...(A), std::tuple<A0, A...>>>::is;
};

template <auto Method> struct Thunk;

template <class C, class... A, HRESULT (C::*Method)(A...)> struct Thunk<Method> {
    using Args = std::tuple<A...>;
    static constexpr bool kHasOut = LastIsOut<A...>::value;
    static constexpr int kIn = static_cast<int>(sizeof...(A)) - (kHasOut ? 1 : 0);

    template <size_t... I> static constexpr auto InTypes(std::index_sequence<I...>) {
        return std::array<VARTYPE, sizeof...(I) + 1>{InArg<std::tuple_element_t<I, Args>>::vt...,
                                                     VT_EMPTY};
    }
    static constexpr auto kInTypes = InTypes(std::make_index_sequence<kIn>{});

    static constexpr VARTYPE Retval() {
        if constexpr (kHasOut)
            return OutArg<std::tuple_element_t<sizeof...(A) - 1, Args>>::vt;
        else
            return VT_EMPTY;
    }

    template <size_t... I>
    static HRESULT Call(C* obj, VARIANT* args, VARIANT* result, std::index_sequence<I...>) {
        if constexpr (kHasOut) {
            using Out = OutArg<std::tuple_element_t<sizeof...(A) - 1, Args>>;
            typename Out::Value value{};
            HRESULT hr =
                (obj->*Method)(InArg<std::tuple_element_t<I, Args>>::Get(args[I])..., &value);
            Out::Put(result, value);
            return hr;
        } else {
            (void)result;
            return (obj->*Method)(InArg<std::tuple_element_t<I, Args>>::Get(args[I])...);
        }
    }

    static HRESULT Invoke(void* self, VARIANT* args, VARIANT* result) {
        return Call(static_cast<C*>(self), args, result, std::make_index_sequence<kIn>{});
    }
};

} // namespace detail

// The entry for a method HRESULT C::M(in..., [out] R*) where every in is BSTR
// or LONG and R is BSTR or LONG. The object handed to DispatchTable::Invoke
// must be a C*: the class (or interface) that declares M.
template <auto Method> DispatchEntry Bind(DISPID dispid) {
    using T = detail::Thunk<Method>;
    return {dispid, &T::Invoke, T::kInTypes.data(), T::kIn, T::Retval()};
}

class PLATFORM_API DispatchTable {
public:
    DispatchTable(const TypeLibDescription& lib, REFIID iid,
                  std::initializer_list<DispatchEntry> entries);

    // True when the interface exists in the library and every method has an
    // entry whose signature matches its description.
    bool valid() const { return valid_; }

    HRESULT GetTypeInfoCount(UINT* count) const;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) const;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const;
    // Finds the method, checks the call form (method or property get, no
    // named arguments, exact argument count: DISP_E_MEMBERNOTFOUND,
    // DISP_E_NONAMEDARGS, DISP_E_BADPARAMCOUNT), converts each argument to
    // its declared type (on failure *argErr = the argument's index in rgvarg
    // and the conversion's code), calls the thunk and returns its HRESULT.
    // A method's result goes into *result when result is not null (it is
    // overwritten, not cleared); otherwise it is freed.
    HRESULT Invoke(void* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) const;

private:
    std::shared_ptr<const TypeLibDescription> lib_;
    const InterfaceDescription* itf_ = nullptr;
    std::vector<DispatchEntry> entries_; // parallel to itf_->methods
    bool valid_ = false;
};

// IDispatch's four methods for interface I over the table Table() returns:
// an automation class derives from DispatchImpl<IFoo, &Table> and writes only
// its own methods.
template <class I, const DispatchTable& (*Table)()> class DispatchImpl : public I {
public:
    HRESULT GetTypeInfoCount(UINT* count) override { return Table().GetTypeInfoCount(count); }
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override {
        return Table().GetTypeInfo(index, lcid, out);
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return Table().GetIDsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override {
        return Table().Invoke(static_cast<I*>(this), member, flags, params, result, excepInfo,
                              argErr);
    }
};

} // namespace platform::com
