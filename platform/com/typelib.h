// Registration of a type library described in a server (typeinfo.h):
//   TypeLib\{libid}\<major.minor>            = help string (or the name)
//   TypeLib\{libid}\<major.minor>\<lcid>\win32 = module path
//   TypeLib\{libid}\<major.minor>\FLAGS      = "0"
//   TypeLib\{libid}\<major.minor>\HELPDIR    = help folder
//   Interface\{iid} = name, with ProxyStubClsid, ProxyStubClsid32 and
//   TypeLib (= {libid}, named value Version) for each automation interface.
// Versions and the locale id are written in hex, as the registry always has.
#pragma once

#include "platform/com/typeinfo.h"
#include "platform/platform_api.h"

#include <string>

namespace platform::com {

enum SYSKIND { SYS_WIN16, SYS_WIN32, SYS_MAC, SYS_WIN64 };

// helpDir "" means the folder of modulePath.
PLATFORM_API HRESULT RegisterTypeLib(const TypeLibDescription& lib, const std::string& modulePath,
                                     const std::string& helpDir = "");

// The C entry point servers look up at run time (LookupUnRegisterTypeLib).
using UnRegisterTypeLibFn = HRESULT (*)(const GUID& libid, WORD major, WORD minor, LCID lcid,
                                        SYSKIND syskind);

// The function UnRegisterTypeLib of the platform module, found by name at
// run time; null when the module does not provide it, in which case a
// server leaves its type library registered.
PLATFORM_API UnRegisterTypeLibFn LookupUnRegisterTypeLib();

} // namespace platform::com

// Removes the version's registration and the Interface keys that name this
// library and version; the library key goes when no version is left.
// TYPE_E_REGISTRYACCESS when the store cannot be read or written.
extern "C" PLATFORM_API platform::com::HRESULT UnRegisterTypeLib(const platform::com::GUID& libid,
                                                                 platform::com::WORD major,
                                                                 platform::com::WORD minor,
                                                                 platform::com::LCID lcid,
                                                                 platform::com::SYSKIND syskind);
