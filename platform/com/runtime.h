// The component runtime: per-thread initialisation, creation of objects of
// registered in-process classes, and the table of server modules it loaded.
// A class is found by the default value (the module path) of the key
// CLSID\{clsid}\InprocServer32 under HKEY_CURRENT_USER\Software\Classes or,
// failing that, under HKEY_CLASSES_ROOT. A module stays loaded
// until CoFreeUnusedLibraries finds its DllCanUnloadNow answering S_OK.
#pragma once

#include "platform/com/interfaces.h"
#include "platform/platform_api.h"

#include <string>

namespace platform::com {

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_ALL = 0x17;

// S_OK for the first call on a thread, S_FALSE for each further one; each
// successful call needs its CoUninitialize. reserved must be null.
PLATFORM_API HRESULT CoInitialize(void* reserved);
// Ends one CoInitialize of the calling thread; the last one also frees the
// modules whose DllCanUnloadNow allows it. Does nothing on a thread that is
// not initialised.
PLATFORM_API void CoUninitialize();
// True while the calling thread is initialised.
PLATFORM_API bool IsCoInitialized();

// The class factory (or another interface of the class object) of a
// registered in-process class. Failures: CO_E_NOTINITIALIZED,
// REGDB_E_CLASSNOTREG (no InprocServer32 path, or no in-process context
// asked), REGDB_E_READREGDB, CO_E_DLLNOTFOUND (the module does not load),
// CO_E_ERRORINDLL (no DllGetClassObject), or what the module answers.
PLATFORM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid,
                                      void** out);
// CoGetClassObject for IID_IClassFactory, then CreateInstance(outer, iid).
// *out is null on every failure.
PLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                      void** out);
// Asks each loaded module's DllCanUnloadNow and unloads those answering
// S_OK that are not in the middle of a creation. Modules without
// DllCanUnloadNow stay loaded.
PLATFORM_API void CoFreeUnusedLibraries();

// The absolute path of the module holding address ("" when unknown); lets a
// server register the file it was loaded from.
PLATFORM_API std::string ModulePathOf(const void* address);

} // namespace platform::com
