// The registrar on arbitrary scripts, over a store holding other servers'
// keys. A registration that fails must leave the store exactly as it was;
// one that succeeds is then unregistered, which must not fail on a script
// that registered.
#include "fuzz_store.h"

#include "platform/com/registrar.h"
#include "platform/registry/registry.h"

#include <cstdio>
#include <cstdlib>

namespace com = platform::com;

namespace {

// Another server's entries, and a current-user root that is corrupt when the
// input asks for one, so that a script touching both roots fails half-way.
constexpr std::string_view kClassesRoot = "Windows Registry Editor Version 5.00\n"
                                          "\n"
                                          "[HKEY_CLASSES_ROOT\\CLSID]\n"
                                          "\n"
                                          "[HKEY_CLASSES_ROOT\\CLSID\\{0}]\n"
                                          "@=\"Other\"\n"
                                          "\n"
                                          "[HKEY_CLASSES_ROOT\\CLSID\\{0}\\InprocServer32]\n"
                                          "@=\"/other.so\"\n"
                                          "\"ThreadingModel\"=\"Both\"\n"
                                          "\n"
                                          "[HKEY_CLASSES_ROOT\\Other.Server]\n"
                                          "\"Count\"=dword:00000007\n";
constexpr std::string_view kCurrentUser = "Windows Registry Editor Version 5.00\n"
                                          "\n"
                                          "[HKEY_CURRENT_USER\\Software\\Kept]\n"
                                          "@=\"yes\"\n";
constexpr std::string_view kCorrupt = "not a key store file\n";

namespace reg = platform::registry;

// Every key and value of a root, one line each; the raw file when the root
// cannot be read (a corrupt file must stay byte for byte).
std::string Dump(reg::Root root, const fuzz::FuzzStore& store, const char* file) {
    std::string out;
    bool readable = true;
    auto walk = [&](auto& self, const std::string& path) -> void {
        std::vector<std::string> names;
        if (reg::EnumValues(root, path, &names) != reg::RegError::Ok) {
            readable = false;
            return;
        }
        for (const auto& n : names) {
            reg::Value v;
            reg::GetValue(root, path, n, &v);
            out +=
                path + "|" + n + "=" +
                (std::holds_alternative<std::string>(v) ? std::get<std::string>(v)
                                                        : std::to_string(std::get<uint32_t>(v))) +
                "\n";
        }
        reg::EnumSubkeys(root, path, &names);
        for (const auto& n : names) {
            std::string p = path.empty() ? n : path + "\\" + n;
            out += p + "\n";
            self(self, p);
        }
    };
    walk(walk, "");
    return readable ? out : store.Read(file);
}

std::string DumpAll(const fuzz::FuzzStore& store) {
    return Dump(reg::Root::ClassesRoot, store, "HKEY_CLASSES_ROOT") + "--\n" +
           Dump(reg::Root::CurrentUser, store, "HKEY_CURRENT_USER");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::FuzzStore store;
    if (size < 1)
        return 0;
    store.Write("HKEY_CLASSES_ROOT", kClassesRoot);
    store.Write("HKEY_CURRENT_USER", (data[0] & 1) ? kCorrupt : kCurrentUser);
    const std::string before = DumpAll(store);
    std::string_view script(reinterpret_cast<const char*>(data + 1), size - 1);
    const com::RegistrarReplacements map{{"MODULE", "/opt/lib/libx.so"}, {"EMPTY", ""}};
    com::HRESULT hr = com::UpdateRegistryFromScript(script, true, map);
    const std::string after = DumpAll(store);
    if (com::FAILED(hr) && after != before) {
        std::fprintf(stderr, "failed registration changed the store:\n%s\n", after.c_str());
        std::abort();
    }
    if (com::SUCCEEDED(hr) && com::FAILED(com::UpdateRegistryFromScript(script, false, map))) {
        std::fprintf(stderr, "unregistering a registered script failed\n");
        std::abort();
    }
    return 0;
}
