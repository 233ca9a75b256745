// The JScript engine module: its class factory, and what its entry points
// register: the class id, and the chain the scripting host follows from the
// file extension ".js" to the class id.
#include "platform/com/object.h"
#include "platform/jscript/jscript_engine.h"
#include "platform/script/engine_module.h"

namespace {

platform::com::ServerModule g_module;
platform::com::ClassFactory<platform::jscript::JScriptEngine> g_factory(g_module);

} // namespace

const platform::script::EngineModule& platform::script::ThisEngineModule() {
    static const EngineModule module = {jscript::CLSID_JScript,
                                        "JScript Language",
                                        ".js",
                                        "JSFile",
                                        {"JScript"},
                                        &g_module,
                                        &g_factory};
    return module;
}
