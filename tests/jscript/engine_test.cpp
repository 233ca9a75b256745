#include "fakes.h"

#include "platform/com/server.h"

#include <chrono>
#include <cstring>
#include <thread>

using namespace platform::com;
using namespace platform::script;

namespace jstest {
namespace {

using Clock = std::chrono::steady_clock;

IActiveScript* CreateEngine() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(
        DllGetClassObject(JScriptClsid(), IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    if (!factory)
        return nullptr;
    IActiveScript* engine = nullptr;
    EXPECT_EQ(
        factory->CreateInstance(nullptr, IID_IActiveScript, reinterpret_cast<void**>(&engine)),
        S_OK);
    factory->Release();
    return engine;
}

class EngineTest : public RegistryFolder {
protected:
    // The host's sequence of calls, item "Calc"; returns ParseScriptText's answer.
    HRESULT Run(const std::u16string& code, ULONG startingLine = 1, DWORD context = 0) {
        IActiveScript* engine = CreateEngine();
        if (!engine)
            return E_FAIL;
        HRESULT hr = Prepare(engine);
        if (SUCCEEDED(hr))
            hr = parse_->ParseScriptText(code.c_str(), u"Calc", nullptr, nullptr, context,
                                         startingLine, 0, nullptr, &info_);
        Finish(engine);
        return hr;
    }

    HRESULT Prepare(IActiveScript* engine) {
        HRESULT hr =
            engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parse_));
        if (FAILED(hr))
            return hr;
        if (FAILED(hr = engine->SetScriptSite(&site_)) || FAILED(hr = parse_->InitNew()) ||
            FAILED(hr = engine->AddNamedItem(u"Calc", SCRIPTITEM_ISVISIBLE)))
            return hr;
        engine->SetScriptState(SCRIPTSTATE_STARTED);
        return S_OK;
    }

    void Finish(IActiveScript* engine) {
        if (parse_)
            parse_->Release();
        parse_ = nullptr;
        engine->Close();
        engine->Release();
    }

    std::vector<std::string> Output() {
        std::lock_guard lock(calc_.mutex);
        return calc_.output;
    }

    FakeCalc calc_;
    FakeSite site_{&calc_};
    IActiveScriptParse* parse_ = nullptr;
    EXCEPINFO info_{};
};

TEST_F(EngineTest, ScriptComputesAndCallsTheObject) {
    HRESULT hr = Run(u"var s = 0;\n"
                     u"for (var i = 1; i <= 10; i++) s = Calc.Add(s, i);\n"
                     u"Calc.Output('sum=' + s);\n"
                     u"Calc.Output('twice=' + Calc.Add(s, s));\n");
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Output(), (std::vector<std::string>{"sum=55", "twice=110"}));
    EXPECT_TRUE(site_.errors.empty());
    EXPECT_EQ(site_.enters, 1);
    EXPECT_EQ(site_.leaves, 1);
    EXPECT_EQ(calc_.lastFlags, DISPATCH_METHOD);
}

TEST_F(EngineTest, EngineAndSiteAndObjectReferencesAreGivenBack) {
    ASSERT_EQ(Run(u"Calc.Output('x');"), S_OK);
    EXPECT_EQ(site_.refs, 1u);
    EXPECT_EQ(calc_.refs, 1u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(EngineTest, ModuleStaysInUseWhileAnEngineLives) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    engine->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST_F(EngineTest, OtherClassIdsAreRefused) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

// JS values as the object receives them, and what comes back when the
// object returns the same variant.
TEST_F(EngineTest, ArgumentsAndResultsConvert) {
    struct Case {
        const char16_t* expression;
        VARTYPE vt;
        const char* roundTrip; // typeof and string form after Echo
    } cases[] = {
        {u"'abc'", VT_BSTR, "string:abc"},
        {u"''", VT_BSTR, "string:"},
        {u"7", VT_I4, "number:7"},
        {u"-2147483648", VT_I4, "number:-2147483648"},
        {u"2147483647", VT_I4, "number:2147483647"},
        {u"2147483648", VT_R8, "number:2147483648"},
        {u"2.5", VT_R8, "number:2.5"},
        {u"1e300", VT_R8, "number:1e+300"},
        {u"true", VT_BOOL, "boolean:true"},
        {u"false", VT_BOOL, "boolean:false"},
        {u"undefined", VT_EMPTY, "undefined:undefined"},
        {u"null", VT_EMPTY, "undefined:undefined"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.expression));
        calc_.output.clear();
        std::u16string code = u"var r = Calc.Echo(";
        code += c.expression;
        code += u"); Calc.Output(typeof r + ':' + r);";
        EXPECT_EQ(Run(code), S_OK);
        EXPECT_EQ(calc_.echoedType, c.vt);
        EXPECT_EQ(Output(), std::vector<std::string>{c.roundTrip});
    }
}

TEST_F(EngineTest, ResultVariantsConvert) {
    ASSERT_EQ(Run(u"for (var k = 0; k < 5; k++) {\n"
                  u"  var r = Calc.Result(k);\n"
                  u"  Calc.Output(typeof r + ':' + (r === null ? 'null' : r));\n"
                  u"}\n"),
              S_OK);
    EXPECT_EQ(Output(), (std::vector<std::string>{"string:", "undefined:undefined", "boolean:true",
                                                  "number:2.5", "object:null"}));
}

TEST_F(EngineTest, FailedCallsThrowCatchableErrors) {
    struct Case {
        const char16_t* call;
        const char* message;
        const char* number;
    } cases[] = {
        {u"Calc.Add('x', 1)", "Invalid procedure call or argument", "-2147024809"},
        {u"Calc.Add(1.5, 1)", "Invalid procedure call or argument", "-2147024809"},
        {u"Calc.Fail(0x8007000E | 0)", "Out of memory", "-2147024882"},
        {u"Calc.Fail(0x80004005 | 0)", "Error 0x80004005", "-2147467259"},
        {u"Calc.Fail(0x80020009 | 0)", "Custom failure", "-2147220991"},
        {u"Calc.Output()", "Wrong number of arguments or invalid property assignment",
         "-2147352562"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.call));
        calc_.output.clear();
        std::u16string code = u"try {\n  ";
        code += c.call;
        code += u";\n  Calc.Output('no error');\n} catch (e) {\n"
                u"  Calc.Output(e.message);\n  Calc.Output(String(e.number));\n"
                u"  Calc.Output(e.description);\n}\n";
        EXPECT_EQ(Run(code), S_OK);
        EXPECT_EQ(Output(), (std::vector<std::string>{c.message, c.number, c.message}));
        EXPECT_TRUE(site_.errors.empty());
    }
}

TEST_F(EngineTest, UncaughtErrorsReachTheSiteWithTheirLine) {
    struct Case {
        const char16_t* code;
        ULONG startingLine;
        ULONG line;
        const char* description;
        const char* lineText;
    } cases[] = {
        {u"var a = 1;\nvar b = 2;\nCalc.Add('x', 1);\n", 1, 3, "Invalid procedure call or argument",
         "Calc.Add('x', 1);"},
        {u"Calc.Output('before');\n\n  nothing();\n", 1, 3, "nothing is not defined",
         "  nothing();"},
        {u"function f() {\n  throw new Error('deep');\n}\nf();", 1, 2, "deep",
         "  throw new Error('deep');"},
        {u"function f() {\n  throw 'plain';\n}\nf();", 1, 2, "plain", "  throw 'plain';"},
        {u"var a = 1;\r\nCalc.Add(a, 'y');\r\n", 1, 2, "Invalid procedure call or argument",
         "Calc.Add(a, 'y');"},
        {u"var a = 1;\nvar b = 2;\nCalc.Add('x', 1);\n", 10, 12,
         "Invalid procedure call or argument", "Calc.Add('x', 1);"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.code));
        site_.errors.clear();
        site_.enters = site_.leaves = 0;
        EXPECT_EQ(Run(c.code, c.startingLine, 77), SCRIPT_E_REPORTED);
        ASSERT_EQ(site_.errors.size(), 1u);
        const ReportedError& e = site_.errors[0];
        EXPECT_EQ(e.source, "JScript runtime error");
        EXPECT_EQ(e.description, c.description);
        EXPECT_EQ(e.line, c.line);
        EXPECT_EQ(e.context, 77u);
        EXPECT_EQ(e.lineText, c.lineText);
        // The position lies on the reported line.
        std::string code = Utf16ToUtf8(c.code);
        size_t lineStart = code.find(c.lineText);
        ASSERT_NE(lineStart, std::string::npos);
        EXPECT_GE(static_cast<size_t>(e.position), lineStart);
        EXPECT_LE(static_cast<size_t>(e.position), lineStart + strlen(c.lineText));
        EXPECT_LT(e.scode, 0);
        EXPECT_EQ(site_.enters, 1);
        EXPECT_EQ(site_.leaves, 1);
    }
}

TEST_F(EngineTest, SyntaxErrorsAreReportedBeforeAnythingRuns) {
    const std::u16string code =
        u"Calc.Output('first');\nvar b = 2;\nvar c = );\nCalc.Output('last');\n";
    EXPECT_EQ(Run(code), SCRIPT_E_REPORTED);
    EXPECT_TRUE(Output().empty());
    ASSERT_EQ(site_.errors.size(), 1u);
    const ReportedError& e = site_.errors[0];
    EXPECT_EQ(e.source, "JScript compilation error");
    EXPECT_EQ(e.line, 3u);
    EXPECT_FALSE(e.description.empty());
    EXPECT_EQ(e.lineText, "var c = );");
    // The offending token is the parenthesis.
    EXPECT_EQ(static_cast<size_t>(e.position), code.find(u"= );") + 2);
    EXPECT_LT(e.scode, 0);

    site_.errors.clear();
    EXPECT_EQ(Run(code, 20), SCRIPT_E_REPORTED);
    ASSERT_EQ(site_.errors.size(), 1u);
    EXPECT_EQ(site_.errors[0].line, 22u);
}

TEST_F(EngineTest, UnknownItemIsUndefinedInTheScript) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(Prepare(engine), S_OK);
    ASSERT_EQ(engine->AddNamedItem(u"Other", SCRIPTITEM_ISVISIBLE), S_OK);
    HRESULT hr = parse_->ParseScriptText(u"Calc.Output(typeof Other);\nOther.Output('x');", nullptr,
                                         nullptr, nullptr, 0, 1, 0, nullptr, &info_);
    Finish(engine);
    EXPECT_EQ(hr, SCRIPT_E_REPORTED);
    EXPECT_EQ(Output(), std::vector<std::string>{"undefined"});
    ASSERT_EQ(site_.errors.size(), 1u);
    EXPECT_EQ(site_.errors[0].line, 2u);
    EXPECT_EQ(site_.refs, 1u);
    EXPECT_EQ(calc_.refs, 1u);
}

// A host may parse before it sets its site: the items wait for the site
// instead of being given up as unknown.
TEST_F(EngineTest, ItemsAddedBeforeTheSiteAreBoundOnceItIsSet) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parse_)),
              S_OK);
    ASSERT_EQ(parse_->InitNew(), S_OK);
    ASSERT_EQ(engine->AddNamedItem(u"Calc", SCRIPTITEM_ISVISIBLE), S_OK);
    EXPECT_EQ(parse_->ParseScriptText(u"var early = 1;", nullptr, nullptr, nullptr, 0, 1, 0,
                                      nullptr, &info_),
              S_OK);
    ASSERT_EQ(engine->SetScriptSite(&site_), S_OK);
    HRESULT hr = parse_->ParseScriptText(u"Calc.Output('bound ' + early);", nullptr, nullptr,
                                         nullptr, 0, 1, 0, nullptr, &info_);
    Finish(engine);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Output(), std::vector<std::string>{"bound 1"});
    EXPECT_TRUE(site_.errors.empty());
    EXPECT_EQ(calc_.refs, 1u);
}

TEST_F(EngineTest, ExpressionsYieldTheirValue) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(Prepare(engine), S_OK);
    VARIANT result;
    result.vt = VT_NULL;
    ASSERT_EQ(parse_->ParseScriptText(u"Calc.Add(40, 2)", nullptr, nullptr, nullptr, 0, 1,
                                      SCRIPTTEXT_ISEXPRESSION, &result, &info_),
              S_OK);
    Finish(engine);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);
}

TEST_F(EngineTest, CallsBeforeInitialisationAreRefused) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    IActiveScriptParse* parse = nullptr;
    ASSERT_EQ(engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parse)),
              S_OK);
    EXPECT_EQ(engine->AddNamedItem(u"Calc", SCRIPTITEM_ISVISIBLE), E_UNEXPECTED);
    EXPECT_EQ(parse->ParseScriptText(u"1", nullptr, nullptr, nullptr, 0, 1, 0, nullptr, nullptr),
              E_UNEXPECTED);
    void* none = nullptr;
    EXPECT_EQ(engine->QueryInterface(IID_IActiveScriptSiteWindow, &none), E_NOINTERFACE);
    parse->Release();
    engine->Release();
}

// The host's worker: the engine lives on its own thread, the interrupt
// comes from another one.
TEST_F(EngineTest, EndlessLoopStopsWhenInterrupted) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    std::atomic<bool> entered{false};
    std::atomic<HRESULT> hr{S_OK};
    std::thread worker([&] {
        if (FAILED(Prepare(engine)))
            return;
        entered = true;
        hr = parse_->ParseScriptText(u"Calc.Output('go');\nvar i = 0;\nwhile (true) { i++; }\n"
                                     u"Calc.Output('never');",
                                     u"Calc", nullptr, nullptr, 0, 1, 0, nullptr, &info_);
    });
    while (!entered || Output().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = Clock::now();
    EXPECT_EQ(engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0), S_OK);
    worker.join();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    Finish(engine);
    EXPECT_TRUE(FAILED(hr.load()));
    EXPECT_EQ(Output(), std::vector<std::string>{"go"});
    ASSERT_EQ(site_.errors.size(), 1u);
    EXPECT_EQ(site_.errors[0].source, "JScript runtime error");
    EXPECT_EQ(site_.enters, 1);
    EXPECT_EQ(site_.leaves, 1);
}

TEST_F(EngineTest, InterruptBeforeTheRunStopsIt) {
    IActiveScript* engine = CreateEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(Prepare(engine), S_OK);
    engine->InterruptScriptThread(SCRIPTTHREADID_BASE, nullptr, 0);
    HRESULT hr = parse_->ParseScriptText(u"Calc.Output('ran');", nullptr, nullptr, nullptr, 0, 1, 0,
                                         nullptr, &info_);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_TRUE(Output().empty());
    // The interrupt is spent: the next text runs.
    EXPECT_EQ(parse_->ParseScriptText(u"Calc.Output('again');", nullptr, nullptr, nullptr, 0, 1, 0,
                                      nullptr, &info_),
              S_OK);
    Finish(engine);
    EXPECT_EQ(Output(), std::vector<std::string>{"again"});
}

} // namespace
} // namespace jstest
