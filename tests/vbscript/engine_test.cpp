// The engine object driven directly through its entry points, without a
// host site: expression texts with results, errors in the caller's
// exception record, an interrupt that comes before the run, thread state,
// and the module's unload answer.
#include "platform/com/bstr.h"
#include "platform/com/server.h"
#include "platform/script/active_script.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

namespace {

using namespace platform::com;
using namespace platform::script;

const CLSID kVBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};

class Engine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = dlopen(VBSCRIPT_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        getClassObject_ =
            reinterpret_cast<DllGetClassObjectFn>(dlsym(module_, "DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFn>(dlsym(module_, "DllCanUnloadNow"));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    static void TearDownTestSuite() { dlclose(module_); }

    void SetUp() override {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(getClassObject_(kVBScript, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IActiveScript, reinterpret_cast<void**>(&engine_)),
            S_OK);
        factory->Release();
        ASSERT_EQ(
            engine_->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parse_)),
            S_OK);
        ASSERT_EQ(parse_->InitNew(), S_OK);
        ASSERT_EQ(engine_->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    }
    void TearDown() override {
        if (parse_)
            parse_->Release();
        if (engine_) {
            engine_->Close();
            engine_->Release();
        }
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
    }

    HRESULT Parse(const char16_t* code, DWORD flags = 0, VARIANT* result = nullptr) {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        info_ = EXCEPINFO{};
        return parse_->ParseScriptText(code, nullptr, nullptr, nullptr, 0, 1, flags, result,
                                       &info_);
    }

    static inline void* module_ = nullptr;
    static inline DllGetClassObjectFn getClassObject_ = nullptr;
    static inline DllCanUnloadNowFn canUnloadNow_ = nullptr;
    IActiveScript* engine_ = nullptr;
    IActiveScriptParse* parse_ = nullptr;
    EXCEPINFO info_{};
};

TEST_F(Engine, ExpressionTextsGiveTheirValue) {
    struct Case {
        const char16_t* text;
        VARTYPE vt;
        std::string value;
    } cases[] = {
        {u"6 * 7", VT_I4, "42"},   {u"1 / 4", VT_R8, "0.25"}, {u"\"a\" & 1", VT_BSTR, "a1"},
        {u"3 > 2", VT_BOOL, "-1"}, {u"Empty", VT_EMPTY, ""},  {u"Null", VT_NULL, ""},
    };
    ASSERT_EQ(Parse(u"Dim base\nbase = 40\n"), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.text));
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(Parse(c.text, SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
        EXPECT_EQ(result.vt, c.vt);
        switch (c.vt) {
        case VT_I4:
            EXPECT_EQ(std::to_string(result.lVal), c.value);
            break;
        case VT_R8:
            EXPECT_DOUBLE_EQ(result.dblVal, 0.25);
            break;
        case VT_BSTR:
            EXPECT_EQ(BstrToUtf8(result.bstrVal), c.value);
            break;
        case VT_BOOL:
            EXPECT_EQ(result.boolVal, VARIANT_TRUE);
            break;
        default:
            break;
        }
        VariantClear(&result);
    }
    // Later texts see what earlier ones declared.
    VARIANT sum;
    VariantInit(&sum);
    ASSERT_EQ(Parse(u"base + 2", SCRIPTTEXT_ISEXPRESSION, &sum), S_OK);
    EXPECT_EQ(sum.vt, VT_I4);
    EXPECT_EQ(sum.lVal, 42);
}

TEST_F(Engine, WithoutASiteErrorsFillTheExceptionRecord) {
    EXPECT_EQ(Parse(u"x = 1\ny = x / 0\n"), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info_.bstrSource), "VBScript runtime error");
    EXPECT_EQ(BstrToUtf8(info_.bstrDescription), "Division by zero");
    EXPECT_EQ(static_cast<uint32_t>(info_.scode), 0x800A000Bu);

    EXPECT_EQ(Parse(u"If x Then\n"), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info_.bstrSource), "VBScript compilation error");
    EXPECT_EQ(BstrToUtf8(info_.bstrDescription), "Expected 'End'");
    EXPECT_EQ(static_cast<uint32_t>(info_.scode), 0x800A03F6u);

    // A raised error keeps its own number and source.
    EXPECT_EQ(Parse(u"Err.Raise vbObjectError + 9, \"Mine\", \"custom\"\n"), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info_.bstrSource), "Mine");
    EXPECT_EQ(static_cast<uint32_t>(info_.scode), 0x80040009u);
}

TEST_F(Engine, InterruptBeforeTheRunStopsIt) {
    ASSERT_EQ(engine_->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0), S_OK);
    EXPECT_EQ(Parse(u"Do\nLoop\n"), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info_.bstrDescription), "Script execution was interrupted");
    EXPECT_EQ(info_.scode, E_ABORT);
    // The interrupt is used up: the next text runs.
    EXPECT_EQ(Parse(u"x = 1\n"), S_OK);
}

TEST_F(Engine, ThreadStateAndIds) {
    SCRIPTTHREADSTATE state = SCRIPTTHREADSTATE_RUNNING;
    EXPECT_EQ(engine_->GetScriptThreadState(SCRIPTTHREADID_CURRENT, &state), S_OK);
    EXPECT_EQ(state, SCRIPTTHREADSTATE_NOTINSCRIPT);
    EXPECT_EQ(engine_->InterruptScriptThread(12345, nullptr, 0), E_INVALIDARG);
    SCRIPTSTATE s = SCRIPTSTATE_UNINITIALIZED;
    EXPECT_EQ(engine_->GetScriptState(&s), S_OK);
    EXPECT_EQ(s, SCRIPTSTATE_STARTED);
}

TEST_F(Engine, ModuleIsInUseWhileAnEngineLives) {
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    parse_->Release();
    parse_ = nullptr;
    engine_->Close();
    engine_->Release();
    engine_ = nullptr;
    EXPECT_EQ(canUnloadNow_(), S_OK);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

} // namespace
