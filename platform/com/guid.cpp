#include "platform/com/guid.h"

#include "platform/com/bstr.h"
#include "platform/registry/registry.h"

#include <cstdio>
#include <cstring>

namespace platform::com {

namespace {

// Byte image in the order of the text form, which is also the comparison order.
void ToBytes(const GUID& g, uint8_t out[16]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(g.Data1 >> (24 - 8 * i));
    out[4] = static_cast<uint8_t>(g.Data2 >> 8);
    out[5] = static_cast<uint8_t>(g.Data2);
    out[6] = static_cast<uint8_t>(g.Data3 >> 8);
    out[7] = static_cast<uint8_t>(g.Data3);
    std::memcpy(out + 8, g.Data4, 8);
}

int HexValue(char32_t c) {
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

template <class Char> bool Parse(std::basic_string_view<Char> text, GUID* out) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (text.size() != 38 || text[0] != '{' || text[37] != '}')
        return false;
    uint8_t bytes[16];
    size_t pos = 1;
    int byte = 0;
    for (int group : {4, 2, 2, 2, 6}) {
        if (byte != 0) {
            if (text[pos] != '-')
                return false;
            ++pos;
        }
        for (int i = 0; i < group; ++i, ++byte, pos += 2) {
            int hi = HexValue(static_cast<char32_t>(text[pos]));
            int lo = HexValue(static_cast<char32_t>(text[pos + 1]));
            if (hi < 0 || lo < 0)
                return false;
            bytes[byte] = static_cast<uint8_t>(hi << 4 | lo);
        }
    }
    GUID g;
    g.Data1 = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
              static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    g.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    g.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    std::memcpy(g.Data4, bytes + 8, 8);
    *out = g;
    return true;
}

} // namespace

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, 8) == 0;
}

bool operator<(const GUID& a, const GUID& b) {
    uint8_t x[16], y[16];
    ToBytes(a, x);
    ToBytes(b, y);
    return std::memcmp(x, y, 16) < 0;
}

bool GuidFromString(std::string_view text, GUID* out) {
    return out && Parse(text, out);
}

bool GuidFromString(std::u16string_view text, GUID* out) {
    return out && Parse(text, out);
}

std::string GuidToString(const GUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

int StringFromGUID2(const GUID& guid, LPOLESTR buf, int cchMax) {
    if (!buf || cchMax < 39)
        return 0;
    std::string text = GuidToString(guid);
    for (size_t i = 0; i < text.size(); ++i)
        buf[i] = static_cast<char16_t>(text[i]);
    buf[text.size()] = 0;
    return static_cast<int>(text.size() + 1);
}

HRESULT CLSIDFromProgID(std::string_view progId, CLSID* out) {
    if (!out)
        return E_INVALIDARG;
    *out = GUID_NULL;
    // A ProgID is one key name; a separator would let it address other keys.
    if (progId.empty() || progId.find('\\') != std::string_view::npos)
        return CO_E_CLASSSTRING;
    auto text =
        registry::GetString(registry::Root::ClassesRoot, std::string(progId) + "\\CLSID", "");
    if (!text || !GuidFromString(*text, out))
        return CO_E_CLASSSTRING;
    return S_OK;
}

HRESULT CLSIDFromString(std::string_view text, CLSID* out) {
    if (!out)
        return E_INVALIDARG;
    *out = GUID_NULL;
    if (!text.empty() && text[0] == '{')
        return GuidFromString(text, out) ? S_OK : CO_E_CLASSSTRING;
    return CLSIDFromProgID(text, out);
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* out) {
    if (!text || !out)
        return E_INVALIDARG;
    return CLSIDFromString(Utf16ToUtf8(text), out);
}

HRESULT IIDFromString(LPCOLESTR text, IID* out) {
    if (!text || !out)
        return E_INVALIDARG;
    return GuidFromString(std::u16string_view(text), out) ? S_OK : E_INVALIDARG;
}

} // namespace platform::com
