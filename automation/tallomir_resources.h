// What the shared library carries as resources: its registration script
// (REGISTRY 102), its type library (TYPELIB 1) and its project name
// (string 100).
#pragma once

#include "platform/com/typeinfo.h"

namespace automation {

constexpr int kRegistryScriptId = 102;
constexpr int kTypeLibId = 1;
constexpr int kProjectNameId = 100;

// The registrar script; %MODULE% stands for the library's path.
extern const char* const kRegistryScript;
extern const char* const kProjectName; // "Tallomir"

// TALLOMIRLib 1.1: the coclass Zuriruv and the dual interface IZuriruv.
const platform::com::TypeLibDescription& TallomirTypeLib();

} // namespace automation
