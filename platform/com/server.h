// The four entry points an in-process server module exports, with the exact
// C signatures the runtime and regsvr look up by name. A server includes this
// header and defines them; the declarations give them default visibility.
#pragma once

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

#define COM_SERVER_EXPORT __attribute__((visibility("default")))

extern "C" {

COM_SERVER_EXPORT platform::com::HRESULT
DllGetClassObject(const platform::com::GUID& clsid, const platform::com::GUID& iid, void** out);
COM_SERVER_EXPORT platform::com::HRESULT DllCanUnloadNow();
COM_SERVER_EXPORT platform::com::HRESULT DllRegisterServer();
COM_SERVER_EXPORT platform::com::HRESULT DllUnregisterServer();

} // extern "C"

namespace platform::com {

using DllGetClassObjectFn = HRESULT (*)(const GUID& clsid, const GUID& iid, void** out);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

} // namespace platform::com
