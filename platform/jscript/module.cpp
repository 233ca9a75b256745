// Entry points of the JScript engine module and its registration: the
// class id with its in-process server path, and the chain the scripting
// host follows from the file extension ".js" to the class id.
#include "platform/com/object.h"
#include "platform/com/registrar.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/jscript/jscript_engine.h"

using namespace platform::com;
using platform::jscript::CLSID_JScript;
using platform::jscript::JScriptEngine;

namespace {

ServerModule g_module;
ClassFactory<JScriptEngine> g_factory(g_module);

const char kRegistration[] = R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove %CLSID% = s 'JScript Language'
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
        }
    }
    .js = s 'JSFile'
    JSFile
    {
        ScriptEngine = s 'JScript'
    }
    JScript
    {
        CLSID = s '%CLSID%'
    }
}
)";

HRESULT UpdateRegistration(bool doRegister) {
    std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    if (path.empty())
        return SELFREG_E_CLASS;
    RegistrarReplacements names;
    names["MODULE"] = path;
    names["CLSID"] = GuidToString(CLSID_JScript);
    HRESULT hr = UpdateRegistryFromScript(kRegistration, doRegister, names);
    return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

} // namespace

extern "C" {

HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(clsid == CLSID_JScript))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

HRESULT DllCanUnloadNow() {
    return g_module.CanUnloadNow();
}

HRESULT DllRegisterServer() {
    return UpdateRegistration(true);
}

HRESULT DllUnregisterServer() {
    return UpdateRegistration(false);
}

} // extern "C"
