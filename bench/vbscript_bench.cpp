// The VBScript engine against the JScript engine on the same script loop:
// one million iterations of integer arithmetic and string building, with a
// Tallomir call every thousandth step, each run from start to end through
// the scripting host's site (engine creation, parsing, running, closing) as
// the console runs a script. BM_ScriptLoop/ours is the VBScript engine,
// BM_ScriptLoop/jscript the JScript one; scripts/bench-vbscript.sh prints
// the ratio. CPU time is that of the whole process, worker thread included.
// Before timing, each side's printed result is checked against the one
// computed here: a wrong result skips the benchmark with an error.

#include "platform/com/server.h"
#include "platform/window/window.h"
#include "scripting/script_site.h"
#include "scripting/script_text.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace std::chrono_literals;

const platform::com::CLSID kVBScript = {
    0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};
const platform::com::CLSID kJScript = {
    0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};

constexpr int kIterations = 1000000;

const char kVBScriptLoop[] = R"(Dim i, sum, line, acc
sum = 0 : line = "" : acc = "00"
For i = 1 To 1000000
    sum = (sum + i * 7) Mod 1000003
    line = line & Chr(65 + i Mod 26)
    If i Mod 1000 = 0 Then
        acc = Tallomir.Add(acc, "01")
        line = ""
    End If
Next
Tallomir.Output sum & " " & acc
)";

const char kJScriptLoop[] = R"(var sum = 0, line = "", acc = "00";
for (var i = 1; i <= 1000000; i++) {
    sum = (sum + i * 7) % 1000003;
    line += String.fromCharCode(65 + i % 26);
    if (i % 1000 == 0) {
        acc = Tallomir.Add(acc, "01");
        line = "";
    }
}
Tallomir.Output(sum + " " + acc);
)";

// What both loops print: the sum, and 1000 counted up from 00 in hex bytes.
std::string ExpectedOutput() {
    long long sum = 0;
    for (long long i = 1; i <= kIterations; ++i)
        sum = (sum + i * 7) % 1000003;
    return std::to_string(sum) + " 03 e8 \r\n";
}

class Host {
public:
    Host() {
        console_ = platform::RegisterWindow(
            [this](uint32_t msg, platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
                const char* text = reinterpret_cast<const char*>(l);
                if (msg == scripting::WM_SCRIPT_OUTPUT && text)
                    output_ += text;
                else if (msg == scripting::WM_SCRIPT_ERROR && text)
                    error_ += text;
                return 0;
            });
        site_ = scripting::CScriptSite::Create();
    }
    ~Host() {
        site_->WaitForWorkers(60s);
        site_->Release();
        platform::DestroyWindow(console_);
    }

    // Runs the script to its end; false when it could not start or failed.
    bool Run(const platform::com::CLSID& engine, const char* script) {
        output_.clear();
        error_.clear();
        if (site_->Start(engine, "Tallomir", script, console_, scripting::WM_SCRIPT_OUTPUT, 0) != 0)
            return false;
        while (site_->IsRunning())
            platform::WaitForMessages(1ms);
        site_->WaitForWorkers(60s);
        platform::PumpMessages();
        return error_.empty();
    }
    const std::string& output() const { return output_; }
    const std::string& error() const { return error_; }

private:
    platform::HWND console_ = 0;
    scripting::CScriptSite* site_ = nullptr;
    std::string output_, error_;
};

void RunLoop(benchmark::State& state, const platform::com::CLSID& engine, const char* script) {
    Host host;
    if (!host.Run(engine, script))
        return state.SkipWithError(("the script failed: " + host.error()).c_str());
    if (host.output() != ExpectedOutput())
        return state.SkipWithError(("wrong result: " + host.output()).c_str());
    for (auto _ : state)
        host.Run(engine, script);
}

void BM_ScriptLoop_ours(benchmark::State& state) {
    RunLoop(state, kVBScript, kVBScriptLoop);
}

void BM_ScriptLoop_jscript(benchmark::State& state) {
    RunLoop(state, kJScript, kJScriptLoop);
}

// Registers the modules in a private key store for this run.
bool RegisterModules() {
    char dir[] = "/tmp/ordovane-bench-XXXXXX";
    if (!mkdtemp(dir))
        return false;
    setenv("ORDOVANE_REGISTRY_DIR", dir, 1);
    for (const char* path : {TALLOMIR_PATH, VBSCRIPT_MODULE_PATH, JSCRIPT_MODULE_PATH}) {
        void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            std::fprintf(stderr, "vbscript_bench: %s\n", dlerror());
            return false;
        }
        auto reg = reinterpret_cast<platform::com::DllRegisterServerFn>(
            dlsym(module, "DllRegisterServer"));
        if (!reg || reg() != platform::com::S_OK)
            return false;
    }
    return true;
}

} // namespace

BENCHMARK(BM_ScriptLoop_ours)
    ->Name("BM_ScriptLoop/ours")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriptLoop_jscript)
    ->Name("BM_ScriptLoop/jscript")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // The JScript engine needs an application object on the main thread.
    QCoreApplication app(argc, argv);
    if (!RegisterModules())
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const char* dir = std::getenv("ORDOVANE_REGISTRY_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
