#include "cli/script_command.h"

#include "platform/com/guid.h"
#include "platform/crypto/crypt_provider.h"
#include "platform/window/window.h"
#include "scripting/engine_lookup.h"
#include "scripting/script_site.h"
#include "scripting/script_text.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Console output uses the platform's line ends.
std::string WithoutCarriageReturns(const char* text) {
    std::string s;
    for (const char* p = text; *p; ++p)
        if (!(*p == '\r' && p[1] == '\n'))
            s += *p;
    return s;
}

int Usage(const std::string& why) {
    std::fprintf(stderr,
                 "ordovane-cli script: %s\n"
                 "Usage: ordovane-cli script [--language jscript|vbscript] FILE|-\n",
                 why.c_str());
    return 2;
}

std::optional<scripting::Language> LanguageNamed(std::string_view name) {
    if (name == "jscript")
        return scripting::Language::JScript;
    if (name == "vbscript")
        return scripting::Language::VBScript;
    return std::nullopt;
}

// The extension decides, compared with case, as the console's Browse does.
std::optional<scripting::Language> LanguageOfFile(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    if (ext == "js")
        return scripting::Language::JScript;
    if (ext == "vbs")
        return scripting::Language::VBScript;
    return std::nullopt;
}

bool ReadStdin(std::string& out) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
        out.append(buf, n);
    return !std::ferror(stdin);
}

} // namespace

int RunScriptCommand(std::span<char* const> args) {
    std::optional<scripting::Language> language;
    std::string path;
    bool havePath = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        if (!havePath && (a == "--language" || a.starts_with("--language="))) {
            std::string_view value;
            if (a == "--language") {
                if (i + 1 >= args.size())
                    return Usage("--language needs a value");
                value = args[++i];
            } else {
                value = a.substr(11);
            }
            language = LanguageNamed(value);
            if (!language)
                return Usage("unknown language '" + std::string(value) + "'");
        } else if (!havePath && a == "--") {
            if (i + 1 >= args.size())
                return Usage("missing FILE");
            path = args[++i];
            havePath = true;
        } else if (!havePath && a.size() > 1 && a[0] == '-') {
            return Usage("unknown option '" + std::string(a) + "'");
        } else if (!havePath) {
            path = a;
            havePath = true;
        } else {
            return Usage("only one FILE can be run");
        }
    }
    if (!havePath)
        return Usage("missing FILE");

    std::string script;
    if (path == "-") {
        std::string bytes;
        if (!ReadStdin(bytes)) {
            std::fputs("Can't open file.\n", stderr);
            return 1;
        }
        if (bytes.size() > static_cast<size_t>(scripting::kMaxScriptFileSize)) {
            std::fputs("The file size is too big.\n", stderr);
            return 1;
        }
        script = scripting::CutScriptText(bytes);
    } else {
        scripting::ScriptFile file = scripting::LoadScriptFile(path);
        if (!file.ok) {
            std::fprintf(stderr, "%s\n", file.message.c_str());
            return 1;
        }
        script = file.text;
    }
    if (!language)
        language = path == "-" ? std::optional(scripting::Language::JScript) : LanguageOfFile(path);
    if (!language)
        return Usage("cannot tell the language of '" + path + "'; use --language");

    const char* languageName = *language == scripting::Language::JScript ? "JScript" : "VBScript";
    platform::com::CLSID engine = platform::com::GUID_NULL;
    std::optional<std::string> id = scripting::FindEngineClassIdText(*language);
    if (!id || !platform::com::GuidFromString(*id, &engine)) {
        std::fprintf(stderr,
                     "No %s engine is registered. Register the modules with 'make run' or "
                     "'regsvr build/lib/libtallomir.so build/lib/libordovane-jscript.so "
                     "build/lib/libordovane-vbscript.so'.\n",
                     languageName);
        return 1;
    }
    if (script.empty())
        return 0;

    // The script engine needs an application object on the main thread.
    static int qtArgc = 1;
    static char qtName[] = "ordovane-cli";
    static char* qtArgv[] = {qtName, nullptr};
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(qtArgc, qtArgv);

    bool failed = false;
    platform::HWND console = platform::RegisterWindow(
        [&failed](uint32_t msg, platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
            const char* text = reinterpret_cast<const char*>(l);
            if (msg == scripting::WM_SCRIPT_OUTPUT && text) {
                std::fputs(WithoutCarriageReturns(text).c_str(), stdout);
                std::fflush(stdout);
            } else if (msg == scripting::WM_SCRIPT_ERROR && text) {
                std::string t = WithoutCarriageReturns(text);
                if (t.empty() || t.back() != '\n')
                    t += '\n';
                std::fputs(t.c_str(), stderr);
                failed = true;
            }
            return 0;
        });
    platform::HCRYPTPROV provider = platform::AcquireRandomContext();
    scripting::CScriptSite* site = scripting::CScriptSite::Create();
    int started =
        site->Start(engine, "Tallomir", script, console, scripting::WM_SCRIPT_OUTPUT, provider);
    if (started != 0) {
        std::fputs("The script thread could not be started.\n", stderr);
        failed = true;
    }
    while (site->IsRunning())
        platform::WaitForMessages(std::chrono::milliseconds(20));
    platform::PumpMessages();
    site->Release();
    platform::DestroyWindow(console);
    if (provider)
        platform::CryptReleaseContext(provider, 0);
    return failed ? 1 : 0;
}
