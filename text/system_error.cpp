#include "text/system_error.h"

#include <clocale>
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

} // namespace

std::string SystemErrorText(int code) {
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
