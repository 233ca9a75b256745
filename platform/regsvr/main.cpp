// regsvr [-u] MODULE...: loads each server module and calls its
// DllRegisterServer (or, with -u, DllUnregisterServer).
// Exit status: 0 when every module succeeded, 1 when one failed, 2 on bad usage.
#include "platform/com/hresult.h"
#include "platform/com/server.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using platform::com::HRESULT;

void Usage() {
    std::fprintf(stderr, "usage: regsvr [-u] MODULE...\n");
}

bool Run(const std::string& module, bool unregister) {
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    // A bare name would be searched on the library path; a module is named by its file.
    std::string path = module.find('/') == std::string::npos ? "./" + module : module;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        std::fprintf(stderr, "regsvr: %s: %s\n", module.c_str(), why ? why : "cannot load");
        return false;
    }
    auto fn = reinterpret_cast<platform::com::DllRegisterServerFn>(dlsym(handle, entry));
    bool ok = false;
    if (!fn) {
        std::fprintf(stderr, "regsvr: %s: no entry point %s\n", module.c_str(), entry);
    } else {
        HRESULT hr = fn();
        ok = platform::com::SUCCEEDED(hr);
        if (!ok)
            std::fprintf(stderr, "regsvr: %s: %s failed (0x%08X)\n", module.c_str(), entry,
                         static_cast<unsigned>(hr));
    }
    dlclose(handle);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    std::vector<std::string> modules;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        if (options && std::strcmp(argv[i], "--") == 0) {
            options = false;
        } else if (options && std::strcmp(argv[i], "-u") == 0) {
            unregister = true;
        } else if (options &&
                   (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)) {
            std::printf("usage: regsvr [-u] MODULE...\n"
                        "Registers each in-process server module (-u: unregisters it).\n");
            return 0;
        } else if (options && argv[i][0] == '-' && argv[i][1] != 0) {
            Usage();
            return 2;
        } else {
            modules.push_back(argv[i]);
        }
    }
    if (modules.empty()) {
        Usage();
        return 2;
    }
    bool all = true;
    for (const auto& m : modules)
        all = Run(m, unregister) && all;
    return all ? 0 : 1;
}
