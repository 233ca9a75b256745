// The VBScript engine module: its class factory, and what its entry points
// register: the class id, the chain the scripting host follows from the
// file extension ".vbs" to the class id, and the engine names "VBScript" and
// "VBS".
#include "platform/com/object.h"
#include "platform/script/engine_module.h"
#include "platform/vbscript/vbscript_engine.h"

namespace {

platform::com::ServerModule g_module;
platform::com::ClassFactory<platform::vbscript::VBScriptEngine> g_factory(g_module);

} // namespace

const platform::script::EngineModule& platform::script::ThisEngineModule() {
    static const EngineModule module = {vbscript::CLSID_VBScript,
                                        "VB Script Language",
                                        ".vbs",
                                        "VBSFile",
                                        {"VBScript", "VBS"},
                                        &g_module,
                                        &g_factory};
    return module;
}
