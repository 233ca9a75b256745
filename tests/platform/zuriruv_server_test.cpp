// The Zuriruv class as a script host meets it: registered by the module's
// own entry point, created by class id, called through its vtable and
// through IDispatch by name.
#include "automation/zuriruv_interface.h"
#include "com_test_support.h"

#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/com/variant.h"
#include "platform/registry/registry.h"
#include "platform/window/window.h"

#include <dlfcn.h>

#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace platform::com;
using automation::IZuriruv;
using platform::registry::Root;
using Arg = std::variant<std::string, LONG>;

class ZuriruvServer : public ComRegistryTest {
protected:
    void SetUp() override {
        ComRegistryTest::SetUp();
        module_ = dlopen(TALLOMIR_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        auto reg = reinterpret_cast<DllRegisterServerFn>(dlsym(module_, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(automation::CLSID_Zuriruv, nullptr, CLSCTX_INPROC_SERVER,
                                   automation::IID_IZuriruv, reinterpret_cast<void**>(&obj_)),
                  S_OK);
    }
    void TearDown() override {
        if (obj_)
            obj_->Release();
        CoUninitialize();
        if (module_)
            dlclose(module_);
        ComRegistryTest::TearDown();
    }

    // Calls a method by name through IDispatch::Invoke; the result as text or number.
    HRESULT InvokeByName(const std::string& name, const std::vector<Arg>& args, VARIANT* result) {
        std::u16string wide = Utf8ToUtf16(name);
        LPOLESTR names[] = {wide.data()};
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = obj_->GetIDsOfNames(GUID{}, names, 1, 0, &id);
        if (FAILED(hr))
            return hr;
        std::vector<VARIANT> v(args.size());
        for (size_t i = 0; i < args.size(); ++i) { // reversed, as Invoke wants them
            VARIANT& slot = v[args.size() - 1 - i];
            VariantInit(&slot);
            if (auto* s = std::get_if<std::string>(&args[i])) {
                slot.vt = VT_BSTR;
                slot.bstrVal = SysAllocStringFromUtf8(*s);
            } else {
                slot.vt = VT_I4;
                slot.lVal = std::get<LONG>(args[i]);
            }
        }
        DISPPARAMS params{v.data(), nullptr, static_cast<UINT>(v.size()), 0};
        UINT argErr = 0;
        hr = obj_->Invoke(id, GUID{}, 0, DISPATCH_METHOD, &params, result, nullptr, &argErr);
        for (VARIANT& slot : v)
            VariantClear(&slot);
        return hr;
    }

    void* module_ = nullptr;
    IZuriruv* obj_ = nullptr;
};

struct Call {
    const char* name;
    std::vector<Arg> args;
    HRESULT hr;
    Arg expected; // text, or number; "" with a failing hr means "not checked"
    // The same call through the vtable.
    std::function<HRESULT(IZuriruv*, const std::vector<BSTR>&, Arg*)> direct;
};

HRESULT Text(HRESULT hr, BSTR* b, Arg* out) { // b is read after the call
    *out = BstrToUtf8(*b);
    SysFreeString(*b);
    return hr;
}

TEST_F(ZuriruvServer, EveryMethodThroughVtableAndDispatch) {
    ASSERT_NE(obj_, nullptr);
    auto T = [](HRESULT (IZuriruv::*m)(BSTR, BSTR, BSTR*)) {
        return [m](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
            BSTR out = nullptr;
            return Text((o->*m)(b[0], b[1], &out), &out, r);
        };
    };
    auto TI = [](HRESULT (IZuriruv::*m)(BSTR, LONG, BSTR*), LONG n) {
        return [m, n](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
            BSTR out = nullptr;
            return Text((o->*m)(b[0], n, &out), &out, r);
        };
    };
    auto TN = [](HRESULT (IZuriruv::*m)(BSTR, LONG, LONG*), LONG n) {
        return [m, n](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
            LONG v = 0;
            HRESULT hr = (o->*m)(b[0], n, &v);
            *r = v;
            return hr;
        };
    };
    const std::vector<Call> calls = {
        {"BitCount",
         {"  0a 0B  "},
         S_OK,
         LONG{12},
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             LONG v = 0;
             HRESULT hr = o->BitCount(b[0], &v);
             *r = v;
             return hr;
         }},
        {"BitLeftShift", {"80 01", LONG{1}}, S_OK, "00 02 ", TI(&IZuriruv::BitLeftShift, 1)},
        {"BitRightShift", {"81 01", LONG{1}}, S_OK, "40 80 ", TI(&IZuriruv::BitRightShift, 1)},
        {"BitNot",
         {"00 0f"},
         S_OK,
         "ff f0 ",
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             BSTR out = nullptr;
             return Text(o->BitNot(b[0], &out), &out, r);
         }},
        {"BitAnd", {"12 34 56", "ff 0f"}, S_OK, "00 34 06 ", T(&IZuriruv::BitAnd)},
        {"BitOr", {"12 34 56", "ff 0f"}, S_OK, "12 ff 5f ", T(&IZuriruv::BitOr)},
        {"BitXor", {"12 34 56", "ff 0f"}, S_OK, "12 cb 59 ", T(&IZuriruv::BitXor)},
        {"Compare",
         {"00 01", "1"},
         S_OK,
         LONG{0},
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             LONG v = 0;
             HRESULT hr = o->Compare(b[0], b[1], &v);
             *r = v;
             return hr;
         }},
        {"Add", {"ff", "01"}, S_OK, "01 00 ", T(&IZuriruv::Add)},
        {"Subtract", {"01", "02"}, S_OK, "ff ", T(&IZuriruv::Subtract)},
        {"Multiply", {"12 34", "56"}, S_OK, "06 1d 78 ", T(&IZuriruv::Multiply)},
        {"Divide", {"01 00", "03"}, S_OK, "55 ", T(&IZuriruv::Divide)},
        {"Divide", {"10", "00"}, E_INVALIDARG, "", T(&IZuriruv::Divide)},
        {"Mod", {"00 05", "07"}, S_OK, "05 ", T(&IZuriruv::Mod)},
        {"Pow2",
         {"ff"},
         S_OK,
         "fe 01 ",
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             BSTR out = nullptr;
             return Text(o->Pow2(b[0], &out), &out, r);
         }},
        {"ModPow2", {"03", "05"}, S_OK, "04 ", T(&IZuriruv::ModPow2)},
        {"ModPow",
         {"02", "0a", "03 e8"},
         S_OK,
         "18 ",
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             BSTR out = nullptr;
             return Text(o->ModPow(b[0], b[1], b[2], &out), &out, r);
         }},
        {"GCD", {"0c", "12"}, S_OK, "06 ", T(&IZuriruv::GCD)},
        {"ModInverse", {"03", "0b"}, S_OK, "04 ", T(&IZuriruv::ModInverse)},
        {"ModInverse", {"02", "04"}, S_OK, "0", T(&IZuriruv::ModInverse)},
        {"FermatTest", {"01 01", LONG{5}}, S_OK, LONG{1}, TN(&IZuriruv::FermatTest, 5)},
        {"SolovayStrassenTest",
         {"01 01", LONG{5}},
         S_OK,
         LONG{1},
         TN(&IZuriruv::SolovayStrassenTest, 5)},
        {"MillerRabinTest", {"0d", LONG{0}}, S_OK, LONG{-1}, TN(&IZuriruv::MillerRabinTest, 0)},
        {"Swap", {"11 22 33 44 55", LONG{2}}, S_OK, "22 11 44 33 55 ", TI(&IZuriruv::Swap, 2)},
        {"BitCount",
         {"123"},
         E_INVALIDARG,
         LONG{0},
         [](IZuriruv* o, const std::vector<BSTR>& b, Arg* r) {
             LONG v = 7;
             HRESULT hr = o->BitCount(b[0], &v);
             *r = v;
             return hr;
         }},
    };
    for (const Call& c : calls) {
        SCOPED_TRACE(c.name);
        std::vector<BSTR> bstrs;
        for (const Arg& a : c.args)
            if (auto* s = std::get_if<std::string>(&a))
                bstrs.push_back(SysAllocStringFromUtf8(*s));
        Arg direct;
        EXPECT_EQ(c.direct(obj_, bstrs, &direct), c.hr);
        for (BSTR b : bstrs)
            SysFreeString(b);

        VARIANT r;
        VariantInit(&r);
        EXPECT_EQ(InvokeByName(c.name, c.args, &r), c.hr);
        Arg viaDispatch;
        if (r.vt == VT_BSTR)
            viaDispatch = BstrToUtf8(r.bstrVal);
        else if (r.vt == VT_I4)
            viaDispatch = LONG{r.lVal};
        VariantClear(&r);
        if (SUCCEEDED(c.hr)) {
            EXPECT_EQ(direct, c.expected);
            EXPECT_EQ(viaDispatch, c.expected);
        }
    }

    // The random-driven methods: lengths and forms only.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(InvokeByName("GenRandomBits", {LONG{9}}, &r), S_OK);
    ASSERT_EQ(r.vt, VT_BSTR);
    EXPECT_EQ(BstrToUtf8(r.bstrVal).size(), 6u); // two bytes, "xx xx "
    VariantClear(&r);
    ASSERT_EQ(InvokeByName("MillerRabinSearch", {LONG{64}, LONG{10}}, &r), S_OK);
    EXPECT_EQ(BstrToUtf8(r.bstrVal).size(), 24u);
    VariantClear(&r);
    EXPECT_EQ(InvokeByName("MillerRabinSearch", {LONG{8}, LONG{10}}, &r), E_INVALIDARG);
    VariantClear(&r);
    EXPECT_EQ(InvokeByName("NoSuchMethod", {}, &r), DISP_E_UNKNOWNNAME);
    BSTR out = nullptr;
    EXPECT_EQ(obj_->GenRandomBits(16, &out), S_OK);
    EXPECT_EQ(BstrToUtf8(out).size(), 6u);
    SysFreeString(out);
    out = nullptr;
    EXPECT_EQ(obj_->MillerRabinSearch(32, 10, &out), S_OK);
    EXPECT_EQ(BstrToUtf8(out).size(), 12u);
    SysFreeString(out);

    // Output reaches the console window set with SetConsoleHandle, with CR LF.
    BSTR hello = SysAllocStringFromUtf8("hello");
    EXPECT_EQ(obj_->Output(hello), S_FALSE) << "no console window yet";
    std::string received;
    platform::HWND console = platform::RegisterWindow(
        [&](uint32_t msg, platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
            if (msg == 1535)
                received += reinterpret_cast<const char*>(l);
            return 0;
        });
    EXPECT_EQ(obj_->SetConsoleHandle(static_cast<LONG>(console), 1535), S_OK);
    EXPECT_EQ(obj_->Output(hello), S_OK);
    EXPECT_EQ(InvokeByName("Output", {std::string("by name")}, &r), S_OK);
    EXPECT_EQ(InvokeByName("SetConsoleHandle", {LONG{0}, LONG{0}}, &r), S_OK);
    EXPECT_EQ(obj_->Output(hello), S_FALSE);
    EXPECT_EQ(received, "hello\r\nby name\r\n");
    platform::DestroyWindow(console);
    SysFreeString(hello);
    EXPECT_EQ(obj_->SetCryptHandle(0), S_OK);
    EXPECT_EQ(InvokeByName("SetCryptHandle", {LONG{0}}, &r), S_OK);
}

TEST_F(ZuriruvServer, RegistrationWritesAndRemovesExactlyTheListedKeys) {
    using platform::registry::GetString;
    const std::string clsid = "CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}";
    EXPECT_EQ(GetString(Root::ClassesRoot, "Tallomir.Zuriruv.1", ""), "Zuriruv Class");
    EXPECT_EQ(GetString(Root::ClassesRoot, "Tallomir.Zuriruv.1\\CLSID", ""),
              "{61A366B6-165F-42B6-8A5E-3569B0780C33}");
    EXPECT_EQ(GetString(Root::ClassesRoot, "Tallomir.Zuriruv\\CurVer", ""), "Tallomir.Zuriruv.1");
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid, ""), "Zuriruv Class");
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid + "\\ProgID", ""), "Tallomir.Zuriruv.1");
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid + "\\VersionIndependentProgID", ""),
              "Tallomir.Zuriruv");
    EXPECT_TRUE(platform::registry::KeyExists(Root::ClassesRoot, clsid + "\\Programmable"));
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid + "\\InprocServer32", ""),
              ModulePathOf(dlsym(module_, "DllRegisterServer")));
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid + "\\InprocServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_EQ(GetString(Root::ClassesRoot, clsid + "\\TypeLib", ""),
              "{435E6D57-2051-44EB-8A90-C9BA434215F8}");
    EXPECT_TRUE(platform::registry::KeyExists(Root::ClassesRoot,
                                              "TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}"));

    obj_->Release();
    obj_ = nullptr;
    auto unreg = reinterpret_cast<DllUnregisterServerFn>(dlsym(module_, "DllUnregisterServer"));
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, clsid));
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, "Tallomir.Zuriruv"));
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, "Tallomir.Zuriruv.1"));
    EXPECT_TRUE(platform::registry::KeyExists(Root::ClassesRoot, "CLSID"));
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot,
                                               "TypeLib\\{435E6D57-2051-44EB-8A90-C9BA434215F8}"));
}

} // namespace
