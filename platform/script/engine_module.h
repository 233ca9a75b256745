// The four entry points of a script engine module, written once: they hand
// out the engine's class factory and register the class id with its
// in-process server path and the chain the scripting host follows from a
// file extension to the class id. Each engine module links them in and
// defines ThisEngineModule.
#pragma once

#include "platform/com/object.h"

#include <string>
#include <vector>

namespace platform::script {

struct EngineModule {
    com::CLSID clsid;
    std::string description;        // the class's name, "JScript Language"
    std::string extension;          // ".js"
    std::string fileType;           // "JSFile", the extension's class
    std::vector<std::string> names; // the engine names; the first is the file type's engine
    com::ServerModule* server;      // the module's count of objects and locks
    com::IUnknown* factory;         // the class factory of clsid
};

// Defined by each engine module: what its entry points serve.
const EngineModule& ThisEngineModule();

} // namespace platform::script
