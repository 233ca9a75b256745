// Automation strings and variants on arbitrary bytes: UTF-8 and UTF-16
// conversions keep every well-formed character, BSTRs carry their length
// and terminator, and conversions between variant types fail cleanly.
#include "fuzz_buffers.h"
#include "fuzz_expect.h"

#include "platform/com/bstr.h"
#include "platform/com/variant.h"

#include <cstdio>
#include <cstdlib>

namespace com = platform::com;

using fuzz::Expect;

namespace {

void Utf8(std::string_view bytes) {
    std::u16string wide = com::Utf8ToUtf16(bytes);
    std::string narrow = com::Utf16ToUtf8(wide);
    // One pass turns every malformed byte into U+FFFD; after it the text is
    // stable, and text without replacements came back byte for byte.
    Expect(com::Utf8ToUtf16(narrow) == wide, "UTF-8 round trip");
    if (wide.find(u'\xFFFD') == std::u16string::npos)
        Expect(narrow == bytes, "well-formed UTF-8 changed");

    com::BSTR b = com::SysAllocStringFromUtf8(bytes);
    Expect(b != nullptr, "BSTR from UTF-8");
    Expect(com::SysStringLen(b) == wide.size() && com::SysStringByteLen(b) == 2 * wide.size() &&
               b[wide.size()] == 0,
           "BSTR length and terminator");
    Expect(com::BstrToUtf8(b) == narrow, "BSTR back to UTF-8");
    com::SysFreeString(b);
}

void Utf16(const uint8_t* data, size_t size) {
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    std::string narrow = com::Utf16ToUtf8(units);
    std::u16string back = com::Utf8ToUtf16(narrow);
    Expect(back.size() <= units.size(), "UTF-16 round trip grew");
    bool lone = false;
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            ++i;
        else if (u >= 0xD800 && u <= 0xDFFF)
            lone = true;
    }
    if (!lone)
        Expect(back == units, "well-formed UTF-16 changed");
    com::BSTR b = com::SysAllocStringLen(units.data(), static_cast<com::UINT>(units.size()));
    Expect(b && com::BstrView(b) == units, "BSTR of UTF-16");
    com::SysFreeString(b);
}

// A string variant converted to each target type, and each result back to a
// string; a failed conversion leaves its destination as it was.
void Variants(std::string_view text, com::USHORT flags) {
    static const com::VARTYPE kTargets[] = {com::VT_I4,   com::VT_INT,   com::VT_R8,
                                            com::VT_BOOL, com::VT_BSTR,  com::VT_EMPTY,
                                            com::VT_NULL, com::VT_ERROR, 77};
    com::VARIANT src;
    com::VariantInit(&src);
    src.vt = com::VT_BSTR;
    src.bstrVal = com::SysAllocStringFromUtf8(text);
    for (com::VARTYPE vt : kTargets) {
        com::VARIANT dest;
        com::VariantInit(&dest);
        dest.vt = com::VT_I4;
        dest.lVal = 12345;
        com::HRESULT hr = com::VariantChangeType(&dest, &src, flags, vt);
        if (com::FAILED(hr)) {
            Expect(dest.vt == com::VT_I4 && dest.lVal == 12345, "failed conversion changed dest");
            continue;
        }
        com::VARIANT copy;
        com::VariantInit(&copy);
        Expect(com::SUCCEEDED(com::VariantCopy(&copy, &dest)), "copy");
        com::VARIANT asText;
        com::VariantInit(&asText);
        if (com::SUCCEEDED(com::VariantChangeType(&asText, &copy, flags, com::VT_BSTR)) &&
            dest.vt == com::VT_I4) {
            // An integer's text reads back as the same integer.
            com::VARIANT again;
            com::VariantInit(&again);
            Expect(com::SUCCEEDED(com::VariantChangeType(&again, &asText, 0, com::VT_I4)) &&
                       again.lVal == dest.lVal,
                   "integer text round trip");
        }
        // In place, as callers do with their own argument copies.
        com::VariantChangeType(&copy, &copy, flags, com::VT_R8);
        com::VariantClear(&asText);
        com::VariantClear(&copy);
        com::VariantClear(&dest);
    }
    com::VariantClear(&src);
}

void Numbers(FuzzedDataProvider& in) {
    com::VARIANT v;
    com::VariantInit(&v);
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        v.vt = com::VT_I4;
        v.lVal = in.ConsumeIntegral<int32_t>();
        break;
    case 1:
        v.vt = com::VT_R8;
        v.dblVal = in.ConsumeFloatingPoint<double>();
        break;
    case 2:
        v.vt = com::VT_BOOL;
        v.boolVal = in.ConsumeIntegral<int16_t>();
        break;
    default:
        // A type code this layer does not know, carrying no pointer.
        v.vt = in.ConsumeIntegral<uint16_t>();
        if (v.vt == com::VT_BSTR || v.vt == com::VT_DISPATCH || v.vt == com::VT_UNKNOWN)
            v.vt = com::VT_I4;
        v.lVal = in.ConsumeIntegral<int32_t>();
        break;
    }
    for (com::VARTYPE vt : {com::VT_I4, com::VT_R8, com::VT_BOOL, com::VT_BSTR}) {
        com::VARIANT dest;
        com::VariantInit(&dest);
        if (com::SUCCEEDED(com::VariantChangeType(&dest, &v, in.ConsumeBool() ? 2 : 0, vt)))
            com::VariantClear(&dest);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] & 3) {
    case 0:
        Utf8(bytes);
        break;
    case 1:
        Utf16(data + 1, size - 1);
        break;
    case 2:
        Variants(bytes, (data[0] & 4) ? com::VARIANT_ALPHABOOL : 0);
        break;
    default: {
        FuzzedDataProvider in(data + 1, size - 1);
        Numbers(in);
        break;
    }
    }
    return 0;
}
