#include "text/system_error.h"

#include <clocale>
#include <cstdint>
#include <cstring>
#include <locale.h>

namespace text {
namespace {

// strerror_r comes in two flavours: XSI returns a status and fills buf, GNU
// returns the text (which may or may not be buf).
[[maybe_unused]] const char* ErrorTextOf(int status, const char* buf) {
    return status == 0 ? buf : nullptr;
}
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
    return text;
}

// Messages are asked for in the "C" locale (US English) whatever the program
// set with setlocale; uselocale changes only the calling thread.
locale_t EnglishLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c;
}

// The provider's own codes (platform/crypto/crypt_keys.h); none of them is
// an errno value.
struct ProviderText {
    uint32_t code;
    const char* text;
};
constexpr ProviderText kProviderTexts[] = {
    {234, "More data is available."},
    {0x80090001, "Bad UID."},
    {0x80090002, "Bad Hash."},
    {0x80090003, "Bad Key."},
    {0x80090005, "Bad Data."},
    {0x80090008, "Invalid algorithm specified."},
    {0x80090009, "Invalid flags specified."},
    {0x8009000A, "Invalid type specified."},
    {0x8009000B, "Key not valid for use in specified state."},
    {0x8009000C, "Hash not valid for use in specified state."},
    {0x8009000D, "Key does not exist."},
    {0x8009000E, "Insufficient memory available for the operation."},
    {0x8009000F, "Object already exists."},
    {0x80090014, "Invalid provider type specified."},
    {0x80090016, "Keyset does not exist"},
    {0x80090019, "The keyset is not defined."},
    {0x8009001A, "The key container file is damaged."},
    {0x8009001F, "The key container name is invalid or too long."},
    {0x80090020, "An internal error occurred."},
};

} // namespace

std::string SystemErrorText(int code) {
    for (const ProviderText& p : kProviderTexts)
        if (p.code == static_cast<uint32_t>(code))
            return p.text;
    char buf[256] = {};
    locale_t english = EnglishLocale();
    locale_t previous = english ? uselocale(english) : locale_t{};
    const char* message = ErrorTextOf(strerror_r(code, buf, sizeof buf), buf);
    std::string result = message ? message : "";
    if (english)
        uselocale(previous);
    if (result.empty() || result == "Unknown error " + std::to_string(code))
        return "Generic Error";
    return result;
}

} // namespace text
