// Runs scripts the way a user does: `ordovane-cli script --language
// vbscript FILE`, with the Zuriruv server and the VBScript engine
// registered in a private key store for the test suite.
#pragma once

#include <filesystem>
#include <string>

namespace vbstest {

struct ScriptRun {
    int status = -1; // exit code, -1 when the CLI did not exit normally
    std::string out;
    std::string err;
};

// Sets up the private key store and registers the modules (once per suite).
void RegisterModules(const std::filesystem::path& dir);
void ForgetModules();
ScriptRun RunScript(const std::filesystem::path& file);
std::string ReadFile(const std::filesystem::path& path);

} // namespace vbstest
