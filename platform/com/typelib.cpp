#include "platform/com/typelib.h"

#include "platform/com/runtime.h"
#include "platform/registry/registry.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform::com {

namespace {

using registry::RegError;
using registry::Root;

std::string Hex(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", value);
    return buf;
}

std::string VersionText(WORD major, WORD minor) {
    return Hex(major) + "." + Hex(minor);
}

const char* SyskindName(SYSKIND kind) {
    switch (kind) {
    case SYS_WIN16:
        return "win16";
    case SYS_WIN32:
        return "win32";
    case SYS_MAC:
        return "mac";
    case SYS_WIN64:
        return "win64";
    }
    return "win32";
}

std::string Folder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool Set(const std::string& path, const std::string& name, const std::string& value) {
    return registry::SetValue(Root::ClassesRoot, path, name, value) == RegError::Ok;
}

bool IsAutomation(const InterfaceDescription& itf) {
    return (itf.flags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE)) != 0;
}

bool HasSubkeys(const std::string& path) {
    std::vector<std::string> names;
    return registry::EnumSubkeys(Root::ClassesRoot, path, &names) != RegError::Ok || !names.empty();
}

// Deletes path when nothing is left below it; a missing key is fine.
bool DeleteIfEmpty(const std::string& path) {
    if (!registry::KeyExists(Root::ClassesRoot, path))
        return true;
    if (HasSubkeys(path))
        return true;
    RegError e = registry::DeleteKeyIfLeaf(Root::ClassesRoot, path);
    return e == RegError::Ok || e == RegError::NotFound;
}

bool DeleteTree(const std::string& path) {
    RegError e = registry::DeleteKey(Root::ClassesRoot, path);
    return e == RegError::Ok || e == RegError::NotFound;
}

} // namespace

HRESULT RegisterTypeLib(const TypeLibDescription& lib, const std::string& modulePath,
                        const std::string& helpDir) {
    if (modulePath.empty())
        return E_INVALIDARG;
    const std::string libid = GuidToString(lib.libid);
    const std::string version = VersionText(lib.majorVersion, lib.minorVersion);
    const std::string key = "TypeLib\\" + libid + "\\" + version;
    bool ok = Set(key, "", lib.help.empty() ? lib.name : lib.help) &&
              Set(key + "\\" + Hex(lib.lcid) + "\\win32", "", modulePath) &&
              Set(key + "\\FLAGS", "", "0") &&
              Set(key + "\\HELPDIR", "", helpDir.empty() ? Folder(modulePath) : helpDir);
    for (const auto& itf : lib.interfaces) {
        if (!ok)
            break;
        if (!IsAutomation(itf))
            continue;
        const std::string ikey = "Interface\\" + GuidToString(itf.iid);
        // Dual interfaces go through the type-library marshaler, pure
        // dispatch interfaces through the IDispatch one.
        const std::string proxy = GuidToString(
            (itf.flags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) ? CLSID_PSOAInterface
                                                                     : CLSID_PSDispatch);
        ok = Set(ikey, "", itf.name) && Set(ikey + "\\ProxyStubClsid", "", proxy) &&
             Set(ikey + "\\ProxyStubClsid32", "", proxy) && Set(ikey + "\\TypeLib", "", libid) &&
             Set(ikey + "\\TypeLib", "Version", version);
    }
    return ok ? S_OK : TYPE_E_REGISTRYACCESS;
}

UnRegisterTypeLibFn LookupUnRegisterTypeLib() {
    // By name, in this very module, the way a server finds the function in a
    // system library that may be too old to have it.
    std::string self = ModulePathOf(reinterpret_cast<const void*>(&LookupUnRegisterTypeLib));
    if (self.empty())
        return nullptr;
    void* handle = dlopen(self.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    auto fn = reinterpret_cast<UnRegisterTypeLibFn>(dlsym(handle, "UnRegisterTypeLib"));
    dlclose(handle); // only drops the reference taken just now
    return fn;
}

} // namespace platform::com

using namespace platform::com;

extern "C" HRESULT UnRegisterTypeLib(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                     SYSKIND syskind) {
    try {
        const std::string libText = GuidToString(libid);
        const std::string version = VersionText(major, minor);
        const std::string libKey = "TypeLib\\" + libText;
        const std::string key = libKey + "\\" + version;
        if (!platform::registry::KeyExists(Root::ClassesRoot, key))
            return TYPE_E_REGISTRYACCESS;

        // The interfaces this library version registered.
        std::vector<std::string> interfaces;
        if (platform::registry::EnumSubkeys(Root::ClassesRoot, "Interface", &interfaces) ==
            RegError::Ok) {
            for (const auto& iid : interfaces) {
                const std::string ikey = "Interface\\" + iid + "\\TypeLib";
                auto owner = platform::registry::GetString(Root::ClassesRoot, ikey, "");
                auto ver = platform::registry::GetString(Root::ClassesRoot, ikey, "Version");
                GUID g;
                if (owner && GuidFromString(*owner, &g) && g == libid && ver && *ver == version &&
                    !DeleteTree("Interface\\" + iid))
                    return TYPE_E_REGISTRYACCESS;
            }
        }

        const std::string lcidKey = key + "\\" + Hex(lcid);
        bool ok = DeleteTree(lcidKey + "\\" + SyskindName(syskind)) && DeleteIfEmpty(lcidKey) &&
                  DeleteTree(key + "\\FLAGS") && DeleteTree(key + "\\HELPDIR") &&
                  DeleteIfEmpty(key) && DeleteIfEmpty(libKey);
        return ok ? S_OK : TYPE_E_REGISTRYACCESS;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
