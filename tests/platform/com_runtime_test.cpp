// The component runtime: initialisation per thread, creation by class id
// through the registry, the module table, and regsvr, with a real server.
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/com/typeinfo.h"
#include "platform/registry/registry.h"

#include "com_test_support.h"
#include "fixtures/test_server.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <sstream>
#include <thread>

using namespace platform::com;
using platform::registry::RegError;
using platform::registry::Root;
using testserver::CLSID_TestCalc;
using testserver::IID_ITestCalc;
using testserver::ITestCalc;

namespace {

class ComRuntime : public ComRegistryTest {
protected:
    void TearDown() override {
        while (IsCoInitialized())
            CoUninitialize();
        ComRegistryTest::TearDown();
    }

    void RegisterClass(Root root, const std::string& base, const std::string& path) {
        ASSERT_EQ(platform::registry::SetValue(
                      root, base + "CLSID\\" + GuidToString(CLSID_TestCalc) + "\\InprocServer32",
                      "", path),
                  RegError::Ok);
    }
};

TEST_F(ComRuntime, InitialisationIsCountedPerThread) {
    EXPECT_FALSE(IsCoInitialized());
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    bool otherThread = true;
    std::thread([&] { otherThread = IsCoInitialized(); }).join();
    EXPECT_FALSE(otherThread);
    CoUninitialize();
    EXPECT_TRUE(IsCoInitialized());
    CoUninitialize();
    EXPECT_FALSE(IsCoInitialized());
    CoUninitialize(); // one too many does nothing
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    int dummy;
    EXPECT_EQ(CoInitialize(&dummy), E_INVALIDARG);
}

TEST_F(ComRuntime, CreationFailuresAreReportedCleanly) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(out, nullptr);

    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);

    RegisterClass(Root::ClassesRoot, "", dir_ + "/missing.so");
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              CO_E_DLLNOTFOUND);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);

    // A loadable module that is no server.
    RegisterClass(Root::ClassesRoot, "",
                  ModulePathOf(reinterpret_cast<const void*>(&CoInitialize)));
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, &out),
              CO_E_ERRORINDLL);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr),
              E_POINTER);
}

#if defined(COM_TEST_SERVER_PATH) && defined(REGSVR_PATH)

struct ToolRun {
    int status;
    std::string err;
};

ToolRun Regsvr(const std::string& dir, const std::string& args, const char* env = "") {
    std::string errFile = dir + "/regsvr.err";
    std::string cmd = std::string(env) + " '" REGSVR_PATH "' " + args + " 2>'" + errFile + "'";
    int status = std::system(cmd.c_str());
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

bool ServerLoaded() {
    void* h = dlopen(COM_TEST_SERVER_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

TEST_F(ComRuntime, RegsvrRegistersAndUnregistersAServer) {
    ToolRun r = Regsvr(dir_, "'" COM_TEST_SERVER_PATH "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string classKey = "CLSID\\" + GuidToString(CLSID_TestCalc);
    char real[PATH_MAX];
    ASSERT_NE(realpath(COM_TEST_SERVER_PATH, real), nullptr);
    EXPECT_EQ(platform::registry::GetString(Root::ClassesRoot, classKey + "\\InprocServer32", ""),
              std::string(real));
    EXPECT_EQ(platform::registry::GetString(Root::ClassesRoot, classKey + "\\InprocServer32",
                                            "ThreadingModel"),
              "Apartment");
    const std::string libKey = "TypeLib\\" + GuidToString(testserver::LIBID_TestCalcLib);
    EXPECT_EQ(platform::registry::GetString(Root::ClassesRoot, libKey + "\\1.0\\0\\win32", ""),
              std::string(real));

    r = Regsvr(dir_, "-u '" COM_TEST_SERVER_PATH "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(platform::registry::KeyExists(Root::ClassesRoot, "CLSID"));
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, classKey));
    EXPECT_FALSE(platform::registry::KeyExists(Root::ClassesRoot, libKey));
    EXPECT_FALSE(platform::registry::KeyExists(
        Root::ClassesRoot, "Interface\\" + GuidToString(testserver::IID_ITestCalc)));
}

TEST_F(ComRuntime, RegsvrReportsFailuresAndUsage) {
    EXPECT_EQ(Regsvr(dir_, "").status, 2);
    EXPECT_EQ(Regsvr(dir_, "-x '" COM_TEST_SERVER_PATH "'").status, 2);

    ToolRun r = Regsvr(dir_, "'" COM_TEST_SERVER_PATH "'", "COM_TEST_SERVER_FAIL=1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "regsvr: " COM_TEST_SERVER_PATH ": DllRegisterServer failed (0x80040201)\n");

    // One bad module fails the run, the good one is still registered.
    r = Regsvr(dir_, "'" + dir_ + "/none.so' '" COM_TEST_SERVER_PATH "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("regsvr: " + dir_ + "/none.so: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("none.so"), std::string::npos);
    EXPECT_TRUE(
        platform::registry::KeyExists(Root::ClassesRoot, "CLSID\\" + GuidToString(CLSID_TestCalc)));
}

TEST_F(ComRuntime, CreatesCallsAndUnloadsTheServer) {
    ASSERT_EQ(Regsvr(dir_, "'" COM_TEST_SERVER_PATH "'").status, 0);
    ASSERT_FALSE(ServerLoaded());
    ASSERT_EQ(CoInitialize(nullptr), S_OK);

    ITestCalc* calc = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_INPROC_SERVER, IID_ITestCalc,
                               reinterpret_cast<void**>(&calc)),
              S_OK);
    ASSERT_NE(calc, nullptr);
    EXPECT_TRUE(ServerLoaded());

    // Through the vtable.
    LONG n = 0;
    EXPECT_EQ(calc->Twice(21, &n), S_OK);
    EXPECT_EQ(n, 42);
    EXPECT_EQ(calc->Twice(0x40000000, &n), E_INVALIDARG);
    BSTR name = SysAllocStringFromUtf8("W\xC3\xB6rld");
    BSTR greeting = nullptr;
    EXPECT_EQ(calc->Greet(name, &greeting), S_OK);
    EXPECT_EQ(BstrToUtf8(greeting), "Hello, W\xC3\xB6rld!");
    SysFreeString(greeting);

    // Through IDispatch, by name, the way a script engine calls.
    IDispatch* disp = nullptr;
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp)), S_OK);
    char16_t member[] = u"greet";
    LPOLESTR names[] = {member};
    DISPID id = 0;
    ASSERT_EQ(disp->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_EN_US, &id), S_OK);
    EXPECT_EQ(id, 2);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = name;
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(disp->Invoke(id, GUID_NULL, LOCALE_EN_US, DISPATCH_METHOD, &params, &result, nullptr,
                           nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(BstrToUtf8(result.bstrVal), "Hello, W\xC3\xB6rld!");
    VariantClear(&result);
    VariantClear(&arg); // frees name

    ITypeInfo* info = nullptr;
    ASSERT_EQ(disp->GetTypeInfo(0, LOCALE_EN_US, &info), S_OK);
    BSTR doc = nullptr;
    EXPECT_EQ(info->GetDocumentation(1, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(BstrToUtf8(doc), "method Twice");
    SysFreeString(doc);
    disp->Release();

    // The module stays while the object lives.
    CoFreeUnusedLibraries();
    EXPECT_TRUE(ServerLoaded());
    EXPECT_EQ(calc->Release(), 0u);

    // The type information outlives the module that described it.
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ServerLoaded());
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->cFuncs, 2);
    EXPECT_TRUE(attr->guid == IID_ITestCalc);
    info->ReleaseTypeAttr(attr);
    info->Release();

    // Loaded again on demand.
    IUnknown* unk = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&unk)),
              S_OK);
    unk->Release();
    CoUninitialize(); // the last one frees unused modules
    EXPECT_FALSE(ServerLoaded());
}

TEST_F(ComRuntime, FactoryLockKeepsTheModuleAndAggregationNeedsIUnknown) {
    ASSERT_EQ(Regsvr(dir_, "'" COM_TEST_SERVER_PATH "'").status, 0);
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_TestCalc, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(factory->LockServer(true), S_OK);
    factory->Release();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(ServerLoaded());
    EXPECT_EQ(factory->LockServer(false), S_OK); // a locked module is still mapped
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ServerLoaded());

    // An outer unknown may ask only for the inner IUnknown.
    struct Outer : IUnknown {
        HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG AddRef() override { return 2; }
        ULONG Release() override { return 1; }
    } outer;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, &outer, CLSCTX_ALL, IID_ITestCalc, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    IUnknown* inner = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCalc, &outer, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&inner)),
              S_OK);
    ITestCalc* calc = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_ITestCalc, reinterpret_cast<void**>(&calc)), S_OK);
    // The aggregated interface answers QueryInterface through the outer object.
    void* any = nullptr;
    EXPECT_EQ(calc->QueryInterface(IID_IDispatch, &any), E_NOINTERFACE);
    LONG n = 0;
    EXPECT_EQ(calc->Twice(-4, &n), S_OK);
    EXPECT_EQ(n, -8);
    calc->Release();
    EXPECT_EQ(inner->Release(), 0u);
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ServerLoaded());
}

TEST_F(ComRuntime, CurrentUserClassesComeFirst) {
    ASSERT_EQ(Regsvr(dir_, "'" COM_TEST_SERVER_PATH "'").status, 0);
    RegisterClass(Root::CurrentUser, "Software\\Classes\\", dir_ + "/shadow.so");
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalc, nullptr, CLSCTX_ALL, IID_IUnknown, &out),
              CO_E_DLLNOTFOUND);
}

#else
TEST(ComRuntimeServer, NeedsTheTestServerModule) {
    GTEST_SKIP() << "tests/platform/fixtures is not part of this build";
}
#endif

} // namespace
