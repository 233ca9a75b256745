// Automation strings: UTF-16 text in a block that carries its byte length
// (32 bits) just before the first character and a zero character after the
// last, so a BSTR is also a zero-terminated string yet may hold zeros.
// Conversions to and from UTF-8, the 8-bit ("ANSI") text of this platform.
#pragma once

#include "platform/com/types.h"
#include "platform/platform_api.h"

#include <string>
#include <string_view>

namespace platform::com {

// A copy of the zero-terminated text; null for a null argument or when memory
// runs out.
PLATFORM_API BSTR SysAllocString(LPCOLESTR text);
// A string of len characters copied from text (zeros included), or of len
// zero characters when text is null. Null when memory runs out.
PLATFORM_API BSTR SysAllocStringLen(LPCOLESTR text, UINT len);
// Frees a BSTR; null is allowed.
PLATFORM_API void SysFreeString(BSTR text);
// Characters in the string (not counting the terminator); 0 for null.
PLATFORM_API UINT SysStringLen(BSTR text);
PLATFORM_API UINT SysStringByteLen(BSTR text);

// UTF-8 to UTF-16. Each byte that does not begin a well-formed sequence
// (stray continuation bytes, overlong forms, encoded surrogates, values above
// U+10FFFF, truncated sequences) becomes one U+FFFD, and decoding resumes at
// the next byte, so no input is rejected and no valid character is lost.
PLATFORM_API std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
PLATFORM_API std::string Utf16ToUtf8(std::u16string_view text);

// A new BSTR holding the UTF-8 text (embedded zeros kept); null only when
// memory runs out.
PLATFORM_API BSTR SysAllocStringFromUtf8(std::string_view text);
// The whole BSTR (its SysStringLen characters) as UTF-8; "" for null.
PLATFORM_API std::string BstrToUtf8(BSTR text);
inline std::u16string_view BstrView(BSTR text) {
    return {text ? text : u"", SysStringLen(text)};
}

} // namespace platform::com
