// The engine behind the scripting host's site: found through its
// registration, and stopped by Terminate even in a tight loop, with the
// worker ending promptly and nothing reaching the console afterwards.
#include "platform/com/server.h"
#include "platform/registry/registry.h"
#include "platform/window/window.h"
#include "scripting/engine_lookup.h"
#include "scripting/script_site.h"
#include "scripting/script_text.h"
#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

namespace reg = platform::registry;

const char kClassId[] = "{B54F3741-5B07-11CF-A4B0-00AA004A55E8}";
const platform::com::CLSID kVBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};

struct Message {
    uint32_t msg;
    std::string text;
};

class EngineSite : public TempRegistryTest {
protected:
    void SetUp() override {
        TempRegistryTest::SetUp();
        for (const char* path : {TALLOMIR_PATH, VBSCRIPT_MODULE_PATH})
            Load(path);
        ASSERT_EQ(Entry<platform::com::DllRegisterServerFn>(0, "DllRegisterServer")(),
                  platform::com::S_OK);
        ASSERT_EQ(Entry<platform::com::DllRegisterServerFn>(1, "DllRegisterServer")(),
                  platform::com::S_OK);
        console_ = platform::RegisterWindow(
            [this](uint32_t msg, platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
                const char* text = reinterpret_cast<const char*>(l);
                messages_.push_back({msg, text ? text : ""});
                return 0;
            });
        site_ = scripting::CScriptSite::Create();
    }
    void TearDown() override {
        if (site_) {
            EXPECT_TRUE(site_->WaitForWorkers(60s));
            site_->Release();
        }
        platform::DestroyWindow(console_);
        for (void* m : modules_)
            dlclose(m);
        TempRegistryTest::TearDown();
    }
    void Load(const char* path) {
        void* m = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m, nullptr) << dlerror();
        modules_.push_back(m);
    }
    template <class F> F Entry(size_t module, const char* name) {
        return reinterpret_cast<F>(dlsym(modules_.at(module), name));
    }
    int Run(const std::string& script) {
        return site_->Start(kVBScript, "Tallomir", script, console_, scripting::WM_SCRIPT_OUTPUT,
                            0);
    }
    std::string Texts(uint32_t msg) const {
        std::string all;
        for (const Message& m : messages_)
            if (m.msg == msg)
                all += m.text;
        return all;
    }
    bool WaitForOutput(const std::string& text) {
        auto end = std::chrono::steady_clock::now() + 20s;
        while (Texts(scripting::WM_SCRIPT_OUTPUT) != text && std::chrono::steady_clock::now() < end)
            platform::WaitForMessages(10ms);
        return Texts(scripting::WM_SCRIPT_OUTPUT) == text;
    }

    std::vector<void*> modules_;
    platform::HWND console_ = 0;
    scripting::CScriptSite* site_ = nullptr;
    std::vector<Message> messages_;
};

TEST_F(EngineSite, RegistrationNamesTheEngineEveryWayTheHostLooks) {
    EXPECT_EQ(scripting::FindEngineClassIdText(scripting::Language::VBScript), kClassId);
    EXPECT_EQ(reg::GetString(reg::Root::ClassesRoot, ".vbs", ""), "VBSFile");
    EXPECT_EQ(reg::GetString(reg::Root::ClassesRoot, "VBSFile\\ScriptEngine", ""), "VBScript");
    EXPECT_EQ(reg::GetString(reg::Root::ClassesRoot, "VBScript\\CLSID", ""), kClassId);
    EXPECT_EQ(reg::GetString(reg::Root::ClassesRoot, "VBS\\CLSID", ""), kClassId);

    ASSERT_EQ(Entry<platform::com::DllUnregisterServerFn>(1, "DllUnregisterServer")(),
              platform::com::S_OK);
    for (const char* key : {".vbs", "VBSFile", "VBScript", "VBS"})
        EXPECT_FALSE(reg::KeyExists(reg::Root::ClassesRoot, key)) << key;
    EXPECT_FALSE(reg::KeyExists(reg::Root::ClassesRoot, std::string("CLSID\\") + kClassId));
    EXPECT_FALSE(scripting::FindEngineClassIdText(scripting::Language::VBScript));
}

TEST_F(EngineSite, RunIsBracketedByEnterAndLeave) {
    ASSERT_EQ(Run("Tallomir.Output Tallomir.Multiply(\"12 34\", \"56\")\n"), 0);
    ASSERT_TRUE(site_->WaitForWorkers(30s));
    platform::PumpMessages();
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "06 1d 78 \r\n");
    ASSERT_GE(messages_.size(), 3u);
    EXPECT_EQ(messages_.front().msg, scripting::WM_SCRIPT_ENTER);
    EXPECT_EQ(messages_.back().msg, scripting::WM_SCRIPT_LEAVE);
}

// Tight loops of every kind end promptly when the host terminates the run;
// the sanitizer build checks that the abandoned run leaks nothing.
TEST_F(EngineSite, TerminateStopsTightLoops) {
    const char* loops[] = {
        "Do\nLoop\n",
        "While True\nWend\n",
        "Dim i\nFor i = 1 To 2000000000\nNext\n",
        "Dim x\nFor Each x In Array(1, 2)\n  Do While x > 0\n  Loop\nNext\n",
        "Function F(n)\n  F = n + 1\nEnd Function\nDim k\nDo\n  k = F(k) Mod 7\nLoop\n",
        "Sub Forever()\n  Do : Loop\nEnd Sub\nForever\n",
        "Dim s\nDo\n  s = s & \"x\"\n  If Len(s) > 1000 Then s = \"\"\nLoop\n",
        // The terminator of a live object must not run on after the stop.
        "Class Sticky\n  Sub Class_Terminate()\n    Do : Loop\n  End Sub\nEnd Class\n"
        "Dim keep\nSet keep = New Sticky\nDo\nLoop\n",
    };
    for (const char* loop : loops) {
        SCOPED_TRACE(loop);
        messages_.clear();
        ASSERT_EQ(Run(std::string("Tallomir.Output \"started\"\n") + loop), 0);
        ASSERT_TRUE(WaitForOutput("started\r\n"));
        auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(site_->Terminate(), 0);
        EXPECT_TRUE(site_->WaitForWorkers(2s)) << "the worker is still running";
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
        size_t seen = messages_.size();
        platform::PumpMessages();
        EXPECT_EQ(messages_.size(), seen) << "nothing reaches the console after Terminate";
    }
}

} // namespace
