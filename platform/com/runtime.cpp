#include "platform/com/runtime.h"

#include "platform/com/server.h"
#include "platform/registry/registry.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace platform::com {

namespace {

thread_local int t_initCount = 0;

struct Module {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
    int busy = 0; // creations in progress; the module must not go away under them
};

std::mutex g_modulesMutex;
std::map<std::string, Module>& Modules() {
    static auto* modules = new std::map<std::string, Module>; // outlives static destruction
    return *modules;
}

HRESULT FindServerPath(REFCLSID clsid, std::string* path) {
    const std::string sub = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
    const std::pair<registry::Root, std::string> places[] = {
        {registry::Root::CurrentUser, "Software\\Classes\\" + sub},
        {registry::Root::ClassesRoot, sub},
    };
    bool unreadable = false;
    for (const auto& [root, key] : places) {
        registry::Value value;
        registry::RegError err = registry::GetValue(root, key, "", &value);
        if (err == registry::RegError::Ok) {
            if (auto* text = std::get_if<std::string>(&value); text && !text->empty()) {
                *path = *text;
                return S_OK;
            }
        } else if (err != registry::RegError::NotFound) {
            unreadable = true;
        }
    }
    return unreadable ? REGDB_E_READREGDB : REGDB_E_CLASSNOTREG;
}

// Loads the module (or finds it loaded) and marks it busy.
HRESULT AcquireModule(const std::string& path, DllGetClassObjectFn* getClassObject) {
    std::lock_guard lock(g_modulesMutex);
    auto& modules = Modules();
    auto it = modules.find(path);
    if (it == modules.end()) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return CO_E_DLLNOTFOUND;
        Module m;
        m.handle = handle;
        m.getClassObject =
            reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
        m.canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
        if (!m.getClassObject) {
            dlclose(handle);
            return CO_E_ERRORINDLL;
        }
        it = modules.emplace(path, m).first;
    }
    ++it->second.busy;
    *getClassObject = it->second.getClassObject;
    return S_OK;
}

void ReleaseModule(const std::string& path) {
    std::lock_guard lock(g_modulesMutex);
    auto it = Modules().find(path);
    if (it != Modules().end())
        --it->second.busy;
}

// The class object with its module marked busy; the caller releases the module.
HRESULT GetClassObject(REFCLSID clsid, DWORD context, REFIID iid, void** out, std::string* path) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (t_initCount == 0)
        return CO_E_NOTINITIALIZED;
    if (!(context & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)))
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = FindServerPath(clsid, path);
    if (FAILED(hr))
        return hr;
    DllGetClassObjectFn getClassObject = nullptr;
    hr = AcquireModule(*path, &getClassObject);
    if (FAILED(hr))
        return hr;
    hr = getClassObject(clsid, iid, out);
    if (FAILED(hr))
        *out = nullptr;
    return hr;
}

} // namespace

HRESULT CoInitialize(void* reserved) {
    if (reserved)
        return E_INVALIDARG;
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initCount == 0)
        return;
    if (--t_initCount == 0)
        CoFreeUnusedLibraries();
}

bool IsCoInitialized() {
    return t_initCount > 0;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid, void** out) {
    (void)reserved;
    std::string path;
    HRESULT hr = GetClassObject(clsid, context, iid, out, &path);
    if (!path.empty())
        ReleaseModule(path);
    return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer && !(iid == IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    std::string path;
    void* factory = nullptr;
    HRESULT hr = GetClassObject(clsid, context, IID_IClassFactory, &factory, &path);
    if (SUCCEEDED(hr)) {
        auto* cf = static_cast<IClassFactory*>(factory);
        hr = cf->CreateInstance(outer, iid, out);
        cf->Release();
        if (FAILED(hr))
            *out = nullptr;
    }
    if (!path.empty())
        ReleaseModule(path);
    return hr;
}

void CoFreeUnusedLibraries() {
    std::vector<void*> unload;
    {
        std::lock_guard lock(g_modulesMutex);
        auto& modules = Modules();
        for (auto it = modules.begin(); it != modules.end();) {
            Module& m = it->second;
            if (m.busy == 0 && m.canUnloadNow && m.canUnloadNow() == S_OK) {
                unload.push_back(m.handle);
                it = modules.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Outside the lock: a module's destructors may call back into the runtime.
    for (void* handle : unload)
        dlclose(handle);
}

std::string ModulePathOf(const void* address) {
    Dl_info info;
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}

} // namespace platform::com
