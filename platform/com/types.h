// Scalar types of the component layer, with the widths the automation
// interfaces fix (a "long" there is always 32 bits, also on LP64 systems).
#pragma once

#include <cstdint>

namespace platform::com {

using BYTE = uint8_t;
using WORD = uint16_t;
using USHORT = uint16_t;
using DWORD = uint32_t;
using ULONG = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using INT = int32_t;
using SHORT = int16_t;
using LCID = uint32_t;
using DISPID = int32_t;
using MEMBERID = DISPID;
using SCODE = int32_t;
using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;

// Automation text is UTF-16; a BSTR points at the first character of a
// length-prefixed, zero-terminated block (see bstr.h).
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_EN_US = 0x0409;

} // namespace platform::com
