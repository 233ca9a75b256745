#include "platform/registry/registry.h"
#include "scripting/engine_lookup.h"

#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using platform::registry::Root;
using scripting::FindEngineClassIdText;
using scripting::Language;

class EngineLookup : public TempRegistryTest {
protected:
    static void Set(Root root, const std::string& key, const std::string& value) {
        ASSERT_EQ(platform::registry::SetValue(root, key, "", value),
                  platform::registry::RegError::Ok);
    }
};

TEST_F(EngineLookup, NothingRegisteredFindsNothing) {
    EXPECT_FALSE(FindEngineClassIdText(Language::JScript));
    EXPECT_FALSE(FindEngineClassIdText(Language::VBScript));
}

TEST_F(EngineLookup, ExtensionChainUnderClassesRoot) {
    Set(Root::ClassesRoot, ".js", "JSFile");
    Set(Root::ClassesRoot, "JSFile\\ScriptEngine", "JScript");
    Set(Root::ClassesRoot, "JScript\\CLSID", "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
    EXPECT_FALSE(FindEngineClassIdText(Language::VBScript));
}

// The sources are tried in order and the first that yields text wins.
TEST_F(EngineLookup, SourcesInOrder) {
    Set(Root::ClassesRoot, "JavaScript\\CLSID", "{4}");
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{4}");
    Set(Root::ClassesRoot, "JScript\\CLSID", "{3}");
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{3}");
    Set(Root::ClassesRoot, ".js", "T2");
    Set(Root::ClassesRoot, "T2\\ScriptEngine", "E2");
    Set(Root::ClassesRoot, "E2\\CLSID", "{2}");
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{2}");
    Set(Root::CurrentUser, ".js", "T1");
    Set(Root::CurrentUser, "T1\\ScriptEngine", "E1");
    // A broken chain ends its source only.
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{2}");
    Set(Root::CurrentUser, "E1\\CLSID", "{1}");
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), "{1}");

    Set(Root::ClassesRoot, "VBScript\\CLSID", "{v4}");
    EXPECT_EQ(FindEngineClassIdText(Language::VBScript), "{v4}");
    Set(Root::ClassesRoot, "VBS\\CLSID", "{v3}");
    EXPECT_EQ(FindEngineClassIdText(Language::VBScript), "{v3}");
}

TEST_F(EngineLookup, ReadsLongerThanTheBufferFail) {
    Set(Root::ClassesRoot, "JScript\\CLSID", std::string(260, 'x'));
    Set(Root::ClassesRoot, "JavaScript\\CLSID", std::string(259, 'y'));
    EXPECT_EQ(FindEngineClassIdText(Language::JScript), std::string(259, 'y'));
}

} // namespace
