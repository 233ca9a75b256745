// The Zuriruv class as an in-process server: IZuriruv over the method logic,
// IDispatch over the type description, the class factory and the four
// module entry points of libtallomir.so.
#include "automation/tallomir_resources.h"
#include "automation/zuriruv_interface.h"
#include "automation/zuriruv_methods.h"

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/registrar.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/com/typelib.h"
#include "platform/window/window.h"

#include <string>

using namespace platform::com;

namespace automation {
namespace {

ServerModule g_module;

const DispatchTable& Table() {
    static const DispatchTable table(TallomirTypeLib(), IID_IZuriruv,
                                     {Bind<&IZuriruv::SetConsoleHandle>(1),
                                      Bind<&IZuriruv::Output>(2),
                                      Bind<&IZuriruv::BitCount>(3),
                                      Bind<&IZuriruv::BitLeftShift>(4),
                                      Bind<&IZuriruv::BitRightShift>(5),
                                      Bind<&IZuriruv::BitNot>(6),
                                      Bind<&IZuriruv::BitAnd>(7),
                                      Bind<&IZuriruv::BitOr>(8),
                                      Bind<&IZuriruv::BitXor>(9),
                                      Bind<&IZuriruv::GenRandomBits>(10),
                                      Bind<&IZuriruv::Compare>(11),
                                      Bind<&IZuriruv::Add>(12),
                                      Bind<&IZuriruv::Subtract>(13),
                                      Bind<&IZuriruv::Multiply>(14),
                                      Bind<&IZuriruv::Divide>(15),
                                      Bind<&IZuriruv::Mod>(16),
                                      Bind<&IZuriruv::Pow2>(17),
                                      Bind<&IZuriruv::ModPow2>(18),
                                      Bind<&IZuriruv::ModPow>(19),
                                      Bind<&IZuriruv::GCD>(20),
                                      Bind<&IZuriruv::ModInverse>(21),
                                      Bind<&IZuriruv::FermatTest>(22),
                                      Bind<&IZuriruv::SolovayStrassenTest>(23),
                                      Bind<&IZuriruv::MillerRabinTest>(24),
                                      Bind<&IZuriruv::Swap>(25),
                                      Bind<&IZuriruv::SetCryptHandle>(26),
                                      Bind<&IZuriruv::MillerRabinSearch>(27)});
    return table;
}

// Automation strings arrive as UTF-16 and are read as UTF-8 ("ANSI") text.
std::string Text(BSTR s) {
    return BstrToUtf8(s);
}

// A text result as an automation string: null stays null.
HRESULT PutText(HRESULT hr, const TextResult& value, BSTR* out) {
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (value) {
        *out = SysAllocStringFromUtf8(*value);
        if (!*out)
            return E_OUTOFMEMORY;
    }
    return hr;
}

HRESULT PutInt(HRESULT hr, int32_t value, LONG* out) {
    if (!out)
        return E_INVALIDARG;
    *out = value;
    return hr;
}

class Zuriruv : public DispatchImpl<IZuriruv, &Table> {
public:
    Zuriruv()
        : core_(
              [](uint32_t hwnd, uint32_t msg, const std::string& text) {
                  return static_cast<int32_t>(platform::SendMessage(
                      hwnd, msg, 0, reinterpret_cast<platform::LPARAM>(text.c_str())));
              },
              [](uint32_t hwnd) { return platform::IsWindow(hwnd); }) {}

    void* Cast(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IZuriruv)
            return static_cast<IZuriruv*>(this);
        return nullptr;
    }

    HRESULT SetConsoleHandle(LONG hConsole, LONG nMsg) override {
        return core_.SetConsoleHandle(hConsole, nMsg);
    }
    HRESULT Output(BSTR pbstr) override { return core_.Output(Text(pbstr)); }
    HRESULT BitCount(BSTR pbstr, LONG* pnBitCount) override {
        int32_t v = 0;
        HRESULT hr = core_.BitCount(Text(pbstr), &v);
        return PutInt(hr, v, pnBitCount);
    }
    HRESULT BitLeftShift(BSTR pbstrHex, LONG nShift, BSTR* ppbstrSft) override {
        TextResult r;
        HRESULT hr = core_.BitLeftShift(Text(pbstrHex), nShift, &r);
        return PutText(hr, r, ppbstrSft);
    }
    HRESULT BitRightShift(BSTR pbstrHex, LONG nShift, BSTR* ppbstrSft) override {
        TextResult r;
        HRESULT hr = core_.BitRightShift(Text(pbstrHex), nShift, &r);
        return PutText(hr, r, ppbstrSft);
    }
    HRESULT BitNot(BSTR pbstrSrc, BSTR* ppbstrDest) override {
        TextResult r;
        HRESULT hr = core_.BitNot(Text(pbstrSrc), &r);
        return PutText(hr, r, ppbstrDest);
    }
    HRESULT BitAnd(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::BitAnd, a, b, res);
    }
    HRESULT BitOr(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::BitOr, a, b, res);
    }
    HRESULT BitXor(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::BitXor, a, b, res);
    }
    HRESULT GenRandomBits(LONG nBits, BSTR* ppbstrOut) override {
        TextResult r;
        HRESULT hr = core_.GenRandomBits(nBits, &r);
        return PutText(hr, r, ppbstrOut);
    }
    HRESULT Compare(BSTR pbstrHex1, BSTR pbstrHex2, LONG* pnCmpVal) override {
        int32_t v = -1;
        HRESULT hr = core_.Compare(Text(pbstrHex1), Text(pbstrHex2), &v);
        return PutInt(hr, v, pnCmpVal);
    }
    HRESULT Add(BSTR a, BSTR b, BSTR* res) override { return Binary(&ZuriruvCore::Add, a, b, res); }
    HRESULT Subtract(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::Subtract, a, b, res);
    }
    HRESULT Multiply(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::Multiply, a, b, res);
    }
    HRESULT Divide(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::Divide, a, b, res);
    }
    HRESULT Mod(BSTR a, BSTR b, BSTR* res) override { return Binary(&ZuriruvCore::Mod, a, b, res); }
    HRESULT Pow2(BSTR pbstrOp, BSTR* ppbstrRes) override {
        TextResult r;
        HRESULT hr = core_.Pow2(Text(pbstrOp), &r);
        return PutText(hr, r, ppbstrRes);
    }
    HRESULT ModPow2(BSTR a, BSTR m, BSTR* res) override {
        return Binary(&ZuriruvCore::ModPow2, a, m, res);
    }
    HRESULT ModPow(BSTR pbstrBase, BSTR pbstrPow, BSTR pbstrMod, BSTR* ppbstrRes) override {
        TextResult r;
        HRESULT hr = core_.ModPow(Text(pbstrBase), Text(pbstrPow), Text(pbstrMod), &r);
        return PutText(hr, r, ppbstrRes);
    }
    HRESULT GCD(BSTR a, BSTR b, BSTR* res) override { return Binary(&ZuriruvCore::GCD, a, b, res); }
    HRESULT ModInverse(BSTR a, BSTR b, BSTR* res) override {
        return Binary(&ZuriruvCore::ModInverse, a, b, res);
    }
    HRESULT FermatTest(BSTR hex, LONG n, LONG* val) override {
        return Test(&ZuriruvCore::FermatTest, hex, n, val);
    }
    HRESULT SolovayStrassenTest(BSTR hex, LONG n, LONG* val) override {
        return Test(&ZuriruvCore::SolovayStrassenTest, hex, n, val);
    }
    HRESULT MillerRabinTest(BSTR hex, LONG n, LONG* val) override {
        return Test(&ZuriruvCore::MillerRabinTest, hex, n, val);
    }
    HRESULT Swap(BSTR pbstrHex, LONG nUnit, BSTR* ppbstrRes) override {
        TextResult r;
        HRESULT hr = core_.Swap(Text(pbstrHex), nUnit, &r);
        return PutText(hr, r, ppbstrRes);
    }
    HRESULT SetCryptHandle(LONG hCrypt) override { return core_.SetCryptHandle(hCrypt); }
    HRESULT MillerRabinSearch(LONG nBits, LONG nTest, BSTR* ppbstrRes) override {
        TextResult r;
        HRESULT hr = core_.MillerRabinSearch(nBits, nTest, &r);
        return PutText(hr, r, ppbstrRes);
    }

private:
    using BinaryFn = HRESULT (ZuriruvCore::*)(std::string_view, std::string_view, TextResult*);
    using TestFn = HRESULT (ZuriruvCore::*)(std::string_view, int32_t, int32_t*);

    HRESULT Binary(BinaryFn fn, BSTR a, BSTR b, BSTR* res) {
        TextResult r;
        HRESULT hr = (core_.*fn)(Text(a), Text(b), &r);
        return PutText(hr, r, res);
    }
    HRESULT Test(TestFn fn, BSTR hex, LONG n, LONG* val) {
        int32_t v = -1;
        HRESULT hr = (core_.*fn)(Text(hex), n, &v);
        return PutInt(hr, v, val);
    }

    ZuriruvCore core_;
};

ClassFactory<Zuriruv> g_factory(g_module);

std::string ThisModule() {
    return ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
}

} // namespace
} // namespace automation

using namespace automation;

extern "C" HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(clsid == CLSID_Zuriruv))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT DllCanUnloadNow() {
    return g_module.CanUnloadNow();
}

extern "C" HRESULT DllRegisterServer() {
    const std::string path = ThisModule();
    HRESULT hr = UpdateRegistryFromScript(kRegistryScript, true, {{"MODULE", path}});
    if (FAILED(hr))
        return hr;
    // The type library is compiled into the module, so there is no separate
    // .tlb file to fall back on.
    return RegisterTypeLib(TallomirTypeLib(), path);
}

extern "C" HRESULT DllUnregisterServer() {
    HRESULT hr = UpdateRegistryFromScript(kRegistryScript, false, {{"MODULE", ThisModule()}});
    // Left registered when the platform has no UnRegisterTypeLib.
    if (UnRegisterTypeLibFn unregister = LookupUnRegisterTypeLib())
        unregister(LIBID_TALLOMIRLib, 1, 1, 0, SYS_WIN32);
    // A failed removal is reported rather than passed off as success.
    return hr;
}
