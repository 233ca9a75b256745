#include "platform/com/typeinfo.h"

#include "platform/com/bstr.h"

#include <atomic>
#include <cstring>

namespace platform::com {

namespace {

bool SameName(std::u16string_view a, const std::string& b) {
    std::string u = Utf16ToUtf8(a);
    if (u.size() != b.size())
        return false;
    for (size_t i = 0; i < u.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(u[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool IsRetval(const ParamDescription& p) {
    return (p.flags & PARAMFLAG_FRETVAL) != 0;
}

VARTYPE Canonical(VARTYPE vt) {
    return vt == VT_INT ? VT_I4 : vt;
}

const MethodDescription* FindMethod(const InterfaceDescription& itf, DISPID id, size_t* index) {
    for (size_t i = 0; i < itf.methods.size(); ++i)
        if (itf.methods[i].dispid == id) {
            if (index)
                *index = i;
            return &itf.methods[i];
        }
    return nullptr;
}

// Shared by the type information and the dispatch table.
HRESULT LookupIds(const InterfaceDescription& itf, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    if (!names[0])
        return DISP_E_UNKNOWNNAME;
    const MethodDescription* method = nullptr;
    for (const auto& m : itf.methods)
        if (SameName(names[0], m.name)) {
            method = &m;
            break;
        }
    if (!method)
        return DISP_E_UNKNOWNNAME;
    ids[0] = method->dispid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (size_t p = 0; p < method->params.size() && names[i]; ++p)
            if (SameName(names[i], method->params[p].name))
                ids[i] = static_cast<DISPID>(p);
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT NewBstr(const std::string& text, BSTR* out) {
    if (!out)
        return S_OK;
    *out = SysAllocStringFromUtf8(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

class TypeInfo final : public ITypeInfo {
public:
    TypeInfo(std::shared_ptr<const TypeLibDescription> lib, const InterfaceDescription* itf)
        : lib_(std::move(lib)), itf_(itf) {}

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        return QuerySingleInterface<ITypeInfo>(this, IID_ITypeInfo, iid, out);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0)
            delete this;
        return n;
    }

    HRESULT GetTypeAttr(TYPEATTR** out) override {
        if (!out)
            return E_INVALIDARG;
        auto* attr = new (std::nothrow) TYPEATTR{};
        if (!attr)
            return E_OUTOFMEMORY;
        attr->guid = itf_->iid;
        attr->lcid = lib_->lcid;
        attr->typekind = TKIND_DISPATCH;
        attr->cFuncs = static_cast<WORD>(itf_->methods.size());
        attr->cImplTypes = 1;
        attr->wTypeFlags = itf_->flags;
        attr->wMajorVerNum = lib_->majorVersion;
        attr->wMinorVerNum = lib_->minorVersion;
        *out = attr;
        return S_OK;
    }

    HRESULT GetFuncDesc(UINT index, FUNCDESC** out) override {
        if (!out)
            return E_INVALIDARG;
        *out = nullptr;
        if (index >= itf_->methods.size())
            return TYPE_E_ELEMENTNOTFOUND;
        const MethodDescription& m = itf_->methods[index];
        auto* desc = new (std::nothrow) FUNCDESC{};
        auto* params = new (std::nothrow) ELEMDESC[m.params.size() + 1];
        if (!desc || !params) {
            delete desc;
            delete[] params;
            return E_OUTOFMEMORY;
        }
        for (size_t i = 0; i < m.params.size(); ++i)
            params[i] = ELEMDESC{{m.params[i].vt}, {m.params[i].flags}};
        desc->memid = m.dispid;
        desc->funckind = FUNC_DISPATCH;
        desc->invkind = INVOKE_FUNC;
        desc->cParams = static_cast<SHORT>(m.params.size());
        desc->cParamsOpt = 0;
        desc->lprgelemdescParam = params;
        desc->elemdescFunc = ELEMDESC{{VT_HRESULT}, {PARAMFLAG_NONE}};
        *out = desc;
        return S_OK;
    }

    HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) override {
        if (!names || !count)
            return E_INVALIDARG;
        *count = 0;
        const MethodDescription* m = FindMethod(*itf_, memid, nullptr);
        if (!m)
            return TYPE_E_ELEMENTNOTFOUND;
        std::vector<const std::string*> all{&m->name};
        for (const auto& p : m->params)
            all.push_back(&p.name);
        for (UINT i = 0; i < maxNames && i < all.size(); ++i) {
            HRESULT hr = NewBstr(*all[i], &names[i]);
            if (FAILED(hr)) {
                for (UINT k = 0; k < i; ++k)
                    SysFreeString(names[k]);
                return hr;
            }
            *count = i + 1;
        }
        return S_OK;
    }

    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
        return LookupIds(*itf_, names, count, ids);
    }

    HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override {
        const std::string* n = &itf_->name;
        const std::string* help = &itf_->help;
        if (memid != MEMBERID_NIL) {
            const MethodDescription* m = FindMethod(*itf_, memid, nullptr);
            if (!m)
                return TYPE_E_ELEMENTNOTFOUND;
            n = &m->name;
            help = &m->help;
        }
        if (helpContext)
            *helpContext = 0;
        if (helpFile)
            *helpFile = nullptr;
        if (docString)
            *docString = nullptr;
        HRESULT hr = NewBstr(*n, name);
        if (SUCCEEDED(hr))
            hr = NewBstr(*help, docString);
        if (FAILED(hr) && name) {
            SysFreeString(*name);
            *name = nullptr;
        }
        return hr;
    }

    void ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }
    void ReleaseFuncDesc(FUNCDESC* desc) override {
        if (desc)
            delete[] desc->lprgelemdescParam;
        delete desc;
    }

private:
    std::atomic<ULONG> refs_{1};
    std::shared_ptr<const TypeLibDescription> lib_;
    const InterfaceDescription* itf_;
};

HRESULT NewTypeInfo(std::shared_ptr<const TypeLibDescription> lib, REFIID iid, ITypeInfo** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const InterfaceDescription* itf = FindInterface(*lib, iid);
    if (!itf)
        return TYPE_E_ELEMENTNOTFOUND;
    auto* info = new (std::nothrow) TypeInfo(std::move(lib), itf);
    if (!info)
        return E_OUTOFMEMORY;
    *out = info;
    return S_OK;
}

} // namespace

const InterfaceDescription* FindInterface(const TypeLibDescription& lib, REFIID iid) {
    for (const auto& itf : lib.interfaces)
        if (itf.iid == iid)
            return &itf;
    return nullptr;
}

HRESULT CreateTypeInfo(const TypeLibDescription& lib, REFIID iid, ITypeInfo** out) {
    try {
        return NewTypeInfo(std::make_shared<const TypeLibDescription>(lib), iid, out);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

DispatchTable::DispatchTable(const TypeLibDescription& lib, REFIID iid,
                             std::initializer_list<DispatchEntry> entries)
    : lib_(std::make_shared<const TypeLibDescription>(lib)) {
    itf_ = FindInterface(*lib_, iid);
    if (!itf_)
        return;
    valid_ = true;
    for (const auto& m : itf_->methods) {
        const DispatchEntry* found = nullptr;
        for (const auto& e : entries)
            if (e.dispid == m.dispid)
                found = &e;
        DispatchEntry entry = found ? *found : DispatchEntry{m.dispid, nullptr, nullptr, 0, 0};
        // The C++ signature must be the described one, or arguments would be
        // read from the wrong union members.
        int in = 0;
        VARTYPE retval = VT_EMPTY;
        bool ok = entry.thunk != nullptr;
        for (size_t i = 0; ok && i < m.params.size(); ++i) {
            const ParamDescription& p = m.params[i];
            if (IsRetval(p)) {
                ok = i + 1 == m.params.size();
                retval = Canonical(p.vt);
            } else {
                ok = in < entry.inCount && Canonical(p.vt) == entry.inTypes[in];
                ++in;
            }
        }
        ok = ok && in == entry.inCount && retval == entry.retval;
        if (!ok) {
            entry.thunk = nullptr;
            valid_ = false;
        }
        entries_.push_back(entry);
    }
}

HRESULT DispatchTable::GetTypeInfoCount(UINT* count) const {
    if (!count)
        return E_POINTER;
    *count = itf_ ? 1 : 0;
    return S_OK;
}

HRESULT DispatchTable::GetTypeInfo(UINT index, LCID, ITypeInfo** out) const {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (index != 0 || !itf_)
        return DISP_E_BADINDEX;
    return NewTypeInfo(lib_, itf_->iid, out);
}

HRESULT DispatchTable::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const {
    if (!itf_)
        return DISP_E_UNKNOWNNAME;
    return LookupIds(*itf_, names, count, ids);
}

HRESULT DispatchTable::Invoke(void* self, DISPID member, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT* argErr) const {
    size_t index = 0;
    const MethodDescription* m = itf_ ? FindMethod(*itf_, member, &index) : nullptr;
    if (!m || !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;
    const DispatchEntry& entry = entries_[index];
    if (!entry.thunk)
        return E_UNEXPECTED;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!params)
        params = &none;
    if (params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (params->cArgs != static_cast<UINT>(entry.inCount) || (params->cArgs && !params->rgvarg))
        return DISP_E_BADPARAMCOUNT;

    std::vector<VARIANT> args(entry.inCount);
    for (auto& a : args)
        VariantInit(&a);
    auto clearArgs = [&] {
        for (auto& a : args)
            VariantClear(&a);
    };
    for (int i = 0; i < entry.inCount; ++i) {
        UINT position = params->cArgs - 1 - static_cast<UINT>(i);
        const VARIANT& src = params->rgvarg[position];
        HRESULT hr;
        if (src.vt == VT_ERROR && src.scode == DISP_E_PARAMNOTFOUND)
            hr = DISP_E_PARAMNOTFOUND; // no parameter is optional
        else
            hr = VariantChangeType(&args[i], &src, 0, entry.inTypes[i]);
        if (FAILED(hr)) {
            if (argErr)
                *argErr = position;
            clearArgs();
            return hr;
        }
    }
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = entry.thunk(self, args.data(), &value);
    clearArgs();
    if (SUCCEEDED(hr) && result)
        *result = value;
    else
        VariantClear(&value);
    return hr;
}

} // namespace platform::com
