#include "fakes.h"

#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/registry/registry.h"

#include <filesystem>

using namespace platform::com;
using namespace platform::script;

namespace jstest {
namespace {

namespace reg = platform::registry;
using reg::Root;

const std::string kClsidKey = "CLSID\\{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";

std::optional<std::string> Default(const std::string& path) {
    return reg::GetString(Root::ClassesRoot, path, "");
}

class RegistrationTest : public RegistryFolder {};

TEST_F(RegistrationTest, RegisterWritesTheClassAndTheExtensionChain) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(Default(kClsidKey), "JScript Language");
    EXPECT_EQ(Default(kClsidKey + "\\InprocServer32"),
              std::filesystem::canonical(JSCRIPT_MODULE_PATH).string());
    EXPECT_EQ(reg::GetString(Root::ClassesRoot, kClsidKey + "\\InprocServer32", "ThreadingModel"),
              "Both");
    EXPECT_EQ(Default(".js"), "JSFile");
    EXPECT_EQ(Default("JSFile\\ScriptEngine"), "JScript");
    EXPECT_EQ(Default("JScript\\CLSID"), "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");

    CLSID found{};
    EXPECT_EQ(CLSIDFromProgID("JScript", &found), S_OK);
    EXPECT_TRUE(found == JScriptClsid());
    // Registering twice changes nothing.
    ASSERT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(Default(".js"), "JSFile");
}

TEST_F(RegistrationTest, UnregisterRemovesExactlyWhatRegisterMade) {
    // Keys of others that must survive.
    const std::string other = "CLSID\\{00000000-1111-2222-3333-444444444444}";
    ASSERT_EQ(reg::SetValue(Root::ClassesRoot, other, "", std::string("Other")), reg::RegError::Ok);
    ASSERT_EQ(reg::SetValue(Root::ClassesRoot, ".vbs", "", std::string("VBSFile")),
              reg::RegError::Ok);

    ASSERT_EQ(DllRegisterServer(), S_OK);
    ASSERT_EQ(DllUnregisterServer(), S_OK);
    for (const std::string& key : std::vector<std::string>{kClsidKey, ".js", "JSFile", "JScript"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(reg::KeyExists(Root::ClassesRoot, key));
    }
    EXPECT_TRUE(reg::KeyExists(Root::ClassesRoot, "CLSID"));
    EXPECT_EQ(Default(other), "Other");
    EXPECT_EQ(Default(".vbs"), "VBSFile");
    std::vector<std::string> top;
    ASSERT_EQ(reg::EnumSubkeys(Root::ClassesRoot, "", &top), reg::RegError::Ok);
    EXPECT_EQ(top, (std::vector<std::string>{".vbs", "CLSID"}));
    std::vector<std::string> classes;
    ASSERT_EQ(reg::EnumSubkeys(Root::ClassesRoot, "CLSID", &classes), reg::RegError::Ok);
    EXPECT_EQ(classes, std::vector<std::string>{"{00000000-1111-2222-3333-444444444444}"});
    // Nothing was written for the current user.
    std::vector<std::string> user;
    reg::EnumSubkeys(Root::CurrentUser, "", &user);
    EXPECT_TRUE(user.empty());
}

// The runtime finds the module through its registration and the engine it
// hands out runs scripts.
TEST_F(RegistrationTest, RegisteredEngineIsCreatedThroughTheRuntime) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IActiveScript* engine = nullptr;
    ASSERT_EQ(CoCreateInstance(JScriptClsid(), nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                               reinterpret_cast<void**>(&engine)),
              S_OK);
    IActiveScriptParse* parse = nullptr;
    ASSERT_EQ(engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parse)),
              S_OK);
    FakeCalc calc;
    FakeSite site(&calc);
    EXPECT_EQ(engine->SetScriptSite(&site), S_OK);
    EXPECT_EQ(parse->InitNew(), S_OK);
    EXPECT_EQ(engine->AddNamedItem(u"Calc", SCRIPTITEM_ISVISIBLE), S_OK);
    engine->SetScriptState(SCRIPTSTATE_STARTED);
    EXCEPINFO info{};
    EXPECT_EQ(parse->ParseScriptText(u"Calc.Output('' + Calc.Add(2, 3));", u"Calc", nullptr,
                                     nullptr, 0, 1, 0, nullptr, &info),
              S_OK);
    parse->Release();
    engine->Close();
    engine->Release();
    CoUninitialize();
    EXPECT_EQ(calc.output, std::vector<std::string>{"5"});
}

} // namespace
} // namespace jstest
