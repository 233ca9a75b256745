#include "cli_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace vbstest {

namespace {

fs::path g_dir;
std::optional<std::string> g_oldRegistry;

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

std::string ReadFile(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void RegisterModules(const fs::path& dir) {
    g_dir = dir;
    if (const char* old = std::getenv("ORDOVANE_REGISTRY_DIR"))
        g_oldRegistry = old;
    setenv("ORDOVANE_REGISTRY_DIR", (dir / "registry").c_str(), 1);
    const std::string cmd = Quoted(REGSVR_PATH) + " " + Quoted(TALLOMIR_PATH) + " " +
                            Quoted(VBSCRIPT_MODULE_PATH) + " 2>" + Quoted(dir / "regsvr.err");
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << ReadFile(dir / "regsvr.err");
}

void ForgetModules() {
    if (g_oldRegistry)
        setenv("ORDOVANE_REGISTRY_DIR", g_oldRegistry->c_str(), 1);
    else
        unsetenv("ORDOVANE_REGISTRY_DIR");
}

ScriptRun RunScript(const fs::path& file) {
    const fs::path err = g_dir / "stderr";
    const std::string cmd = Quoted(ORDOVANE_CLI_PATH) + " script --language vbscript " +
                            Quoted(file) + " 2>" + Quoted(err) + " </dev/null";
    ScriptRun run;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        ADD_FAILURE() << "cannot run " << cmd;
        return run;
    }
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        run.out.append(buf, n);
    const int rc = pclose(p);
    if (WIFEXITED(rc))
        run.status = WEXITSTATUS(rc);
    run.err = ReadFile(err);
    return run;
}

} // namespace vbstest
