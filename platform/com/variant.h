// Variants: the tagged values that scripts pass through IDispatch::Invoke.
// Only the types scripts use are supported: empty, 32-bit integer, double,
// boolean, string, dispatch and unknown pointers, and VT_ERROR (which marks
// an optional argument the caller left out).
#pragma once

#include "platform/com/hresult.h"
#include "platform/com/types.h"
#include "platform/platform_api.h"

namespace platform::com {

class IUnknown;
class IDispatch;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_ERROR = 10;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_INT = 22;     // "int" in a type library; stored as VT_I4 in variants here
constexpr VARTYPE VT_VOID = 24;    // type descriptions only
constexpr VARTYPE VT_HRESULT = 25; // type descriptions only

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
    };
};

// Flags of VariantChangeType.
constexpr USHORT VARIANT_ALPHABOOL = 0x2; // booleans become "True"/"False", not "-1"/"0"

// Sets VT_EMPTY.
PLATFORM_API void VariantInit(VARIANT* v);
// Frees what the variant owns (a BSTR, a reference) and sets VT_EMPTY.
// DISP_E_BADVARTYPE, leaving it alone, for a type this layer does not know.
PLATFORM_API HRESULT VariantClear(VARIANT* v);
// Clears dest, then makes it an independent copy of src (the string is
// duplicated, an interface gets AddRef). dest == src is a no-op.
PLATFORM_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts src to type vt into dest (which may be src itself). On success
// dest is cleared and then receives the value; on failure it is left as it was. Supported targets:
// VT_I4 (also asked as VT_INT), VT_R8, VT_BOOL, VT_BSTR, and vt == src->vt. Numbers in strings are
// decimal with optional sign, fraction and exponent, or &H hex / &O octal; surrounding blanks are
// allowed. Fractions round half to even. DISP_E_TYPEMISMATCH when the value cannot be read as the
// type, DISP_E_OVERFLOW when it does not fit, E_OUTOFMEMORY. A dispatch object converts through its
// default member (DISPID_VALUE).
PLATFORM_API HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

} // namespace platform::com
