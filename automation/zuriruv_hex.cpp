#include "automation/zuriruv_hex.h"

#include "text/char_classes.h"

namespace automation {
namespace {

constexpr std::string_view kTrimmed = " \t\n\v\f\r";
// Vertical tab and form feed only count at the ends, not between tokens.
using text::kSeparators;

bool IsToken(std::string_view token) {
    if (token.empty() || token.size() > 2)
        return false;
    for (char c : token) {
        if (text::HexDigitValue(c) < 0)
            return false;
    }
    return true;
}

// Calls visit on each token of the trimmed text; false at the first invalid
// token (after visiting the ones before it).
template <class Visit> bool ScanTokens(std::string_view text, Visit&& visit) {
    const size_t first = text.find_first_not_of(kTrimmed);
    if (first == std::string_view::npos)
        return true;
    text = text.substr(first, text.find_last_not_of(kTrimmed) - first + 1);
    // The trimmed text starts and ends with a non-separator, so every run of
    // separators lies between two non-empty tokens.
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(kSeparators, pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view token = text.substr(pos, end - pos);
        if (!IsToken(token))
            return false;
        visit(token);
        pos = text.find_first_not_of(kSeparators, end);
    }
    return true;
}

} // namespace

size_t CountHexTokens(std::string_view text) {
    size_t count = 0;
    if (!ScanTokens(text, [&](std::string_view) { ++count; }))
        return 0;
    return count;
}

void DecodeHexTokens(std::string_view text, uint8_t* out) {
    ScanTokens(text, [&](std::string_view token) {
        int value = 0;
        for (char c : token)
            value = value * 16 + text::HexDigitValue(c);
        *out++ = static_cast<uint8_t>(value);
    });
}

std::vector<std::string_view> HexTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    ScanTokens(text, [&](std::string_view token) { tokens.push_back(token); });
    return tokens;
}

std::string FormatHexBytes(const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(count * 3, ' ');
    for (size_t i = 0; i < count; ++i) {
        text[3 * i] = kDigits[bytes[i] >> 4];
        text[3 * i + 1] = kDigits[bytes[i] & 15];
    }
    return text;
}

} // namespace automation
