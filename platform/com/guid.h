// 128-bit identifiers of classes, interfaces and type libraries, their
// registry text form "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}" and the
// well-known interface ids of the component layer.
#pragma once

#include "platform/com/hresult.h"
#include "platform/com/types.h"
#include "platform/platform_api.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::com {

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

PLATFORM_API bool operator==(const GUID& a, const GUID& b);
// Byte-wise order, so GUIDs can key ordered containers.
PLATFORM_API bool operator<(const GUID& a, const GUID& b);

constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// Proxy/stub classes registered for automation interfaces: the universal
// marshaler of dual interfaces and the one of pure dispatch interfaces.
constexpr CLSID CLSID_PSOAInterface = {0x00020424, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr CLSID CLSID_PSDispatch = {0x00020420, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Parses exactly "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (38 characters,
// hex digits of either case, braces required). False, leaving *out alone,
// for anything else: missing braces, wrong group lengths, spaces, signs.
PLATFORM_API bool GuidFromString(std::string_view text, GUID* out);
PLATFORM_API bool GuidFromString(std::u16string_view text, GUID* out);

// The registry form in upper case, braces included (38 characters).
PLATFORM_API std::string GuidToString(const GUID& guid);

// Class id from its braced text or, failing the braces, from a ProgID
// (HKEY_CLASSES_ROOT\<ProgID>\CLSID). CO_E_CLASSSTRING when it is neither;
// *out is GUID_NULL then. E_INVALIDARG for null pointers.
PLATFORM_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out);
PLATFORM_API HRESULT CLSIDFromString(std::string_view text, CLSID* out);
PLATFORM_API HRESULT CLSIDFromProgID(std::string_view progId, CLSID* out);
// Interface ids never go through a ProgID.
PLATFORM_API HRESULT IIDFromString(LPCOLESTR text, IID* out);

// Writes the braced upper-case text and its terminating zero into buf.
// Returns the characters written including the zero (39), or 0 when cchMax
// is too small.
PLATFORM_API int StringFromGUID2(const GUID& guid, LPOLESTR buf, int cchMax);

} // namespace platform::com
