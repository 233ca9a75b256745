// IDispatch over a type description, the type information read from it,
// and the object and factory wrappers, on an object inside the test itself.
#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/typeinfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace platform::com;

namespace {

constexpr IID IID_IShape = {0x1D2C3B4A, 0x0001, 0x0002, {1, 2, 3, 4, 5, 6, 7, 8}};

class IShape : public IDispatch {
public:
    virtual HRESULT Area(LONG width, LONG height, LONG* area) = 0;
    virtual HRESULT Describe(BSTR name, LONG sides, BSTR* text) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IShape() = default;
};

const TypeLibDescription kLib = {
    {0x1D2C3B4A, 0x0001, 0x0003, {1, 2, 3, 4, 5, 6, 7, 8}},
    "SHAPELib",
    "Shape 1.0 Type Library",
    1,
    0,
    {{IID_IShape,
      "IShape",
      "IShape Interface",
      {{1,
        "Area",
        {In("nWidth", VT_I4), In("nHeight", VT_INT), RetVal("pnArea", VT_INT)},
        "method Area"},
       {2,
        "Describe",
        {In("bstrName", VT_BSTR), In("nSides", VT_I4), RetVal("pbstrText", VT_BSTR)},
        "method Describe"},
       {7, "Reset", {}, "method Reset"}}}},
    {},
};

const DispatchTable& Table() {
    static const DispatchTable table(
        kLib, IID_IShape,
        {Bind<&IShape::Area>(1), Bind<&IShape::Describe>(2), Bind<&IShape::Reset>(7)});
    return table;
}

// Something before IShape in the layout, so a wrong object pointer would show.
struct Padding {
    virtual ~Padding() = default;
    long pad[3] = {};
};

class Shape : public Padding, public IShape {
public:
    void* Cast(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShape)
            return static_cast<IShape*>(this);
        return nullptr;
    }
    HRESULT GetTypeInfoCount(UINT* n) override { return Table().GetTypeInfoCount(n); }
    HRESULT GetTypeInfo(UINT i, LCID lcid, ITypeInfo** out) override {
        return Table().GetTypeInfo(i, lcid, out);
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT n, LCID, DISPID* ids) override {
        return Table().GetIDsOfNames(names, n, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* r, EXCEPINFO* e,
                   UINT* a) override {
        return Table().Invoke(static_cast<IShape*>(this), id, flags, p, r, e, a);
    }
    HRESULT Area(LONG w, LONG h, LONG* area) override {
        if (w < 0 || h < 0)
            return E_INVALIDARG;
        *area = w * h;
        return S_OK;
    }
    HRESULT Describe(BSTR name, LONG sides, BSTR* text) override {
        *text = SysAllocStringFromUtf8(BstrToUtf8(name) + ":" + std::to_string(sides));
        return S_OK;
    }
    HRESULT Reset() override {
        ++resets;
        return S_OK;
    }
    int resets = 0;
};

VARIANT I4(LONG n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
VARIANT Str(const char* s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringFromUtf8(s);
    return v;
}

// Calls by dispid with the arguments in source order (reversed for Invoke).
struct Call {
    HRESULT hr;
    VARIANT result;
    UINT argErr;
};
Call Invoke(IDispatch* d, DISPID id, std::vector<VARIANT> args, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS p = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Call c;
    VariantInit(&c.result);
    c.argErr = 99;
    c.hr = d->Invoke(id, GUID_NULL, 0, flags, &p, &c.result, nullptr, &c.argErr);
    for (auto& v : reversed)
        VariantClear(&v);
    return c;
}

TEST(ComDispatch, TableMatchesTheDescription) {
    EXPECT_TRUE(Table().valid());
    // Methods bound to the wrong dispids are caught, not called with bad arguments.
    DispatchTable swapped(
        kLib, IID_IShape,
        {Bind<&IShape::Describe>(1), Bind<&IShape::Area>(2), Bind<&IShape::Reset>(7)});
    EXPECT_FALSE(swapped.valid());
    ServerModule module;
    ComObject<Shape> s(module);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(swapped.Invoke(static_cast<IShape*>(&s), 7, DISPATCH_METHOD, &none, nullptr, nullptr,
                             nullptr),
              S_OK); // the one entry that is right still works
    EXPECT_EQ(swapped.Invoke(static_cast<IShape*>(&s), 1, DISPATCH_METHOD, nullptr, nullptr,
                             nullptr, nullptr),
              E_UNEXPECTED);
    DispatchTable missing(kLib, IID_IShape, {Bind<&IShape::Area>(1)});
    EXPECT_FALSE(missing.valid());
    DispatchTable unknown(kLib, IID_IDispatch, {});
    EXPECT_FALSE(unknown.valid());
}

TEST(ComDispatch, InvokeConvertsArgumentsInSourceOrder) {
    ServerModule module;
    ComObject<Shape> s(module);
    IDispatch* d = &s;
    Call c = Invoke(d, 1, {I4(6), Str("7")}); // a script passing text for a number
    EXPECT_EQ(c.hr, S_OK);
    EXPECT_EQ(c.result.vt, VT_I4);
    EXPECT_EQ(c.result.lVal, 42);

    c = Invoke(d, 2, {I4(12), Str("4")}); // a number where text is expected
    ASSERT_EQ(c.hr, S_OK);
    EXPECT_EQ(BstrToUtf8(c.result.bstrVal), "12:4");
    VariantClear(&c.result);

    c = Invoke(d, 7, {}, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(c.hr, S_OK);
    EXPECT_EQ(c.result.vt, VT_EMPTY);
    EXPECT_EQ(s.resets, 1);

    // The method's own failure comes back as it is, with no result.
    c = Invoke(d, 1, {I4(-1), I4(2)});
    EXPECT_EQ(c.hr, E_INVALIDARG);
    EXPECT_EQ(c.result.vt, VT_EMPTY);

    // No result variant: the returned string is freed (checked under ASan).
    VARIANT args[2] = {I4(3), Str("x")};
    DISPPARAMS p = {args, nullptr, 2, 0};
    EXPECT_EQ(d->Invoke(2, GUID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr), S_OK);
    VariantClear(&args[1]);
}

TEST(ComDispatch, InvokeRejectsWrongCalls) {
    ServerModule module;
    ComObject<Shape> s(module);
    IDispatch* d = &s;
    const struct {
        DISPID id;
        std::vector<VARIANT> args;
        WORD flags;
        HRESULT hr;
        UINT argErr;
    } cases[] = {
        {1, {I4(1)}, DISPATCH_METHOD, DISP_E_BADPARAMCOUNT, 99},
        {1, {I4(1), I4(2), I4(3)}, DISPATCH_METHOD, DISP_E_BADPARAMCOUNT, 99},
        {3, {}, DISPATCH_METHOD, DISP_E_MEMBERNOTFOUND, 99},
        {7, {}, DISPATCH_PROPERTYPUT, DISP_E_MEMBERNOTFOUND, 99},
        // argErr counts in rgvarg, where the last argument comes first.
        {1, {Str("wide"), I4(2)}, DISPATCH_METHOD, DISP_E_TYPEMISMATCH, 1},
        {1, {I4(2), Str("tall")}, DISPATCH_METHOD, DISP_E_TYPEMISMATCH, 0},
        {2, {Str("a"), Str("1e12")}, DISPATCH_METHOD, DISP_E_OVERFLOW, 0},
    };
    for (const auto& c : cases) {
        Call r = Invoke(d, c.id, c.args, c.flags);
        EXPECT_EQ(r.hr, c.hr) << c.id;
        EXPECT_EQ(r.argErr, c.argErr) << c.id;
        EXPECT_EQ(r.result.vt, VT_EMPTY);
    }
    VARIANT missing;
    VariantInit(&missing);
    missing.vt = VT_ERROR;
    missing.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(Invoke(d, 1, {I4(1), missing}).hr, DISP_E_PARAMNOTFOUND);

    VARIANT named[2] = {I4(1), I4(2)};
    DISPID ids[1] = {0};
    DISPPARAMS p = {named, ids, 2, 1};
    EXPECT_EQ(d->Invoke(1, GUID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
}

TEST(ComDispatch, NamesResolveWithoutRegardToCase) {
    ServerModule module;
    ComObject<Shape> s(module);
    char16_t m[] = u"dEsCrIbE", p1[] = u"NSIDES", p2[] = u"bstrName", bad[] = u"colour";
    LPOLESTR names[] = {m, p1, p2};
    DISPID ids[3];
    ASSERT_EQ(s.GetIDsOfNames(GUID_NULL, names, 3, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 0);
    LPOLESTR withBad[] = {m, bad};
    EXPECT_EQ(s.GetIDsOfNames(GUID_NULL, withBad, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    LPOLESTR unknown[] = {bad};
    EXPECT_EQ(s.GetIDsOfNames(GUID_NULL, unknown, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

TEST(ComTypeInfo, DescribesMethodsParametersAndHelp) {
    ServerModule module;
    ComObject<Shape> s(module);
    UINT count = 0;
    EXPECT_EQ(s.GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(s.GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
    ASSERT_EQ(s.GetTypeInfo(0, 0, &info), S_OK);

    TYPEATTR* attr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(attr->guid == IID_IShape);
    EXPECT_EQ(attr->cFuncs, 3);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);

    FUNCDESC* f;
    ASSERT_EQ(info->GetFuncDesc(1, &f), S_OK);
    EXPECT_EQ(f->memid, 2);
    ASSERT_EQ(f->cParams, 3);
    EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
    EXPECT_EQ(f->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FIN);
    EXPECT_EQ(f->lprgelemdescParam[2].paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    info->ReleaseFuncDesc(f);
    EXPECT_EQ(info->GetFuncDesc(3, &f), TYPE_E_ELEMENTNOTFOUND);

    BSTR names[4] = {};
    UINT got = 0;
    ASSERT_EQ(info->GetNames(1, names, 4, &got), S_OK);
    ASSERT_EQ(got, 4u);
    EXPECT_EQ(BstrToUtf8(names[0]), "Area");
    EXPECT_EQ(BstrToUtf8(names[1]), "nWidth");
    EXPECT_EQ(BstrToUtf8(names[3]), "pnArea");
    for (BSTR n : names)
        SysFreeString(n);
    ASSERT_EQ(info->GetNames(7, names, 4, &got), S_OK);
    EXPECT_EQ(got, 1u);
    SysFreeString(names[0]);

    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(BstrToUtf8(name), "IShape");
    EXPECT_EQ(BstrToUtf8(doc), "IShape Interface");
    SysFreeString(name);
    SysFreeString(doc);
    ASSERT_EQ(info->GetDocumentation(2, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(BstrToUtf8(doc), "method Describe");
    SysFreeString(doc);
    EXPECT_EQ(info->GetDocumentation(5, &name, nullptr, nullptr, nullptr), TYPE_E_ELEMENTNOTFOUND);

    char16_t m[] = u"reset";
    LPOLESTR n1[] = {m};
    MEMBERID id;
    EXPECT_EQ(info->GetIDsOfNames(n1, 1, &id), S_OK);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(info->Release(), 0u);
}

TEST(ComObjects, FactoryCountsObjectsAndLocks) {
    ServerModule module;
    ClassFactory<Shape> factory(module);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    IShape* shape = nullptr;
    ASSERT_EQ(factory.CreateInstance(nullptr, IID_IShape, reinterpret_cast<void**>(&shape)), S_OK);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(shape->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    IDispatch* disp = nullptr;
    ASSERT_EQ(shape->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp)), S_OK);
    EXPECT_EQ(static_cast<void*>(disp), static_cast<void*>(shape));
    EXPECT_EQ(disp->Release(), 1u);
    EXPECT_EQ(shape->Release(), 0u);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    factory.LockServer(true);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    factory.LockServer(false);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

// A controlling object that aggregates a Shape and hands out its IShape.
class Outer final : public IUnknown {
public:
    explicit Outer(IClassFactory& f) {
        f.CreateInstance(this, IID_IUnknown, reinterpret_cast<void**>(&inner_));
    }
    ~Outer() {
        if (inner_)
            inner_->Release();
    }
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(iid, out);
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; } // owned by the test
    IUnknown* inner_ = nullptr;
    ULONG refs = 1;
};

TEST(ComObjects, AggregatedObjectDelegatesToTheOuterUnknown) {
    ServerModule module;
    ClassFactory<Shape> factory(module);
    {
        Outer outer(factory);
        ASSERT_NE(outer.inner_, nullptr);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE);

        IShape* shape = nullptr;
        ASSERT_EQ(outer.QueryInterface(IID_IShape, reinterpret_cast<void**>(&shape)), S_OK);
        EXPECT_EQ(outer.refs, 2u); // the inner object counted on the outer one
        IUnknown* identity = nullptr;
        ASSERT_EQ(shape->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
        EXPECT_EQ(outer.refs, 3u);
        identity->Release();
        LONG area = 0;
        EXPECT_EQ(shape->Area(3, 5, &area), S_OK);
        EXPECT_EQ(area, 15);
        shape->Release();
        EXPECT_EQ(outer.refs, 1u);
    }
    EXPECT_EQ(module.CanUnloadNow(), S_OK); // the outer object released the inner one
}

} // namespace
