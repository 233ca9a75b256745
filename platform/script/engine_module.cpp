// Compiled into each engine module (an object library), so that the entry
// points and the module path they register belong to that module.
#include "platform/script/engine_module.h"

#include "platform/com/registrar.h"
#include "platform/com/runtime.h"
#include "platform/com/server.h"

using namespace platform::com;
using platform::script::EngineModule;
using platform::script::ThisEngineModule;

namespace {

// A text as a quoted registrar string.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string RegistrationScript(const EngineModule& engine) {
    std::string script = R"(HKCR
{
    NoRemove CLSID
    {
        ForceRemove %CLSID% = s )" +
                         Quoted(engine.description) +
                         R"(
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Both'
            }
        }
    }
)";
    script += "    " + engine.extension + " = s " + Quoted(engine.fileType) + "\n";
    script += "    " + engine.fileType + "\n    {\n";
    script += "        ScriptEngine = s " + Quoted(engine.names.front()) + "\n    }\n";
    for (const std::string& name : engine.names)
        script += "    " + name + "\n    {\n        CLSID = s '%CLSID%'\n    }\n";
    return script + "}\n";
}

HRESULT UpdateRegistration(bool doRegister) {
    const EngineModule& engine = ThisEngineModule();
    std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    if (path.empty() || engine.names.empty())
        return SELFREG_E_CLASS;
    RegistrarReplacements names;
    names["MODULE"] = path;
    names["CLSID"] = GuidToString(engine.clsid);
    HRESULT hr = UpdateRegistryFromScript(RegistrationScript(engine), doRegister, names);
    return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

} // namespace

extern "C" {

HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(clsid == ThisEngineModule().clsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    return ThisEngineModule().factory->QueryInterface(iid, out);
}

HRESULT DllCanUnloadNow() {
    return ThisEngineModule().server->CanUnloadNow();
}

HRESULT DllRegisterServer() {
    return UpdateRegistration(true);
}

HRESULT DllUnregisterServer() {
    return UpdateRegistration(false);
}

} // extern "C"
