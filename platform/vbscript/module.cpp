// Entry points of the VBScript engine module and its registration: the
// class id with its in-process server path, the chain the scripting host
// follows from the file extension ".vbs" to the class id, and the engine
// names "VBScript" and "VBS".
#include "platform/com/object.h"
#include "platform/com/registrar.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"
#include "platform/vbscript/vbscript_engine.h"

using namespace platform::com;
using platform::vbscript::CLSID_VBScript;
using platform::vbscript::VBScriptEngine;

namespace {

ServerModule g_module;
ClassFactory<VBScriptEngine> g_factory(g_module);

const char kRegistration[] = R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove %CLSID% = s 'VB Script Language'
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
        }
    }
    .vbs = s 'VBSFile'
    VBSFile
    {
        ScriptEngine = s 'VBScript'
    }
    VBScript
    {
        CLSID = s '%CLSID%'
    }
    VBS
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
    names["CLSID"] = GuidToString(CLSID_VBScript);
    HRESULT hr = UpdateRegistryFromScript(kRegistration, doRegister, names);
    return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

} // namespace

extern "C" {

HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(clsid == CLSID_VBScript))
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
