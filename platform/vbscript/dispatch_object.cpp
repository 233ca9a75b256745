#include "platform/vbscript/dispatch_object.h"

#include "platform/com/bstr.h"
#include "platform/vbscript/errors.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace platform::vbscript {

using namespace platform::com;

namespace {

// Error numbers of the language for the standard failure codes.
int32_t NumberOf(HRESULT hr) {
    switch (hr) {
    case E_INVALIDARG:
        return kErrInvalidCall;
    case E_OUTOFMEMORY:
        return kErrOutOfMemory;
    case DISP_E_TYPEMISMATCH:
        return kErrTypeMismatch;
    case DISP_E_OVERFLOW:
        return kErrOverflow;
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTFOUND:
    case DISP_E_NONAMEDARGS:
        return kErrArgumentCount;
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
        return kErrNoSuchMember;
    case DISP_E_BADINDEX:
        return kErrSubscript;
    default:
        // Errors of the control facility carry the language's numbers.
        if ((static_cast<uint32_t>(hr) & 0xFFFF0000u) == 0x800A0000u)
            return static_cast<int32_t>(hr & 0xFFFF);
        return hr;
    }
}

} // namespace

void ThrowFailure(HRESULT hr, const EXCEPINFO& info0, std::u16string_view member) {
    EXCEPINFO info = info0;
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    HRESULT code = (hr == DISP_E_EXCEPTION && info.scode != 0) ? info.scode : hr;
    ScriptException e;
    e.number = NumberOf(code);
    std::u16string description(BstrView(info.bstrDescription));
    std::u16string source(BstrView(info.bstrSource));
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (!description.empty()) {
        e.description = std::move(description);
        e.source = std::move(source);
    } else if (!ErrorText(e.number).empty()) {
        e.description = ErrorText(e.number);
        if (e.number == kErrNoSuchMember)
            e.description += u": '" + std::u16string(member) + u"'";
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "Error 0x%08X", static_cast<unsigned>(code));
        e.description = FromAscii(buf);
    }
    throw e;
}

void ToVariant(const Value& value, VARIANT* dest) {
    VariantInit(dest);
    switch (value.type()) {
    case VT::Empty:
        return;
    case VT::Null:
        dest->vt = VT_NULL;
        return;
    case VT::Boolean:
        dest->vt = VT_BOOL;
        dest->boolVal = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
        return;
    case VT::Byte:
    case VT::Integer:
    case VT::Long:
        dest->vt = VT_I4;
        dest->lVal = ToLong(value);
        return;
    case VT::Double:
    case VT::Currency:
    case VT::Date:
        dest->vt = VT_R8;
        dest->dblVal = ToDouble(value);
        return;
    case VT::String: {
        const std::u16string& s = value.str();
        BSTR b = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        if (!b)
            Throw(kErrOutOfMemory);
        dest->vt = VT_BSTR;
        dest->bstrVal = b;
        return;
    }
    case VT::Object:
        if (!value.object()) {
            dest->vt = VT_DISPATCH;
            dest->pdispVal = nullptr;
            return;
        }
        if (auto* d = dynamic_cast<DispatchObject*>(value.object())) {
            d->dispatch()->AddRef();
            dest->vt = VT_DISPATCH;
            dest->pdispVal = d->dispatch();
            return;
        }
        Throw(kErrTypeMismatch);
    default:
        Throw(kErrTypeMismatch);
    }
}

Value FromVariant(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY:
        return {};
    case VT_NULL:
        return Value::Null();
    case VT_I4:
    case VT_INT:
        return Value::Long(v.lVal);
    case VT_R8:
        return Value::Double(v.dblVal);
    case VT_BOOL:
        return Value::Boolean(v.boolVal != VARIANT_FALSE);
    case VT_BSTR:
        return Value::String(std::u16string(BstrView(v.bstrVal)));
    case VT_DISPATCH:
        if (!v.pdispVal)
            return Value::Nothing();
        return Value::Object(new DispatchObject(v.pdispVal));
    case VT_UNKNOWN: {
        IDispatch* d = nullptr;
        if (v.punkVal &&
            SUCCEEDED(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d))) &&
            d) {
            Value r = Value::Object(new DispatchObject(d));
            d->Release();
            return r;
        }
        return Value::Nothing();
    }
    case VT_ERROR:
        return Value::Long(v.scode);
    default:
        Throw(kErrTypeMismatch);
    }
}

DispatchObject::DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {
    dispatch_->AddRef();
}

DispatchObject::~DispatchObject() {
    dispatch_->Release();
}

std::u16string DispatchObject::TypeName() const {
    ITypeInfo* info = nullptr;
    std::u16string name = u"Object";
    if (SUCCEEDED(dispatch_->GetTypeInfo(0, LOCALE_EN_US, &info)) && info) {
        BSTR b = nullptr;
        if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &b, nullptr, nullptr, nullptr)) && b &&
            SysStringLen(b) > 0)
            name = std::u16string(BstrView(b));
        SysFreeString(b);
        info->Release();
    }
    return name;
}

const DispatchObject::Member& DispatchObject::MemberOf(std::u16string_view name) {
    std::u16string key(name);
    auto it = members_.find(key);
    if (it != members_.end())
        return it->second;
    Member member;
    if (name.empty()) {
        member.id = DISPID_VALUE;
    } else {
        std::u16string text = key;
        LPOLESTR names[1] = {text.data()};
        member.id = DISPID_UNKNOWN;
        if (FAILED(dispatch_->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_EN_US, &member.id)))
            Throw(kErrNoSuchMember, key);
        ITypeInfo* info = nullptr;
        TYPEATTR* attr = nullptr;
        if (SUCCEEDED(dispatch_->GetTypeInfo(0, LOCALE_EN_US, &info)) && info &&
            SUCCEEDED(info->GetTypeAttr(&attr)) && attr) {
            for (UINT i = 0; i < attr->cFuncs; ++i) {
                FUNCDESC* desc = nullptr;
                if (FAILED(info->GetFuncDesc(i, &desc)) || !desc)
                    continue;
                if (desc->memid == member.id && member.params.empty())
                    for (SHORT p = 0; p < desc->cParams; ++p)
                        if (!(desc->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
                            member.params.push_back(desc->lprgelemdescParam[p].tdesc.vt);
                info->ReleaseFuncDesc(desc);
            }
            info->ReleaseTypeAttr(attr);
        }
        if (info)
            info->Release();
    }
    return members_.emplace(std::move(key), std::move(member)).first->second;
}

namespace {

struct Variants {
    std::vector<VARIANT> items;
    ~Variants() {
        for (auto& v : items)
            VariantClear(&v);
    }
};

// The arguments last first, as Invoke takes them; a left-out one is the
// "parameter not found" error value.
void Pack(std::span<Arg> args, const std::vector<VARTYPE>& types, const Value* extra,
          Variants& out) {
    size_t n = args.size() + (extra ? 1 : 0);
    out.items.resize(n);
    for (auto& v : out.items)
        VariantInit(&v);
    size_t k = n;
    for (size_t i = 0; i < args.size(); ++i) {
        const Arg& a = args[i];
        VARIANT& v = out.items[--k];
        if (a.missing) {
            v.vt = VT_ERROR;
            v.scode = DISP_E_PARAMNOTFOUND;
            continue;
        }
        const Value& value = a.get();
        if (i < types.size() && types[i] == VT_BSTR && !value.IsString() && !value.IsNull() &&
            !value.IsEmpty() && !value.IsArray())
            ToVariant(Value::String(ToString(value)), &v);
        else
            ToVariant(value, &v);
    }
    if (extra)
        ToVariant(*extra, &out.items[0]);
}

} // namespace

Value DispatchObject::Invoke(Interpreter&, std::u16string_view name, std::span<Arg> args) {
    const Member& member = MemberOf(name);
    DISPID id = member.id;
    Variants packed;
    Pack(args, member.params, nullptr, packed);
    DISPPARAMS params{packed.items.empty() ? nullptr : packed.items.data(), nullptr,
                      static_cast<UINT>(packed.items.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr =
        dispatch_->Invoke(id, GUID_NULL, LOCALE_EN_US, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          &params, &result, &info, &argErr);
    if (FAILED(hr)) {
        VariantClear(&result);
        ThrowFailure(hr, info, name);
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    struct Clear {
        VARIANT* v;
        ~Clear() { VariantClear(v); }
    } clear{&result};
    return FromVariant(result);
}

void DispatchObject::Assign(Interpreter&, std::u16string_view name, std::span<Arg> args,
                            const Value& value, bool set) {
    const Member& member = MemberOf(name);
    DISPID id = member.id;
    Variants packed;
    Pack(args, member.params, &value, packed);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{packed.items.data(), &named, static_cast<UINT>(packed.items.size()), 1};
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr = dispatch_->Invoke(id, GUID_NULL, LOCALE_EN_US,
                                   set ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT, &params,
                                   nullptr, &info, &argErr);
    if (FAILED(hr))
        ThrowFailure(hr, info, name);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
}

} // namespace platform::vbscript
