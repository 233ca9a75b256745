// The script site with the real modules: the Zuriruv server and the JScript
// engine, registered in a private registry, a console window on the test's
// thread, and the worker on its own.
#include "platform/com/server.h"
#include "platform/registry/registry.h"
#include "platform/window/window.h"
#include "scripting/engine_lookup.h"
#include "scripting/script_site.h"
#include "scripting/script_text.h"
#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The engine needs an application object, made once on the main thread.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "scripting_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QCoreApplication* app_ = nullptr;
};
[[maybe_unused]] auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const platform::com::CLSID kJScript = {
    0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};

struct Message {
    uint32_t msg;
    std::string text;
};

class ScriptSite : public TempRegistryTest {
protected:
    void SetUp() override {
        TempRegistryTest::SetUp();
        for (const char* path : {TALLOMIR_PATH, JSCRIPT_PATH})
            Register(path);
        console_ = platform::RegisterWindow(
            [this](uint32_t msg, platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
                const char* text = reinterpret_cast<const char*>(l);
                messages_.push_back({msg, text ? text : ""});
                return 0;
            });
        site_ = scripting::CScriptSite::Create();
    }
    void TearDown() override {
        // The worker holds its own reference; wait so that nothing outlives the test.
        EXPECT_TRUE(site_->WaitForWorkers(300s));
        site_->Release();
        platform::DestroyWindow(console_);
        for (void* m : modules_)
            dlclose(m);
        TempRegistryTest::TearDown();
    }
    void Register(const char* path) {
        void* m = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m, nullptr) << dlerror();
        modules_.push_back(m);
        auto reg =
            reinterpret_cast<platform::com::DllRegisterServerFn>(dlsym(m, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), platform::com::S_OK);
    }
    int Run(const std::string& script, const platform::com::CLSID& engine = kJScript) {
        return site_->Start(engine, "Tallomir", script, console_, scripting::WM_SCRIPT_OUTPUT, 0);
    }
    bool WaitIdle(std::chrono::milliseconds limit) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (site_->IsRunning() && std::chrono::steady_clock::now() < end)
            platform::WaitForMessages(10ms);
        platform::PumpMessages();
        return !site_->IsRunning();
    }
    std::string Texts(uint32_t msg) const {
        std::string all;
        for (const Message& m : messages_)
            if (m.msg == msg)
                all += m.text;
        return all;
    }

    std::vector<void*> modules_;
    platform::HWND console_ = 0;
    scripting::CScriptSite* site_ = nullptr;
    std::vector<Message> messages_;
};

TEST_F(ScriptSite, EngineIsFoundThroughItsRegistration) {
    EXPECT_EQ(scripting::FindEngineClassIdText(scripting::Language::JScript),
              "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
    EXPECT_FALSE(scripting::FindEngineClassIdText(scripting::Language::VBScript));
}

TEST_F(ScriptSite, ScriptComputesAndOutputsInOrder) {
    ASSERT_EQ(Run("var p = Tallomir.Multiply('12 34', '56');\n"
                  "Tallomir.Output(p);\n"
                  "Tallomir.Output(Tallomir.ModPow('02', '0a', '03 e8'));\n"
                  "Tallomir.Output(String(Tallomir.BitCount(p)));\n"),
              0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "06 1d 78 \r\n18 \r\n19\r\n");
    ASSERT_GE(messages_.size(), 5u);
    EXPECT_EQ(messages_.front().msg, scripting::WM_SCRIPT_ENTER);
    EXPECT_EQ(messages_.back().msg, scripting::WM_SCRIPT_LEAVE);
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_ERROR), "");
}

TEST_F(ScriptSite, ErrorsArriveAsBlocks) {
    ASSERT_EQ(Run("var a = 1;\nvar b = 2;\nvar c = (;\n"), 0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_NE(Texts(scripting::WM_SCRIPT_ERROR).find("\r\nLine: 3\r\nError: "), std::string::npos)
        << Texts(scripting::WM_SCRIPT_ERROR);

    messages_.clear();
    ASSERT_EQ(Run("try { Tallomir.GCD('00', '05'); } catch (e) { Tallomir.Output(e.message); }\n"
                  "Tallomir.Divide('01', '00');\n"),
              0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "Invalid procedure call or argument\r\n");
    std::string block = Texts(scripting::WM_SCRIPT_ERROR);
    EXPECT_EQ(block.rfind("Source: ", 0), 0u) << block;
    EXPECT_NE(block.find("\r\nLine: 2\r\nError: Invalid procedure call or argument\r\n"),
              std::string::npos)
        << block;
}

TEST_F(ScriptSite, SetUpFailuresHaveTheirTexts) {
    const platform::com::CLSID nowhere = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    ASSERT_EQ(Run("Tallomir.Output('x');", nowhere), 0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_ERROR), "Creating the ActiveX Scripting engine failed.");

    messages_.clear();
    ASSERT_EQ(platform::registry::DeleteKey(platform::registry::Root::ClassesRoot,
                                            "CLSID\\{61A366B6-165F-42B6-8A5E-3569B0780C33}"),
              platform::registry::RegError::Ok);
    ASSERT_EQ(Run("Tallomir.Output('x');"), 0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_ERROR),
              "Creating the multi-precision arithmetic object failed.");
}

TEST_F(ScriptSite, EndlessLoopIsTerminatedAndSecondStartRefused) {
    ASSERT_EQ(Run("Tallomir.Output('started'); while (true) {}"), 0);
    // Wait until the script runs, then a second start is refused.
    auto end = std::chrono::steady_clock::now() + 20s;
    while (Texts(scripting::WM_SCRIPT_OUTPUT).empty() && std::chrono::steady_clock::now() < end)
        platform::WaitForMessages(10ms);
    ASSERT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "started\r\n");
    EXPECT_EQ(Run("Tallomir.Output('second');"), 1);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(site_->Terminate(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
    EXPECT_EQ(site_->Terminate(), 1) << "no worker any more";
    size_t seen = messages_.size();
    std::this_thread::sleep_for(200ms);
    platform::PumpMessages();
    EXPECT_EQ(messages_.size(), seen) << "nothing reaches the console after Terminate";
}

// Terminate returns at once even while the worker sits in a long arithmetic
// call; the worker finishes that call on its own and reports nothing.
TEST_F(ScriptSite, TerminateDuringALongArithmeticCall) {
    ASSERT_EQ(Run("Tallomir.Output('searching');\n"
                  "var p = Tallomir.MillerRabinSearch(3072, 40);\n"
                  "Tallomir.Output('found ' + p);\n"),
              0);
    auto end = std::chrono::steady_clock::now() + 20s;
    while (Texts(scripting::WM_SCRIPT_OUTPUT).empty() && std::chrono::steady_clock::now() < end)
        platform::WaitForMessages(10ms);
    ASSERT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "searching\r\n");
    std::this_thread::sleep_for(200ms); // let the worker enter the search
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(site_->Terminate(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
    EXPECT_FALSE(site_->IsRunning());
    // The prime must pass 40 rounds at 3072 bits: the old worker is still
    // inside that call.
    EXPECT_FALSE(site_->WaitForWorkers(0ms));
    // A new run may start while the old worker still finishes its call.
    messages_.clear();
    ASSERT_EQ(Run("Tallomir.Output('next');"), 0);
    ASSERT_TRUE(WaitIdle(30s));
    EXPECT_EQ(Texts(scripting::WM_SCRIPT_OUTPUT), "next\r\n");
}

} // namespace
