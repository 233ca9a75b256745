#include "platform/com/variant.h"

#include "platform/com/bstr.h"
#include "platform/com/interfaces.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace platform::com {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A number as scripts write it in text; false when the text is not one.
bool ParseNumber(std::string text, double* out) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    text = text.substr(b, e - b);
    if (text.empty())
        return false;
    if (text.size() > 2 && text[0] == '&' &&
        (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o')) {
        int base = (text[1] == 'H' || text[1] == 'h') ? 16 : 8;
        uint64_t value = 0;
        auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, base);
        if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFu)
            return false;
        // &HFFFFFFFF is -1: the literal is a 32-bit pattern.
        *out = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
        return true;
    }
    // from_chars takes neither a leading '+' nor "inf"/"nan" spelt out in
    // hex form, and does not depend on the process locale.
    const char* first = text.data();
    const char* last = text.data() + text.size();
    bool plus = *first == '+';
    if (plus)
        ++first;
    if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.' ||
                           (*first == '-' && !plus)))
        return false;
    for (const char* p = first; p != last; ++p)
        if (!(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.' || *p == '-' || *p == '+' ||
              *p == 'e' || *p == 'E'))
            return false;
    double value = 0;
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

HRESULT ToI4(double d, LONG* out) {
    double r = std::nearbyint(d); // the default rounding mode: half to even
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return DISP_E_OVERFLOW;
    *out = static_cast<LONG>(r);
    return S_OK;
}

std::string FormatDouble(double d) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    return buf;
}

// The value as a double, for every type that has one.
HRESULT ToDouble(const VARIANT& v, double* out) {
    switch (v.vt) {
    case VT_EMPTY:
        *out = 0;
        return S_OK;
    case VT_I4:
        *out = v.lVal;
        return S_OK;
    case VT_R8:
        *out = v.dblVal;
        return S_OK;
    case VT_BOOL:
        *out = v.boolVal ? -1 : 0;
        return S_OK;
    case VT_BSTR:
        return ParseNumber(BstrToUtf8(v.bstrVal), out) ? S_OK : DISP_E_TYPEMISMATCH;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out, int depth);

// Objects convert through their default member, as scripts expect.
HRESULT ConvertDispatch(IDispatch* disp, USHORT flags, VARTYPE vt, VARIANT* out, int depth) {
    if (!disp || depth > 4)
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = disp->Invoke(DISPID_VALUE, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                              &none, &value, nullptr, nullptr);
    if (FAILED(hr))
        return DISP_E_TYPEMISMATCH;
    hr = Convert(value, flags, vt, out, depth + 1);
    VariantClear(&value);
    return hr;
}

HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out, int depth) {
    if (vt == VT_INT)
        vt = VT_I4;
    if (src.vt == vt)
        return VariantCopy(out, &src);
    if (src.vt == VT_DISPATCH && vt != VT_UNKNOWN)
        return ConvertDispatch(src.pdispVal, flags, vt, out, depth);
    switch (vt) {
    case VT_I4: {
        double d;
        HRESULT hr = ToDouble(src, &d);
        if (SUCCEEDED(hr))
            hr = ToI4(d, &out->lVal);
        if (SUCCEEDED(hr))
            out->vt = VT_I4;
        return hr;
    }
    case VT_R8: {
        HRESULT hr = ToDouble(src, &out->dblVal);
        if (SUCCEEDED(hr))
            out->vt = VT_R8;
        return hr;
    }
    case VT_BOOL: {
        double d;
        HRESULT hr = S_OK;
        if (src.vt == VT_BSTR) {
            std::string text = BstrToUtf8(src.bstrVal);
            if (text == "True" || text == "true" || text == "TRUE")
                d = -1;
            else if (text == "False" || text == "false" || text == "FALSE")
                d = 0;
            else
                hr = ToDouble(src, &d);
        } else {
            hr = ToDouble(src, &d);
        }
        if (SUCCEEDED(hr)) {
            out->vt = VT_BOOL;
            out->boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return hr;
    }
    case VT_BSTR: {
        std::string text;
        switch (src.vt) {
        case VT_EMPTY:
            break;
        case VT_I4:
            text = std::to_string(src.lVal);
            break;
        case VT_R8:
            if (!std::isfinite(src.dblVal))
                return DISP_E_TYPEMISMATCH;
            text = FormatDouble(src.dblVal);
            break;
        case VT_BOOL:
            if (flags & VARIANT_ALPHABOOL)
                text = src.boolVal ? "True" : "False";
            else
                text = src.boolVal ? "-1" : "0";
            break;
        default:
            return DISP_E_TYPEMISMATCH;
        }
        BSTR s = SysAllocStringFromUtf8(text);
        if (!s)
            return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
        out->bstrVal = s;
        return S_OK;
    }
    case VT_EMPTY:
        return S_OK;
    case VT_UNKNOWN:
        if (src.vt == VT_DISPATCH) {
            out->vt = VT_UNKNOWN;
            out->punkVal = src.pdispVal;
            if (out->punkVal)
                out->punkVal->AddRef();
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

bool KnownType(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

void VariantInit(VARIANT* v) {
    if (!v)
        return;
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->dblVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v)
        return E_INVALIDARG;
    if (!KnownType(v->vt))
        return DISP_E_BADVARTYPE;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal)
        v->punkVal->Release();
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    if (!KnownType(src->vt))
        return DISP_E_BADVARTYPE;
    HRESULT hr = VariantClear(dest);
    if (FAILED(hr))
        return hr;
    VARIANT copy = *src;
    if (copy.vt == VT_BSTR && copy.bstrVal) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if ((copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) && copy.punkVal) {
        copy.punkVal->AddRef();
    }
    *dest = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (!KnownType(src->vt))
        return DISP_E_BADVARTYPE;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Convert(*src, flags, vt, &result, 0);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    // dest may be src: the source is read completely before dest is cleared.
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

} // namespace platform::com
