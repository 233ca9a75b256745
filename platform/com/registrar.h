// The registrar: runs a registration script in the standard .rgs notation
// against the key store.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {F414C260-6AC0-11CF-B6D1-00AA00BBBB58} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Roots HKCR / HKEY_CLASSES_ROOT and HKCU / HKEY_CURRENT_USER. A key is a
// bare word or a 'quoted' name ('' is a quote), optionally with a default
// value "= s 'text'" or "= d 'number'" (decimal or 0x hex) and a block of
// subkeys and named values "val Name = s '...'". Tokens are separated by
// blanks. %NAME% is replaced from the map in names and values; %% is a "%".
//
// Registering creates every key and value; a ForceRemove key is deleted
// first, a Delete key is deleted and nothing below it is created.
// Unregistering deletes what the script creates: a ForceRemove key as a
// whole; a NoRemove key is only descended into (its named values go); any
// other key after its subkeys, and only when no subkeys of others remain.
// The whole script is parsed before the store is touched: a malformed
// script (or an unknown %NAME%, or a name or text the store cannot hold)
// returns E_INVALIDARG and changes nothing. A run that the store fails
// half-way undoes what it changed and returns the store's error, so the
// store is left as the run found it.
#pragma once

#include "platform/com/hresult.h"
#include "platform/platform_api.h"

#include <map>
#include <string>
#include <string_view>

namespace platform::com {

// Names are compared without regard to case.
struct PLATFORM_API NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using RegistrarReplacements = std::map<std::string, std::string, NoCaseLess>;

PLATFORM_API HRESULT UpdateRegistryFromScript(std::string_view script, bool doRegister,
                                              const RegistrarReplacements& replacements = {});

} // namespace platform::com
